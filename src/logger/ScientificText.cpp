#include "logger/ScientificText.h"

#include <charconv>
#include <cmath>

namespace logger {

QString ScientificText(double value) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 2);
    // to_chars writes "e+03"; the format wants a capital E and nothing else is a letter.
    return QString::fromLatin1(buf, res.ptr - buf).toUpper();
}

} // namespace logger
