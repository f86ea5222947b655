#include "platform/QtSerialPort.h"
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QSettings>
#include <algorithm>
#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace platform {
namespace {

// Order of the system's ports: USB adapters first, then built-in ports, then anything else.
int familyRank(const QString& name) {
    if (name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM")))
        return 0;
    if (name.startsWith(QLatin1String("ttyS")))
        return 1;
    return 2;
}

void configure(QSerialPort& port) {
    port.setBaudRate(QSerialPort::Baud9600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
}

// True when the device behind an open port has hung up (a pulled adapter, a closed
// pseudo-terminal). A raw terminal also reads nothing when merely idle, which Qt reports as the
// same read error, so the error alone does not tell.
bool hungUp(QSerialPort& port) {
#ifdef Q_OS_UNIX
    pollfd device{int(port.handle()), POLLIN, 0};
    return ::poll(&device, 1, 0) > 0 && (device.revents & (POLLHUP | POLLERR | POLLNVAL));
#else
    Q_UNUSED(port);
    return false;
#endif
}

} // namespace

QtSerialPort::QtSerialPort(QObject* parent) : SerialPort(parent), port_(this) {
    configure(port_);
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    // A device that went away is closed at once: a hung-up device stays readable with nothing
    // to read, and Qt would report a read error on every turn of the event loop. The silence
    // watchdog then notices and reopens or reports it.
    connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (!port_.isOpen())
            return;
        if (e == QSerialPort::ResourceError || (e == QSerialPort::ReadError && hungUp(port_)))
            close();
    });
}

QtSerialPort::~QtSerialPort() {
    close();
}

int QtSerialPort::deviceNumber(const QString& name) {
    static const QRegularExpression digits(QStringLiteral("(\\d+)$"));
    const QRegularExpressionMatch match = digits.match(name);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QStringList QtSerialPort::orderedSystemPorts() {
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    // Pseudo-terminals are reached only through the "Ports" settings.
    ports.erase(std::remove_if(ports.begin(), ports.end(),
                               [](const QSerialPortInfo& info) {
                                   return info.systemLocation().startsWith(
                                              QLatin1String("/dev/pts/")) ||
                                          info.portName().startsWith(QLatin1String("pty"));
                               }),
                ports.end());
    std::stable_sort(ports.begin(), ports.end(),
                     [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
                         const int ra = familyRank(a.portName()), rb = familyRank(b.portName());
                         if (ra != rb)
                             return ra < rb;
                         const int na = deviceNumber(a.portName());
                         const int nb = deviceNumber(b.portName());
                         if (na != nb)
                             return na < nb;
                         return a.portName() < b.portName();
                     });
    QStringList locations;
    for (const QSerialPortInfo& info : ports)
        locations.append(info.systemLocation());
    return locations;
}

QString QtSerialPort::deviceFor(int portNo) const {
    // Any stored number may name a device: the menu offers 1..8, but a port 0 or 9 written
    // into the settings is used when something stands for it.
    if (portNo < 0)
        return QString();
    if (const auto named = named_.constFind(portNo); named != named_.constEnd())
        return *named;
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Voltrane"),
                    QStringLiteral("Voltrane"));
    const QString mapped =
        store.value(QStringLiteral("Ports/Com%1").arg(portNo)).toString().trimmed();
    if (!mapped.isEmpty())
        return mapped;
    if (portNo == 0)
        return QString();
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNo);
#else
    const QStringList ports = orderedSystemPorts();
    return portNo <= ports.size() ? ports.at(portNo - 1) : QString();
#endif
}

int QtSerialPort::mapOpenError(QSerialPort::SerialPortError error, const QString& device) {
    switch (error) {
    case QSerialPort::NoError:
        return SerialError::None;
    case QSerialPort::DeviceNotFoundError:
        return SerialError::NoSuchPort;
    case QSerialPort::PermissionError: {
        // Qt reports a lock held by another process and a device without access rights alike;
        // only the first is "in use".
        const QFileInfo info(device);
        if (info.exists() && (!info.isReadable() || !info.isWritable()))
            return SerialError::NotOpen;
        return SerialError::PortInUse;
    }
    case QSerialPort::OpenError:
    case QSerialPort::NotOpenError:
    case QSerialPort::UnsupportedOperationError:
        return SerialError::NotOpen;
    default:
        return int(error);
    }
}

int QtSerialPort::open(int portNo) {
    close();
    const QString device = deviceFor(portNo);
    if (device.isEmpty())
        return SerialError::NoSuchPort;
    port_.setPortName(device);
    configure(port_);
    if (!port_.open(QIODevice::ReadWrite))
        return mapOpenError(port_.error(), device);
    // Some drivers accept the open but refuse the line settings; such a port is of no use.
    if (port_.baudRate() != QSerialPort::Baud9600 || port_.error() != QSerialPort::NoError) {
        const int code = mapOpenError(port_.error(), device);
        port_.close();
        return code == SerialError::None ? SerialError::NotOpen : code;
    }
    port_.clearError();
    openDevice_ = device;
    return SerialError::None;
}

void QtSerialPort::nameDevice(int portNo, const QString& device) {
    named_.insert(portNo, device);
}

void QtSerialPort::close() {
    if (port_.isOpen())
        port_.close();
    port_.clearError();
    openDevice_.clear();
}

bool QtSerialPort::isOpen() const {
    return port_.isOpen();
}

void QtSerialPort::write(const QByteArray& bytes) {
    if (!port_.isOpen())
        return;
    port_.write(bytes);
    // Hand the bytes to the driver now: the caller may block the thread (the start-up pauses)
    // and the meter must see each command before the pause that follows it.
    port_.flush();
}

void QtSerialPort::flushInput() {
    if (port_.isOpen()) {
        port_.clear(QSerialPort::Input);
        port_.readAll();
    }
}

bool QtSerialPort::probe(int portNo) {
    const QString device = deviceFor(portNo);
    if (device.isEmpty())
        return false;
    if (port_.isOpen() && device == openDevice_)
        return true; // our own connection: present, and ours to use
    // The same lock file and exclusive-use checks as a real open, read-only; QSerialPort puts
    // the device's own line settings back when it closes.
    QSerialPort trial;
    trial.setPortName(device);
    if (!trial.open(QIODevice::ReadOnly))
        return false;
    trial.close();
    return true;
}

void QtSerialPort::onReadyRead() {
    const QByteArray bytes = port_.readAll();
    if (!bytes.isEmpty())
        emit received(bytes);
}

} // namespace platform
