#include "Doubles.h"
#include "WidgetPixels.h"
#include "display/AlarmPanel.h"
#include "settings/SettingsStore.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

namespace {

QColor textColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}
// As the shown button paints it: styles shade a plain palette colour.
QColor faceColour(QPushButton* b) {
    return pixels::Face(b);
}
const QColor Red(255, 0, 0);
const QColor LightRed(255, 192, 192);
const QString HiRest("Hi Threshold:"), LoRest("Lo Threshold:");
const QString HiTrip("Hi Trigger!"), LoTrip("Lo Trigger!");

struct Rig {
    QWidget window;
    AlarmWidgets w{new QPushButton(&window), new QLineEdit(&window), new QLineEdit(&window),
                   new QLabel(&window),      new QLabel(&window),    new QCheckBox(&window),
                   new QCheckBox(&window)};
    doubles::FakePlatform fakes;
    QTemporaryDir dir;
    QString wavPath;
    AlarmPanel panel{w, fakes.sound, fakes.messages, fakes.dialogs, wavPath};

    explicit Rig(bool soundFilePresent = true) {
        wavPath = dir.filePath("attention.wav");
        if (soundFilePresent) {
            QFile f(wavPath);
            f.open(QIODevice::WriteOnly);
            f.write("RIFF");
        }
        window.show();
    }
    // Opens the panel with the given thresholds; an armed box is ticked.
    void open(const QString& hi, const QString& lo, bool armHi = false, bool armLo = false) {
        w.cmdAlarms->click();
        w.txtHiAlarm->setText(hi);
        w.txtLowAlarm->setText(lo);
        if (armHi)
            w.chkHiSet->click();
        if (armLo)
            w.chkLoSet->click();
    }
    QString hiText() const { return w.lblHiThresh->text(); }
    QString loText() const { return w.lblLoThresh->text(); }
};

} // namespace

class AlarmPanelTest : public QObject {
    Q_OBJECT
private slots:
    void startsHiddenAndTheButtonToggles() {
        Rig rig;
        QCOMPARE(rig.w.cmdAlarms->text(), QString("&Alarms"));
        QCOMPARE(faceColour(rig.w.cmdAlarms), LightRed);
        const QList<QWidget*> panel{rig.w.txtHiAlarm,  rig.w.txtLowAlarm, rig.w.lblHiThresh,
                                    rig.w.lblLoThresh, rig.w.chkHiSet,    rig.w.chkLoSet};
        for (QWidget* c : panel)
            QVERIFY(c->isHidden());
        QVERIFY(!rig.w.chkHiSet->isEnabled());
        QCOMPARE(rig.hiText(), HiRest);
        QCOMPARE(rig.loText(), LoRest);

        rig.open("7", "", true);
        for (QWidget* c : panel)
            QVERIFY(c->isVisible());
        rig.w.cmdAlarms->click(); // hides it again, disarmed, thresholds kept
        for (QWidget* c : panel)
            QVERIFY(c->isHidden());
        QVERIFY(!rig.w.chkHiSet->isChecked());
        QCOMPARE(rig.w.txtHiAlarm->text(), QString("7"));
    }

