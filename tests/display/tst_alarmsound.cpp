#include <QFile>
#include <QTest>
#include <cmath>

// The default alarm sound made at build time: a playable 16-bit PCM mono WAV with two tones.
class AlarmSoundTest : public QObject {
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(AlarmSoundTest)
#include "tst_alarmsound.moc"
