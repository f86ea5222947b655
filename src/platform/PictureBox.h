#pragma once
#include <QImage>
#include <QLineF>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRgb>
#include <QWidget>

namespace platform {

// A drawing surface with a user coordinate system and two layers: a persistent image that
// survives repaints and is cleared only while drawing persistently, and a transient layer that
// every clear erases. Colours are 24-bit numbers with red in the low byte (R + 256 G + 65536 B).
class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum class PenStyle { Solid, Dot };
    enum class DrawMode { Copy, Invert };

    explicit PictureBox(QWidget* parent = nullptr);

    // User scale: the coordinates of the left, top, right and bottom edges (top may be greater
    // than bottom for a y-up graph). The edge values fall on the outermost pixel rows and
    // columns; what lies beyond them is clipped.
    void setScale(double left, double top, double right, double bottom);
    double scaleLeft() const { return left_; }
    double scaleTop() const { return top_; }
    double scaleRight() const { return right_; }
    double scaleBottom() const { return bottom_; }

    // While true, drawing goes to the persistent image and clear() erases it too.
    void setPersistent(bool persistent) { persistent_ = persistent; }
    bool persistent() const { return persistent_; }

    // A new back colour starts from an empty picture: both layers are erased.
    void setBackColour(quint32 colour);
    quint32 backColour() const { return back_; }
    void setPenStyle(PenStyle style) { penStyle_ = style; }
    // Invert turns every pixel under the drawing into its complement, whatever the colour
    // given, so drawing the same shape twice restores the picture.
    void setDrawMode(DrawMode mode) { drawMode_ = mode; }
    void setPenWidth(int pixels) { penWidth_ = pixels; }

    // Erases the transient layer (and the persistent one while persistent); pen to (left, top)
    // of the scale's origin, i.e. (0, 0) in user units.
    void clear();
    void setPoint(double x, double y, quint32 colour);
    void line(double x1, double y1, double x2, double y2, quint32 colour);
    void lineTo(double x, double y, quint32 colour); // from the current pen position
    void drawText(double x, double y, const QString& text, quint32 colour); // (x, y): top-left
    QPointF penPosition() const { return pen_; }
    // Bulk drawing for long traces, one painter for the whole batch: a connected polyline
    // through the points (pen ends on the last one), or independent segments such as
    // per-column min/max spans. Same pen, style, mode and layer rules as line().
    void drawPolyline(const QPolygonF& points, quint32 colour);
    void drawLines(const QList<QLineF>& segments, quint32 colour);

    QPointF toUser(const QPointF& pixel) const;
    QPointF toPixel(const QPointF& user) const;
    // What is shown now: persistent image with the transient layer over it (for tests).
    QImage snapshot() const;

    static QColor toQColor(quint32 colour);

signals:
    void mouseDown(Qt::MouseButton button, double x, double y);
    void mouseMove(Qt::MouseButtons buttons, double x, double y);
    void keyDown(int key);
    // The surface changed size: both layers were kept at their top-left and the new area
    // filled with the back colour. Content that depends on the size is the owner's to redraw.
    void surfaceResized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ensureLayers();
    template <typename DrawFn> void paintOnTarget(quint32 colour, DrawFn&& draw);

    double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
    bool persistent_ = false;
    quint32 back_ = 0xFFFFFF;
    PenStyle penStyle_ = PenStyle::Solid;
    DrawMode drawMode_ = DrawMode::Copy;
    int penWidth_ = 1;
    QPointF pen_;
    QSize announcedSize_; // the size surfaceResized last reported
    QImage persistentImage_;
    QImage transientImage_;
};

} // namespace platform
