#include "grapher/TracePlot.h"

#include <QtMath>
#include <algorithm>

namespace grapher {

QPolygonF TracePoints(const LogColumns& columns, int dataSet, qint32 viewStart, qint32 viewEnd,
                      int pixelWidth) {
    QPolygonF points;
    if (viewStart < 1 || viewEnd < viewStart || viewEnd > columns.rowCount())
        return points;
    const float* values = columns.values(dataSet).data();
    const quint8* nulls = columns.nullMasks().data();
    const quint8 nullBit = columns.valueNullBit(dataSet);
    const qint64 n = qint64(viewEnd) - viewStart + 1;
    const int width = std::max(1, pixelWidth);

    if (n <= 4 * qint64(width)) {
        points.reserve(n);
        for (qint32 i = viewStart - 1; i < viewEnd; ++i)
            if (!(nulls[i] & nullBit))
                points.append(QPointF(i - viewStart + 2, values[i]));
        return points;
    }

    // The surface maps x = 1 .. n onto pixel columns 0 .. width - 1 and rounds.
    const double pixelsPerSample = double(width - 1) / double(n - 1);
    points.reserve(4 * width);
    auto add = [&points](double x, float y) {
        const QPointF p(x, y);
        if (points.isEmpty() || points.constLast() != p)
            points.append(p);
    };
    int column = -1;
    qint32 first = 0, last = 0, lowest = 0, highest = 0;
    auto flush = [&] {
        if (column < 0)
            return;
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
    };
    for (qint32 i = viewStart - 1; i < viewEnd; ++i) {
        if (nulls[i] & nullBit)
            continue;
        const int c = qRound(double(i - viewStart + 1) * pixelsPerSample);
        if (c != column) {
            flush();
            column = c;
            first = last = lowest = highest = i;
            continue;
        }
        last = i;
        if (values[i] < values[lowest])
            lowest = i;
        if (values[i] > values[highest])
            highest = i;
    }
    flush();
    return points;
}

} // namespace grapher
