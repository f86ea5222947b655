#include "grapher/Readout.h"

#include "grapher/NumberText.h"

#include <cmath>

namespace grapher {

std::optional<QString> ShowDbu(const QString& valueText) {
    const double v = LeadingNumber(valueText);
    if (!(v > 0))
        return std::nullopt;
    const float dBu = float(20 * std::log(v / 0.77459667) / 2.30258509299405);
    return FixedTwoText(dBu) + QStringLiteral(" dBu");
}

Readout ReadoutFor(const LogColumns& columns, qint32 pos, int dataSet) {
    Readout r;
    if (!columns.timeStampNull(pos))
        r.timeStamp = TimeStampText(columns.timeStamp(pos));
    if (!columns.milliSecondsNull(pos))
        r.milliSeconds = SingleText(columns.milliSeconds(pos));
    r.units = columns.units(dataSet, pos);
    r.plotValue = columns.value(dataSet, pos);
    if (r.plotValue)
        r.value = SingleText(*r.plotValue);
    if (r.units == QLatin1String(" VAC") || r.units == QLatin1String("VAC"))
        r.dBu = ShowDbu(r.value);
    else if (r.units == QLatin1String(" DB") || r.units == QLatin1String("DB"))
        r.dBu = r.value;
    else
        r.dBu = QStringLiteral("NA");
    return r;
}

} // namespace grapher
