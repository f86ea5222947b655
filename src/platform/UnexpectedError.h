#pragma once
#include "platform/MessageBox.h"
#include <QString>

namespace platform {

// The one message for a dialog that failed for a reason other than cancelling, shown alike by
// every window: "Error #<n> has occurred. Please" CRLF "report this to the programmer for
// remediation." CRLF CRLF, titled "Unexpected Error!", OK only, no icon.
inline const QString UnexpectedErrorTitle = QStringLiteral("Unexpected Error!");
QString UnexpectedErrorText(int errorNumber);
void ShowUnexpectedError(MessageBox& messages, int errorNumber);

} // namespace platform
