#include "Doubles.h"
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
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using meterlink::PortAssignments;

namespace {

QSettings store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Voltrane", "Voltrane");
}

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

// Runs fill on the assignment dialog once it is shown modally.
void whenDialogShows(std::function<void(PortAssignDialog*)> fill) {
    QTimer::singleShot(0, [fill] {
        auto* dialog = qobject_cast<PortAssignDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        fill(dialog);
    });
}

} // namespace

class tst_PortAssignDialog : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QSettings s = store();
        s.clear();
        s.sync();
    }

    // Menu

    void theMenuKeepsItsItemsAndGainsOneEntry() {
        Devices devices;
        PortMenu ports;
        QVERIFY(PortAssignments::assign(2, devices.path("ttyACM0")));
        AttachPortAssignment(&ports.menu, nullptr, {}, devices.sources());

        const QList<QAction*> items = ports.menu.actions();
        QCOMPARE(items.size(), 10);
        for (int n = 1; n <= 8; ++n) {
            QCOMPARE(items[n - 1], ports.item(n));
            QCOMPARE(items[n - 1]->text(), QString("Com%1").arg(n));
            QCOMPARE(items[n - 1]->isEnabled(), n <= 2);
        }
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

    void theReprobeEnablesThePortsFound() {
        PortMenu ports;
        doubles::FakeSerialPort serial;
        serial.presentPorts = {2, 5};
        ReprobePortMenu(&ports.menu, serial);
        for (int n = 1; n <= 8; ++n)
            QCOMPARE(ports.item(n)->isEnabled(), n == 2 || n == 5);
    }

    // Dialog

    void theDialogShowsDevicesAndAssignments() {
        Devices devices;
        QVERIFY(PortAssignments::assign(2, "/dev/custom"));
        PortAssignDialog dialog{PortAssignments(devices.sources())};
        for (int n = 1; n <= 8; ++n) {
            QComboBox* box = dialog.deviceBox(n);
            QVERIFY(box && box->isEditable());
            QCOMPARE(box->count(), 2);
            QCOMPARE(box->itemText(0), devices.path("ttyUSB0"));
        }
        QCOMPARE(dialog.deviceBox(1)->currentText(), QString());
        QCOMPARE(dialog.deviceBox(1)->lineEdit()->placeholderText(),
                 "automatic: " + devices.path("ttyUSB0"));
        QCOMPARE(dialog.deviceBox(3)->lineEdit()->placeholderText(),
                 QString("automatic: no device"));
        QCOMPARE(dialog.deviceBox(2)->currentText(), QString("/dev/custom"));
        QCOMPARE(dialog.findChild<QLabel*>("lblCom2")->text(),
                 QString("/dev/custom (assigned, not found)"));
        QVERIFY(!dialog.deviceBox(0) && !dialog.deviceBox(9));
    }

    void okStoresChosenAndTypedDevicesAndEmptyClears() {
        Devices devices;
        QVERIFY(PortAssignments::assign(2, "/dev/custom"));
        PortAssignDialog dialog{PortAssignments(devices.sources())};
        dialog.deviceBox(1)->setCurrentIndex(1); // chosen from the list
        dialog.deviceBox(2)->setEditText("");    // back to automatic
        dialog.deviceBox(4)->setEditText(" /dev/serial/by-id/usb-x ");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(PortAssignments::assigned(1), devices.path("ttyACM0"));
        QVERIFY(!store().contains("Ports/Com2"));
        QCOMPARE(PortAssignments::assigned(4), QString("/dev/serial/by-id/usb-x"));
        QCOMPARE(store().allKeys().size(), 2);
    }

    void cancelStoresNothing() {
        Devices devices;
        PortAssignDialog dialog{PortAssignments(devices.sources())};
        dialog.deviceBox(1)->setEditText("/dev/ttyUSB0");
        dialog.reject();
        QVERIFY(store().allKeys().isEmpty());
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
        QVERIFY(store().allKeys().isEmpty());
    }

    // The whole round: menu entry, dialog, reprobe, port switch

    void changingThePortInUseSwitchesToItsNewDevice() {
        Devices devices;
        PortMenu ports;
        int reprobes = 0;
        AttachPortAssignment(
            &ports.menu, nullptr, [&] { ++reprobes; }, devices.sources());
        whenDialogShows([](PortAssignDialog* dialog) {
            dialog->deviceBox(1)->setEditText("/dev/pts/7");
            dialog->accept();
        });
        ports.menu.findChild<QAction*>("mnuAssignPorts")->trigger();
        QCOMPARE(reprobes, 1);
        QCOMPARE(PortAssignments::assigned(1), QString("/dev/pts/7"));
        QCOMPARE(ports.chosen, QList<int>{1});
        QVERIFY(ports.item(1)->isChecked());
        QCOMPARE(ports.item(1)->toolTip(), QString("Com1: /dev/pts/7 (assigned, not found)"));
    }

    void otherPortsWaitToBeChosen() {
        Devices devices;
        PortMenu ports;
        int reprobes = 0;
        AttachPortAssignment(
            &ports.menu, nullptr, [&] { ++reprobes; }, devices.sources());
        whenDialogShows([](PortAssignDialog* dialog) {
            dialog->deviceBox(2)->setEditText("/dev/pts/7");
            dialog->accept();
        });
        ports.menu.findChild<QAction*>("mnuAssignPorts")->trigger();
        QCOMPARE(reprobes, 1);
        QVERIFY(ports.chosen.isEmpty());
        QCOMPARE(ports.item(2)->toolTip(), QString("Com2: /dev/pts/7 (assigned, not found)"));

        // Cancel: no reprobe, nothing stored.
        whenDialogShows([](PortAssignDialog* dialog) {
            dialog->deviceBox(1)->setEditText("/dev/pts/8");
            dialog->reject();
        });
        ports.menu.findChild<QAction*>("mnuAssignPorts")->trigger();
        QCOMPARE(reprobes, 1);
        QCOMPARE(PortAssignments::assigned(1), QString());
    }
};

QTEST_MAIN(tst_PortAssignDialog)
#include "tst_portassigndialog.moc"
