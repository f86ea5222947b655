#pragma once
#include "grapher/GraphScale.h"
#include "grapher/LogColumns.h"

#include <QString>
#include <optional>

namespace grapher {

// The grapher's view, scale and cursor state over the rows of one loaded file, with the
// operations that change them: the view's maximum and minimum, zoom, sign filter, reset,
// cursor clicks, readout moves and the data-set switch. No drawing happens here; the window
// draws what these decide.
class GraphView {
public:
    // Set by load; the columns must outlive the view (the window owns both).
    void attach(const LogColumns* columns);
    const LogColumns* columns() const { return columns_; }

    // View state.
    qint32 ViewStart = 0;
    qint32 ViewEnd = 0;
    qint32 RecordsInView = 0;
    qint16 DataSet = 1;
    float TraceColour = 255;
    float ViewMax = 0;
    float ViewMin = 0;
    QString ViewUnits;
    bool HasSecondary = false;
    QString SignFilter = SignBoth;
    // Scale state.
    float FullScale = 0;
    float HalfScale = 0;
    float MarkerHalfWidth = 0;
    float MarkerHalfHeight = 0;
    // Cursor state.
    float MarkerX = 0;
    float MarkerValue = 0;
    float CursorX = 0;
    float PrevCursorX = 0;
    float LastClickX = 0;

    // The row the readout point stands on, as the arrow keys continue from it; 0 when it is
    // off the file's end (where every walk over the view leaves it when the view ends the file).
    qint32 currentRow = 0;

    // The whole file, sign filter untouched.
    void showAll();
    // Clears the scale and cursor state before a redraw.
    void resetForRedraw();
    // Sets ViewMax, ViewUnits and HasSecondary; returns the lblMaxVal text.
    QString GetMax();
    // Sets ViewMin; returns the lblMinVal text.
    QString GetMin();
    // ScaleGraph(ViewMax, ViewMin) applied to this view's state.
    ScaleLayout ScaleGraph(const QString& trendUnits);
    // The query position after a full walk over the view.
    void finishWalk();
    // resetForRedraw, GetMax, GetMin, ScaleGraph, then the walk's end position.
    struct Redraw {
        QString maxText, minText;
        ScaleLayout scale;
    };
    Redraw redraw(const QString& trendUnits);
    // The same view drawn again at another size of the surface: the scale is worked out anew,
    // while the marker, the cursors and the readout row stay where the user put them.
    Redraw redrawKeepingCursors(const QString& trendUnits);

    // Zoom between LastClickX and PrevCursorX.
    void zoom();
    // Steps "both" / "positive" / "negative" from the view's extremes (GetMax, GetMin run).
    void stepSignFilter();
    // Back to the whole file with both signs.
    void reset();
    // The title's suffix for the current sign filter (written only by "+ / -").
    QString signSuffix() const;

    // A click on the graph at x: what to draw (inverting lines) and what to enable.
    struct Click {
        std::optional<float> eraseX; // the line of the click before last
        float drawX = 0;
        bool enableZoom = false;
        bool enableReset = false;
    };
    Click click(float x);

    // The view's row under a mouse x (halves to even); nullopt outside the view.
    std::optional<qint32> rowForMouse(float x) const;
    // Arrow keys: Qt::Key_Left / Key_Right move one row within the view; other keys only
    // bring the position back into the view. Returns the row to show, or nullopt when the
    // key shows nothing.
    std::optional<qint32> keyPress(int key);

    // The data-set switch; false when the file has no secondary reading (nothing to redraw).
    bool toggleDataSet();

    // True when the view names rows of the loaded file.
    bool viewValid() const;

private:
    // The marker and the cursor back to no position.
    void clearCursor();

    const LogColumns* columns_ = nullptr;
};

} // namespace grapher
