#pragma once
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

// Colours as the real widget paints them, read from a grab of the widget.
namespace pixels {

// The colour painted at a point of the widget, in the widget's own coordinates.
inline QColor At(QWidget* widget, QPoint point) {
    const QImage image = widget->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(int(point.x() * ratio), int(point.y() * ratio));
}

// A button's face where its caption does not reach: half way down, near its left edge.
inline QColor Face(QWidget* button) {
    return At(button, QPoint(4, button->height() / 2));
}

// The bounding box of what differs from the background (the top-left pixel), in device pixels.
inline QRect Ink(const QImage& image) {
    const QRgb background = image.pixel(0, 0);
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace pixels
