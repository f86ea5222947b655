#include "PictureBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <optional>

namespace platform {

namespace {

// Lines are clipped in double precision before they reach the painter, so a reading far off
// scale (an overload of 1E+9 on a 0.01 scale) still draws the visible part of its segment at
// the right slope instead of overflowing integer pixel coordinates.
std::optional<QLineF> clipToRect(const QLineF& line, const QRectF& rect) {
    double x1 = line.x1(), y1 = line.y1(), x2 = line.x2(), y2 = line.y2();
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return std::nullopt;
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - rect.left(), rect.right() - x1, y1 - rect.top(), rect.bottom() - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return std::nullopt;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) {
            if (r > t1)
                return std::nullopt;
            t0 = std::max(t0, r);
        } else {
            if (r < t0)
                return std::nullopt;
            t1 = std::min(t1, r);
        }
    }
    // Each end is computed from the nearer original end: with one end on the surface and the
    // other far away, the visible part keeps full precision. Two far ends may lose precision,
    // so the result is clamped to stay a valid pixel coordinate.
    auto at = [&](double t) {
        const QPointF p = t <= 0.5 ? QPointF(x1 + t * dx, y1 + t * dy)
                                   : QPointF(x2 - (1 - t) * dx, y2 - (1 - t) * dy);
        return QPointF(std::clamp(p.x(), rect.left(), rect.right()),
                       std::clamp(p.y(), rect.top(), rect.bottom()));
    };
    return QLineF(at(t0), at(t1));
}

QPoint rounded(const QPointF& p) {
    return QPoint(qRound(p.x()), qRound(p.y()));
}

} // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true); // the grapher follows the pointer without a pressed button
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ensureLayers();
}

