#include "Doubles.h"
#include "meterlink/MeterLink.h"
#include "meterlink/PortConnection.h"
#include "meterlink/ReceiveRing.h"
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using meterlink::ReceiveRing;

namespace {

// Feeds text to a ring and returns the lines it completed; a 0x01 byte stands for a reset.
QStringList feed(ReceiveRing& ring, const QByteArray& bytes) {
    QStringList lines;
    for (const char c : bytes)
        if (c == '\x01')
            ring.reset();
        else if (const auto line = ring.receive(QChar(uchar(c))))
            lines << *line;
    return lines;
}

struct Link {
    doubles::FakePlatform fake;
    CurrentReading reading;
    LinkCounters counters;
    meterlink::MeterLink link{fake.serial, fake.clock, reading, counters};
};

} // namespace

class tst_MeterLink : public QObject {
    Q_OBJECT

private slots:
    // --- receive ring ---
    // Each line after the first drops the character after the previous CR (normally the LF).
    void ringSplitsLines_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        const QByteArray dual = "+1.2345E+0 VAC,+6.0000E+1 HZ\r\n"; // 30 characters
        QTest::newRow("later lines drop the LF")
            << QByteArray("+1E+0 VDC\r\n+2E+0 VDC\r\n+3E+0 VDC\r\n")
            << QStringList{"+1E+0 VDC", "+2E+0 VDC", "+3E+0 VDC"};
        QTest::newRow("CR after CR: empty lines, the B dropped")
            << QByteArray("A\r\rB\r\nC\r\n") << QStringList{"A", "", "", "C"};
        QTest::newRow("wraps after 32 characters")
            << dual.repeated(5) << QStringList(5, "+1.2345E+0 VAC,+6.0000E+1 HZ");
        QTest::newRow("over-long line capped, the next intact")
            << QByteArray(10000, '7') + "\r\nAB\r\n"
            << QStringList{QString(ReceiveRing::MaxLineLength, '7'), "AB"};
        // A reset drops the part line; a CR left in the last slot must not end a line after it.
        QTest::newRow("reset starts afresh")
            << QByteArray("+1E+0 VDC\r\n+2E+0 V\x01+3E+0 VDC\r\n") + QByteArray(20, 'x') +
                   "\r\x01"
                   "AB\r\n"
            << QStringList{"+1E+0 VDC", "+3E+0 VDC", "AB"};
    }
    void ringSplitsLines() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        ReceiveRing ring;
        QCOMPARE(feed(ring, bytes), lines);
    }

    // --- the link over a port ---
    void completedLinesBecomeTheCurrentReading() {
        Link l;
        QSignalSpy completed(&l.link, &meterlink::MeterLink::lineCompleted);
        l.counters.LinkLost = true;
        l.counters.NoReplyCount = 9;
        l.fake.serial.inject("+1.2345E+3 OHMS\r");
        QCOMPARE(l.counters.NoReplyCount, qint16(0)); // every character shows the meter is there
        QVERIFY(l.counters.LinkLost); // characters alone do not make the reading fresh again
        QCOMPARE(completed.count(), 0);
        QCOMPARE(l.reading.PriValue, 0.0f);
        l.fake.serial.inject("\n+1.2345E+0 VAC,+6.0000E+1 HZ\r\n");
        QCOMPARE(completed.count(), 2);
        QVERIFY(!l.counters.LinkLost);
        QCOMPARE(l.reading.SecValue, 60.0f);
        l.fake.serial.inject("+1.0E+0 \xb5VDC\r\n"); // bytes above 127 are characters too
        QCOMPARE(l.reading.PriUnits, QString(" \u00b5VDC"));
        // After the watchdog's reset the next line is kept whole.
        l.fake.serial.inject("+2E+0");
        l.link.ResetReceiveState();
        l.fake.serial.inject("-1.2345E+0 VDC\r\n");
        QCOMPARE(l.reading.PriValue, -1.2345f);
    }

    void noiseNeverBreaksTheLink() {
        Link l;
        QByteArray noise(20000, '\0');
        QRandomGenerator(45).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        l.fake.serial.inject(noise);
        l.fake.serial.inject(QByteArray(5000, '\0'));
        l.fake.serial.inject("\r\n+1.2345E+0 VDC\r\n+9E+999 VDC\r\n+2.5000E+0 VDC\r\n+");
        QCOMPARE(l.reading.PriValue, 2.5f);
        QCOMPARE(l.reading.PriDispUnits, QString("VDC"));
    }

    void commandsGoOutInOrderWithTheirPauses() {
        Link l;
        l.counters.NoReplyLimit = 7;
        l.counters.NoReplyCount = 4;
        l.link.SendStartupCommands();
        l.link.SendMeterCommand("VAC; DB; FREQ2"); // one CR added
        QCOMPARE(l.fake.serial.written,
                 QByteArray("FORMAT 2; RATE F\r\nRATE F\rVAC\rVAC; DB; FREQ2\r"));
        QCOMPARE(l.fake.clock.pauses, (QList<int>{250, 250}));
        QCOMPARE(l.counters.NoReplyLimit, qint16(35));
        QCOMPARE(l.counters.NoReplyCount, qint16(0));
    }

    // --- port choice ---
    void probingThenSwitchingClosesThenOpensTheNewPort() {
        doubles::FakeSerialPort port;
        port.presentPorts = {3, 5};
        QCOMPARE(meterlink::ProbePorts(port),
                 (QList<bool>{false, false, true, false, true, false, false, false}));
        qint16 CommPortNo = 3;
        port.open(3);
        QCOMPARE(meterlink::SwitchPort(port, CommPortNo, 5), 0);
        QCOMPARE(CommPortNo, qint16(5));
        QCOMPARE(port.closeCount, 1);
        QCOMPARE(port.opened, (QList<int>{3, 5}));
        QVERIFY(port.isOpen());
        QVERIFY(port.written.isEmpty());
        // A failed open leaves the port closed on the new number.
        port.openError = 8005;
        QCOMPARE(meterlink::SwitchPort(port, CommPortNo, 2), 8005);
        QCOMPARE(CommPortNo, qint16(2));
        QVERIFY(!port.isOpen());
        QVERIFY(meterlink::PortSwitchErrorText(8005, 2).contains("Com2"));
    }
};

QTEST_GUILESS_MAIN(tst_MeterLink)
#include "tst_meterlink.moc"
