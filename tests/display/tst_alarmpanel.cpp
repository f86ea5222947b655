#include "Doubles.h"
#include "WidgetPixels.h"
#include "display/AlarmPanel.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

namespace {

const QColor Red(255, 0, 0), LightRed(255, 192, 192);

struct Rig {
    QWidget window;
    AlarmWidgets w{new QPushButton(&window), new QLineEdit(&window), new QLineEdit(&window),
                   new QLabel(&window),      new QLabel(&window),    new QCheckBox(&window),
                   new QCheckBox(&window)};
    doubles::FakePlatform fakes;
    QTemporaryDir dir;
    QString wavPath = dir.filePath("attention.wav");
    AlarmPanel panel{w, fakes.sound, fakes.messages, fakes.dialogs, wavPath};

    explicit Rig(bool soundFilePresent = true) {
        if (soundFilePresent)
            QFile(wavPath).open(QIODevice::WriteOnly);
        window.show();
    }
    // Opens the panel with the given thresholds, both boxes armed or not.
    void open(const QString& hi, const QString& lo, bool arm) {
        w.cmdAlarms->click();
        w.txtHiAlarm->setText(hi);
        w.txtLowAlarm->setText(lo);
        if (arm)
            w.chkHiSet->click(), w.chkLoSet->click();
    }
    // A label's caption and text colour, as "Hi Trigger! #ff0000".
    static QString shown(const QLabel* label) {
        return label->text() + ' ' + label->palette().color(QPalette::WindowText).name();
    }
    // The button's face as the shown button paints it: styles shade a plain palette colour.
    QColor face() const { return pixels::Face(w.cmdAlarms); }
};

const QString HiRest("Hi Threshold: #000000"), LoRest("Lo Threshold: #000000");

} // namespace

