#include "TrendGraph.h"
#include <QPolygonF>

namespace logger {

float TrendFullScale(float proposed) {
    static constexpr float SingleSteps[][2] = {
        {0.01f, 0.02f},   {0.02f, 0.05f},    {0.05f, 0.1f},      {0.1f, 0.2f},
        {0.2f, 0.5f},     {0.5f, 1.f},       {1.f, 2.f},         {2.f, 5.f},
        {5.f, 10.f},      {10.f, 20.f},      {20.f, 50.f},       {50.f, 100.f},
        {100.f, 200.f},   {200.f, 500.f},    {500.f, 1000.f},    {1000.f, 2000.f},
        {2000.f, 5000.f}, {5000.f, 10000.f}, {10000.f, 20000.f}, {20000.f, 50000.f}};
    static constexpr double DoubleSteps[][2] = {
        {50000, 100000}, {100000, 200000}, {200000, 500000}, {500000, 1000000}, {1000000, 2000000}};
    float full = 0.01f;
    for (const auto& step : SingleSteps) {
        if (proposed > step[0])
            full = step[1];
    }
    for (const auto& step : DoubleSteps) {
        if (double(proposed) > step[0])
            full = float(step[1]);
    }
    return full;
}

bool PositiveOnlyLayout(const QString& units) {
    const QString last = units.right(2);
    return last == QLatin1String("MS") || last == QLatin1String("AC") ||
           last == QLatin1String("HZ");
}

TrendLabels TrendAxisLabels(float fullScale, bool positiveOnly) {
    const double f = fullScale;
    if (positiveOnly)
        return {ScientificText(f), ScientificText(0.75 * f), ScientificText(0.5 * f),
                ScientificText(0.25 * f), QStringLiteral("0")};
    return {ScientificText(f), ScientificText(f / 2), QStringLiteral("0"), ScientificText(-f / 2),
            ScientificText(-f)};
}

TrendLabels DrawTrendAxes(platform::PictureBox& pic, float proposed, const QString& units,
                          float& fullScale) {
    using platform::PictureBox;
    const float f = TrendFullScale(proposed);
    const double F = f;
    const double H = F / 2;
    const bool positive = PositiveOnlyLayout(units);
    const double bottom = positive ? 0 : -F;

    // The old grid goes first, so a change of layout leaves no lines of the other one behind.
    pic.setPersistent(true);
    pic.clear();
    pic.setPenWidth(1);
    pic.setPenStyle(PictureBox::PenStyle::Dot);
    pic.setScale(1, F, 239, bottom);
    if (positive) {
        for (const double y : {H, 0.75 * F, 0.25 * F})
            pic.line(1, y, 239, y, GreyText);
    } else {
        for (const double y : {H, -H, 0.0})
            pic.line(1, y, 239, y, GreyText);
    }
    for (int x = 0; x <= 236; x += 4) {
        if (x != 0 && x % 40 == 0) {
            pic.setPenStyle(PictureBox::PenStyle::Dot);
            pic.line(x, F, x, bottom, GreyText);
            continue;
        }
        const bool longMark = x % 40 == 20;
        const double up = positive ? (longMark ? 0.03 : 0.02) : (longMark ? 0.06 : 0.04);
        const double down = positive ? (longMark ? 0.03 : 0.02) : (longMark ? 0.04 : 0.02);
        pic.setPenStyle(PictureBox::PenStyle::Solid);
        pic.line(x, bottom, x, bottom + up * F, GreyText);
        pic.line(x, F, x, F - down * F, GreyText);
    }
    pic.setPersistent(false);
    pic.setPenStyle(PictureBox::PenStyle::Solid);
    fullScale = f;
    return TrendAxisLabels(f, positive);
}

void DrawTrendTrace(platform::PictureBox& pic, const DisplayShared& display) {
    pic.clear();
    const auto& history = display.TrendTrace == 1 ? display.PriHistory : display.SecHistory;
    const double top = pic.scaleTop();
    const quint32 colour = quint32(qint64(display.TrendColour));
    QPolygonF points;
    points.reserve(TrendSlots);
    for (int i = 0; i < TrendSlots - 1; ++i) {
        const int j = ((display.TrendIndex - i) % TrendSlots + TrendSlots) % TrendSlots;
        const double y = history[size_t(j)];
        if (y > top)
            continue;
        // The newest value is drawn even at 0; older zeros are gaps bridged by the line.
        if (i > 0 && y == 0)
            continue;
        points.append(QPointF(239 - i, y));
    }
    if (points.size() == 1)
        pic.setPoint(points[0].x(), points[0].y(), colour);
    else if (points.size() > 1)
        pic.drawPolyline(points, colour);
}

} // namespace logger
