#pragma once
#include "grapher/LogColumns.h"

#include <QString>
#include <optional>

namespace grapher {

// The numbers that summarise what a view shows, as an oscilloscope's statistics follow its
// zoom: count, time span, mean, standard deviation, RMS, minimum, maximum, peak-to-peak.
//
// Which samples count: the readings of the view's data set in rows viewStart .. viewEnd. A
// row without a reading (NULL) is passed over, as the plot joins the readings either side;
// a NaN reading is no number to average and is passed over too. Under the sign filter
// "positive" only readings >= 0 count (what the upper half shows, zero on its axis), under
// "negative" only readings <= 0, under "both" all.
//
// The time span runs from the view's first row to its last (time stamp plus milliseconds);
// in a time-of-day log every midnight crossed between them adds a day. It is empty when
// either end has no time.
//
// The standard deviation is the sample one (n - 1; 0 for a single reading). Mean and spread
// come from per-block means and sums of squared deviations combined pairwise (Chan et al.),
// so a small spread about a large mean keeps its digits.
class ViewStatistics {
public:
    ViewStatistics(const LogColumns& columns, int dataSet, qint32 viewStart, qint32 viewEnd,
                   const QString& signFilter);

    qint64 count = 0;
    std::optional<double> spanSeconds;
    double mean = 0;
    double standardDeviation = 0;
    double rms = 0;
    float minimum = 0;
    float maximum = 0;
    double peakToPeak = 0;
    QString units; // of the view's first row, as the scale names them
};

} // namespace grapher
