#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// Which device each of the port numbers Com1..Com8 stands for, and the user's own choices.
// A choice is stored in the settings group "Ports" as Com<n>=<device path>; without one, port n
// is the n-th serial port the system reports (COMn on Windows). The serial port reads the same
// entries when it opens a port, so a choice takes effect with the next open.
namespace meterlink {

class PortAssignments {
public:
    // Where devices are looked for. Tests point devRoot at a folder of fake device entries and
    // give their own list of the ports the system reports.
    struct Sources {
        QString devRoot = QStringLiteral("/dev");
        // The system's serial ports in numbering order (full paths, or COM names on Windows).
        std::function<QStringList()> systemPorts;
        // True on Windows, where an unassigned port n is COMn.
        bool comNames = false;
    };
    // The real system: /dev and the ports Qt reports.
    static Sources SystemSources();

    explicit PortAssignments(Sources sources = SystemSources());

    // Serial devices the user may choose from: USB adapters (ttyUSB*, ttyACM*), built-in ports
    // (ttyS*) the system reports as real hardware, links under serial/by-id, then any other port
    // the system reports (COM names, cu.* on macOS). No duplicates, each family by number.
    QStringList detectedDevices() const;

    // The stored choice for port n, empty when the port is automatic.
    static QString assigned(int portNo);
    // Stores device for port n; an empty (or blank) device clears the choice. False for a port
    // number outside 1..8 or a device path with control characters.
    static bool assign(int portNo, const QString& device);
    static void clear(int portNo);

    // The device port n stands for now: the stored choice, else the automatic one (may be
    // empty when the system has too few ports).
    QString deviceFor(int portNo) const;
    QString automaticDevice(int portNo) const;
    // One line for a menu tooltip or the dialog, e.g. "/dev/ttyUSB0 (assigned)",
    // "/dev/ttyUSB1 (assigned, not found)", "/dev/ttyS0 (automatic)" or "no device (automatic)".
    QString describe(int portNo) const;
    // describe() for Com1..Com8, asking the system for its ports once.
    QStringList describeAll() const;
    // The same assignments with the system's ports asked for once, now: a view built from many
    // lookups (scanning the system takes a noticeable moment) stays quick and consistent.
    PortAssignments snapshot() const;

    // False for a device path no device can have (empty, or with control characters).
    static bool isUsablePath(const QString& device);

    static constexpr int FirstPort = 1;
    static constexpr int LastPort = 8;

private:
    Sources sources_;
};

} // namespace meterlink
