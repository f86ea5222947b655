#include "MainTexts.h"
#include "core/SessionState.h"
#include "meterlink/LinkWatchdog.h"
#include "platform/MessageText.h"

namespace maintexts {

QString AboutText() {
    return platform::EachLine({
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
