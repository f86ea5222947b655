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
#include <QtEndian>
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
        rig.fakes.dialogs.fileResults.enqueue({platform::DialogResult::Status::Failed, {}, 32755});
        rig.panel.chooseSoundFile();
        QCOMPARE(rig.wavPath, before);
        QCOMPARE(rig.fakes.messages.shown.size(), 1);
        QCOMPARE(rig.fakes.messages.shown[0].title, QString("Unexpected Error!"));
    }

    // The default alarm sound made at build time: a playable 16-bit PCM mono WAV, two tones.
    void defaultAlarmSoundIsATwoTonePcmWav() {
        QFile file(qEnvironmentVariable("VOLTRANE_BUILD_DIR") + "/attention.wav");
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QByteArray wav = file.readAll();
        QVERIFY(wav.size() > 44);
        const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(wav.constData() + at); };
        const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
        QCOMPARE(wav.mid(0, 4) + wav.mid(8, 8) + wav.mid(36, 4), QByteArray("RIFFWAVEfmt data"));
        const quint32 rate = u32(24), bytes = wav.size() - 44;
        // RIFF size, PCM, mono, bits per sample, byte rate, data size
        QCOMPARE(QList<quint32>({u32(4), u16(20), u16(22), u16(34), u32(28), u32(40)}),
                 QList<quint32>({bytes + 36, 1, 1, 16, rate * 2, bytes}));
        const double seconds = double(bytes) / (2 * rate);
        QVERIFY(seconds > 0.3 && seconds < 2.0);

        // Count zero crossings in the first and second tenth-second: two different pitches.
        const auto crossings = [&](double from) {
            int n = 0;
            for (int i = int(from * rate), end = i + int(0.1 * rate); i < end; ++i)
                n += (qint16(u16(44 + 2 * i)) >= 0) != (qint16(u16(42 + 2 * i)) >= 0);
            return n;
        };
        const int high = crossings(0.02), low = crossings(0.16);
        QVERIFY2(high > 150 && low > 100, qPrintable(QString("%1 %2").arg(high).arg(low)));
        QVERIFY(std::abs(high - low) > 40);
    }
};

QTEST_MAIN(AlarmPanelTest)
#include "tst_alarmpanel.moc"
