#include "Doubles.h"
#include "TestSettings.h"
#include "app/PortAssignDialog.h"
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using meterlink::PortAssignments;

namespace {

// The RS-232 menu as the main window builds it: Com1..Com8, checkable, enabled by the probe.
struct PortMenu {
    QMenu menu;
    QList<int> chosen; // ports chosen from the menu, in order
    PortMenu() {
        menu.setObjectName("mnuComm");
        for (int n = 1; n <= 8; ++n) {
            QAction* item = menu.addAction(QString("Com%1").arg(n));
            item->setObjectName(QString("mnuCom%1").arg(n));
            item->setCheckable(true);
            item->setEnabled(n <= 2);
            QObject::connect(item, &QAction::triggered, &menu, [this, n, item] {
                chosen.append(n);
                item->setChecked(true);
            });
        }
        item(1)->setChecked(true);
    }
    QAction* item(int n) const { return menu.findChild<QAction*>(QString("mnuCom%1").arg(n)); }
};

// A device folder with two adapters; the system reports both.
struct Devices {
    QTemporaryDir dir;
    Devices() {
        for (const char* name : {"ttyUSB0", "ttyACM0"})
            QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    }
    QString path(const char* name) const { return dir.filePath(name); }
    PortAssignments::Sources sources() const {
        PortAssignments::Sources s;
        s.devRoot = dir.path();
        const QStringList reported{path("ttyUSB0"), path("ttyACM0")};
        s.systemPorts = [reported] { return reported; };
        return s;
    }
};

} // namespace

class tst_PortAssignDialog : public QObject {
    Q_OBJECT

private slots:
    void init() { testsupport::clearSettings(); }

    void theMenuGainsOneEntryAndTellsEachDevice() {
        Devices devices;
        PortMenu ports;
        QVERIFY(PortAssignments::assign(2, devices.path("ttyACM0")));
        AttachPortAssignment(&ports.menu, nullptr, {}, devices.sources());
        const QList<QAction*> items = ports.menu.actions();
        QCOMPARE(items.size(), 10);
        QCOMPARE(items[7], ports.item(8));
        QVERIFY(items[8]->isSeparator());
        QCOMPARE(items[9]->objectName(), QString("mnuAssignPorts"));
        QCOMPARE(items[9]->text(), QString("Assign Devices..."));
        QVERIFY(ports.menu.toolTipsVisible());
        QCOMPARE(ports.item(1)->toolTip(), "Com1: " + devices.path("ttyUSB0") + " (automatic)");
        QCOMPARE(ports.item(2)->toolTip(), "Com2: " + devices.path("ttyACM0") + " (assigned)");
        QCOMPARE(ports.item(3)->statusTip(), QString("Com3: no device (automatic)"));
        // A change made elsewhere shows the next time the menu opens.
        QVERIFY(PortAssignments::assign(3, "/dev/ttyUSB5"));
        emit ports.menu.aboutToShow();
        QCOMPARE(ports.item(3)->toolTip(), QString("Com3: /dev/ttyUSB5 (assigned, not found)"));
    }

    void theDialogShowsDevicesAndStoresOnlyOnOk() {
        Devices devices;
        QVERIFY(PortAssignments::assign(2, "/dev/custom"));
        {
            PortAssignDialog dialog{PortAssignments(devices.sources())};
            dialog.deviceBox(1)->setEditText("/dev/ttyUSB0");
            dialog.reject();
        }
        QCOMPARE(testsupport::store().allKeys(), QStringList{"Ports/Com2"});
        PortAssignDialog dialog{PortAssignments(devices.sources())};
        QCOMPARE(dialog.deviceBox(8)->count(), 2);
        QCOMPARE(dialog.deviceBox(8)->itemText(0), devices.path("ttyUSB0"));
        QCOMPARE(dialog.deviceBox(1)->lineEdit()->placeholderText(),
                 "automatic: " + devices.path("ttyUSB0"));
        QCOMPARE(dialog.deviceBox(3)->lineEdit()->placeholderText(),
                 QString("automatic: no device"));
        QCOMPARE(dialog.deviceBox(2)->currentText(), QString("/dev/custom"));
        QCOMPARE(dialog.findChild<QLabel*>("lblCom2")->text(),
                 QString("/dev/custom (assigned, not found)"));
        QVERIFY(!dialog.deviceBox(0) && !dialog.deviceBox(9));

        dialog.deviceBox(1)->setCurrentIndex(1); // chosen from the list
        dialog.deviceBox(2)->setEditText("");    // back to automatic
        dialog.deviceBox(4)->setEditText(" /dev/serial/by-id/usb-x ");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(PortAssignments::assigned(1), devices.path("ttyACM0"));
        QCOMPARE(PortAssignments::assigned(4), QString("/dev/serial/by-id/usb-x"));
        QCOMPARE(testsupport::store().allKeys().size(), 2);
    }

    void aBadPathKeepsTheDialogOpenAndStoresNothing() {
        Devices devices;
        PortAssignDialog dialog{PortAssignments(devices.sources())};
        dialog.show();
        dialog.deviceBox(1)->setEditText("/dev/ttyUSB0");
        dialog.deviceBox(3)->setEditText(QString("/dev/tty") + QChar(0x1b) + "USB0");
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QVERIFY(box->text().contains("Com3"));
            box->accept();
        });
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QVERIFY(testsupport::store().allKeys().isEmpty());
    }

    // From the menu entry: a new device for the port in use switches to it at once; other
    // ports wait to be chosen; Cancel neither reprobes nor stores.
    void theMenuEntryStoresReprobesAndSwitches_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QList<int>>("chosen");
        QTest::newRow("port in use") << 1 << true << QList<int>{1};
        QTest::newRow("other port") << 2 << true << QList<int>{};
        QTest::newRow("cancel") << 1 << false << QList<int>{};
    }
    void theMenuEntryStoresReprobesAndSwitches() {
        QFETCH(int, port);
        QFETCH(bool, accepted);
        QFETCH(QList<int>, chosen);
        Devices devices;
        PortMenu ports;
        int reprobes = 0;
        AttachPortAssignment(
            &ports.menu, nullptr, [&] { ++reprobes; }, devices.sources());
        QTimer::singleShot(0, [port, accepted] {
            auto* dialog = qobject_cast<PortAssignDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->deviceBox(port)->setEditText("/dev/pts/7");
            accepted ? dialog->accept() : dialog->reject();
        });
        ports.menu.findChild<QAction*>("mnuAssignPorts")->trigger();
        QCOMPARE(reprobes, accepted ? 1 : 0);
        QCOMPARE(ports.chosen, chosen);
        QCOMPARE(PortAssignments::assigned(port), accepted ? QString("/dev/pts/7") : QString());
        if (accepted)
            QCOMPARE(ports.item(port)->toolTip(),
                     QString("Com%1: /dev/pts/7 (assigned, not found)").arg(port));
    }
};

QTEST_MAIN(tst_PortAssignDialog)
#include "tst_portassigndialog.moc"
