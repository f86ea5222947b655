#include "grapher/LogColumns.h"

#include <QHash>
#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace grapher {

namespace {

constexpr qint32 TimeElsewhere = std::numeric_limits<qint32>::min();
constexpr qint16 MilliElsewhere = std::numeric_limits<qint16>::min();
// The NaN that stands for a NULL value; a NaN read from a file is kept as the usual quiet one.
constexpr quint32 NullBits = 0x7FC00001u;
constexpr quint32 QuietNanBits = 0x7FC00000u;

std::optional<qint32> compactSeconds(double days) {
    const double s = std::nearbyint(days * 86400.0);
    if (!(s > double(TimeElsewhere) && s <= double(std::numeric_limits<qint32>::max())))
        return std::nullopt;
    const auto seconds = qint32(s);
    if (std::bit_cast<quint64>(double(seconds) / 86400.0) != std::bit_cast<quint64>(days))
        return std::nullopt;
    return seconds;
}

std::optional<qint16> compactMilli(float ms) {
    if (!(ms > float(MilliElsewhere) && ms <= 32767.f) || ms != std::trunc(ms))
        return std::nullopt;
    const auto m = qint16(ms);
    if (std::bit_cast<quint32>(float(m)) != std::bit_cast<quint32>(ms)) // -0 keeps its sign
        return std::nullopt;
    return m;
}

float storedValue(const std::optional<float>& v) {
    if (!v)
        return std::bit_cast<float>(NullBits);
    if (std::bit_cast<quint32>(*v) == NullBits)
        return std::bit_cast<float>(QuietNanBits);
    return *v;
}

template <typename List> auto exceptionAt(const List& list, qint32 pos) {
    auto it = std::lower_bound(list.begin(), list.end(), pos,
                               [](const auto& e, qint32 p) { return e.pos < p; });
    return it != list.end() && it->pos == pos ? it->value : decltype(it->value)();
}

// The running first/last lowest/highest of a walk in stored order, as a sequential scan with
// <, <=, > and >= picks them.
struct ExtremeWalk {
    const float* v;
    LogColumns::Extremes e;
    void take(qint32 minFirst, qint32 minLast, qint32 maxFirst, qint32 maxLast) {
        if (e.minFirst == 0) {
            e = {minFirst + 1, minLast + 1, maxFirst + 1, maxLast + 1};
            return;
        }
        if (v[minFirst] < v[e.minFirst - 1])
            e.minFirst = minFirst + 1;
        if (v[minLast] <= v[e.minLast - 1])
            e.minLast = minLast + 1;
        if (v[maxFirst] > v[e.maxFirst - 1])
            e.maxFirst = maxFirst + 1;
        if (v[maxLast] >= v[e.maxLast - 1])
            e.maxLast = maxLast + 1;
    }
};

} // namespace

bool LogColumns::IsNullValue(float v) {
    return std::bit_cast<quint32>(v) == NullBits;
}

quint16 LogColumns::Part::unitIndex(int set, const char* utf8, int bytes) {
    const QByteArrayView text(utf8, bytes);
    if (lastIndex_[set] != 0 && text == QByteArrayView(lastText_[set]))
        return lastIndex_[set];
    qsizetype index = 1;
    while (index < texts_.size() && texts_[index] != text)
        ++index;
    if (index == texts_.size()) {
        // A real file holds a handful of unit texts; a foreign one with more than the index
        // can name keeps the extra texts as the last one rather than failing.
        if (texts_.size() >= 0xFFFF)
            return quint16(texts_.size() - 1);
        texts_.append(text.toByteArray());
    }
    lastText_[set] = texts_[index];
    lastIndex_[set] = quint16(index);
    return lastIndex_[set];
}

void LogColumns::Part::store(LogColumns& columns, qint32 pos, std::optional<double> timeStamp,
                             std::optional<float> milliSeconds, quint16 units,
                             std::optional<float> value, quint16 units2,
                             std::optional<float> value2) {
    const size_t i = size_t(pos - 1);
    const std::optional<qint32> seconds = timeStamp ? compactSeconds(*timeStamp) : std::nullopt;
    columns.seconds_[i] = seconds.value_or(TimeElsewhere);
    if (!seconds)
        times_.push_back({pos, timeStamp});
    const std::optional<qint16> milli = milliSeconds ? compactMilli(*milliSeconds) : std::nullopt;
    columns.milli_[i] = milli.value_or(MilliElsewhere);
    if (!milli)
        millis_.push_back({pos, milliSeconds});
    columns.value_[0][i] = storedValue(value);
    columns.value_[1][i] = storedValue(value2);
    const quint16 indexes[2] = {units, units2};
    for (int k = 0; k < 2; ++k)
        if (runs_[k].empty() || runs_[k].back().index != indexes[k])
            runs_[k].push_back({pos, indexes[k]});
}

