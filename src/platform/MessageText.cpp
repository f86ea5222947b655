#include "platform/MessageText.h"

namespace platform {

QString EachLine(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + CrLf;
    return text;
}

} // namespace platform
