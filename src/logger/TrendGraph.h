#pragma once
#include "core/DisplayShared.h"
#include "logger/ScientificText.h"
#include "platform/PictureBox.h"
#include <QString>
#include <array>

// The logger's live trend graph: axes, grid and labels in the persistent layer of picGraph,
// the followed history as a transient trace over it.
namespace logger {

inline constexpr quint32 GreyText = 0x808080; // mid grey, the same in RGB and BGR order
inline constexpr quint32 PrimaryTraceColour = 255;
inline constexpr quint32 SecondaryTraceColour = 65280;

// Full scale from the 1-2-5 ladder for a proposed scale: 0.01 up to 2000000.
float TrendFullScale(float proposed);
// "OHMS", "VAC", "AAC", "HZ"... (ending in "MS", "AC" or "HZ") never go negative.
bool PositiveOnlyLayout(const QString& units);

// The five axis labels, top to bottom: lblMax, lblMidHigh, lblMid, lblMidLow, lblMin.
using TrendLabels = std::array<QString, 5>;
TrendLabels TrendAxisLabels(float fullScale, bool positiveOnly);

// Draws scale, grid and marks for a proposed scale into the persistent layer and returns the
// labels; the surface is left with the graph's coordinates, persistence off and a solid pen.
// `fullScale` receives F (TrendScale).
TrendLabels DrawTrendAxes(platform::PictureBox& picGraph, float proposed, const QString& units,
                          float& fullScale);

// The display cycle's trace: clears the transient layer and draws the followed history,
// newest at x = 239, older values leftwards, in TrendColour. Values above the top edge and
// values of exactly 0 are skipped; the line goes on from the last point drawn.
void DrawTrendTrace(platform::PictureBox& picGraph, const DisplayShared& display);

} // namespace logger
