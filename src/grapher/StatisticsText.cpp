#include "grapher/StatisticsText.h"

#include "grapher/NumberText.h"

#include <cmath>

namespace grapher {

namespace {

const char16_t* const Letters[] = {u"p", u"n", u"\u00b5", u"m", u"", u"k", u"M", u"G"};
constexpr int LowestExponent = -12;

} // namespace

StatisticsTexts StatisticsTexts::of(const ViewStatistics& s) {
    StatisticsTexts t;
    t.samples = QString::number(s.count);
    t.span = spanText(s.spanSeconds);
    if (s.count == 0)
        return t;
    t.mean = numberText(s.mean, s.units);
    t.standardDeviation = numberText(s.standardDeviation, s.units);
    t.rms = numberText(s.rms, s.units);
    t.minimum = numberText(s.minimum, s.units);
    t.maximum = numberText(s.maximum, s.units);
    t.peakToPeak = numberText(s.peakToPeak, s.units);
    return t;
}

QString StatisticsTexts::numberText(double value, const QString& units) {
    const QString unit = units.trimmed();
    const QString after = unit.isEmpty() ? QString() : QLatin1Char(' ') + unit;
    if (!std::isfinite(value))
        return ScientificText(value) + after;
    if (unit == QLatin1String("DB"))
        return FixedTwoText(value) + after;
    if (unit.isEmpty())
        return QString::number(value, 'g', 5);
    // Rounded to five digits first, so 999.996 becomes "1.0000 k", not "1000.0".
    const QString e = QString::number(std::fabs(value), 'e', 4); // "1.2345e-03"
    const int at = e.indexOf(QLatin1Char('e'));
    const int exponent = e.mid(at + 1).toInt();
    const int engineering = int(std::floor(exponent / 3.0)) * 3;
    const int letter = (engineering - LowestExponent) / 3;
    if (letter < 0 || letter >= int(std::size(Letters)))
        return ScientificText(value) + after;
    const QString digits = e.left(1) + e.mid(2, at - 2);
    const int whole = 1 + exponent - engineering;
    return (value < 0 ? QStringLiteral("-") : QString()) + digits.left(whole) + QLatin1Char('.') +
           digits.mid(whole) + QLatin1Char(' ') + QString::fromUtf16(Letters[letter]) + unit;
}

QString StatisticsTexts::spanText(std::optional<double> seconds) {
    if (!seconds || !std::isfinite(*seconds))
        return None;
    const qint64 ms = std::llround(std::fabs(*seconds) * 1000);
    const QString sign = *seconds < 0 && ms > 0 ? QStringLiteral("-") : QString();
    if (ms < 60000)
        return sign + QString::number(ms / 1000.0, 'f', 3) + QStringLiteral(" s");
    const qint64 days = ms / 86400000;
    QString text = days > 0 ? QString::number(days) + QStringLiteral(" d ") : QString();
    const qint64 rest = ms % 86400000;
    return sign + text +
           QStringLiteral("%1:%2:%3.%4")
               .arg(rest / 3600000)
               .arg(rest / 60000 % 60, 2, 10, QLatin1Char('0'))
               .arg(rest / 1000 % 60, 2, 10, QLatin1Char('0'))
               .arg(rest % 1000, 3, 10, QLatin1Char('0'));
}

} // namespace grapher