void LogColumns::resize(qint32 rows) {
    const auto n = size_t(rows);
    seconds_.resize(n);
    milli_.resize(n);
    const size_t blocks = (n + BlockRows - 1) / BlockRows;
    for (int k = 0; k < 2; ++k) {
        value_[k].resize(n);
        blocks_[k].resize(blocks);
    }
}

void LogColumns::summarizeBlock(int set, qint32 block) {
    const float* v = value_[set].data();
    const qint32 begin = block * BlockRows;
    const qint32 end = std::min(begin + BlockRows, rowCount());
    Block b;
    ExtremeWalk walk{v, {}};
    for (qint32 i = begin; i < end; ++i) {
        const float x = v[i];
        if (std::isnan(x))
            continue;
        walk.take(i, i, i, i);
        const int cls = x > 0 ? 0 : x < 0 ? 1 : 2;
        const int before = b.count[cls]++;
        if (cls < 2) { // Welford's update, in double
            const double delta = double(x) - b.mean[cls];
            b.mean[cls] += delta / (before + 1);
            b.m2[cls] += delta * (double(x) - b.mean[cls]);
        }
        if (x >= 0 && (b.count[0] + b.count[2] == 1 || x < b.minNonNegative))
            b.minNonNegative = x;
        if (x <= 0 && (b.count[1] + b.count[2] == 1 || x > b.maxNonPositive))
            b.maxNonPositive = x;
    }
    if (walk.e.minFirst != 0) {
        b.minFirst = quint8(walk.e.minFirst - 1 - begin);
        b.minLast = quint8(walk.e.minLast - 1 - begin);
        b.maxFirst = quint8(walk.e.maxFirst - 1 - begin);
        b.maxLast = quint8(walk.e.maxLast - 1 - begin);
    }
    blocks_[set][size_t(block)] = b;
}

void LogColumns::summarize(qint32 firstBlock, qint32 endBlock) {
    for (int set = 0; set < 2; ++set)
        for (qint32 b = firstBlock; b < endBlock; ++b)
            summarizeBlock(set, b);
}

void LogColumns::assemble(std::vector<Part>& parts) {
    QHash<QByteArray, quint16> known;
    for (qsizetype i = 1; i < unitUtf8_.size(); ++i)
        known.insert(unitUtf8_[i], quint16(i));
    for (Part& part : parts) {
        std::vector<quint16> global(size_t(part.texts_.size()), 0);
        for (qsizetype i = 1; i < part.texts_.size(); ++i) {
            auto it = known.constFind(part.texts_[i]);
            if (it == known.constEnd()) {
                const auto index = quint16(std::min<qsizetype>(unitUtf8_.size(), 0xFFFE));
                if (index == unitUtf8_.size()) {
                    // Exports write the text as shown: bytes that are no UTF-8 as U+FFFD.
                    unitTexts_.append(QString::fromUtf8(part.texts_[i]));
                    unitUtf8_.append(unitTexts_.constLast().toUtf8());
                }
                it = known.insert(part.texts_[i], index);
            }
            global[size_t(i)] = *it;
        }
        for (int k = 0; k < 2; ++k)
            for (const Part::Run& r : part.runs_[k]) {
                const quint16 index = global[r.index];
                if (runs_[k].empty() || runs_[k].back().index != index)
                    runs_[k].push_back({r.start, index});
            }
        times_.insert(times_.end(), part.times_.begin(), part.times_.end());
        millis_.insert(millis_.end(), part.millis_.begin(), part.millis_.end());
        part = Part();
    }
}

void LogColumns::append(const Row& row) {
    const qint32 pos = rowCount() + 1;
    resize(pos);
    std::vector<Part> parts(1);
    Part& part = parts.front();
    auto index = [&part](int set, const std::optional<QString>& text) -> quint16 {
        if (!text)
            return 0;
        const QByteArray utf8 = text->toUtf8();
        return part.unitIndex(set, utf8.constData(), int(utf8.size()));
    };
    part.store(*this, pos, row.TimeStamp, row.MilliSeconds, index(0, row.Units), row.Value,
               index(1, row.Units2), row.Value2);
    assemble(parts);
    summarize((pos - 1) / BlockRows, (pos - 1) / BlockRows + 1);
}

