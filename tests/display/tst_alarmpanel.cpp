#include "Doubles.h"
#include "display/AlarmPanel.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QColor textColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}
QColor faceColour(const QPushButton* b) {
    return b->palette().color(QPalette::Button);
}
const QColor Red(255, 0, 0);
const QColor LightRed(255, 192, 192);

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
    void openPanel() { w.cmdAlarms->click(); }
    void arm(QCheckBox* box) {
        if (!box->isChecked())
            box->click();
    }
};

} // namespace

class AlarmPanelTest : public QObject {
    Q_OBJECT
private slots:
    void startsHiddenWithRestingCaptions() {
        Rig rig;
        QCOMPARE(rig.w.cmdAlarms->text(), QString("&Alarms"));
        QCOMPARE(faceColour(rig.w.cmdAlarms), LightRed);
        for (QWidget* c :
             std::initializer_list<QWidget*>{rig.w.txtHiAlarm, rig.w.txtLowAlarm, rig.w.lblHiThresh,
                                             rig.w.lblLoThresh, rig.w.chkHiSet, rig.w.chkLoSet})
            QVERIFY(c->isHidden());
        QVERIFY(!rig.w.chkHiSet->isEnabled());
        QVERIFY(!rig.w.chkLoSet->isEnabled());
        QCOMPARE(rig.w.lblHiThresh->text(), QString("Hi Threshold:"));
        QCOMPARE(rig.w.lblLoThresh->text(), QString("Lo Threshold:"));
    }

    void alarmsButtonTogglesThePanelAndKeepsTheThresholds() {
        Rig rig;
        rig.openPanel();
        QVERIFY(rig.w.txtHiAlarm->isVisible());
        QVERIFY(rig.w.chkLoSet->isVisible());
        rig.w.txtHiAlarm->setText("7");
        rig.arm(rig.w.chkHiSet);
        rig.openPanel(); // second press hides it
        QVERIFY(rig.w.txtHiAlarm->isHidden());
        QVERIFY(rig.w.lblHiThresh->isHidden());
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
    }
    void thresholdIsTheLeadingNumberInSinglePrecision() {
        QFETCH(QString, text);
        QFETCH(float, value);
        QCOMPARE(AlarmPanel::Threshold(text), value);
    }

    void bothAlarmsTripAtEquality() {
        Rig rig;
        rig.openPanel();
        rig.w.txtHiAlarm->setText("5");
        rig.w.txtLowAlarm->setText("5");
        rig.panel.evaluate(5.0f);
        QCOMPARE(rig.w.lblHiThresh->text(), QString("Hi Trigger!"));
        QCOMPARE(rig.w.lblLoThresh->text(), QString("Lo Trigger!"));
        QCOMPARE(textColour(rig.w.lblHiThresh), Red);
        QCOMPARE(textColour(rig.w.lblLoThresh), Red);
    }

    void singlePrecisionReadingEqualToASinglePrecisionThresholdTrips() {
        Rig rig;
        rig.openPanel();
        rig.w.txtHiAlarm->setText("0.1");
        rig.panel.evaluate(0.1f);
        QCOMPARE(rig.w.lblHiThresh->text(), QString("Hi Trigger!"));
    }

    void emptyBoxesNeverTripAndInsideReadingsDoNot() {
        Rig rig;
        rig.openPanel();
        rig.panel.evaluate(-1e30f);
        rig.panel.evaluate(1e30f);
        rig.w.txtHiAlarm->setText("10");
        rig.w.txtLowAlarm->setText("-10");
        rig.panel.evaluate(9.99f);
        QCOMPARE(rig.w.lblHiThresh->text(), QString("Hi Threshold:"));
        QCOMPARE(rig.w.lblLoThresh->text(), QString("Lo Threshold:"));
    }

    void unarmedTripShowsOnlyTheLabel() {
        Rig rig;
        rig.openPanel();
        rig.w.txtHiAlarm->setText("1");
        rig.panel.evaluate(2.0f);
        QCOMPARE(rig.w.lblHiThresh->text(), QString("Hi Trigger!"));
        QCOMPARE(rig.w.cmdAlarms->text(), QString("&Alarms"));
        QCOMPARE(faceColour(rig.w.cmdAlarms), LightRed);
        QVERIFY(rig.fakes.sound.events.isEmpty());
        rig.panel.evaluate(0.0f); // back inside: the label stays tripped
        QCOMPARE(rig.w.lblHiThresh->text(), QString("Hi Trigger!"));
    }

    void armedTripSoundsUntilReset() {
        Rig rig;
        rig.openPanel();
        rig.w.txtHiAlarm->setText("1");
        rig.arm(rig.w.chkHiSet);
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
        QVERIFY(!rig.w.chkLoSet->isChecked());
        QVERIFY(rig.w.txtHiAlarm->isVisible());
        QVERIFY(rig.w.lblHiThresh->isVisible());
        QCOMPARE(rig.w.lblHiThresh->text(), QString("Hi Threshold:"));
    }

    void missingSoundFileBeepsOnEveryTrippingTick() {
        Rig rig(false);
        rig.openPanel();
        rig.w.txtLowAlarm->setText("0");
        rig.arm(rig.w.chkLoSet);
        rig.panel.evaluate(-1.0f);
        rig.panel.evaluate(-2.0f);
        rig.panel.evaluate(3.0f); // inside: no beep, though the label stays tripped
        QCOMPARE(rig.fakes.sound.events, (QStringList{"beep", "beep"}));
        QCOMPARE(rig.w.cmdAlarms->text(), QString("&Alarms"));
        QCOMPARE(faceColour(rig.w.cmdAlarms), Red);
    }

