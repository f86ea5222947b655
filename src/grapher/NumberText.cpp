#include "grapher/NumberText.h"

#include <QByteArray>
#include <QDate>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace grapher {

namespace {

// Non-finite values cannot come from the meter but may sit in a foreign file.
const char* nonFiniteText(double value) {
    if (std::isnan(value))
        return "NaN";
    return value > 0 ? "Inf" : "-Inf";
}

// to_chars writes "e+03"; the program's forms use a capital E.
void upperExponent(char* begin, char* end) {
    for (char* p = begin; p != end; ++p)
        if (*p == 'e')
            *p = 'E';
}

void appendTwoDigits(QByteArray& out, int n) {
    out.append(char('0' + n / 10));
    out.append(char('0' + n % 10));
}

} // namespace

void AppendSingleText(QByteArray& out, float value) {
    if (!std::isfinite(value)) {
        out.append(nonFiniteText(value));
        return;
    }
    if (value == 0) { // also -0
        out.append('0');
        return;
    }
    char buf[40];
    // general with precision 7 is %.7g: seven significant digits, trailing zeros dropped,
    // exponent form below 1E-04 and from 1E+07.
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 7);
    upperExponent(buf, res.ptr);
    out.append(buf, res.ptr - buf);
}

QString SingleText(float value) {
    QByteArray out;
    AppendSingleText(out, value);
    return QString::fromLatin1(out);
}

QString FixedTwoText(double value) {
    if (!std::isfinite(value))
        return QString::fromLatin1(nonFiniteText(value));
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    QString text = QString::fromLatin1(buf, res.ptr - buf);
    if (text == QLatin1String("-0.00"))
        text = QStringLiteral("0.00");
    return text;
}

double LeadingNumber(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    while (p != end && (*p == ' ' || *p == '\t'))
        ++p;
    if (p != end && *p == '+')
        ++p; // from_chars takes "-" but not "+"
    double value = 0;
    auto res = std::from_chars(p, end, value);
    if (res.ec != std::errc())
        return 0;
    return value;
}

void AppendTimeStampText(QByteArray& out, double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6) {
        out.append(QByteArray::number(days));
        return;
    }
    // Whole seconds, rounded, as the stored value carries only seconds.
    const qint64 totalSeconds = std::llround(days * 86400.0);
    qint64 dayPart = totalSeconds / 86400;
    qint64 secondOfDay = totalSeconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --dayPart;
    }
    if (dayPart != 0) {
        const QDate date = QDate(1899, 12, 30).addDays(dayPart);
        out.append(date.toString(QStringLiteral("yyyy-MM-dd")).toLatin1());
        if (secondOfDay == 0)
            return;
        out.append(' ');
    }
    const int s = int(secondOfDay);
    appendTwoDigits(out, s / 3600);
    out.append(':');
    appendTwoDigits(out, s / 60 % 60);
    out.append(':');
    appendTwoDigits(out, s % 60);
}

QString TimeStampText(double days) {
    QByteArray out;
    AppendTimeStampText(out, days);
    return QString::fromLatin1(out);
}

} // namespace grapher
