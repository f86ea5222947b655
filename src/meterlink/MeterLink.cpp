#include "meterlink/MeterLink.h"
#include "meterlink/ReplyParser.h"

namespace meterlink {

MeterLink::MeterLink(platform::SerialPort& port, platform::Clock& clock, CurrentReading& reading,
                     LinkCounters& link, QObject* parent)
    : QObject(parent), port_(port), clock_(clock), reading_(reading), link_(link) {
    connect(&port_, &platform::SerialPort::received, this, &MeterLink::onReceived);
}

void MeterLink::SendMeterCommand(const QString& text) {
    port_.write(text.toLatin1() + '\r');
}

void MeterLink::SendStartupCommands() {
    clock_.pause(250);
    port_.write(QByteArrayLiteral("FORMAT 2; RATE F\r\n"));
    clock_.pause(250);
    SendMeterCommand(QStringLiteral("RATE F"));
    link_.NoReplyLimit = 35;
    link_.NoReplyCount = 0;
    SendMeterCommand(QStringLiteral("VAC"));
}

void MeterLink::ResetReceiveState() {
    ring_.reset();
}

void MeterLink::ReceiveCharacter(char c) {
    // Bytes are the meter's 8-bit characters, one to one.
    if (const std::optional<QString> line = ring_.receive(QChar(uchar(c)))) {
        // Prompts, echoes and noise show the meter is there but carry no value to show or log.
        if (IsReadingLine(*line)) {
            ParseReplyLine(*line, reading_);
            reading_.ReadingAt = clock_.now();
        }
        link_.LinkLost = false;
        emit lineCompleted(*line);
    }
    link_.NoReplyCount = 0;
}

void MeterLink::onReceived(const QByteArray& bytes) {
    for (const char c : bytes)
        ReceiveCharacter(c);
}

} // namespace meterlink
