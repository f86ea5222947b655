#pragma once
#include <QRect>
#include <QtMath>

// Window and control measures are kept in twips (1/1440 inch) and turned into device-independent
// pixels with the screen's logical resolution: 15 twips to a pixel at 96 dots per inch.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipsRect&) const = default;
};

class Twips {
public:
    explicit Twips(double logicalDpi = 96.0) : dpi_(logicalDpi > 0 ? logicalDpi : 96.0) {}
    int toPixels(int twips) const { return qRound(twips * dpi_ / 1440.0); }
    QRect toPixels(const TwipsRect& r) const {
        // Height and width keep at least one pixel, so a one-twip control still exists.
        return QRect(toPixels(r.left), toPixels(r.top), qMax(1, toPixels(r.width)),
                     qMax(1, toPixels(r.height)));
    }
    double dpi() const { return dpi_; }

private:
    double dpi_;
};
