#pragma once
#include "meterlink/PortAssignments.h"
#include <QDialog>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QMenu;
namespace platform {
class SerialPort;
}

// The dialog that assigns serial devices to Com1..Com8: one editable list per port with the
// detected devices; an empty entry leaves the port automatic. OK stores the entries.
class PortAssignDialog : public QDialog {
    Q_OBJECT
public:
    explicit PortAssignDialog(const meterlink::PortAssignments& ports, QWidget* parent = nullptr);

    // cboCom1..cboCom8.
    QComboBox* deviceBox(int portNo) const;
    void accept() override;

private:
    meterlink::PortAssignments ports_;
    std::array<QComboBox*, 8> boxes_{};
};

// Adds "Assign Devices..." after a separator at the end of the RS-232 menu and shows in each
// item's tooltip and status tip which device the port stands for (refreshed whenever the menu
// opens). After OK, reprobe runs; when the device behind the port in use (the checked item)
// changed, that item is chosen again so the connection moves to the new device.
void AttachPortAssignment(
    QMenu* mnuComm, QWidget* parent, std::function<void()> reprobe,
    meterlink::PortAssignments::Sources sources = meterlink::PortAssignments::SystemSources());

// Enables each of mnuCom1..mnuCom8 in mnuComm by a fresh probe of serial, as at start-up.
void ReprobePortMenu(QMenu* mnuComm, platform::SerialPort& serial);
