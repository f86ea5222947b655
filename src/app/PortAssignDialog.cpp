#include "app/PortAssignDialog.h"
#include "meterlink/PortConnection.h"
#include "platform/SerialPort.h"
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QVBoxLayout>

using meterlink::PortAssignments;

namespace {

QAction* portItem(QMenu* mnuComm, int portNo) {
    const QString name = QStringLiteral("mnuCom%1").arg(portNo);
    for (QAction* item : mnuComm->actions())
        if (item->objectName() == name)
            return item;
    return nullptr;
}

void showDevices(QMenu* mnuComm, const PortAssignments& ports) {
    const QStringList lines = ports.describeAll();
    for (int n = PortAssignments::FirstPort; n <= PortAssignments::LastPort; ++n) {
        if (QAction* item = portItem(mnuComm, n)) {
            const QString text = QStringLiteral("Com%1: %2").arg(n).arg(lines.at(n - 1));
            item->setToolTip(text);
            item->setStatusTip(text);
        }
    }
}

int checkedPort(QMenu* mnuComm) {
    for (int n = PortAssignments::FirstPort; n <= PortAssignments::LastPort; ++n)
        if (QAction* item = portItem(mnuComm, n); item && item->isChecked())
            return n;
    return 0;
}

} // namespace

PortAssignDialog::PortAssignDialog(const PortAssignments& ports, QWidget* parent)
    : QDialog(parent), ports_(ports.snapshot()) {
    setObjectName(QStringLiteral("PortAssignDialog"));
    setWindowTitle(QStringLiteral("Assign Serial Devices"));
    auto* intro = new QLabel(
        QStringLiteral("Choose or type the device each port stands for.\n"
                       "Leave a port empty to let the program number the system's ports."),
        this);
    auto* grid = new QGridLayout;
    const QStringList devices = ports_.detectedDevices();
    for (int n = PortAssignments::FirstPort; n <= PortAssignments::LastPort; ++n) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("cboCom%1").arg(n));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumContentsLength(28);
        box->addItems(devices);
        box->setCurrentIndex(-1);
        box->setEditText(PortAssignments::assigned(n));
        const QString automatic = ports_.automaticDevice(n);
        box->lineEdit()->setPlaceholderText(automatic.isEmpty()
                                                ? QStringLiteral("automatic: no device")
                                                : QStringLiteral("automatic: ") + automatic);
        box->lineEdit()->setClearButtonEnabled(true);
        auto* name = new QLabel(QStringLiteral("Com%1").arg(n), this);
        name->setBuddy(box);
        auto* now = new QLabel(ports_.describe(n), this);
        now->setObjectName(QStringLiteral("lblCom%1").arg(n));
        grid->addWidget(name, n - 1, 0);
        grid->addWidget(box, n - 1, 1);
        grid->addWidget(now, n - 1, 2);
        boxes_[n - 1] = box;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PortAssignDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PortAssignDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

QComboBox* PortAssignDialog::deviceBox(int portNo) const {
    if (portNo < PortAssignments::FirstPort || portNo > PortAssignments::LastPort)
        return nullptr;
    return boxes_[portNo - 1];
}

void PortAssignDialog::accept() {
    // Every entry is checked before any is stored: a refused one leaves all settings as they
    // were and the dialog open for correction.
    for (int n = PortAssignments::FirstPort; n <= PortAssignments::LastPort; ++n) {
        const QString text = boxes_[n - 1]->currentText();
        if (!text.trimmed().isEmpty() && !PortAssignments::isUsablePath(text)) {
            QMessageBox::warning(
                this, windowTitle(),
                QStringLiteral("The device for Com%1 is not a valid path.").arg(n));
            boxes_[n - 1]->setFocus();
            return;
        }
    }
    for (int n = PortAssignments::FirstPort; n <= PortAssignments::LastPort; ++n) {
        const QString text = boxes_[n - 1]->currentText().trimmed();
        if (text != PortAssignments::assigned(n) && !PortAssignments::assign(n, text)) {
            QMessageBox::warning(
                this, windowTitle(),
                QStringLiteral("The settings could not be saved; Com%1 keeps its device.").arg(n));
            return;
        }
    }
    QDialog::accept();
}

void AttachPortAssignment(QMenu* mnuComm, QWidget* parent, std::function<void()> reprobe,
                          PortAssignments::Sources sources) {
    const PortAssignments ports(std::move(sources));
    mnuComm->setToolTipsVisible(true);
    showDevices(mnuComm, ports);
    QObject::connect(mnuComm, &QMenu::aboutToShow, mnuComm,
                     [mnuComm, ports] { showDevices(mnuComm, ports); });
    mnuComm->addSeparator();
    QAction* assign = mnuComm->addAction(QStringLiteral("Assign Devices..."));
    assign->setObjectName(QStringLiteral("mnuAssignPorts"));
    assign->setStatusTip(QStringLiteral("Choose the serial device for each of Com1 to Com8"));
    QObject::connect(assign, &QAction::triggered, mnuComm, [mnuComm, parent, reprobe, ports] {
        const int inUse = checkedPort(mnuComm);
        const QString before = ports.deviceFor(inUse);
        PortAssignDialog dialog(ports, parent);
        if (dialog.exec() != QDialog::Accepted)
            return;
        if (reprobe)
            reprobe();
        showDevices(mnuComm, ports);
        // The checked item now names another device: choosing it again moves the connection
        // there, through the usual port switch and its messages. A port the probe found absent
        // or busy stays on its old connection until the user chooses it.
        if (inUse != 0 && ports.deviceFor(inUse) != before)
            if (QAction* item = portItem(mnuComm, inUse); item && item->isEnabled())
                item->trigger();
    });
}

void ReprobePortMenu(QMenu* mnuComm, platform::SerialPort& serial) {
    const QList<bool> present = meterlink::ProbePorts(serial);
    for (int n = PortAssignments::FirstPort; n <= PortAssignments::LastPort; ++n)
        if (QAction* item = portItem(mnuComm, n); item && n - 1 < present.size())
            item->setEnabled(present[n - 1]);
}
