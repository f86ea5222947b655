#include "MeterSimProcess.h"
#include "TestSettings.h"
#include "platform/QtSerialPort.h"
#include <QSerialPort>
#include <QTest>
#include <QThread>

using platform::QtSerialPort;
using testsupport::mapPort;
namespace SerialError = platform::SerialError;

// The Qt serial port against the simulator's pseudo-terminal.
class tst_QtSerialPort : public QObject {
    Q_OBJECT

    testsupport::MeterSimProcess sim;

private slots:
    void init() {
        testsupport::clearSettings();
        QVERIFY2(sim.start({"--interval", "40", "--reading", "+1.2345E+3 OHMS"}),
                 qPrintable(sim.error()));
        sim.mapToPort(1);
    }
    void cleanup() { sim.stop(); }

    // Which device a port number names is the port assignments' business (tst_portassign).
    void aMissingDeviceIs8002() {
        mapPort(3, "/dev/voltrane-no-such-device");
        QtSerialPort port;
        QCOMPARE(port.open(3), SerialError::NoSuchPort);
        QVERIFY(!port.isOpen());
        QVERIFY(!port.probe(3));
        QCOMPARE(port.open(9), SerialError::NoSuchPort); // no device stands for port 9
        // A stored port outside the menu is used when a device stands for it.
        for (const int outside : {9, 0}) {
            mapPort(outside, sim.ptyPath());
            QCOMPARE(port.open(outside), SerialError::None);
            port.close();
        }
        for (const QString& device : QtSerialPort::orderedSystemPorts())
            QVERIFY2(!device.startsWith("/dev/pts/"), qPrintable(device)); // no pseudo-terminals
    }

    void aPortHeldByAnotherIs8005AndFailsTheProbe() {
        QSerialPort holder;
        holder.setPortName(sim.ptyPath());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        QtSerialPort port;
        QVERIFY(!port.probe(1));
        QCOMPARE(port.open(1), SerialError::PortInUse);
        QVERIFY(!port.isOpen());
        holder.close();
        QVERIFY(port.probe(1));
        QVERIFY(sim.logged().isEmpty()); // the probe only opens and closes
        QCOMPARE(port.open(1), SerialError::None);
    }

    void openWritesAtOnceAndCloses() {
        QtSerialPort port;
        QCOMPARE(port.open(1), SerialError::None);
        QVERIFY(port.isOpen());
        QVERIFY(port.probe(1)); // our own open port still counts as present

        // A write leaves at once, before any event is handled: the link pauses right after it.
        port.write("VAL?\r");
        const QDeadlineTimer deadline(10000);
        while (sim.logged().isEmpty() && !deadline.hasExpired())
            QThread::msleep(10);
        QCOMPARE(sim.logged(), QByteArray("VAL?\r"));

        port.flushInput();
        port.close();
        QVERIFY(!port.isOpen());
        port.write("lost"); // writing to a closed port does nothing
    }
};

QTEST_GUILESS_MAIN(tst_QtSerialPort)
#include "tst_qtserialport.moc"
