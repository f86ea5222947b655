#include "frmGrapher.h"
#include "grapher/GraphExports.h"
#include "grapher/Readout.h"
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

// The grapher's cursors and readout: mouse and keys on the graph, zoom, the sign filter, the
// data-set switch and Reset.

using grapher::GraphView;
using grapher::Hourglass;

void frmGrapher::drawCross(double x, double y) {
    const double h = view_.MarkerHalfHeight;
    const double w = view_.MarkerHalfWidth;
    picGraph_->line(x, y + h, x, y - h, 0xFFFFFF);
    picGraph_->line(x + w, y, x - w, y, 0xFFFFFF);
}

void frmGrapher::showReadout(qint32 row, bool moveMarker, double markerX) {
    const grapher::Readout r = grapher::ReadoutFor(log_->columns, row, view_.DataSet);
    lblTS_->setText(r.timeStamp);
    lblType_->setText(r.milliSeconds);
    lblUnits_->setText(r.units);
    lblValue_->setText(r.value);
    if (r.dBu)
        lbldBu_->setText(*r.dBu);
    view_.currentRow = row;
    if (!moveMarker || !r.plotValue)
        return;
    picGraph_->setDrawMode(platform::PictureBox::DrawMode::Invert);
    if (markerShown_)
        drawCross(view_.MarkerX, view_.MarkerValue);
    drawCross(markerX, *r.plotValue);
    view_.MarkerX = float(markerX);
    view_.MarkerValue = *r.plotValue;
    markerShown_ = true;
}

void frmGrapher::picGraph_MouseMove(double x, double) {
    if (!log_)
        return;
    const auto row = view_.rowForMouse(float(x));
    if (!row)
        return; // beside the file's rows: the readouts keep the last row read
    showReadout(*row, true, x);
}

void frmGrapher::picGraph_MouseDown(double x) {
    if (!log_)
        return;
    picGraph_->setFocus();
    const GraphView::Click c = view_.click(float(x));
    picGraph_->setDrawMode(platform::PictureBox::DrawMode::Invert);
    const double fs = view_.FullScale;
    if (c.eraseX)
        picGraph_->line(*c.eraseX, fs, *c.eraseX, -fs, 0xFFFFFF);
    picGraph_->line(c.drawX, fs, c.drawX, -fs, 0xFFFFFF);
    if (c.enableZoom)
        cmdZoom_->setEnabled(true);
    if (c.enableReset)
        cmdReset_->setEnabled(true);
}

void frmGrapher::KeyDown(int key) {
    if (!log_)
        return;
    const auto row = view_.keyPress(key);
    if (!row)
        return;
    showReadout(*row, true, *row - view_.ViewStart + 1);
}

void frmGrapher::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        KeyDown(event->key());
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool frmGrapher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblTitle_ && event->type() == QEvent::MouseButtonRelease) {
        lblTitle_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmGrapher::lblTitle_Click() {
    if (!log_)
        return;
    // Without a second data set nothing is redrawn, so the marker and the cursor lines whose
    // positions are now forgotten are taken off first (drawn again, inverting back).
    const float markerX = view_.MarkerX, markerValue = view_.MarkerValue;
    const float cursorX = view_.CursorX, prevCursorX = view_.PrevCursorX;
    if (!view_.toggleDataSet()) {
        picGraph_->setDrawMode(platform::PictureBox::DrawMode::Invert);
        if (markerShown_)
            drawCross(markerX, markerValue);
        for (float x : {cursorX, prevCursorX})
            if (x != 0)
                picGraph_->line(x, view_.FullScale, x, -view_.FullScale, 0xFFFFFF);
        dataSetName_->setText(QString());
        markerShown_ = false;
        return;
    }
    dataSetName_->setText(view_.DataSet == 2 ? QStringLiteral("Secondary")
                                             : QStringLiteral("Primary"));
    redraw();
    setTitle();
    showReadout(1, false, 0);
}

void frmGrapher::cmdZoom_Click() {
    if (!log_)
        return;
    Hourglass wait;
    view_.zoom();
    redraw();
    setTitle();
    cmdZoom_->setEnabled(false);
}

void frmGrapher::cmdPlusMinus_Click() {
    if (!log_)
        return;
    Hourglass wait;
    view_.stepSignFilter();
    redraw();
    setTitle(view_.signSuffix());
    cmdZoom_->setEnabled(false);
}

void frmGrapher::cmdReset_Click() {
    if (!log_)
        return;
    Hourglass wait;
    view_.reset();
    redraw();
    setTitle();
    cmdZoom_->setEnabled(false);
    cmdReset_->setEnabled(false);
}
