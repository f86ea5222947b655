#pragma once
#include "platform/SerialPort.h"
#include <QHash>
#include <QSerialPort>
#include <QString>
#include <QStringList>

namespace platform {

// The serial port on QSerialPort. Port n is the device named in the settings group "Ports",
// key "Com<n>" (for example Com1=/dev/pts/4) when there is one; otherwise COMn on Windows, and
// elsewhere the n-th serial port the system reports, USB adapters (ttyUSB, ttyACM) first, then
// built-in ports (ttyS), each by number. Pseudo-terminals are reached only through "Ports".
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    int open(int portNo) override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray& bytes) override;
    void flushInput() override;
    bool probe(int portNo) override;
    QString deviceFor(int portNo) const override;
    // Makes port n stand for device for this connection only, ahead of the settings (a device
    // path given on a command line).
    void nameDevice(int portNo, const QString& device);

    // The system's serial devices in the order that numbers them (without "Ports" entries).
    static QStringList orderedSystemPorts();
    // The number at the end of a device name (10 for ttyUSB10), -1 when it has none.
    static int deviceNumber(const QString& name);
    // The error code of a failed open of device: 8002, 8005, 8012 or the platform's own code.
    static int mapOpenError(QSerialPort::SerialPortError error, const QString& device);

private:
    void onReadyRead();

    QSerialPort port_; // a child, so its error reports can be watched from outside
    QString openDevice_;
    QHash<int, QString> named_;
};

} // namespace platform
