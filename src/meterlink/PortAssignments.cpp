#include "meterlink/PortAssignments.h"
#include "platform/QtSerialPort.h"
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <algorithm>

namespace meterlink {
namespace {

QSettings openStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Voltrane"),
                     QStringLiteral("Voltrane"));
}

QString keyFor(int portNo) {
    return QStringLiteral("Ports/Com%1").arg(portNo);
}

// The ports the menu and the dialog offer and store.
bool validPort(int portNo) {
    return portNo >= PortAssignments::FirstPort && portNo <= PortAssignments::LastPort;
}

// Any stored port number is looked up (a port 0 or 9 written into the settings is used when a
// device stands for it), as the serial port does.
bool lookedUp(int portNo) {
    return portNo >= 0;
}

// The name without its number: "ttyUSB" for ttyUSB10.
QString family(const QString& name) {
    static const QRegularExpression digits(QStringLiteral("\\d+$"));
    return QString(name).remove(digits);
}

// Entries of folder whose names match one of patterns, in numbering order (ttyUSB2 before
// ttyUSB10), as full paths. Dangling links are left out: nothing answers behind them.
QStringList entries(const QString& folder, const QStringList& patterns) {
    QDir dir(folder);
    QStringList names = dir.entryList(patterns, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    names.erase(std::remove_if(
                    names.begin(), names.end(),
                    [&dir](const QString& name) { return !QFileInfo::exists(dir.filePath(name)); }),
                names.end());
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const QString fa = family(a), fb = family(b);
        if (fa != fb)
            return fa < fb;
        const int na = platform::QtSerialPort::deviceNumber(a);
        const int nb = platform::QtSerialPort::deviceNumber(b);
        if (na != nb)
            return na < nb;
        return a < b;
    });
    QStringList paths;
    for (const QString& name : names)
        paths.append(QDir::cleanPath(dir.filePath(name)));
    return paths;
}

} // namespace

PortAssignments::Sources PortAssignments::SystemSources() {
    Sources sources;
    sources.systemPorts = [] { return platform::QtSerialPort::orderedSystemPorts(); };
#ifdef Q_OS_WIN
    sources.comNames = true;
#endif
    return sources;
}

PortAssignments::PortAssignments(Sources sources) : sources_(std::move(sources)) {
    if (!sources_.systemPorts)
        sources_.systemPorts = [] { return QStringList(); };
}

PortAssignments PortAssignments::snapshot() const {
    Sources fixed = sources_;
    fixed.systemPorts = [ports = sources_.systemPorts()] { return ports; };
    return PortAssignments(std::move(fixed));
}

QStringList PortAssignments::detectedDevices() const {
    const QStringList system = sources_.systemPorts();
    QStringList systemNames;
    for (const QString& port : system)
        systemNames.append(QFileInfo(port).fileName());

    QStringList devices = entries(sources_.devRoot, {QStringLiteral("ttyUSB*")});
    devices += entries(sources_.devRoot, {QStringLiteral("ttyACM*")});
    // Linux keeps ttyS0..ttyS31 whether or not a UART is behind them; only those the system
    // reports as real ports are offered (any other can still be typed).
    for (const QString& path : entries(sources_.devRoot, {QStringLiteral("ttyS*")}))
        if (systemNames.contains(QFileInfo(path).fileName()))
            devices.append(path);
    // By-id links name the adapter (maker, serial number) and survive re-plugging.
    devices += entries(QDir(sources_.devRoot).filePath(QStringLiteral("serial/by-id")),
                       {QStringLiteral("*")});
    for (const QString& port : system)
        devices.append(port);
    devices.removeDuplicates();
    return devices;
}

bool PortAssignments::isUsablePath(const QString& device) {
    // A line break or other control character cannot be part of a device path; storing it
    // would only make the port fail later with a puzzling message.
    return !device.trimmed().isEmpty() && std::none_of(device.begin(), device.end(), [](QChar c) {
        return c.category() == QChar::Other_Control;
    });
}

QString PortAssignments::assigned(int portNo) {
    if (!lookedUp(portNo))
        return QString();
    return openStore().value(keyFor(portNo)).toString().trimmed();
}

bool PortAssignments::assign(int portNo, const QString& device) {
    if (!validPort(portNo))
        return false;
    const QString path = device.trimmed();
    if (path.isEmpty()) {
        clear(portNo);
        return true;
    }
    if (!isUsablePath(path))
        return false;
    QSettings store = openStore();
    store.setValue(keyFor(portNo), path);
    store.sync();
    return store.status() == QSettings::NoError;
}

void PortAssignments::clear(int portNo) {
    if (!validPort(portNo))
        return;
    QSettings store = openStore();
    store.remove(keyFor(portNo));
    store.sync();
}

QString PortAssignments::automaticDevice(int portNo) const {
    if (!lookedUp(portNo) || portNo == 0)
        return QString();
    if (sources_.comNames)
        return QStringLiteral("COM%1").arg(portNo);
    return sources_.systemPorts().value(portNo - 1);
}

QString PortAssignments::deviceFor(int portNo) const {
    const QString chosen = assigned(portNo);
    return chosen.isEmpty() ? automaticDevice(portNo) : chosen;
}

QStringList PortAssignments::describeAll() const {
    const PortAssignments once = snapshot();
    QStringList lines;
    for (int n = FirstPort; n <= LastPort; ++n)
        lines.append(once.describe(n));
    return lines;
}

QString PortAssignments::describe(int portNo) const {
    if (!validPort(portNo))
        return QString();
    const QString chosen = assigned(portNo);
    if (!chosen.isEmpty()) {
        // A path that is not there (an adapter not plugged in) says so; names without a
        // folder (COM3) are left to the serial port to find.
        const bool missing = QDir::isAbsolutePath(chosen) && !QFileInfo::exists(chosen);
        return chosen +
               (missing ? QStringLiteral(" (assigned, not found)") : QStringLiteral(" (assigned)"));
    }
    const QString automatic = automaticDevice(portNo);
    return (automatic.isEmpty() ? QStringLiteral("no device") : automatic) +
           QStringLiteral(" (automatic)");
}

} // namespace meterlink