    void onlyOneSoundAtATime() {
        Rig rig;
        rig.openPanel();
        rig.w.txtHiAlarm->setText("1");
        rig.w.txtLowAlarm->setText("9");
        rig.arm(rig.w.chkHiSet);
        rig.arm(rig.w.chkLoSet);
        rig.panel.evaluate(5.0f); // both trip in the same tick
        rig.panel.evaluate(5.0f);
        QCOMPARE(rig.fakes.sound.events, QStringList{"play:" + rig.wavPath});
        QCOMPARE(rig.w.lblLoThresh->text(), QString("Lo Trigger!"));
    }

    void unitChangeClearsTheWholePanel() {
        Rig rig;
        rig.openPanel();
        rig.w.txtHiAlarm->setText("1");
        rig.w.txtLowAlarm->setText("-1");
        rig.arm(rig.w.chkHiSet);
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
        QCOMPARE(rig.w.lblHiThresh->text(), QString("Hi Threshold:"));
        QCOMPARE(textColour(rig.w.lblHiThresh), QColor(Qt::black));
    }

    void keyFilterLetsThroughOnlyBackspaceAndPlusToNine() {
        Rig rig;
        rig.openPanel();
        QTest::keyClicks(rig.w.txtHiAlarm, "a1,b/+ x-.9e*");
        QCOMPARE(rig.w.txtHiAlarm->text(), QString("1,/+-.9"));
        QTest::keyClick(rig.w.txtHiAlarm, Qt::Key_Backspace);
        QCOMPARE(rig.w.txtHiAlarm->text(), QString("1,/+-."));
        QTest::keyClick(rig.w.txtHiAlarm, Qt::Key_Home);
        QTest::keyClick(rig.w.txtHiAlarm, Qt::Key_Delete);
        QCOMPARE(rig.w.txtHiAlarm->text(), QString(",/+-."));
        QVERIFY(AlarmPanel::AcceptsKeyChar(8));
        QVERIFY(AlarmPanel::AcceptsKeyChar('+'));
        QVERIFY(AlarmPanel::AcceptsKeyChar('9'));
        QVERIFY(!AlarmPanel::AcceptsKeyChar('*'));
        QVERIFY(!AlarmPanel::AcceptsKeyChar(':'));
    }

    void editingResetsLabelsAndEnablesOnlyItsOwnArmBox() {
        Rig rig;
        rig.openPanel();
        rig.w.txtHiAlarm->setText("1");
        rig.w.txtLowAlarm->setText("1");
        rig.panel.evaluate(1.0f);
        QTest::keyClicks(rig.w.txtLowAlarm, "5");
        QCOMPARE(rig.w.lblHiThresh->text(), QString("Hi Threshold:"));
        QCOMPARE(rig.w.lblLoThresh->text(), QString("Lo Threshold:"));
        QCOMPARE(textColour(rig.w.lblLoThresh), QColor(Qt::black));

        Rig fresh;
        fresh.openPanel();
        fresh.w.txtLowAlarm->setText("2");
        QVERIFY(fresh.w.chkLoSet->isEnabled());
        QVERIFY(!fresh.w.chkHiSet->isEnabled());
        fresh.w.txtLowAlarm->clear();
        QVERIFY(fresh.w.chkLoSet->isEnabled()); // emptying never disables it again
    }

    void armBoxClickResetsAndShowsItsLabel() {
        Rig rig;
        rig.openPanel();
        rig.w.txtHiAlarm->setText("1");
        rig.panel.evaluate(3.0f);
        rig.panel.blinkTrippedLabels(); // hidden in the blink's off phase
        QVERIFY(rig.w.lblHiThresh->isHidden());
        rig.w.chkHiSet->click();
        QCOMPARE(rig.w.lblHiThresh->text(), QString("Hi Threshold:"));
        QVERIFY(rig.w.lblHiThresh->isVisible());
    }

    void onlyTrippedLabelsBlink() {
        Rig rig;
        rig.openPanel();
        rig.w.txtLowAlarm->setText("0");
        rig.panel.evaluate(-1.0f);
        rig.panel.blinkTrippedLabels();
        QVERIFY(rig.w.lblLoThresh->isHidden());
        QVERIFY(rig.w.lblHiThresh->isVisible());
        rig.panel.blinkTrippedLabels();
        QVERIFY(rig.w.lblLoThresh->isVisible());
        QVERIFY(rig.w.lblHiThresh->isVisible());
    }

    void choosingTheSoundFile() {
        Rig rig;
        const QString before = rig.wavPath;
        rig.panel.chooseSoundFile("/data/Test.vtd"); // cancelled
        QCOMPARE(rig.wavPath, before);
        QVERIFY(rig.fakes.messages.shown.isEmpty());
        const auto& request = rig.fakes.dialogs.fileRequests.first();
        QCOMPARE(request.title, QString("Open .WAV file for Alarm..."));
        QCOMPARE(request.filter, QString("WAV|*.wav"));
        QCOMPARE(request.initialPath, QString("/data/Test.vtd"));

        rig.fakes.dialogs.fileResults.enqueue(
            {platform::DialogResult::Status::Ok, "/sounds/bell.wav", 0});
        rig.panel.chooseSoundFile("/data/Test.vtd");
        QCOMPARE(rig.wavPath, QString("/sounds/bell.wav"));

        rig.fakes.dialogs.fileResults.enqueue({platform::DialogResult::Status::Failed, {}, 32755});
        rig.panel.chooseSoundFile("/data/Test.vtd");
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
