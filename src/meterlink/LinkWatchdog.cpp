#include "meterlink/LinkWatchdog.h"

#include "platform/MessageText.h"
#include "platform/ProgramVersion.h"

namespace meterlink {

using platform::CrLf;
using platform::EachLine;

LinkWatchdog::LinkWatchdog(LinkCounters& link, CurrentReading& reading, platform::SerialPort& port,
                           platform::MessageBox& messages, platform::Clock& clock,
                           LinkWatchdogHost& host)
    : link_(link), reading_(reading), port_(port), messages_(messages), clock_(clock), host_(host) {
}

QString LinkWatchdog::SetupHelpText() {
    const QStringList lines = {
        QStringLiteral("Voltrane Multimeter Communications Application"),
        QStringLiteral("and Data Logger"),
        QString(),
        QStringLiteral("Version ") + ProgramVersionText,
        QString(),
        QStringLiteral("Uses Serial Communication at 9600 baud,"),
        QStringLiteral("no parity, and 8 data bits (Meter Default)."),
        QString(),
        QStringLiteral("If necessary, set the parameters by hitting"),
        QStringLiteral("the '2nd' key followed by 'RATE', then the Up/Down"),
        QStringLiteral("keys to select 9600, then 'AUTO' to confirm."),
        QStringLiteral("Continue in a like manner for Parity and Echo (ON)."),
        QString(),
        QStringLiteral("Connect the Fluke 45 using a null-modem 9 pin serial"),
        QStringLiteral("cable, not a normal cable, to an available serial port"),
        QStringLiteral("on your PC. Press the '2nd' key and 'MN MX' key,"),
        QStringLiteral("on the Meter, then Up-arrow to select 'Print1', and"),
        QStringLiteral("hit the 'AUTO' key to start Comm. See Meter Manual"),
        QStringLiteral("for cable pinouts and troubleshooting."),
        QString(),
    };
    return EachLine(lines);
}

QString LinkWatchdog::QuestionText() {
    return SetupHelpText() +
           EachLine({
               QStringLiteral("Press 'OK' to go Continue, Cancel to go Offline"),
               QStringLiteral("and check your selected port under Edit | RS232 Port,"),
               QStringLiteral("then Quit and Restart Program when all is correct."),
               QString(),
           });
}

QString LinkWatchdog::ReopenFailedText(int portNo, int errorCode) {
    return QStringLiteral("Com%1 could not be opened again (Error #%2).")
               .arg(portNo)
               .arg(errorCode) +
           CrLf + CrLf +
           QStringLiteral("The program stays offline. Check the port under Edit | RS232 Port,") +
           CrLf + QStringLiteral("then Quit and Restart Program.") + CrLf + CrLf;
}

LinkWatchdog::Outcome LinkWatchdog::check() {
    // A tick that reaches here while the question is open must not stack a second question.
    if (asking_ || link_.NoReplyCount <= link_.NoReplyLimit)
        return Outcome::Watching;

    link_.LinkLost = true;
    host_.setDisplayTexts(QStringLiteral("No Comm"), QStringLiteral("Reset Meter"));
    reading_.DualDisplay = true;
    reading_.PriDispUnits.clear();
    reading_.SecDispUnits.clear();
    host_.disableLoggerButton();
    port_.close();
    link_.NoReplyCount = 0;
    host_.resetReceiveState();

    asking_ = true;
    const platform::Answer answer = messages_.show(QuestionText(), platform::Buttons::OkCancel,
                                                   QuestionTitle, platform::Icon::None);
    asking_ = false;

    Outcome outcome = Outcome::Offline;
    if (answer == platform::Answer::Ok) {
        if (reopenPort()) {
            port_.flushInput();
            link_.NoReplyLimit = ContinueLimit;
            clock_.pause(ContinuePauseMs);
            offline_ = false;
            outcome = Outcome::Continued;
        } else {
            goOffline(false);
        }
    } else {
        goOffline(true);
    }
    // The tick raises the count next, so it stands at 0 after either answer.
    link_.NoReplyCount = -1;
    return outcome;
}

void LinkWatchdog::goOffline(bool reopen) {
    host_.stopTimers();
    if (!host_.dualLayoutShown())
        host_.ShowDualLayout();
    host_.setDisplayTexts(QStringLiteral("Check Port"), QStringLiteral("Then Restart"));
    // Reply lines are still parsed while offline, so the port is opened again when it can be.
    if (reopen)
        reopenPort();
    host_.disableMeterControls();
    offline_ = true;
}

bool LinkWatchdog::reopenPort() {
    const int portNo = host_.commPortNo();
    const int error = port_.open(portNo);
    if (error == platform::SerialError::None)
        return true;
    messages_.show(ReopenFailedText(portNo, error), platform::Buttons::OkOnly, ReopenFailedTitle,
                   platform::Icon::Exclamation);
    return false;
}

} // namespace meterlink
