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
#include <cmath>
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
    void thresholdIsTheLeadingNumberInSinglePrecision_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("value");
        QTest::newRow("comma stops") << "1,5" << 1.0f;
        QTest::newRow("signed fraction") << "-2.5x" << -2.5f;
        QTest::newRow("no leading zero") << "+.5" << 0.5f;
        QTest::newRow("second point stops") << "1.2.3" << 1.2f;
        QTest::newRow("no number") << "abc" << 0.0f;
        QTest::newRow("sign only") << "-" << 0.0f;
        QTest::newRow("trailing point") << "3." << 3.0f;
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

    // Readings in turn against the boxes: which labels trip (and stay tripped once back
    // inside), and what sounds when both alarms are armed: one looping sound, or a beep on
    // every tripping tick without the sound file.
    void whatTripsAndSounds_data() {
        QTest::addColumn<QString>("hi");
        QTest::addColumn<QString>("lo");
        QTest::addColumn<QList<float>>("readings");
        QTest::addColumn<bool>("armed");
        QTest::addColumn<bool>("wavFile");
        QTest::addColumn<bool>("hiTrips");
        QTest::addColumn<bool>("loTrips");
        QTest::addColumn<QStringList>("sounds");
        const QString huge = "1" + QString(39, '0');
        const float most = std::numeric_limits<float>::max();
        QTest::newRow("both at equality, unarmed")
            << "5"
            << "5" << QList<float>{5} << false << true << true << true << QStringList();
        QTest::newRow("single precision equality")
            << "0.1"
            << "" << QList<float>{0.1f} << false << true << true << false << QStringList();
        QTest::newRow("empty boxes")
            << ""
            << "" << QList<float>{1e30f, -1e30f} << true << true << false << false << QStringList();
        QTest::newRow("huge thresholds, extreme readings")
            << huge << "-" + huge << QList<float>{most, -most} << true << true << false << false
            << QStringList();
        QTest::newRow("stays tripped inside, one sound")
            << "1"
            << "9" << QList<float>{5, 5, 0} << true << true << true << true << QStringList{"play"};
        QTest::newRow("no sound file: a beep per tripping tick")
            << ""
            << "0" << QList<float>{-1, -2, 3} << true << false << false << true
            << QStringList{"beep", "beep"};
    }
    void whatTripsAndSounds() {
        QFETCH(QString, hi);
        QFETCH(QString, lo);
        QFETCH(QList<float>, readings);
        QFETCH(bool, armed);
        QFETCH(bool, wavFile);
        QFETCH(bool, hiTrips);
        QFETCH(bool, loTrips);
        QFETCH(QStringList, sounds);
        Rig rig(wavFile);
        rig.open(hi, lo, armed, armed);
        for (float reading : readings)
            rig.panel.evaluate(reading);
        QCOMPARE(rig.hiText(), hiTrips ? HiTrip : HiRest);
        QCOMPARE(rig.loText(), loTrips ? LoTrip : LoRest);
        QCOMPARE(textColour(rig.w.lblHiThresh) == Red, hiTrips);
        QCOMPARE(textColour(rig.w.lblLoThresh) == Red, loTrips);
        QCOMPARE(rig.fakes.sound.events.join(',').remove(":" + rig.wavPath), sounds.join(','));
        QCOMPARE(rig.w.cmdAlarms->text(), QString(sounds.contains("play") ? "RESET!" : "&Alarms"));
        QCOMPARE(faceColour(rig.w.cmdAlarms), sounds.isEmpty() ? LightRed : Red);
    }

    // RESET! stops the sound and disarms, keeping the red face; a unit change clears the
    // whole panel.
    void resetThenUnitChange() {
        Rig rig;
        rig.open("1", "-1", true);
        rig.panel.evaluate(1.5f);
        rig.w.cmdAlarms->click();
        QCOMPARE(rig.fakes.sound.events.last(), QString("stop"));
        QCOMPARE(rig.w.cmdAlarms->text(), QString("&Alarms"));
        QCOMPARE(faceColour(rig.w.cmdAlarms), Red); // a sign that an alarm went off
        QVERIFY(!rig.w.chkHiSet->isChecked());
        QVERIFY(rig.w.lblHiThresh->isVisible());
        QCOMPARE(rig.hiText(), HiRest);

        rig.panel.evaluate(2.0f);
        rig.panel.clearAlarms();
        QCOMPARE(faceColour(rig.w.cmdAlarms), LightRed);
        QVERIFY(rig.w.txtHiAlarm->text().isEmpty());
        QVERIFY(!rig.w.chkHiSet->isEnabled());
        QVERIFY(rig.w.txtHiAlarm->isHidden() && rig.w.lblHiThresh->isHidden());
        QCOMPARE(rig.hiText(), HiRest);
        QCOMPARE(textColour(rig.w.lblHiThresh), QColor(Qt::black));
        rig.w.cmdAlarms->click(); // the panel toggles
        QVERIFY(rig.w.txtHiAlarm->isVisible());
        rig.w.cmdAlarms->click();
        QVERIFY(rig.w.txtHiAlarm->isHidden());
    }

    // Typing: only backspace and "+" to "9" get through; an edit resets both labels and enables
    // its own arm box, which emptying never disables again.
    void typingInTheBoxes() {
        Rig rig;
        rig.open("", "1");
        QVERIFY(!rig.w.chkHiSet->isEnabled());
        rig.panel.evaluate(1.0f);
        QTest::keyClicks(rig.w.txtHiAlarm, "a1,b/+ x-.9e*:");
        QCOMPARE(rig.w.txtHiAlarm->text(), QString("1,/+-.9"));
        QTest::keyClick(rig.w.txtHiAlarm, Qt::Key_Backspace);
        QCOMPARE(rig.w.txtHiAlarm->text(), QString("1,/+-."));
        QCOMPARE(rig.loText(), LoRest);
        QCOMPARE(textColour(rig.w.lblLoThresh), QColor(Qt::black));
        rig.w.txtHiAlarm->clear();
        QVERIFY(rig.w.chkHiSet->isEnabled());
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
        const auto& request = rig.fakes.dialogs.fileRequests.first();
        QCOMPARE(request.title, QString("Open .WAV file for Alarm..."));
        QCOMPARE(request.filter, QString("WAV|*.wav"));
        QCOMPARE(request.initialPath, settings::InProgramFolder("*.wav"));
        rig.fakes.dialogs.fileResults.enqueue(
            {platform::DialogResult::Status::Ok, "/sounds/bell.wav", 0});
        rig.panel.chooseSoundFile();
        rig.fakes.dialogs.fileResults.enqueue({platform::DialogResult::Status::Failed, {}, 32755});
        rig.panel.chooseSoundFile();
        QCOMPARE(rig.wavPath, QString("/sounds/bell.wav"));
        QCOMPARE(rig.fakes.messages.shown.size(), 1);
        QCOMPARE(rig.fakes.messages.shown[0].title, QString("Unexpected Error!"));
    }

    // The default alarm sound made at build time: a playable 16-bit PCM mono WAV, two tones.
    void defaultAlarmSoundIsATwoTonePcmWav() {
        const QString path = qEnvironmentVariable("VOLTRANE_BUILD_DIR") + "/attention.wav";
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray wav = file.readAll();
        QVERIFY(wav.size() > 44);
        const auto byte = [&](int at) { return quint32(quint8(wav.at(at))); };
        const auto u16 = [&](int at) { return quint16(byte(at) | byte(at + 1) << 8); };
        const auto u32 = [&](int at) { return quint32(u16(at) | quint32(u16(at + 2)) << 16); };
        QCOMPARE(wav.mid(0, 4), QByteArray("RIFF"));
        QCOMPARE(u32(4), quint32(wav.size() - 8));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(u16(20), quint16(1)); // PCM
        QCOMPARE(u16(22), quint16(1)); // mono
        QCOMPARE(u16(34), quint16(16));
        const quint32 rate = u32(24);
        QCOMPARE(u32(28), rate * 2);
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        const quint32 bytes = u32(40);
        QCOMPARE(bytes, quint32(wav.size() - 44));
        const double seconds = double(bytes) / (2 * rate);
        QVERIFY(seconds > 0.3 && seconds < 2.0);

        // Count zero crossings in the first and second tenth-second: two different pitches.
        const auto crossings = [&](double from) {
            const int first = int(from * rate), count = int(0.1 * rate);
            int n = 0;
            qint16 previous = 0;
            for (int i = first; i < first + count; ++i) {
                const auto s = qint16(u16(44 + 2 * i));
                if ((s >= 0) != (previous >= 0))
                    ++n;
                previous = s;
            }
            return n;
        };
        const int high = crossings(0.02), low = crossings(0.16);
        QVERIFY2(high > 150 && low > 100, qPrintable(QString("%1 %2").arg(high).arg(low)));
        QVERIFY(std::abs(high - low) > 40);
    }
};

QTEST_MAIN(AlarmPanelTest)
#include "tst_alarmpanel.moc"