qint32 LogColumns::midnightsBetween(qint32 first, qint32 last) const {
    if (midnightsFor_ != rowCount()) {
        midnights_.clear();
        qint32 previous = TimeElsewhere;
        for (size_t i = 0; i < seconds_.size(); ++i) {
            const qint32 s = seconds_[i];
            if (s == TimeElsewhere)
                continue;
            if (previous != TimeElsewhere && qint64(previous) - s > 12 * 3600)
                midnights_.push_back(qint32(i + 1));
            previous = s;
        }
        midnightsFor_ = rowCount();
    }
    const auto from = std::upper_bound(midnights_.begin(), midnights_.end(), first);
    const auto to = std::upper_bound(midnights_.begin(), midnights_.end(), last);
    return qint32(std::max<std::ptrdiff_t>(to - from, 0));
}

void LogColumns::clear() {
    *this = LogColumns();
}

bool LogColumns::timeStampNull(qint32 pos) const {
    return seconds_[size_t(pos - 1)] == TimeElsewhere && !exceptionAt(times_, pos);
}

bool LogColumns::milliSecondsNull(qint32 pos) const {
    return milli_[size_t(pos - 1)] == MilliElsewhere && !exceptionAt(millis_, pos);
}

double LogColumns::timeStamp(qint32 pos) const {
    const qint32 s = seconds_[size_t(pos - 1)];
    if (s != TimeElsewhere)
        return double(s) / 86400.0;
    return exceptionAt(times_, pos).value_or(0);
}

float LogColumns::milliSeconds(qint32 pos) const {
    const qint16 m = milli_[size_t(pos - 1)];
    if (m != MilliElsewhere)
        return float(m);
    return exceptionAt(millis_, pos).value_or(0);
}

std::optional<float> LogColumns::value(int dataSet, qint32 pos) const {
    const float v = values(dataSet)[size_t(pos - 1)];
    if (IsNullValue(v))
        return std::nullopt;
    return v;
}

qint32 LogColumns::runAt(int dataSet, qint32 pos) const {
    const auto& runs = runs_[dataSet == 1 ? 0 : 1];
    auto it = std::upper_bound(runs.begin(), runs.end(), pos,
                               [](qint32 p, const Run& r) { return p < r.start; });
    return it == runs.begin() ? 0 : (it - 1)->index;
}

const QString& LogColumns::units(int dataSet, qint32 pos) const {
    return unitTexts_[runAt(dataSet, pos)];
}

QByteArray LogColumns::unitsUtf8(int dataSet, qint32 pos) const {
    return unitUtf8_[runAt(dataSet, pos)];
}

bool LogColumns::unitsNull(int dataSet, qint32 pos) const {
    return runAt(dataSet, pos) == 0;
}

LogColumns::Extremes LogColumns::extremes(int dataSet, qint32 first, qint32 last) const {
    const int set = dataSet == 1 ? 0 : 1;
    ExtremeWalk walk{value_[set].data(), {}};
    const Block* blocks = blocks_[set].data();
    first = std::max(first, 1);
    last = std::min(last, rowCount());
    for (qint32 i = first - 1; i < last;) {
        if (i % BlockRows == 0 && i + BlockRows <= last) {
            const Block& b = blocks[i / BlockRows];
            if (b.minFirst != Block::None)
                walk.take(i + b.minFirst, i + b.minLast, i + b.maxFirst, i + b.maxLast);
            i += BlockRows;
            continue;
        }
        if (!std::isnan(walk.v[i]))
            walk.take(i, i, i, i);
        ++i;
    }
    return walk.e;
}

double LogColumns::bytesPerRow() const {
    if (seconds_.empty())
        return 0;
    double bytes =
        double(seconds_.capacity() * sizeof(qint32) + milli_.capacity() * sizeof(qint16) +
               times_.capacity() * sizeof(Part::TimeException) +
               millis_.capacity() * sizeof(Part::MilliException));
    for (int k = 0; k < 2; ++k)
        bytes += double(value_[k].capacity() * sizeof(float) + runs_[k].capacity() * sizeof(Run) +
                        blocks_[k].capacity() * sizeof(Block));
    return bytes / double(seconds_.size());
}

} // namespace grapher
