#include "grapher/LogColumns.h"

namespace grapher {

void LogColumns::reserve(qint64 rows) {
    const auto n = size_t(rows);
    timeStamp_.reserve(n);
    milliSeconds_.reserve(n);
    value_.reserve(n);
    value2_.reserve(n);
    units_.reserve(n);
    units2_.reserve(n);
    nulls_.reserve(n);
}

quint16 LogColumns::intern(const std::optional<QString>& text) {
    if (!text || text->isEmpty())
        return 0;
    auto it = unitIndex_.constFind(*text);
    if (it != unitIndex_.constEnd())
        return *it;
    // A real file holds a handful of unit texts; a foreign one with more than the index can
    // name keeps the extra texts as the last one rather than failing.
    if (unitPool_.size() >= 0xFFFF)
        return quint16(unitPool_.size() - 1);
    const auto index = quint16(unitPool_.size());
    unitPool_.append(*text);
    unitIndex_.insert(*text, index);
    return index;
}

void LogColumns::append(const Row& row) {
    auto index = [this](const std::optional<QString>& text) -> std::optional<quint16> {
        if (!text)
            return std::nullopt;
        return intern(text);
    };
    appendInterned(row.TimeStamp, row.MilliSeconds, index(row.Units), row.Value, index(row.Units2),
                   row.Value2);
}

void LogColumns::appendInterned(std::optional<double> timeStamp, std::optional<float> milliSeconds,
                                std::optional<quint16> units, std::optional<float> value,
                                std::optional<quint16> units2, std::optional<float> value2) {
    quint8 mask = 0;
    if (!timeStamp)
        mask |= NullTimeStamp;
    if (!milliSeconds)
        mask |= NullMilliSeconds;
    if (!units)
        mask |= NullUnits;
    if (!value)
        mask |= NullValue;
    if (!units2)
        mask |= NullUnits2;
    if (!value2)
        mask |= NullValue2;
    timeStamp_.push_back(timeStamp.value_or(0));
    milliSeconds_.push_back(milliSeconds.value_or(0));
    value_.push_back(value.value_or(0));
    value2_.push_back(value2.value_or(0));
    units_.push_back(units.value_or(0));
    units2_.push_back(units2.value_or(0));
    nulls_.push_back(mask);
}

void LogColumns::clear() {
    *this = LogColumns();
}

void LogColumns::squeeze() {
    timeStamp_.shrink_to_fit();
    milliSeconds_.shrink_to_fit();
    value_.shrink_to_fit();
    value2_.shrink_to_fit();
    units_.shrink_to_fit();
    units2_.shrink_to_fit();
    nulls_.shrink_to_fit();
}

std::optional<float> LogColumns::value(int dataSet, qint32 pos) const {
    if (isNull(pos, NullBit(valueNullBit(dataSet))))
        return std::nullopt;
    return values(dataSet)[pos - 1];
}

const QString& LogColumns::units(int dataSet, qint32 pos) const {
    return unitPool_[unitIndexes(dataSet)[pos - 1]];
}

bool LogColumns::unitsNull(int dataSet, qint32 pos) const {
    return isNull(pos, dataSet == 1 ? NullUnits : NullUnits2);
}

double LogColumns::bytesPerRow() const {
    if (timeStamp_.empty())
        return 0;
    const double bytes =
        double(timeStamp_.capacity() * sizeof(double)) +
        double((milliSeconds_.capacity() + value_.capacity() + value2_.capacity()) *
               sizeof(float)) +
        double((units_.capacity() + units2_.capacity()) * sizeof(quint16)) +
        double(nulls_.capacity());
    return bytes / double(timeStamp_.size());
}

} // namespace grapher
