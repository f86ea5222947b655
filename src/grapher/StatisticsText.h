#pragma once
#include "grapher/ViewStatistics.h"

#include <QString>
#include <optional>

namespace grapher {

// The statistics window's texts. The numbers read as the meter's own display does: five
// significant digits with a multiplier letter before the unit ("12.345 mVDC", "4.7000 kOHMS"),
// which a person at the bench takes in at a glance and compares with the meter, where the
// scale labels' "1.23E-02" needs working out and keeps only three digits.
struct StatisticsTexts {
    static inline const QString None = QStringLiteral("-");

    QString samples = None;
    QString span = None;
    QString mean = None;
    QString standardDeviation = None;
    QString rms = None;
    QString minimum = None;
    QString maximum = None;
    QString peakToPeak = None;

    // Dashes where the view holds no reading.
    static StatisticsTexts of(const ViewStatistics& statistics);

    // A value in units (" VDC" or "VDC" as a log file stores them): five significant digits,
    // a multiplier letter from p to G for the meter's units, two decimals for DB (as the dBu
    // readout shows), the scientific form where no letter fits.
    static QString numberText(double value, const QString& units);
    // "0.250 s" under a minute, else "1:02:03.250", with "2 d " before it from a day on.
    static QString spanText(std::optional<double> seconds);
};

} // namespace grapher
