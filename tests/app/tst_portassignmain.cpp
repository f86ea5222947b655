#include "Doubles.h"
#include "MeterSimProcess.h"
#include "app/PortAssignDialog.h"
#include "app/frmMain.h"
#include "platform/QtSerialPort.h"
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSettings>
#include <QTest>
#include <QTimer>

// Assigning a device from the main window's RS-232 menu, on a real serial port, with meter
// simulators on pseudo-terminals standing in for USB adapters.
class TestPortAssignMain : public QObject {
    Q_OBJECT

    struct Program {
        doubles::FakePlatform fake;
        platform::QtSerialPort serial;
        platform::Platform services{fake.messages, fake.dialogs, fake.sound,
                                    fake.clock,    serial,       fake.shell};
        frmMain main{services};

        QLabel* label(const char* name) { return main.findChild<QLabel*>(name); }
        QAction* action(const QString& name) { return main.findChild<QAction*>(name); }

        // Edit > RS-232 > Assign Devices..., the device typed for port n, OK.
        void assign(int portNo, const QString& device) {
            QTimer::singleShot(0, [portNo, device] {
                auto* dialog = qobject_cast<PortAssignDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                dialog->deviceBox(portNo)->setEditText(device);
                dialog->accept();
            });
            action("mnuAssignPorts")->trigger();
        }
    };

private slots:
    void init() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Voltrane", "Voltrane").clear();
    }

    void anAssignedAdapterIsChosenFromTheMenu() {
        testsupport::MeterSimProcess first, adapter;
        QVERIFY2(first.start({"--reading", "+1.2345E+3 OHMS", "--interval", "100"}),
                 qPrintable(first.error()));
        QVERIFY2(adapter.start({"--reading", "+4.5678E+0 VDC", "--interval", "100"}),
                 qPrintable(adapter.error()));
        first.mapToPort(1);
        Program program;
        QVERIFY(program.main.openWindow());
        QTRY_COMPARE_WITH_TIMEOUT(program.label("Label1")->text(), QString(" 1.2345 kOHMS"), 10000);
        QVERIFY(!program.action("mnuCom3")->isEnabled());

        program.assign(3, adapter.ptyPath());
        QCOMPARE(program.action("mnuCom3")->text(), QString("Com3"));
        QCOMPARE(program.action("mnuCom3")->toolTip(),
                 "Com3: " + adapter.ptyPath() + " (assigned)");
        QVERIFY(program.action("mnuCom3")->isEnabled()); // found by the probe that followed
        QVERIFY(program.action("mnuCom1")->isChecked()); // still on the first meter

        program.action("mnuCom3")->trigger();
        QVERIFY(program.action("mnuCom3")->isChecked());
        QTRY_COMPARE_WITH_TIMEOUT(program.label("Label1")->text(), QString(" 4.5678 VDC"), 10000);
        QVERIFY(program.fake.messages.shown.isEmpty());
        program.main.quitProgram();
    }

    void reassigningThePortInUseMovesTheConnection() {
        testsupport::MeterSimProcess first, adapter;
        QVERIFY2(first.start({"--reading", "+1.2345E+3 OHMS", "--interval", "100"}),
                 qPrintable(first.error()));
        QVERIFY2(adapter.start({"--reading", "+4.5678E+0 VDC", "--interval", "100"}),
                 qPrintable(adapter.error()));
        first.mapToPort(1);
        Program program;
        QVERIFY(program.main.openWindow());
        QTRY_COMPARE_WITH_TIMEOUT(program.label("Label1")->text(), QString(" 1.2345 kOHMS"), 10000);

        program.assign(1, adapter.ptyPath());
        QVERIFY(program.action("mnuCom1")->isChecked());
        QTRY_COMPARE_WITH_TIMEOUT(program.label("Label1")->text(), QString(" 4.5678 VDC"), 10000);
        QVERIFY(program.fake.messages.shown.isEmpty());
        program.main.quitProgram();
        QCOMPARE(QSettings(QSettings::NativeFormat, QSettings::UserScope, "Voltrane", "Voltrane")
                     .value("Ports/Com1")
                     .toString(),
                 adapter.ptyPath());
    }
};

QTEST_MAIN(TestPortAssignMain)
#include "tst_portassignmain.moc"
