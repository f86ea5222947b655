#include "TestSettings.h"
#include "meterlink/PortAssignments.h"
#include "platform/QtSerialPort.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using meterlink::PortAssignments;
using testsupport::store;

namespace {

// A fake /dev: adapters numbered out of order, ghost and real built-in ports, by-id links (one
// dangling) and entries that are not serial ports.
struct FakeDev {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    bool build() {
        if (!dir.isValid() || !QDir(dir.path()).mkpath("serial/by-id"))
            return false;
        for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "ttyS1", "ttyS5",
                                 "tty0", "null", "ttyprintk"})
            if (!QFile(path(name)).open(QIODevice::WriteOnly))
                return false;
        return QFile::link("../../ttyUSB2", path("serial/by-id/usb-FTDI_FT232R_A1-if00-port0")) &&
               QFile::link("../../ttyUSB7", path("serial/by-id/usb-gone-if00-port0"));
    }

    // What the system reports: the adapters and ttyS5 (ttyS0 and ttyS1 have no UART behind
    // them), plus a port outside this folder.
    PortAssignments::Sources sources(QStringList extra = {"/elsewhere/cu.usbserial-1"}) const {
        PortAssignments::Sources s;
        s.devRoot = dir.path();
        const QStringList reported =
            QStringList{path("ttyUSB2"), path("ttyUSB10"), path("ttyACM0"), path("ttyS5")} + extra;
        s.systemPorts = [reported] { return reported; };
        return s;
    }
};

} // namespace

class tst_PortAssign : public QObject {
    Q_OBJECT

private slots:
    void init() { testsupport::clearSettings(); }

    // Detection in order, automatic ports, and assignments over them.
    void detectsAndAssignsOverTheSystemsOrder() {
        FakeDev dev;
        QVERIFY(dev.build());
        const QString link = dev.path("serial/by-id/usb-FTDI_FT232R_A1-if00-port0");
        QCOMPARE(PortAssignments(dev.sources()).detectedDevices(),
                 (QStringList{dev.path("ttyUSB2"), dev.path("ttyUSB10"), dev.path("ttyACM0"),
                              dev.path("ttyS5"), link, "/elsewhere/cu.usbserial-1"}));
        const PortAssignments ports(dev.sources({}));
        QCOMPARE(ports.deviceFor(4), dev.path("ttyS5"));
        QCOMPARE(ports.describe(1), dev.path("ttyUSB2") + " (automatic)");
        QCOMPARE(ports.describe(5), QString("no device (automatic)"));
        QCOMPARE(ports.describe(9), QString());
        QVERIFY(PortAssignments::assign(3, "  " + link + " "));
        QCOMPARE(ports.describeAll().value(2), link + " (assigned)");
        QCOMPARE(platform::QtSerialPort().deviceFor(3), link);
        QVERIFY(PortAssignments::assign(8, dev.path("ttyUSB9")));
        QCOMPARE(ports.describe(8), dev.path("ttyUSB9") + " (assigned, not found)");
    }

    void aMissingDeviceFolderLeavesTheSystemsOwnNames() {
        // As on Windows: no /dev, the system's port names, COMn for an unassigned port.
        PortAssignments::Sources s;
        s.devRoot = QDir::temp().filePath("voltrane-no-such-dev-folder");
        s.systemPorts = [] { return QStringList{"COM3", "COM1"}; };
        s.comNames = true;
        const PortAssignments ports(s);
        QCOMPARE(ports.detectedDevices(), (QStringList{"COM3", "COM1"}));
        QCOMPARE(ports.describe(2), QString("COM2 (automatic)"));
    }

    // Assignments, Com9 set by hand and clearing: every port names what the serial port opens.
    void everyPortAgreesWithTheSerialPortAndClearsToAutomatic() {
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
        QVERIFY(!store().contains("Ports/Com2"));
        QVERIFY(PortAssignments::assign(5, "   ")); // a blank entry clears as well
        QVERIFY(!store().contains("Ports/Com5"));
    }

    void badAssignmentsAreRefusedAndStoreNothing() {
        for (const auto& [port, device] : {std::pair{0, QString("/dev/ttyUSB0")},
                                           {9, QString("/dev/ttyUSB0")},
                                           {1, QString("/dev/tty\nUSB0")},
                                           {1, QString("/dev/ttyUSB0") + QChar(0)}})
            QVERIFY(!PortAssignments::assign(port, device));
        QVERIFY(store().allKeys().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_PortAssign)
#include "tst_portassign.moc"
