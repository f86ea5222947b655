#pragma once
#include "core/DisplayShared.h"

// The trend graph's scale check: proposes a new full scale when the followed history outgrows
// the current one or has shrunk to half of it.
void ResetMaxMin(DisplayShared& display);

// The history the trend graph follows: primary when TrendTrace is 1, else secondary.
const std::array<float, TrendSlots>& FollowedHistory(const DisplayShared& display);
