#include "grapher/GraphPicture.h"

#include "grapher/ReplaceFile.h"
#include "grapher/TracePlot.h"
#include "platform/PictureBox.h"

#include <QBuffer>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>
#include <cerrno>
#include <cmath>

namespace grapher {

namespace {

constexpr double Margin = 8;

// Far-off points (an overload on a small scale) are brought in to a distance where the painter
// still works in exact numbers; the visible part of their segments keeps its slope to well
// under a pixel.
double clampFar(double v, double extent) {
    const double limit = 10000 * std::max(1.0, extent);
    if (!std::isfinite(v))
        return v > 0 ? limit : -limit;
    return std::clamp(v, -limit, limit);
}

// User units to the centre of the plot's pixel, edge values on the outermost pixels.
QPointF toPicture(const PicturePlot& plot, double x, double y) {
    const double w = std::max(1.0, plot.rect.width()) - 1;
    const double h = std::max(1.0, plot.rect.height()) - 1;
    const double sx = plot.right - plot.left;
    const double sy = plot.bottom - plot.top;
    const double px = sx == 0 ? 0 : (x - plot.left) / sx * w;
    const double py = sy == 0 ? 0 : (y - plot.top) / sy * h;
    return QPointF(plot.rect.left() + 0.5 + clampFar(px, w),
                   plot.rect.top() + 0.5 + clampFar(py, h));
}

QFont inPixels(const QFont& font) {
    QFont f = font;
    f.setPixelSize(QFontInfo(font).pixelSize());
    return f;
}

void paintText(QPainter& painter, const PictureText& t) {
    QRectF inner = t.rect;
    if (t.boxed) {
        painter.setPen(QPen(t.colour, 1));
        painter.setBrush(t.base);
        painter.drawRect(t.rect.adjusted(0.5, 0.5, -0.5, -0.5));
        painter.setBrush(Qt::NoBrush);
        inner = t.rect.adjusted(4, 1, -4, -1);
    }
    if (t.text.isEmpty())
        return;
    painter.setFont(t.font);
    painter.setPen(t.colour);
    painter.drawText(inner, int(t.alignment) | Qt::TextSingleLine, t.text);
}

void paintPlot(QPainter& painter, const PicturePlot& plot) {
    painter.fillRect(plot.rect, plot.background);
    painter.save();
    painter.setClipRect(plot.rect);
    QPen grid(plot.gridColour, 1);
    grid.setCapStyle(Qt::FlatCap);
    grid.setDashPattern({1, 1}); // every other pixel, as on the window
    painter.setPen(grid);
    // From the first pixel's left edge to the last one's right edge: each dash then covers a
    // whole pixel, where from pixel centres every pixel gets half a dash and an SVG viewer
    // shows a solid half-grey line.
    const QPointF toEdge(0.5, 0);
    for (float y : plot.gridY)
        painter.drawLine(toPicture(plot, plot.left, y) - toEdge,
                         toPicture(plot, plot.right, y) + toEdge);
    QPen trace(plot.traceColour, 1);
    trace.setJoinStyle(Qt::RoundJoin);
    trace.setCapStyle(Qt::SquareCap);
    painter.setPen(trace);
    QPolygonF points;
    points.reserve(plot.trace.size());
    for (const QPointF& p : plot.trace)
        points.append(toPicture(plot, p.x(), p.y()));
    if (points.size() == 1)
        painter.drawPoint(points.first());
    else
        painter.drawPolyline(points);
    painter.restore();
}

} // namespace

PicturePlot PlotOfView(const GraphView& view, const QString& trendUnits,
                       const platform::PictureBox& surface, const QWidget* frame,
                       quint32 gridColour) {
    PicturePlot plot;
    plot.rect = QRectF(surface.mapTo(frame, QPoint(0, 0)), QSizeF(surface.size()));
    plot.background = platform::PictureBox::toQColor(surface.backColour());
    // The scale the surface was last given: a view that was not scaled keeps the one before.
    plot.left = surface.scaleLeft();
    plot.top = surface.scaleTop();
    plot.right = surface.scaleRight();
    plot.bottom = surface.scaleBottom();
    plot.gridColour = platform::PictureBox::toQColor(gridColour);
    plot.traceColour = platform::PictureBox::toQColor(quint32(qRound(view.TraceColour)));
    const LogColumns* columns = view.columns();
    if (!columns || !view.viewValid())
        return plot;
    const ScaleLayout s = ScaleGraph(view.ViewMax, view.ViewMin, view.RecordsInView, view.ViewUnits,
                                     view.SignFilter, trendUnits);
    if (s.drawn) {
        plot.left = s.left;
        plot.top = s.top;
        plot.right = s.right;
        plot.bottom = s.bottom;
        plot.gridY = QList<float>(s.gridY.begin(), s.gridY.end());
    }
    plot.trace = TracePoints(*columns, view.DataSet, view.ViewStart, view.ViewEnd, surface.width());
    return plot;
}

PictureText TextOfWidget(const QWidget* widget, const QWidget* frame) {
    PictureText t;
    t.rect = QRectF(widget->mapTo(frame, QPoint(0, 0)), QSizeF(widget->size()));
    t.font = inPixels(widget->font());
    t.colour = widget->palette().color(widget->foregroundRole());
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        t.text = label->text();
        t.alignment = label->alignment();
        const QRect inside = label->contentsRect();
        t.rect = QRectF(t.rect.topLeft() + inside.topLeft(), QSizeF(inside.size()));
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        t.text = edit->text();
        t.alignment = edit->alignment();
        t.boxed = true;
        t.base = widget->palette().color(QPalette::Base);
        t.colour = widget->palette().color(QPalette::Text);
    }
    return t;
}

