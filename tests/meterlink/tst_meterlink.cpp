#include "Doubles.h"
#include "MeterSimCore.h"
#include "TestSettings.h"
#include "meterlink/LinkWatchdog.h"
#include "meterlink/MeterLink.h"
#include "meterlink/PortAssignments.h"
#include "meterlink/ReceiveRing.h"
#include "meterlink/ReplyParser.h"
#include "platform/QtSerialPort.h"
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using meterlink::LinkWatchdog;
using meterlink::ParseReplyLine;
using meterlink::PortAssignments;
using meterlink::ReceiveRing;
using platform::Answer;
using testsupport::store;

// The meter link: reply lines, the receive ring, the silence watchdog and the port
// assignments, and the simulated meter at the other end.
namespace {

// Value, text, display unit and unit of the primary reading, then of the secondary after a
// comma while the meter shows two.
QString shown(const CurrentReading& r) {
    auto side = [](float value, const QString& text, const QString& disp, const QString& units) {
        return QString::number(value, 'g', 7) + '|' + text + '|' + disp + '|' + units;
    };
    const QString primary = side(r.PriValue, r.PriText, r.PriDispUnits, r.PriUnits);
    return r.DualDisplay ? primary + ',' + side(r.SecValue, r.SecText, r.SecDispUnits, r.SecUnits)
                         : primary;
}

struct Link {
    doubles::FakePlatform fake;
    CurrentReading reading;
    LinkCounters counters;
    meterlink::MeterLink link{fake.serial, fake.clock, reading, counters};
};

class RecordingHost : public meterlink::LinkWatchdogHost {
public:
    QStringList events;
    bool dual = false;
    void setDisplayTexts(const QString& a, const QString& b) override { events << a + "/" + b; }
    void disableLoggerButton() override { events << "loggerOff"; }
    void resetReceiveState() override { events << "rxReset"; }
    void stopTimers() override { events << "stopTimers"; }
    bool dualLayoutShown() const override { return dual; }
    void ShowDualLayout() override {
        dual = true;
        events << "dual";
    }
    void disableMeterControls() override { events << "controlsOff"; }
    int commPortNo() const override { return 3; }
};

struct Rig {
    doubles::FakePlatform fakes;
    LinkCounters link;
    CurrentReading reading;
    RecordingHost host;
    LinkWatchdog watchdog{link, reading, fakes.serial, fakes.messages, fakes.clock, host};

    // Silent display ticks (the check, then the count goes up) until the watchdog does more
    // than watch; the count of ticks it took.
    int ticksToQuestion(Answer answer) {
        fakes.messages.answers.enqueue(answer);
        int ticks = 1;
        for (; watchdog.check() == LinkWatchdog::Outcome::Watching && ticks < 1000; ++ticks)
            ++link.NoReplyCount;
        ++link.NoReplyCount;
        return ticks;
    }
};

} // namespace

