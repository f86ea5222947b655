#include "platform/UnexpectedError.h"

namespace platform {

QString UnexpectedErrorText(int errorNumber) {
    return QStringLiteral("Error #%1 has occurred. Please").arg(errorNumber) +
           QStringLiteral("\r\nreport this to the programmer for remediation.\r\n\r\n");
}

void ShowUnexpectedError(MessageBox& messages, int errorNumber) {
    messages.show(UnexpectedErrorText(errorNumber), Buttons::OkOnly, UnexpectedErrorTitle,
                  Icon::None);
}

} // namespace platform
