#pragma once
#include <QString>
#include <QStringList>

// The program's message texts end their lines in CR LF; the message box shows them as lines.
namespace platform {

inline const QString CrLf = QStringLiteral("\r\n");

// Every line followed by CR LF; an empty entry is an empty line.
QString EachLine(const QStringList& lines);

} // namespace platform
