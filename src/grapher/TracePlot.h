#pragma once
#include "grapher/LogColumns.h"

#include <QPolygonF>

namespace grapher {

// The trace of a view as the points of one polyline in graph units (x = 1 .. recordsInView,
// y = value). When the view holds more samples than the surface has pixel columns, each
// column keeps only its first, lowest, highest and last sample, in the order they occur:
// drawn on pixelWidth columns that polyline covers exactly the pixels of the full one.
// NULL values are passed over; the line joins the samples either side.
QPolygonF TracePoints(const LogColumns& columns, int dataSet, qint32 viewStart, qint32 viewEnd,
                      int pixelWidth);

} // namespace grapher
