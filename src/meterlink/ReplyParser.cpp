#include "meterlink/ReplyParser.h"
#include <QByteArray>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace meterlink {
namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Rounds half to even, as the conversion of a number to a 16-bit integer does.
std::optional<qint16> toInt16(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(rounded);
}

std::optional<float> toFloat(double value) {
    if (!std::isfinite(value) || std::fabs(value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(value);
}

struct Side {
    float& value;
    QString& units; // raw unit as received
    QString& text;
    QString& dispUnits;
    QString* shownUnits; // primary only
};

// One reading text s into its side of the current reading. A step that fails leaves its field.
void parseReading(const QString& s, Side side) {
    // Unit: from the first blank, at most 5 characters including the blank.
    const qsizetype blank = s.indexOf(u' ');
    if (blank >= 0) {
        side.units = s.mid(blank, 5);
        if (side.shownUnits)
            *side.shownUnits = side.units;
    }

    // Exponent: the two characters after the first "E" (the first two of s without one).
    const qsizetype e = s.indexOf(u'E');
    const std::optional<double> expValue = NumericValue(s.mid(e + 1, 2));
    const std::optional<qint16> exp = expValue ? toInt16(*expValue) : std::nullopt;

    if (const std::optional<double> whole = NumericValue(s))
        if (const std::optional<float> value = toFloat(*whole))
            side.value = *value;

    // Mantissa: the number up to and including the "E", so the exponent is not applied.
    const std::optional<double> mantissa = NumericValue(s.left(e < 0 ? 0 : e + 1));

    QString letter;
    if (exp) {
        const PrefixScaled scaled = ScaleToPrefix(mantissa.value_or(0.0), *exp);
        letter = scaled.letter;
        if (mantissa && std::isfinite(scaled.number))
            side.text = ReadingText(scaled.number);
    }
    // The letter goes before the unit as received. A line without a blank (a prompt such as
    // "=>", a unitless number) leaves the display unit as it was unless it brings a letter of
    // its own, which then replaces the old one rather than piling up in front of it.
    if (blank >= 0 || !letter.isEmpty())
        side.dispUnits = letter + side.units;
}

} // namespace

std::optional<double> NumericValue(const QString& text) {
    // Collect the leading number without blanks in the C form (a point and an E), convert it
    // independently of the user's locale, and tell overflow from underflow by its magnitude.
    QByteArray number;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&](qsizetype& k) {
        while (k < n && text[k] == u' ')
            ++k;
    };
    skipBlanks(i);
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        number += char(text[i].unicode());
        ++i;
    }
    bool digits = false;
    bool nonZero = false;
    qint64 magnitude = 0; // decimal order of the first significant digit, exponent aside
    bool fraction = false;
    auto takeDigits = [&] {
        for (skipBlanks(i); i < n && isDigit(text[i]); skipBlanks(i)) {
            const bool zero = text[i] == u'0';
            if (!nonZero && !zero)
                nonZero = true;
            if (!fraction && nonZero)
                ++magnitude;
            if (fraction && !nonZero)
                --magnitude;
            number += char(text[i].unicode());
            digits = true;
            ++i;
        }
    };
    takeDigits();
    if (i < n && text[i] == u'.') {
        number += '.';
        fraction = true;
        ++i;
        takeDigits();
    }
    if (!digits)
        return 0.0;
    // An exponent counts only when digits follow its letter and optional sign.
    qint64 exponentValue = 0;
    if (i < n && (text[i] == u'E' || text[i] == u'e')) {
        qsizetype j = i + 1;
        QByteArray exponent = "E";
        bool negative = false;
        skipBlanks(j);
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            negative = text[j] == u'-';
            exponent += char(text[j].unicode());
            ++j;
        }
        bool expDigits = false;
        for (skipBlanks(j); j < n && isDigit(text[j]); skipBlanks(j)) {
            exponent += char(text[j].unicode());
            exponentValue =
                qMin<qint64>(exponentValue * 10 + (text[j].unicode() - u'0'), qint64(1) << 40);
            expDigits = true;
            ++j;
        }
        if (negative)
            exponentValue = -exponentValue;
        if (expDigits)
            number += exponent;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (ok && std::isfinite(value))
        return value;
    if (!nonZero || magnitude + exponentValue < 0)
        return 0.0; // too small for a double: zero, as the meter means it
    return std::nullopt;
}

PrefixScaled ScaleToPrefix(double mantissa, int exp) {
    if (exp >= 6)
        return {mantissa * std::pow(10.0, exp - 6), QStringLiteral("M")};
    if (exp >= 3)
        return {mantissa * std::pow(10.0, exp - 3), QStringLiteral("k")};
    if (exp < 0)
        return {mantissa * std::pow(10.0, exp + 3), QStringLiteral("m")};
    return {mantissa * std::pow(10.0, exp), QString()};
}

QString ReadingText(double number) {
    if (number == 0)
        return QStringLiteral(" 0");
    QString text = QString::number(std::fabs(number), 'g', 15).toUpper();
    if (text.startsWith(QStringLiteral("0.")))
        text.remove(0, 1);
    return (number < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + text;
}

bool IsReadingLine(const QString& line) {
    // Anchored at both ends: noise that merely starts like a number must not become a reading.
    // The meter always writes the sign, so the tail of a reading cut by a stray CR (which loses
    // its first character with the line before) is no reading either.
    static const QString reading =
        QStringLiteral("[+-](?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)E[+-]?[0-9]+ "
                       "[Mkm\\x{b5}]?(?:VDC|VAC|ADC|AAC|OHMS|HZ|DB)");
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(QStringLiteral("%1(?:, *%1)?").arg(reading)));
    return form.match(line).hasMatch();
}

void ParseReplyLine(const QString& text, CurrentReading& reading) {
    const qsizetype comma = text.indexOf(u',');
    if (comma >= 0) {
        qsizetype start = comma + 1;
        while (start < text.size() && text[start] == u' ')
            ++start;
        parseReading(text.mid(start), Side{reading.SecValue, reading.SecUnits, reading.SecText,
                                           reading.SecDispUnits, nullptr});
        reading.DualDisplay = true;
        parseReading(text.left(comma), Side{reading.PriValue, reading.PriUnits, reading.PriText,
                                            reading.PriDispUnits, &reading.ShownUnits});
    } else {
        parseReading(text, Side{reading.PriValue, reading.PriUnits, reading.PriText,
                                reading.PriDispUnits, &reading.ShownUnits});
        reading.DualDisplay = false;
    }
    reading.PriDispUnits.remove(u' ');
    reading.SecDispUnits.remove(u' ');
}

} // namespace meterlink
