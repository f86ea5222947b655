#include "grapher/GraphView.h"

#include "grapher/NumberText.h"

#include <QtCore/qnamespace.h>
#include <algorithm>
#include <cmath>

namespace grapher {

namespace {

// Rounds halves to the even neighbour (2.5 -> 2, 3.5 -> 4), as the cursor positions do.
qint64 roundHalfEven(double v) {
    const double r = std::nearbyint(v); // default rounding mode: to nearest, ties to even
    if (!(r > -9e15 && r < 9e15))
        return 0;
    return qint64(r);
}

} // namespace

void GraphView::attach(const LogColumns* columns) {
    columns_ = columns;
}

bool GraphView::viewValid() const {
    return columns_ && ViewStart >= 1 && ViewEnd >= ViewStart && ViewEnd <= columns_->rowCount();
}

void GraphView::showAll() {
    ViewStart = columns_->rowCount() > 0 ? 1 : 0;
    ViewEnd = columns_->rowCount();
    RecordsInView = ViewEnd + 1 - ViewStart;
}

void GraphView::clearCursor() {
    MarkerX = 0;
    MarkerValue = 0;
    CursorX = 0;
    PrevCursorX = 0;
}

void GraphView::resetForRedraw() {
    FullScale = 0;
    ViewMax = 0;
    ViewMin = 0;
    clearCursor();
}

QString GraphView::GetMax() {
    ViewMax = -2000000.f;
    if (!viewValid())
        return ScientificText(ViewMax);
    HasSecondary = columns_->units(2, ViewStart) != QLatin1String("N/A");
    ViewUnits = columns_->units(DataSet, ViewStart);
    // The last highest reading, as a walk keeping every one >= the highest so far would.
    const qint32 at = columns_->extremes(DataSet, ViewStart, ViewEnd).maxLast;
    if (at != 0 && columns_->values(DataSet)[size_t(at - 1)] >= ViewMax)
        ViewMax = columns_->values(DataSet)[size_t(at - 1)];
    return ScientificText(ViewMax);
}

QString GraphView::GetMin() {
    if (!viewValid()) {
        ViewMin = 2000000.f;
        return ScientificText(ViewMin);
    }
    ViewMin = 2000000.f;
    const qint32 at = columns_->extremes(DataSet, ViewStart, ViewEnd).minLast;
    if (at != 0 && columns_->values(DataSet)[size_t(at - 1)] <= ViewMin)
        ViewMin = columns_->values(DataSet)[size_t(at - 1)];
    return ScientificText(ViewMin);
}

ScaleLayout GraphView::ScaleGraph(const QString& trendUnits) {
    ScaleLayout s =
        grapher::ScaleGraph(ViewMax, ViewMin, RecordsInView, ViewUnits, SignFilter, trendUnits);
    FullScale = s.FullScale;
    HalfScale = s.HalfScale;
    MarkerHalfWidth = s.MarkerHalfWidth;
    MarkerHalfHeight = s.MarkerHalfHeight;
    SignFilter = s.SignFilter;
    return s;
}

void GraphView::finishWalk() {
    if (!columns_)
        return;
    currentRow = ViewEnd < columns_->rowCount() ? ViewEnd + 1 : 0;
}

GraphView::Redraw GraphView::redraw(const QString& trendUnits) {
    resetForRedraw();
    Redraw r;
    r.maxText = GetMax();
    r.minText = GetMin();
    r.scale = ScaleGraph(trendUnits);
    finishWalk();
    return r;
}

GraphView::Redraw GraphView::redrawKeepingCursors(const QString& trendUnits) {
    const GraphView kept = *this;
    Redraw r = redraw(trendUnits);
    MarkerX = kept.MarkerX;
    MarkerValue = kept.MarkerValue;
    CursorX = kept.CursorX;
    PrevCursorX = kept.PrevCursorX;
    currentRow = kept.currentRow;
    return r;
}

void GraphView::zoom() {
    const double a = LastClickX;
    const double b = PrevCursorX;
    qint64 lo = roundHalfEven(std::min(a, b));
    qint64 hi = roundHalfEven(std::max(a, b));
    if (lo == 0)
        lo = 1;
    // A click beside the plotted samples must not make a view outside the current one.
    lo = std::clamp<qint64>(lo, 1, RecordsInView);
    hi = std::clamp<qint64>(hi, lo, RecordsInView);
    const qint32 oldStart = ViewStart;
    ViewEnd = qint32(oldStart - 1 + hi);
    ViewStart = qint32(oldStart - 1 + lo);
    RecordsInView = ViewEnd + 1 - ViewStart;
}

void GraphView::stepSignFilter() {
    GetMax();
    GetMin();
    if (SignFilter == SignBoth)
        SignFilter = ViewMax > 0 ? SignPositive : SignNegative;
    else if (SignFilter == SignPositive)
        SignFilter = ViewMin < 0 ? SignNegative : SignBoth;
    else if (SignFilter == SignNegative)
        SignFilter = SignBoth;
    finishWalk();
}

void GraphView::reset() {
    showAll();
    SignFilter = SignBoth;
}

QString GraphView::signSuffix() const {
    if (SignFilter == SignNegative)
        return QStringLiteral(" - Negative Values Only!");
    if (SignFilter == SignPositive)
        return QStringLiteral(" - Positive Values Only!");
    return QString();
}

GraphView::Click GraphView::click(float x) {
    Click c;
    if (PrevCursorX != 0) {
        c.eraseX = PrevCursorX;
        c.enableZoom = true;
    }
    PrevCursorX = CursorX;
    CursorX = x;
    LastClickX = x;
    c.drawX = x;
    if (CursorX != 0) {
        c.enableZoom = true;
        c.enableReset = true;
    }
    return c;
}

std::optional<qint32> GraphView::rowForMouse(float x) const {
    if (!columns_)
        return std::nullopt;
    const qint64 row = roundHalfEven(double(x) + ViewStart - 1);
    if (!viewValid() || row < ViewStart || row > ViewEnd)
        return std::nullopt;
    return qint32(row);
}

std::optional<qint32> GraphView::keyPress(int key) {
    if (currentRow < ViewStart)
        currentRow = ViewEnd;
    if (currentRow > ViewEnd)
        currentRow = ViewStart;
    if (key == Qt::Key_Left) {
        if (currentRow > ViewStart)
            --currentRow;
    } else if (key == Qt::Key_Right) {
        if (currentRow < ViewEnd)
            ++currentRow;
    } else {
        return std::nullopt;
    }
    return currentRow;
}

bool GraphView::toggleDataSet() {
    clearCursor();
    if (!HasSecondary) {
        DataSet = 1;
        return false;
    }
    if (DataSet == 1) {
        DataSet = 2;
        TraceColour = 65280;
    } else {
        DataSet = 1;
        TraceColour = 255;
    }
    return true;
}

} // namespace grapher