QRectF PictureArea(const GraphPicture& picture, const QWidget* frame) {
    QRectF area = picture.plot.rect;
    for (const PictureText& t : picture.texts)
        if (!t.text.isEmpty() || t.boxed)
            area = area.united(t.rect);
    area.adjust(-Margin, -Margin, Margin, Margin);
    return area.intersected(QRectF(frame->rect())).toAlignedRect();
}

void PaintGraphPicture(QPainter& painter, const GraphPicture& picture) {
    painter.save();
    painter.translate(-picture.area.topLeft());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(picture.area, picture.background);
    paintPlot(painter, picture.plot);
    for (const PictureText& t : picture.texts)
        paintText(painter, t);
    painter.restore();
}

QImage GraphPictureImage(const GraphPicture& picture, qreal devicePixelRatio) {
    const QSize pixels = (picture.area.size() * devicePixelRatio).toSize();
    QImage image(pixels.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(picture.background);
    QPainter painter(&image);
    PaintGraphPicture(painter, picture);
    return image;
}

QByteArray GraphPictureSvg(const GraphPicture& picture, const QString& title) {
    QByteArray svg;
    QBuffer buffer(&svg);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    const QSize size = picture.area.size().toSize();
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(96);
    generator.setTitle(title);
    QPainter painter(&generator);
    PaintGraphPicture(painter, picture);
    painter.end();
    return svg;
}

bool IsSvgPath(const QString& path) {
    return path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
}

int WriteGraphPicture(const QString& path, const GraphPicture& picture,
                      const QString& logFilePath) {
    QByteArray bytes;
    if (IsSvgPath(path)) {
        bytes = GraphPictureSvg(picture, QStringLiteral("Voltrane graph"));
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        GraphPictureImage(picture).save(&buffer, "PNG");
    }
    return WriteReplacing(path, logFilePath, [&bytes](QIODevice& out) {
        errno = 0;
        return out.write(bytes) == bytes.size() ? 0 : FileErrorNumber(errno);
    });
}

} // namespace grapher
