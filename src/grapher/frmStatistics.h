#pragma once
#include "grapher/StatisticsText.h"

#include <QWidget>
#include <array>

class QLabel;

// The small "Statistics" window beside the grapher: what the grapher's current view holds,
// as a column of captions and values. It only shows what it is given.
class frmStatistics : public QWidget {
public:
    explicit frmStatistics(QWidget* owner = nullptr);

    void setTexts(const grapher::StatisticsTexts& texts);
    void setStatistics(const grapher::ViewStatistics& statistics);
    // No file: dashes throughout.
    void clear();

private:
    // lblSamples, lblSpan, lblMean, lblStdDev, lblRms, lblMinimum, lblMaximum, lblPeakToPeak.
    std::array<QLabel*, 8> values_{};
};
