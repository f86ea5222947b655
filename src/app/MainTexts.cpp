#include "MainTexts.h"
#include "app/SharedState.h"
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
    return lines({
        "Voltrane Multimeter Communications Application",
        "and Data Logger",
        "",
        "Version " + ProgramVersionText,
        "",
        "Uses Serial Communication at 9600 baud,",
        "no parity, and 8 data bits (Meter Default).",
        "",
        "If necessary, set the parameters by hitting",
        "the '2nd' key followed by 'RATE', then the Up/Down",
        "keys to select 9600, then 'AUTO' to confirm.",
        "Continue in a like manner for Parity and Echo (ON).",
        "",
        "Connect the Fluke 45 using a null-modem 9 pin serial",
        "cable, not a normal cable, to an available serial port",
        "on your PC. Press the '2nd' key and 'MN MX' key,",
        "on the Meter, then Up-arrow to select 'Print1', and",
        "hit the 'AUTO' key to start Comm. See Meter Manual",
        "for cable pinouts and troubleshooting.",
        "",
    });
}

} // namespace maintexts