class AlarmPanelTest : public QObject {
    Q_OBJECT
private slots:
    void thresholdIsTheLeadingNumberInSinglePrecision_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("value");
        QTest::newRow("signed fraction") << "-2.5x" << -2.5f;
        QTest::newRow("sign only") << "-" << 0.0f;
        QTest::newRow("trailing point") << "3." << 3.0f;
        const float inf = std::numeric_limits<float>::infinity();
        QTest::newRow("beyond single") << "1" + QString(39, '0') << inf;
        QTest::newRow("below single's lowest") << "-1" + QString(39, '0') << -inf;
        QTest::newRow("beyond double") << "+9" + QString(400, '9') << inf;
    }
    void thresholdIsTheLeadingNumberInSinglePrecision() {
        QFETCH(QString, text);
        QTEST(AlarmPanel::Threshold(text), "value");
    }

    // Readings in turn against armed boxes: which labels trip (and stay tripped once back
    // inside), and what sounds: one looping sound, or a beep on every tripping tick without
    // the sound file.
    void whatTripsAndSounds_data() {
        QTest::addColumn<QString>("hi");
        QTest::addColumn<QString>("lo");
        QTest::addColumn<QList<float>>("readings");
        QTest::addColumn<bool>("wavFile");
        QTest::addColumn<QString>("tripped");
        QTest::addColumn<QString>("sounds");
        const auto row = [](const char* name, QString hi, QString lo, QList<float> readings,
                            bool wavFile, const char* tripped, const char* sounds) {
            QTest::newRow(name) << hi << lo << readings << wavFile << QString(tripped)
                                << QString(sounds);
        };
        const QString huge = "1" + QString(39, '0');
        const float most = std::numeric_limits<float>::max();
        row("both at equality, the first sounds", "5", "5", {5}, true, "hi lo", "play");
        row("single precision equality", "0.1", "", {0.1f}, true, "hi", "play");
        row("empty or huge thresholds, extreme readings", huge, "", {most, -most}, true, "", "");
        row("stays tripped inside, one sound", "1", "9", {5, 5, 0}, true, "hi lo", "play");
        row("no sound file: a beep per tripping tick", "", "0", {-1, -2, 3}, false, "lo",
            "beep,beep");
    }
    void whatTripsAndSounds() {
        QFETCH(QString, hi);
        QFETCH(QString, lo);
        QFETCH(QList<float>, readings);
        QFETCH(bool, wavFile);
        QFETCH(QString, tripped);
        QFETCH(QString, sounds);
        Rig rig(wavFile);
        rig.open(hi, lo, true);
        for (float reading : readings)
            rig.panel.evaluate(reading);
        QCOMPARE(Rig::shown(rig.w.lblHiThresh),
                 tripped.contains("hi") ? QString("Hi Trigger! #ff0000") : HiRest);
        QCOMPARE(Rig::shown(rig.w.lblLoThresh),
                 tripped.contains("lo") ? QString("Lo Trigger! #ff0000") : LoRest);
        QCOMPARE(rig.fakes.sound.events.join(',').remove(":" + rig.wavPath), sounds);
        QCOMPARE(rig.w.cmdAlarms->text(), QString(sounds == "play" ? "RESET!" : "&Alarms"));
        QCOMPARE(rig.face(), sounds.isEmpty() ? LightRed : Red);
    }

    // Tripped labels blink, and arming in the off phase shows the label again. Typing lets
    // only backspace and "+" to "9" through; an edit resets the labels and enables its own
    // arm box, which emptying never disables again. RESET! stops the sound and disarms,
    // keeping the red face; a unit change clears the whole panel; the button then toggles it.
    // A sound file that cannot be chosen leaves the old one.
    void blinkTypingResetUnitChangeAndSoundFile() {
        Rig rig;
        rig.open("", "0", false);
        QVERIFY(!rig.w.chkHiSet->isEnabled());
        rig.panel.evaluate(-1.0f);
        QVERIFY(rig.fakes.sound.events.isEmpty()); // not armed
        rig.panel.blinkTrippedLabels();
        QVERIFY(rig.w.lblLoThresh->isHidden() && rig.w.lblHiThresh->isVisible());
        rig.panel.blinkTrippedLabels();
        QVERIFY(rig.w.lblLoThresh->isVisible());
        rig.panel.blinkTrippedLabels();
        rig.w.chkLoSet->click();
        QVERIFY(rig.w.lblLoThresh->isVisible() && Rig::shown(rig.w.lblLoThresh) == LoRest);
        rig.panel.evaluate(-1.0f);

        QTest::keyClicks(rig.w.txtHiAlarm, "a1,b/+ x-.9e*:");
        QTest::keyClick(rig.w.txtHiAlarm, Qt::Key_Backspace);
        QCOMPARE(rig.w.txtHiAlarm->text(), QString("1,/+-."));
        QCOMPARE(Rig::shown(rig.w.lblLoThresh), LoRest);
        rig.w.txtHiAlarm->clear();
        QVERIFY(rig.w.chkHiSet->isEnabled());

        rig.w.cmdAlarms->click();
        QCOMPARE(rig.fakes.sound.events.last(), QString("stop"));
        QCOMPARE(rig.w.cmdAlarms->text(), QString("&Alarms"));
        QCOMPARE(rig.face(), Red); // a sign that an alarm went off
        QVERIFY(!rig.w.chkLoSet->isChecked() && rig.w.txtLowAlarm->isVisible());

        rig.panel.evaluate(-2.0f);
        rig.panel.clearAlarms();
        QCOMPARE(rig.face(), LightRed);
        QVERIFY(rig.w.txtLowAlarm->text().isEmpty() && !rig.w.chkLoSet->isEnabled());
        QVERIFY(rig.w.txtLowAlarm->isHidden() && rig.w.lblLoThresh->isHidden());
        QCOMPARE(Rig::shown(rig.w.lblLoThresh), LoRest);
        rig.w.cmdAlarms->click();
        QVERIFY(rig.w.txtHiAlarm->isVisible());
        rig.w.cmdAlarms->click();
        QVERIFY(rig.w.txtHiAlarm->isHidden());

        rig.panel.chooseSoundFile(); // cancelled
        const auto& request = rig.fakes.dialogs.fileRequests.first();
        QCOMPARE(request.title, QString("Open .WAV file for Alarm..."));
        QCOMPARE(request.filter, QString("WAV|*.wav"));
        rig.fakes.dialogs.fileResults.enqueue({platform::DialogResult::Status::Failed, {}, 32755});
        rig.panel.chooseSoundFile();
        QCOMPARE(rig.wavPath, rig.dir.filePath("attention.wav"));
        QCOMPARE(rig.fakes.messages.shown.size(), 1);
        QCOMPARE(rig.fakes.messages.shown[0].title, QString("Unexpected Error!"));
    }

    // The default alarm sound made at build time: a 16-bit PCM mono WAV.
    void defaultAlarmSoundIsAPcmWav() {
        QFile file(qEnvironmentVariable("VOLTRANE_BUILD_DIR") + "/attention.wav");
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QByteArray wav = file.readAll();
        QCOMPARE(wav.mid(0, 4) + wav.mid(8, 8) + wav.mid(20, 4) + wav.mid(34, 6),
                 QByteArray("RIFFWAVEfmt \x01\x00\x01\x00\x10\x00"
                            "data",
                            22));
    }
};

QTEST_MAIN(AlarmPanelTest)
#include "tst_alarmpanel.moc"
