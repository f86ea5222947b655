#pragma once
#include "grapher/GraphView.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QString>

class QPainter;
class QWidget;

namespace platform {
class PictureBox;
}

namespace grapher {

// One text of the picture where the window shows it: a label, or the comment box (boxed,
// drawn on its base colour inside a frame).
struct PictureText {
    QRectF rect;
    QString text;
    QFont font; // in pixels, so that the picture's text matches the window whatever its DPI
    QColor colour;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool boxed = false;
    QColor base;
};

// The plotted view: the grid and the trace in the graph's user units, mapped onto rect with
// the edge values on the outermost pixels, as on the window's surface.
struct PicturePlot {
    QRectF rect;
    QColor background;
    double left = 0, top = 0, right = 1, bottom = 1;
    QList<float> gridY; // dotted lines across the scale, from left to right
    QColor gridColour;
    QPolygonF trace;
    QColor traceColour;
};

// What the grapher window shows of its graph, in the window's logical pixels. It holds only
// what was plotted: the cursor and marker lines, drawn by inverting the surface, are left out.
struct GraphPicture {
    QRectF area; // the part of the window the picture shows; its size is the picture's

    QColor background;
    QList<PictureText> texts;
    PicturePlot plot;
};

// The plot of a view as the surface shows it: its scale, grid and trace over the surface's
// place in frame and in its back colour.
PicturePlot PlotOfView(const GraphView& view, const QString& trendUnits,
                       const platform::PictureBox& surface, const QWidget* frame,
                       quint32 gridColour);

// A label's or line edit's text as shown, placed relative to frame. Empty texts are skipped by
// the painting.
PictureText TextOfWidget(const QWidget* widget, const QWidget* frame);

// The part of frame the picture shows: its texts and plot with a margin, within frame.
QRectF PictureArea(const GraphPicture& picture, const QWidget* frame);

void PaintGraphPicture(QPainter& painter, const GraphPicture& picture);

// A raster copy at the given device pixel ratio (sharp on high-density screens at 2).
QImage GraphPictureImage(const GraphPicture& picture, qreal devicePixelRatio = 2);
// SVG: vector lines and text.
QByteArray GraphPictureSvg(const GraphPicture& picture, const QString& title);

// Picture formats by the name's extension: ".svg" (any case) is SVG, anything else PNG.
bool IsSvgPath(const QString& path);

// Writes the picture in the format its name asks for, through WriteReplacing: 0 or a failure
// number. The log file itself is never overwritten.
int WriteGraphPicture(const QString& path, const GraphPicture& picture, const QString& logFilePath);

} // namespace grapher
