#pragma once
#include <QString>
#include <array>

namespace grapher {

// The sign filter: which half of the value axis the graph shows.
inline const QString SignBoth = QStringLiteral("both");
inline const QString SignPositive = QStringLiteral("positive");
inline const QString SignNegative = QStringLiteral("negative");

// What ScaleGraph decides for one view: the vertical full scale, the drawing scale, the three
// dotted grid lines and the five axis labels (lblMax, lblMidHigh, lblMid, lblMidLow, lblMin).
struct ScaleLayout {
    float FullScale = 0;
    float HalfScale = 0;
    float MarkerHalfWidth = 0;
    float MarkerHalfHeight = 0;
    // The sign filter after the check for units that cannot be negative.
    QString SignFilter;
    bool PlusMinusEnabled = true;
    // False for an unknown sign filter: nothing below is drawn and the labels keep their texts.
    bool drawn = false;
    // The drawing scale; the grid lines run across it from left to right.
    double left = 0, top = 0, right = 0, bottom = 0;
    std::array<float, 3> gridY{};
    std::array<QString, 5> labels;
};

// The smallest step of 0.01, 0.02, 0.05 ... 1000000, 2000000 not below r (strict
// comparisons; r above 1000000 gives 2000000).
float FullScaleFor(float r);

// True for units that cannot be negative: AC volts and amperes, resistance, frequency.
bool IsUnsignedUnit(const QString& units);

// ScaleGraph(max, min) for a view of recordsInView samples, drawn at x = 1 .. recordsInView.
// A view of one sample gets a scale of its own with the sample in the middle, so that nothing
// of an earlier view's scale is left to map the mouse onto rows outside the view. trendUnits
// is the main window's live display text, which sizes the marker.
ScaleLayout ScaleGraph(float max, float min, qint32 recordsInView, const QString& viewUnits,
                       const QString& signFilter, const QString& trendUnits);

} // namespace grapher
