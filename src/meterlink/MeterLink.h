#pragma once
#include "meterlink/CurrentReading.h"
#include "meterlink/LinkCounters.h"
#include "meterlink/ReceiveRing.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include <QObject>
#include <QString>

namespace meterlink {

// The protocol side of the meter link: listens to the serial port, feeds the received bytes to
// the receive ring one character at a time, parses every completed line into the current
// reading, and sends the meter's commands. Owned by the main window together with the port.
class MeterLink : public QObject {
    Q_OBJECT
public:
    MeterLink(platform::SerialPort& port, platform::Clock& clock, CurrentReading& reading,
              LinkCounters& link, QObject* parent = nullptr);

    // The one way to send a command: the text followed by one carriage return.
    void SendMeterCommand(const QString& text);

    // The start-up sequence: pause 250 ms, "FORMAT 2; RATE F" CR LF, pause 250 ms,
    // "RATE F" CR, NoReplyLimit := 35, NoReplyCount := 0, "VAC" CR.
    void SendStartupCommands();

    // The watchdog's link reset of the receive side (RxWriteIdx, RxPrevIdx := 0, RxLine
    // emptied). The counters are the watchdog's own business.
    void ResetReceiveState();

    // Handles one received character exactly as a receive notification does; the port's
    // received bytes come through here one by one.
    void ReceiveCharacter(char c);

    const ReceiveRing& ring() const { return ring_; }
    platform::SerialPort& port() { return port_; }

signals:
    // A reply line was completed (the main window enables cmdLogger); line is its text. Only a
    // line in the form of a reading has been parsed into the current reading.
    void lineCompleted(const QString& line);

private:
    void onReceived(const QByteArray& bytes);

    platform::SerialPort& port_;
    platform::Clock& clock_;
    CurrentReading& reading_;
    LinkCounters& link_;
    ReceiveRing ring_;
};

} // namespace meterlink
