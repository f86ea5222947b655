#include "TrendScale.h"
#include <algorithm>
#include <cmath>

const std::array<float, TrendSlots>& FollowedHistory(const DisplayShared& display) {
    return display.TrendTrace == 1 ? display.PriHistory : display.SecHistory;
}

void ResetMaxMin(DisplayShared& display) {
    float peak = 0;
    for (const float value : FollowedHistory(display))
        peak = std::max(peak, std::fabs(value));

    if (peak > display.TrendScale) {
        display.NewTrendScale = peak;
        display.RescalePending = true;
    }
    if (display.TrendScale / 2 >= peak && display.TrendScale > 0.1f) {
        // The divisor is a double, as the shrink step has always been computed.
        const float shrunk = static_cast<float>(double(display.TrendScale) / 2.51);
        display.NewTrendScale = peak > shrunk ? peak : shrunk;
        display.RescalePending = true;
    }
}