class tst_MeterLink : public QObject {
    Q_OBJECT

private slots:
    // The meter always writes a decimal point, whatever the user's locale writes.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // Each line sent after "before" (when there is one), as the link takes it: the reading it
    // makes, or none when the line is not in the form of a reading and changes nothing.
    void workedExamples_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("reading");
        auto row = [](const char* name, const char* line, const char* reading,
                      const QByteArray& before = {}) {
            QTest::newRow(name) << QString::fromLatin1(before) << QString::fromLatin1(line)
                                << QString(reading);
        };
        row("volts", "+1.2345E+0 VDC", "1.2345| 1.2345|VDC| VDC");
        row("kilohms", "+1.2345E+3 OHMS", "1234.5| 1.2345|kOHMS| OHMS");
        row("micro as milli, no rounding noise", "-123.45E-6 ADC", "-0.00012345|-.12345|mADC| ADC");
        row("overload", "+1E+9 VDC", "1e+09| 1000|MVDC| VDC");
        row("decibels", "-1.2340E+1 DB", "-12.34|-12.34|DB| DB");
        row("a multiplier letter before the unit", "+1.0E+0 \xb5VDC", "1| 1|\u00b5VDC| \u00b5VDC");
        row("negative below one", "-0.5000E+0 VDC", "-0.5|-.5|VDC| VDC");
        row("minus zero", "-0.0000E+0 VDC", "0| 0|VDC| VDC");
        row("15 digits", "+1.23456789012345678E+0 VDC", "1.234568| 1.23456789012346|VDC| VDC");
        const char* volts = "+1.2345E+0 VDC";
        // A value that does not fit is kept; the exponent reads as +9 and the text as 1.0 x 10^3.
        row("too large", "+1.0E+999 VAC", "1.2345| 1000|MVAC| VAC", volts);
        row("too large for a float", "+9.9E+99 VDC", "1.2345| 9900|MVDC| VDC", volts);
        row("too small: zero", "+1.0E-999 VDC", "0| 1E-06|mVDC| VDC", volts);
        row("dual", "+1.2345E+0 VAC,+6.0000E+1 HZ", "1.2345| 1.2345|VAC| VAC,60| 60|HZ| HZ");
        row("dual, blanks after the comma", "+1.2345E+0 VDC, +6.7890E+3 ADC",
            "1.2345| 1.2345|VDC| VDC,6789| 6.789|kADC| ADC");
        row("single after dual", "+2.0000E+0 VDC", "2| 2|VDC| VDC", "+1E+0 VAC,+6E+1 HZ");
        QByteArray noise(20000, '\0'); // random bytes, CRs and NULs included
        QRandomGenerator(45).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        row("after random noise", "+2.5000E+0 VDC", "2.5| 2.5|VDC| VDC", noise);
        // Prompts, echoes, unitless numbers and noise on the line leave the reading alone.
        for (const char* other :
             {"=>", "?>", "VAC; DB", "+2.0000E+6", "", "5", "9 VDC", "+60 HZ", "7E+0 VDCq",
              "+1.0000E+0 VOLTS", " +1.0E+0 VDC", "+1.0E+0  VDC", "+1.0E+0 VDC,",
              "+1.0E+0 VDC,+2.0E+0 %M", "E+3 VDC", "+ VDC", "q~\r25 VDC", "\x01\r+3E+0 ADC"})
            row(qPrintable(QString("not a reading: ") + other), other, "", volts);
    }
    void workedExamples() {
        QFETCH(QString, before);
        QFETCH(QString, line);
        QFETCH(QString, reading);
        Link l;
        if (!before.isEmpty())
            l.fake.serial.inject(before.toLatin1() + "\r\n");
        const QString previous = shown(l.reading);
        const QDateTime previousAt = l.reading.ReadingAt;
        l.fake.clock.advance(500);
        l.fake.serial.inject(line.toLatin1() + "\r\n");
        QCOMPARE(shown(l.reading), reading.isEmpty() ? previous : reading);
        QCOMPARE(l.reading.ShownUnits, l.reading.PriUnits);
        // Only a reading renews the time of the last reading.
        QCOMPARE(l.reading.ReadingAt, reading.isEmpty() ? previousAt : l.fake.clock.current);
    }

    // Each line after the first drops the character after the previous CR (normally the LF).
    // A 0x01 byte stands for a reset of the ring.
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
        QStringList completed;
        for (const char c : bytes)
            if (c == '\x01')
                ring.reset();
            else if (const auto line = ring.receive(QChar(uchar(c))))
                completed << *line;
        QCOMPARE(completed, lines);
    }

    // Every character shows the meter is there; only a complete line makes the reading fresh.
    void completedLinesBecomeTheCurrentReading() {
        Link l;
        QSignalSpy completed(&l.link, &meterlink::MeterLink::lineCompleted);
        l.counters.LinkLost = true;
        l.counters.NoReplyCount = 9;
        l.fake.serial.inject("+1.2345E+3 OHMS\r");
        QCOMPARE(l.counters.NoReplyCount, qint16(0));
        QVERIFY(l.counters.LinkLost);
        QCOMPARE(completed.count(), 0);
        l.fake.serial.inject("\n+1.2345E+0 VAC,+6.0000E+1 HZ\r\n");
        QCOMPARE(completed.count(), 2);
        QVERIFY(!l.counters.LinkLost);
        QCOMPARE(l.reading.SecValue, 60.0f);
    }

    // The question comes on the tick after the count passes the limit, and marks the numbers
    // shown from then on stale; a tick that falls due under it asks nothing more. Continue
    // waits with the long limit of 35; Cancel, or a port that cannot be opened again, goes
    // offline, and a failed reopen is reported once.
    void watchdogOutcomes_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("openError");
        QTest::addColumn<bool>("dualShown");
        QTest::addColumn<QString>("events");
        const QString asked = "No Comm/Reset Meter,loggerOff,rxReset";
        const QString offline = ",Check Port/Then Restart,controlsOff";
        QTest::newRow("continue") << int(Answer::Ok) << 0 << false << asked;
        QTest::newRow("cancel") << int(Answer::Cancel) << 0 << false
                                << asked + ",stopTimers,dual" + offline;
        QTest::newRow("cancel, dual layout shown")
            << int(Answer::Cancel) << 0 << true << asked + ",stopTimers" + offline;
        QTest::newRow("reopen fails") << int(Answer::Ok) << platform::SerialError::PortInUse
                                      << false << asked + ",stopTimers,dual" + offline;
    }
    void watchdogOutcomes() {
        QFETCH(int, answer);
        QFETCH(int, openError);
        QFETCH(bool, dualShown);
        QFETCH(QString, events);
        Rig rig;
        rig.host.dual = dualShown;
        rig.fakes.serial.openError = openError;
        rig.reading.PriDispUnits = "VDC";
        rig.link.NoReplyLimit = 20;
        rig.fakes.messages.onShow = [&rig] {
            rig.link.NoReplyCount = 100;
            if (rig.fakes.messages.shown.size() == 1)
                QCOMPARE(rig.watchdog.check(), LinkWatchdog::Outcome::Watching);
        };
        QCOMPARE(rig.ticksToQuestion(Answer(answer)), 22);
        const bool continued = answer == int(Answer::Ok) && !openError;
        QCOMPARE(rig.host.events.join(','), events);
        QCOMPARE(rig.watchdog.offline(), !continued);
        QVERIFY(rig.link.LinkLost && rig.reading.DualDisplay && rig.reading.PriDispUnits.isEmpty());
        QCOMPARE(rig.link.NoReplyCount, qint16(0));
        // One reopen, with no second attempt behind a report.
        QCOMPARE(rig.fakes.serial.opened, QList<int>{3});
        QCOMPARE(rig.fakes.messages.shown.size(), openError ? 2 : 1);
        QCOMPARE(rig.fakes.messages.shown.last().title,
                 openError ? LinkWatchdog::ReopenFailedTitle : LinkWatchdog::QuestionTitle);
        QCOMPARE(rig.fakes.serial.flushCount, int(continued));
        QCOMPARE(rig.fakes.clock.pauses, continued ? QList<int>{1000} : QList<int>{});
        if (continued) {
            rig.fakes.messages.onShow = nullptr;
            QCOMPARE(rig.ticksToQuestion(Answer::Ok), 37);
        }
    }

    // A fake /dev: adapters numbered out of order, ghost and real built-in ports, by-id links
    // (one dangling) and entries that are not serial ports. The system reports the adapters
    // and ttyS5 (ttyS0 and ttyS1 have no UART behind them), plus a port outside the folder.
    void detectsAndAssignsOverTheSystemsOrder() {
        testsupport::clearSettings();
        QTemporaryDir dev;
        QVERIFY(QDir(dev.path()).mkpath("serial/by-id"));
        for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "ttyS1", "ttyS5",
                                 "tty0", "null", "ttyprintk"})
            QVERIFY(QFile(dev.filePath(name)).open(QIODevice::WriteOnly));
        const QString link = dev.filePath("serial/by-id/usb-FTDI_FT232R_A1-if00-port0");
        QVERIFY(QFile::link("../../ttyUSB2", link));
        QVERIFY(QFile::link("../../ttyUSB7", dev.filePath("serial/by-id/usb-gone-if00-port0")));
        QStringList reported;
        for (const char* name : {"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS5"})
            reported << dev.filePath(name);
        PortAssignments::Sources s{dev.path(), [&] { return reported; }};
        const PortAssignments ports(s);
        QCOMPARE(ports.deviceFor(4), dev.filePath("ttyS5"));
        QCOMPARE(ports.describe(1), dev.filePath("ttyUSB2") + " (automatic)");
        QCOMPARE(ports.describe(5), QString("no device (automatic)"));
        QVERIFY(ports.describe(9).isEmpty()); // the menu offers 1..8 only
        reported << "/elsewhere/cu.usbserial-1";
        QCOMPARE(ports.detectedDevices(), QStringList(reported.mid(0, 4))
                                              << link << "/elsewhere/cu.usbserial-1");
        QVERIFY(PortAssignments::assign(3, "  " + link + " "));
        QCOMPARE(ports.describeAll().value(2), link + " (assigned)");
        QCOMPARE(platform::QtSerialPort().deviceFor(3), link);
        QVERIFY(PortAssignments::assign(8, dev.filePath("ttyUSB9")));
        QCOMPARE(ports.describe(8), dev.filePath("ttyUSB9") + " (assigned, not found)");

        // As on Windows: no /dev, the system's port names, COMn for an unassigned port.
        const PortAssignments windows(
            {dev.filePath("none"), [] { return QStringList{"COM3"}; }, true});
        QCOMPARE(windows.detectedDevices(), QStringList{"COM3"});
        QCOMPARE(windows.describe(2), QString("COM2 (automatic)"));
    }

    // Assignments, Com9 set by hand and clearing: every port names what the serial port opens.
    // Bad assignments are refused and store nothing.
    void everyPortAgreesWithTheSerialPortAndClearsToAutomatic() {
        testsupport::clearSettings();
        for (const auto& [port, device] : {std::pair{0, QString("/dev/ttyUSB0")},
                                           {9, QString("/dev/ttyUSB0")},
                                           {1, QString("/dev/tty\nUSB0")},
                                           {1, QString("/dev/ttyUSB0") + QChar(0)}})
            QVERIFY(!PortAssignments::assign(port, device));
        QVERIFY(store().allKeys().isEmpty());
        const PortAssignments ports; // the real system
        const platform::QtSerialPort serial;
        const QString automatic = serial.deviceFor(2);
        QVERIFY(PortAssignments::assign(2, "/dev/voltrane-test-device"));
        QVERIFY(PortAssignments::assign(5, "/dev/voltrane-five"));
        testsupport::mapPort(9, "/dev/voltrane-nine");
        QCOMPARE(ports.deviceFor(9), QString("/dev/voltrane-nine"));
        for (int n = 0; n <= 9; ++n)
            QCOMPARE(ports.deviceFor(n), serial.deviceFor(n));
        PortAssignments::clear(2);
        QCOMPARE(serial.deviceFor(2), automatic);
        QVERIFY(PortAssignments::assign(5, "   ")); // a blank entry clears as well
        QVERIFY(!store().contains("Ports/Com2") && !store().contains("Ports/Com5"));
    }

    // What the simulated meter in its power-on state, showing a reading or none yet, answers to the
    // bytes fed to it.
    void answers_data() {
        QTest::addColumn<QByteArray>("reading");
        QTest::addColumn<QByteArray>("fed");
        QTest::addColumn<QByteArray>("answer");
        const QByteArray ok = "=>\r\n", unknown = "?>\r\n", refused = "!>\r\n";
        QTest::newRow("prompts, compound commands, small letters and queries")
            << QByteArray()
            << QByteArray("VDC\rVAC\nFORMAT 2; RATE F\r\nRATE M\rvac; db; freq2\r"
                          "FUNC1?;FUNC2?;RATE?;FORMAT?\r")
            << ok + ok + ok + ok + ok + "VAC\r\nFREQ\r\nM\r\n2\r\n" + ok;
        // The rest of a line after an unknown command is ignored; control-C drops the line.
        QTest::newRow("unknown, impossible, over-long and control-C")
            << QByteArray()
            << "FOO; OHMS\rFUNC1?\rOHMS; DB\rRATE X\rFORMAT 3\rDIODE2\r" + QByteArray(400, 'x') +
                   "\rVDC\x03"
            << unknown + "VDC\r\n" + ok + refused + refused + refused + unknown + unknown + "\r\n" +
                   ok;
        QTest::newRow("a single function drops the secondary")
            << QByteArray() << QByteArray("VAC; FREQ2\rVDC\rFUNC2?\rVAL?\r")
            << ok + ok + refused + refused;
        const QByteArray dual = "+1.2345E+0 VAC,+6.0000E+1 HZ\r\n";
        QTest::newRow("value queries answer what is shown")
            << dual << QByteArray("VAL?\rVAL1?\rVAL2?\r")
            << dual + ok + "+1.2345E+0 VAC\r\n" + ok + "+6.0000E+1 HZ\r\n" + ok;
    }
    void answers() {
        QFETCH(QByteArray, reading);
        QFETCH(QByteArray, fed);
        QFETCH(QByteArray, answer);
        metersim::MeterState state;
        metersim::CommandInterpreter interpreter{state};
        if (!reading.isEmpty())
            interpreter.setLastReading(reading.toStdString());
        QCOMPARE(QByteArray::fromStdString(interpreter.feed(fed.toStdString())), answer);
    }
};

QTEST_GUILESS_MAIN(tst_MeterLink)
#include "tst_meterlink.moc"
