#pragma once
#include <QString>
#include <array>

inline constexpr int TrendSlots = 240;

// Per-tick copies and the trend histories, written by the display cycle and read by the alarms
// and the logger's trend graph.
struct DisplayShared {
    QString TimeText; // "09:05:03 AM"
    float PriSnapshot = 0;
    float SecSnapshot = 0;
    QString TrendUnits;
    qint16 TrendTrace = 1; // 1 primary, any other value secondary
    float TrendColour = 255;
    std::array<float, TrendSlots> PriHistory{};
    std::array<float, TrendSlots> SecHistory{};
    qint16 TrendIndex = 0;
    float TrendScale = 0;
    float NewTrendScale = 0;
    bool RescalePending = false;
};
