#include "grapher/ViewStatistics.h"

#include "grapher/GraphScale.h"

#include <algorithm>
#include <cmath>

namespace grapher {

namespace {

struct Moments {
    double n = 0, mean = 0, m2 = 0;
    // Chan, Golub and LeVeque's pairwise update.
    void add(double nb, double meanB, double m2B) {
        if (nb == 0)
            return;
        const double total = n + nb;
        const double delta = meanB - mean;
        mean += delta * nb / total;
        m2 += m2B + delta * delta * n * nb / total;
        n = total;
    }
};

double secondsOf(const LogColumns& c, qint32 pos) {
    return c.timeStamp(pos) * 86400.0 + double(c.milliSeconds(pos)) / 1000.0;
}

} // namespace

ViewStatistics::ViewStatistics(const LogColumns& columns, int dataSet, qint32 viewStart,
                               qint32 viewEnd, const QString& signFilter) {
    viewStart = std::max(viewStart, 1);
    viewEnd = std::min(viewEnd, columns.rowCount());
    if (viewEnd < viewStart)
        return;
    units = columns.units(dataSet, viewStart);
    if (!columns.timeStampNull(viewStart) && !columns.timeStampNull(viewEnd)) {
        double span = secondsOf(columns, viewEnd) - secondsOf(columns, viewStart);
        if (columns.timeStamp(viewStart) < 1 && columns.timeStamp(viewEnd) < 1) {
            span += 86400.0 * columns.midnightsBetween(viewStart, viewEnd);
            if (span < 0) // the clock was set back within the view
                span += 86400;
        }
        spanSeconds = span;
    }

    const bool takesPositive = signFilter != SignNegative;
    const bool takesNegative = signFilter != SignPositive;
    const float* v = columns.values(dataSet).data();
    const LogColumns::Block* blocks = columns.blocks(dataSet).data();
    Moments m;
    bool any = false;
    auto extend = [&](float lo, float hi) {
        minimum = any ? std::min(minimum, lo) : lo;
        maximum = any ? std::max(maximum, hi) : hi;
        any = true;
    };
    for (qint32 i = viewStart - 1; i < viewEnd;) {
        if (i % LogColumns::BlockRows == 0 && i + LogColumns::BlockRows <= viewEnd) {
            const LogColumns::Block& b = blocks[i / LogColumns::BlockRows];
            const bool pos = takesPositive && b.count[0] > 0;
            const bool neg = takesNegative && b.count[1] > 0;
            const bool zero = b.count[2] > 0;
            if (pos)
                m.add(b.count[0], b.mean[0], b.m2[0]);
            if (neg)
                m.add(b.count[1], b.mean[1], b.m2[1]);
            if (zero)
                m.add(b.count[2], 0, 0);
            if (pos || neg || zero) {
                const float lo = takesNegative ? v[i + b.minFirst] : b.minNonNegative;
                const float hi = takesPositive ? v[i + b.maxFirst] : b.maxNonPositive;
                extend(lo, hi);
            }
            i += LogColumns::BlockRows;
            continue;
        }
        const float x = v[i++];
        if (std::isnan(x) || (x > 0 && !takesPositive) || (x < 0 && !takesNegative))
            continue;
        m.add(1, x, 0);
        extend(x, x);
    }
    count = qint64(m.n);
    if (count == 0)
        return;
    mean = m.mean;
    standardDeviation = count > 1 ? std::sqrt(m.m2 / (m.n - 1)) : 0;
    rms = std::sqrt(m.mean * m.mean + m.m2 / m.n);
    peakToPeak = double(maximum) - double(minimum);
}

} // namespace grapher