    void thresholdIsTheLeadingNumberInSinglePrecision_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("value");
        QTest::newRow("plain") << "5" << 5.0f;
        QTest::newRow("comma stops") << "1,5" << 1.0f;
        QTest::newRow("signed fraction") << "-2.5x" << -2.5f;
        QTest::newRow("no leading zero") << "+.5" << 0.5f;
        QTest::newRow("second point stops") << "1.2.3" << 1.2f;
        QTest::newRow("slash stops") << "5/2" << 5.0f;
        QTest::newRow("no number") << "abc" << 0.0f;
        QTest::newRow("sign only") << "-" << 0.0f;
        QTest::newRow("trailing point") << "3." << 3.0f;
        QTest::newRow("tenth") << "0.1" << 0.1f;
        const float inf = std::numeric_limits<float>::infinity();
        QTest::newRow("beyond single") << "1" + QString(39, '0') << inf;
        QTest::newRow("below single's lowest") << "-1" + QString(39, '0') << -inf;
        QTest::newRow("beyond double") << "+9" + QString(400, '9') << inf;
    }
    void thresholdIsTheLeadingNumberInSinglePrecision() {
        QFETCH(QString, text);
        QFETCH(float, value);
        QCOMPARE(AlarmPanel::Threshold(text), value);
    }

    void whatTrips_data() {
        QTest::addColumn<QString>("hi");
        QTest::addColumn<QString>("lo");
        QTest::addColumn<float>("reading");
        QTest::addColumn<bool>("hiTrips");
        QTest::addColumn<bool>("loTrips");
        QTest::newRow("both at equality") << "5"
                                          << "5" << 5.0f << true << true;
        QTest::newRow("single precision equality") << "0.1"
                                                   << "" << 0.1f << true << false;
        QTest::newRow("empty boxes, huge") << ""
                                           << "" << 1e30f << false << false;
        QTest::newRow("empty boxes, tiny") << ""
                                           << "" << -1e30f << false << false;
        QTest::newRow("inside") << "10"
                                << "-10" << 9.99f << false << false;
        QTest::newRow("below") << "10"
                               << "-10" << -10.5f << false << true;
        // Thresholds too big for single precision: the largest readings stay inside them.
        const float most = std::numeric_limits<float>::max();
        QTest::newRow("huge thresholds, largest reading")
            << "1" + QString(39, '0') << "-1" + QString(39, '0') << most << false << false;
        QTest::newRow("huge thresholds, lowest reading")
            << "1" + QString(39, '0') << "-1" + QString(39, '0') << -most << false << false;
    }
    void whatTrips() {
        QFETCH(QString, hi);
        QFETCH(QString, lo);
        QFETCH(float, reading);
        QFETCH(bool, hiTrips);
        QFETCH(bool, loTrips);
        Rig rig;
        rig.open(hi, lo);
        rig.panel.evaluate(reading);
        QCOMPARE(rig.hiText(), hiTrips ? HiTrip : HiRest);
        QCOMPARE(rig.loText(), loTrips ? LoTrip : LoRest);
        QCOMPARE(textColour(rig.w.lblHiThresh) == Red, hiTrips);
        QCOMPARE(textColour(rig.w.lblLoThresh) == Red, loTrips);
        QVERIFY(rig.fakes.sound.events.isEmpty()); // unarmed: the label only
        QCOMPARE(faceColour(rig.w.cmdAlarms), LightRed);
    }

    void aTrippedLabelStaysTrippedInside() {
        Rig rig;
        rig.open("1", "");
        rig.panel.evaluate(2.0f);
        rig.panel.evaluate(0.0f);
        QCOMPARE(rig.hiText(), HiTrip);
    }

    void armedTripSoundsUntilReset() {
        Rig rig;
        rig.open("1", "", true);
        rig.panel.evaluate(1.5f);
        QCOMPARE(rig.fakes.sound.events, QStringList{"play:" + rig.wavPath});
        QCOMPARE(rig.w.cmdAlarms->text(), QString("RESET!"));
        QCOMPARE(faceColour(rig.w.cmdAlarms), Red);
        rig.panel.evaluate(1.5f); // no restart while it loops
        QCOMPARE(rig.fakes.sound.events.size(), 1);

        rig.w.cmdAlarms->click();
        QCOMPARE(rig.fakes.sound.events.last(), QString("stop"));
        QCOMPARE(rig.w.cmdAlarms->text(), QString("&Alarms"));
        QCOMPARE(faceColour(rig.w.cmdAlarms), Red); // a sign that an alarm went off
        QVERIFY(!rig.w.chkHiSet->isChecked());
        QVERIFY(rig.w.txtHiAlarm->isVisible());
        QVERIFY(rig.w.lblHiThresh->isVisible());
        QCOMPARE(rig.hiText(), HiRest);
    }

    void missingSoundFileBeepsOnEveryTrippingTick() {
        Rig rig(false);
        rig.open("", "0", false, true);
        rig.panel.evaluate(-1.0f);
        rig.panel.evaluate(-2.0f);
        rig.panel.evaluate(3.0f); // inside: no beep, though the label stays tripped
        QCOMPARE(rig.fakes.sound.events, (QStringList{"beep", "beep"}));
        QCOMPARE(rig.w.cmdAlarms->text(), QString("&Alarms"));
        QCOMPARE(faceColour(rig.w.cmdAlarms), Red);
    }

    void onlyOneSoundAtATime() {
        Rig rig;
        rig.open("1", "9", true, true);
        rig.panel.evaluate(5.0f); // both trip in the same tick
        rig.panel.evaluate(5.0f);
        QCOMPARE(rig.fakes.sound.events, QStringList{"play:" + rig.wavPath});
        QCOMPARE(rig.loText(), LoTrip);
    }

    void unitChangeClearsTheWholePanel() {
        Rig rig;
        rig.open("1", "-1", true);
        rig.panel.evaluate(2.0f);
        rig.panel.clearAlarms();
        QCOMPARE(rig.fakes.sound.events.last(), QString("stop"));
        QCOMPARE(rig.w.cmdAlarms->text(), QString("&Alarms"));
        QCOMPARE(faceColour(rig.w.cmdAlarms), LightRed);
        QVERIFY(rig.w.txtHiAlarm->text().isEmpty());
        QVERIFY(rig.w.txtLowAlarm->text().isEmpty());
        for (QCheckBox* arm : {rig.w.chkHiSet, rig.w.chkLoSet}) {
            QVERIFY(!arm->isChecked());
            QVERIFY(!arm->isEnabled());
            QVERIFY(arm->isHidden());
        }
        QVERIFY(rig.w.txtHiAlarm->isHidden());
        QVERIFY(rig.w.lblHiThresh->isHidden());
        QCOMPARE(rig.hiText(), HiRest);
        QCOMPARE(textColour(rig.w.lblHiThresh), QColor(Qt::black));
    }

    void keyFilterLetsThroughOnlyBackspaceAndPlusToNine() {
        Rig rig;
        rig.open("", "");
        QTest::keyClicks(rig.w.txtHiAlarm, "a1,b/+ x-.9e*:");
        QCOMPARE(rig.w.txtHiAlarm->text(), QString("1,/+-.9"));
        QTest::keyClick(rig.w.txtHiAlarm, Qt::Key_Backspace);
        QCOMPARE(rig.w.txtHiAlarm->text(), QString("1,/+-."));
        QTest::keyClick(rig.w.txtHiAlarm, Qt::Key_Home);
        QTest::keyClick(rig.w.txtHiAlarm, Qt::Key_Delete);
        QCOMPARE(rig.w.txtHiAlarm->text(), QString(",/+-."));
    }

    void editingResetsLabelsAndEnablesOnlyItsOwnArmBox() {
        Rig rig;
        rig.open("1", "1");
        rig.panel.evaluate(1.0f);
        QTest::keyClicks(rig.w.txtLowAlarm, "5");
        QCOMPARE(rig.hiText(), HiRest);
        QCOMPARE(rig.loText(), LoRest);
        QCOMPARE(textColour(rig.w.lblLoThresh), QColor(Qt::black));

        Rig fresh;
        fresh.open("", "2");
        QVERIFY(fresh.w.chkLoSet->isEnabled());
        QVERIFY(!fresh.w.chkHiSet->isEnabled());
        fresh.w.txtLowAlarm->clear();
        QVERIFY(fresh.w.chkLoSet->isEnabled()); // emptying never disables it again
    }

    void onlyTrippedLabelsBlinkAndArmingShowsTheLabel() {
        Rig rig;
        rig.open("", "0");
        rig.panel.evaluate(-1.0f);
        rig.panel.blinkTrippedLabels();
        QVERIFY(rig.w.lblLoThresh->isHidden());
        QVERIFY(rig.w.lblHiThresh->isVisible());
        rig.panel.blinkTrippedLabels();
        QVERIFY(rig.w.lblLoThresh->isVisible());
        rig.panel.blinkTrippedLabels();
        rig.w.chkLoSet->click(); // in the blink's off phase
        QCOMPARE(rig.loText(), LoRest);
        QVERIFY(rig.w.lblLoThresh->isVisible());
    }

    void choosingTheSoundFile() {
        Rig rig;
        const QString before = rig.wavPath;
        rig.panel.chooseSoundFile(); // cancelled
        QCOMPARE(rig.wavPath, before);
        QVERIFY(rig.fakes.messages.shown.isEmpty());
        const auto& request = rig.fakes.dialogs.fileRequests.first();
        QCOMPARE(request.title, QString("Open .WAV file for Alarm..."));
        QCOMPARE(request.filter, QString("WAV|*.wav"));
        QCOMPARE(request.initialPath, settings::InProgramFolder("*.wav"));

        rig.fakes.dialogs.fileResults.enqueue(
            {platform::DialogResult::Status::Ok, "/sounds/bell.wav", 0});
        rig.panel.chooseSoundFile();
        QCOMPARE(rig.wavPath, QString("/sounds/bell.wav"));

        rig.fakes.dialogs.fileResults.enqueue({platform::DialogResult::Status::Failed, {}, 32755});
        rig.panel.chooseSoundFile();
        QCOMPARE(rig.wavPath, QString("/sounds/bell.wav"));
        QCOMPARE(rig.fakes.messages.shown.size(), 1);
        QCOMPARE(rig.fakes.messages.shown[0].title, QString("Unexpected Error!"));
        QCOMPARE(rig.fakes.messages.shown[0].buttons, platform::Buttons::OkOnly);
        QCOMPARE(rig.fakes.messages.shown[0].text,
                 QString("Error #32755 has occurred. Please\r\nreport this to the programmer for "
                         "remediation.\r\n\r\n"));
    }
};

QTEST_MAIN(AlarmPanelTest)
#include "tst_alarmpanel.moc"
