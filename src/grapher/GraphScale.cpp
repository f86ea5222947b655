#include "grapher/GraphScale.h"

#include "grapher/NumberText.h"

#include <cmath>

namespace grapher {

float FullScaleFor(float r) {
    static constexpr float steps[] = {
        0.01f, 0.02f, 0.05f,  0.1f,   0.2f,   0.5f, 1.f,  2.f,  5.f,  10.f, 20.f, 50.f, 100.f,
        200.f, 500.f, 1000.f, 2000.f, 5000.f, 1e4f, 2e4f, 5e4f, 1e5f, 2e5f, 5e5f, 1e6f, 2e6f};
    for (float step : steps)
        if (!(r > step)) // NaN stops at the first step
            return step;
    return 2e6f;
}

bool IsUnsignedUnit(const QString& units) {
    return units == QLatin1String("AAC") || units == QLatin1String("VAC") ||
           units == QLatin1String("OHMS") || units == QLatin1String("HZ");
}

ScaleLayout ScaleGraph(float max, float min, qint32 recordsInView, const QString& viewUnits,
                       const QString& signFilter, const QString& trendUnits) {
    ScaleLayout s;
    float r = max;
    if (std::fabs(min) > max)
        r = std::fabs(min);
    s.FullScale = FullScaleFor(r);
    s.HalfScale = s.FullScale / 2;
    s.SignFilter = signFilter;
    s.PlusMinusEnabled = !IsUnsignedUnit(viewUnits);
    if (!s.PlusMinusEnabled)
        s.SignFilter = SignPositive;

    if (recordsInView >= 1) {
        const float fs = s.FullScale;
        auto sci = [](float v) { return ScientificText(v); };
        const QString zero = QStringLiteral("0");
        s.drawn = true;
        s.left = recordsInView > 1 ? 1 : 0;
        s.right = recordsInView > 1 ? recordsInView : 2;
        if (s.SignFilter == SignPositive) {
            s.top = fs;
            s.bottom = 0;
            s.gridY = {s.HalfScale, 0.75f * fs, 0.25f * fs};
            s.labels = {sci(fs), sci(0.75f * fs), sci(0.5f * fs), sci(0.25f * fs), zero};
        } else if (s.SignFilter == SignBoth) {
            s.top = fs;
            s.bottom = -fs;
            s.gridY = {s.HalfScale, -s.HalfScale, 0};
            s.labels = {sci(fs), sci(fs / 2), zero, sci(-fs / 2), sci(-fs)};
        } else if (s.SignFilter == SignNegative) {
            s.top = 0;
            s.bottom = -fs;
            s.gridY = {-s.HalfScale, -0.75f * fs, -0.25f * fs};
            s.labels = {zero, sci(-0.25f * fs), sci(-0.5f * fs), sci(-0.75f * fs), sci(-fs)};
        } else {
            s.drawn = false;
        }
    }
    s.MarkerHalfWidth = float(recordsInView) / 50;
    s.MarkerHalfHeight = s.FullScale / 50;
    if (trendUnits != QLatin1String("FR"))
        s.MarkerHalfHeight *= 2;
    return s;
}

} // namespace grapher