void PictureBox::setScale(double left, double top, double right, double bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

void PictureBox::setBackColour(quint32 colour) {
    // As with a freshly painted surface, a new back colour starts from an empty picture.
    back_ = colour & 0xFFFFFF;
    ensureLayers();
    persistentImage_.fill(toQColor(back_));
    transientImage_.fill(Qt::transparent);
    update();
}

QColor PictureBox::toQColor(quint32 colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

QPointF PictureBox::toPixel(const QPointF& user) const {
    // The edge values land on the outermost pixel rows and columns, so a point at the right
    // or bottom edge is still visible.
    const double w = std::max(1, width()) - 1;
    const double h = std::max(1, height()) - 1;
    const double sx = right_ - left_;
    const double sy = bottom_ - top_;
    const double px = sx == 0 ? 0 : (user.x() - left_) / sx * w;
    const double py = sy == 0 ? 0 : (user.y() - top_) / sy * h;
    return QPointF(px, py);
}

QPointF PictureBox::toUser(const QPointF& pixel) const {
    const double w = std::max(1, width()) - 1;
    const double h = std::max(1, height()) - 1;
    const double ux = w == 0 ? left_ : left_ + pixel.x() / w * (right_ - left_);
    const double uy = h == 0 ? top_ : top_ + pixel.y() / h * (bottom_ - top_);
    return QPointF(ux, uy);
}

void PictureBox::ensureLayers() {
    const QSize wanted(std::max(1, width()), std::max(1, height()));
    if (persistentImage_.size() == wanted)
        return;
    QImage persistent(wanted, QImage::Format_RGB32);
    persistent.fill(toQColor(back_));
    QImage transient(wanted, QImage::Format_ARGB32_Premultiplied);
    transient.fill(Qt::transparent);
    if (!persistentImage_.isNull()) {
        QPainter p(&persistent);
        p.drawImage(0, 0, persistentImage_);
        p.end();
        QPainter t(&transient);
        t.setCompositionMode(QPainter::CompositionMode_Source);
        t.drawImage(0, 0, transientImage_);
    }
    persistentImage_ = std::move(persistent);
    transientImage_ = std::move(transient);
}

template <typename DrawFn> void PictureBox::paintOnTarget(quint32 colour, DrawFn&& draw) {
    ensureLayers();
    QPen pen(toQColor(colour));
    pen.setWidth(std::max(1, penWidth_));
    pen.setCapStyle(Qt::SquareCap); // both end pixels of a line are drawn
    if (penStyle_ == PenStyle::Dot) {
        pen.setStyle(Qt::CustomDashLine);
        pen.setDashPattern({1, 1}); // every other pixel
    }

    if (drawMode_ == DrawMode::Copy || persistent_) {
        QPainter painter(persistent_ ? &persistentImage_ : &transientImage_);
        painter.setRenderHint(QPainter::Antialiasing, false);
        if (drawMode_ == DrawMode::Invert)
            painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.setPen(pen);
        draw(painter);
    } else {
        // Inverting on the transient layer: every pixel the shape covers takes the inverse of
        // what is shown there now, so the same shape drawn twice shows the original again.
        QImage mask(transientImage_.size(), QImage::Format_ARGB32_Premultiplied);
        mask.fill(Qt::transparent);
        {
            QPainter painter(&mask);
            painter.setRenderHint(QPainter::Antialiasing, false);
            pen.setColor(Qt::white);
            painter.setPen(pen);
            draw(painter);
        }
        for (int y = 0; y < mask.height(); ++y) {
            const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            const auto* under = reinterpret_cast<const QRgb*>(persistentImage_.constScanLine(y));
            auto* over = reinterpret_cast<QRgb*>(transientImage_.scanLine(y));
            for (int x = 0; x < mask.width(); ++x) {
                if (qAlpha(m[x]) == 0)
                    continue;
                const QRgb shown = qAlpha(over[x]) == 255 ? over[x] : under[x];
                over[x] = (~shown & 0x00FFFFFF) | 0xFF000000;
            }
        }
    }
    update();
}

void PictureBox::clear() {
    ensureLayers();
    transientImage_.fill(Qt::transparent);
    if (persistent_)
        persistentImage_.fill(toQColor(back_));
    pen_ = QPointF(0, 0);
    update();
}

void PictureBox::setPoint(double x, double y, quint32 colour) {
    pen_ = QPointF(x, y);
    const QPointF p = toPixel(pen_);
    if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
        return;
    const QRectF bounds(-1, -1, width() + 2, height() + 2);
    if (!bounds.contains(p))
        return;
    paintOnTarget(colour, [&](QPainter& painter) { painter.drawPoint(rounded(p)); });
}

void PictureBox::line(double x1, double y1, double x2, double y2, quint32 colour) {
    drawLines({QLineF(x1, y1, x2, y2)}, colour);
    pen_ = QPointF(x2, y2);
}

void PictureBox::lineTo(double x, double y, quint32 colour) {
    line(pen_.x(), pen_.y(), x, y, colour);
}

void PictureBox::drawLines(const QList<QLineF>& segments, quint32 colour) {
    if (segments.isEmpty())
        return;
    const QRectF bounds(-2, -2, width() + 4, height() + 4);
    QList<QLine> pixels;
    pixels.reserve(segments.size());
    for (const QLineF& s : segments) {
        const auto clipped = clipToRect(QLineF(toPixel(s.p1()), toPixel(s.p2())), bounds);
        if (clipped)
            pixels.append(QLine(rounded(clipped->p1()), rounded(clipped->p2())));
    }
    if (!segments.isEmpty())
        pen_ = segments.last().p2();
    if (pixels.isEmpty())
        return;
    paintOnTarget(colour, [&](QPainter& painter) {
        for (const QLine& l : pixels) {
            if (l.p1() == l.p2())
                painter.drawPoint(l.p1());
            else
                painter.drawLine(l);
        }
    });
}

void PictureBox::drawPolyline(const QPolygonF& points, quint32 colour) {
    if (points.isEmpty())
        return;
    if (points.size() == 1) {
        setPoint(points.first().x(), points.first().y(), colour);
        return;
    }
    QList<QLineF> segments;
    segments.reserve(points.size() - 1);
    for (qsizetype i = 1; i < points.size(); ++i)
        segments.append(QLineF(points[i - 1], points[i]));
    drawLines(segments, colour);
}

void PictureBox::drawText(double x, double y, const QString& text, quint32 colour) {
    const QPointF p = toPixel(QPointF(x, y));
    if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || std::abs(p.x()) > 1e6 ||
        std::abs(p.y()) > 1e6)
        return;
    // The point is the text's top-left corner, as when printing at the pen position.
    const QFontMetrics metrics(font());
    paintOnTarget(colour, [&](QPainter& painter) {
        painter.setFont(font());
        painter.drawText(QPointF(p.x(), p.y() + metrics.ascent()), text);
    });
    pen_ = QPointF(x, y);
}

QImage PictureBox::snapshot() const {
    const_cast<PictureBox*>(this)->ensureLayers(); // a resize not yet painted
    QImage shown = persistentImage_.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&shown);
    painter.drawImage(0, 0, transientImage_);
    return shown;
}

void PictureBox::paintEvent(QPaintEvent* event) {
    ensureLayers();
    QPainter painter(this);
    const QRect r = event->rect();
    painter.drawImage(r, persistentImage_, r);
    painter.drawImage(r, transientImage_, r);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ensureLayers();
    // A hidden surface takes its new size before the event comes, and drawing meanwhile has
    // already grown the layers; so the owner hears of every size it has not drawn for yet.
    if (size() != announcedSize_) {
        announcedSize_ = size();
        emit surfaceResized();
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    const QPointF u = toUser(event->position());
    emit mouseDown(event->button(), u.x(), u.y());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    const QPointF u = toUser(event->position());
    emit mouseMove(event->buttons(), u.x(), u.y());
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    emit keyDown(event->key());
    event->accept();
}

} // namespace platform
