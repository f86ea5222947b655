#include "MeterSimProcess.h"
#include "meterlink/MeterLink.h"
#include "platform/QtSerialPort.h"
#include <QSettings>
#include <QTest>
#include <QThread>

namespace {

// Blocks like the real clock and notes what the meter had received by the end of each pause.
class WatchingClock : public platform::Clock {
public:
    explicit WatchingClock(const testsupport::MeterSimProcess& sim) : sim_(sim) {}
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    void pause(int milliseconds) override {
        QThread::msleep(milliseconds);
        seenAfterPause.append(sim_.logged());
    }
    QList<QByteArray> seenAfterPause;

private:
    const testsupport::MeterSimProcess& sim_;
};

} // namespace

// The meter link end to end: Qt serial port, pseudo-terminal, simulator.
class tst_LinkEndToEnd : public QObject {
    Q_OBJECT

    testsupport::MeterSimProcess sim;

private slots:
    void init() {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Voltrane", "Voltrane");
        store.clear();
    }
    void cleanup() { sim.stop(); }

    void startupBytesArriveInOrderAndReadingsComeOut() {
        QVERIFY2(sim.start({"--interval", "50", "--reading", "-12.345E-3 ADC"}),
                 qPrintable(sim.error()));
        sim.mapToPort(1);
        platform::QtSerialPort port;
        WatchingClock clock(sim);
        CurrentReading reading;
        LinkCounters counters;
        meterlink::MeterLink link(port, clock, reading, counters);
        QCOMPARE(port.open(1), platform::SerialError::None);

        link.SendStartupCommands();
        QVERIFY(sim.waitForLogged("VAC\r"));
        QCOMPARE(sim.logged(), QByteArray("FORMAT 2; RATE F\r\nRATE F\rVAC\r"));
        // Each command left before the pause after it, though no event was handled meanwhile.
        QCOMPARE(clock.seenAfterPause, (QList<QByteArray>{"", "FORMAT 2; RATE F\r\n"}));

        // The meter's prompts are lines too (they read as zero); the readings follow them.
        QVERIFY(QTest::qWaitFor([&] { return reading.PriValue == -0.012345f; }, 10000));
        QCOMPARE(reading.PriText, QString("-12.345"));
        QCOMPARE(reading.PriDispUnits, QString("mADC"));
        QCOMPARE(counters.NoReplyCount, qint16(0));
    }
};

QTEST_GUILESS_MAIN(tst_LinkEndToEnd)
#include "tst_link_endtoend.moc"
