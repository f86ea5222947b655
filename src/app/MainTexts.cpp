#include "MainTexts.h"
#include "app/SharedState.h"
#include "meterlink/LinkWatchdog.h"
#include <QStringList>

namespace maintexts {

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Every line ends in CR LF; an empty entry is an empty line.
QString lines(const QStringList& all) {
    QString text;
    for (const QString& line : all)
        text += line + CrLf;
    return text;
}

} // namespace

QString AboutText() {
    return lines({
        "Voltrane Multimeter Communications",
        "Application and Data Logger",
        "",
        "Version " + ProgramVersionText,
        "",
        "Uses Serial Communication at 9600 baud,",
        "no parity, 8 data bits, and 1 stop bit (Meter Default).",
        "",
        "Connect the Fluke 45 using a null-modem 9 pin serial",
        "cable, not a normal serial cable.",
        "",
    });
}

QString HelpText() {
    return meterlink::LinkWatchdog::SetupHelpText();
}

} // namespace maintexts
