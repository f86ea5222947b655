#include "grapher/TracePlot.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

namespace grapher {

QPolygonF TracePoints(const LogColumns& columns, int dataSet, qint32 viewStart, qint32 viewEnd,
                      int pixelWidth) {
    QPolygonF points;
    if (viewStart < 1 || viewEnd < viewStart || viewEnd > columns.rowCount())
        return points;
    const float* values = columns.values(dataSet).data();
    const qint64 n = qint64(viewEnd) - viewStart + 1;
    const int width = std::max(1, pixelWidth);

    if (n <= 4 * qint64(width)) {
        points.reserve(n);
        for (qint32 i = viewStart - 1; i < viewEnd; ++i)
            if (!LogColumns::IsNullValue(values[i]))
                points.append(QPointF(i - viewStart + 2, values[i]));
        return points;
    }

    // The surface maps x = 1 .. n onto pixel columns 0 .. width - 1 and rounds: sample k of
    // the view (0-based) falls in column qRound(k * pixelsPerSample).
    const double pixelsPerSample = double(width - 1) / double(n - 1);
    auto columnOf = [&](qint64 k) { return qRound(double(k) * pixelsPerSample); };
    // The first sample of the view in column c or beyond (columns only grow with k).
    auto firstIn = [&](int c) {
        qint64 k = std::clamp<qint64>(qint64(std::ceil((c - 0.5) / pixelsPerSample)), 0, n);
        while (k > 0 && columnOf(k - 1) >= c)
            --k;
        while (k < n && columnOf(k) < c)
            ++k;
        return k;
    };
    points.reserve(4 * width);
    auto add = [&points](double x, float y) {
        const QPointF p(x, y);
        if (points.isEmpty() || points.constLast() != p)
            points.append(p);
    };
    qint64 begin = 0;
    for (int c = 0; c < width && begin < n; ++c) {
        const qint64 end = c + 1 < width ? firstIn(c + 1) : n;
        // 0-based rows of the column's first and last reading; NULL rows are passed over.
        qint32 first = viewStart - 1 + qint32(begin), last = viewStart - 2 + qint32(end);
        while (first <= last && LogColumns::IsNullValue(values[first]))
            ++first;
        while (last >= first && LogColumns::IsNullValue(values[last]))
            --last;
        begin = end;
        if (first > last)
            continue;
        // As a walk from the first reading keeping the first lowest and highest: a NaN first
        // reading is never replaced, otherwise NaN readings are never taken.
        qint32 lowest = first, highest = first;
        if (!std::isnan(values[first])) {
            const LogColumns::Extremes e = columns.extremes(dataSet, first + 1, last + 1);
            lowest = e.minFirst - 1;
            highest = e.maxFirst - 1;
        }
        const double x = first - viewStart + 2;
        add(x, values[first]);
        if (lowest < highest) {
            add(x, values[lowest]);
            add(x, values[highest]);
        } else {
            add(x, values[highest]);
            add(x, values[lowest]);
        }
        add(last - viewStart + 2, values[last]);
    }
    return points;
}

} // namespace grapher
