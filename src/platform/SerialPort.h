#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

namespace platform {

// Error codes of a failed open, as the rest of the program tests them.
namespace SerialError {
inline constexpr int None = 0;
inline constexpr int NoSuchPort = 8002;
inline constexpr int PortInUse = 8005;
inline constexpr int NotOpen = 8012;
} // namespace SerialError

// The one serial connection to the meter, addressed by port number 1..8 (Com1..Com8).
// Line settings are fixed: 9600 baud, no parity, 8 data bits, 1 stop bit, no flow control.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    // Returns SerialError::None, one of the codes above, or another nonzero platform code.
    virtual int open(int portNo) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Transmits the bytes exactly as given.
    virtual void write(const QByteArray& bytes) = 0;
    // Discards received bytes not yet delivered.
    virtual void flushInput() = 0;
    // True when port n exists and is free; opens and closes it without writing or reconfiguring.
    virtual bool probe(int portNo) = 0;
    // The device that stands for port n ("/dev/ttyUSB0", "COM3"); empty when there is none.
    virtual QString deviceFor(int portNo) const = 0;

signals:
    // Received bytes in arrival order; the receiver handles them one character at a time.
    void received(const QByteArray& bytes);
};

} // namespace platform
