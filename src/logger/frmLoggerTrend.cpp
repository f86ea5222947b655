#include "frmLogger.h"
#include <QLabel>
#include <QTimer>

// The logger window's live trend graph: its axes, the trace it follows and its rescales.

platform::PictureBox* frmLogger::picGraph() {
    return picGraph_;
}

void frmLogger::startRescaleTimer() {
    if (open_)
        tmrReScale->start();
}

void frmLogger::drawTrendTrace() {
    if (picGraph_)
        logger::DrawTrendTrace(*picGraph_, shared_.display);
}

void frmLogger::redrawForNewSize() {
    // The grid lies at fixed fractions of the surface: the same axes again at the new size.
    DisplayShared& display = shared_.display;
    logger::DrawTrendAxes(*picGraph_, display.TrendScale, axesUnits_, display.TrendScale);
    drawTrendTrace();
}

void frmLogger::DrawTrendAxes(float scale) {
    DisplayShared& display = shared_.display;
    axesUnits_ = display.TrendUnits;
    const logger::TrendLabels labels =
        logger::DrawTrendAxes(*picGraph_, scale, display.TrendUnits, display.TrendScale);
    for (size_t i = 0; i < labels.size(); ++i)
        axisLabels[i]->setText(labels[i]);
    lblType->setText(display.TrendUnits.startsWith(QLatin1String("No")) ? QStringLiteral("No Comm")
                                                                        : display.TrendUnits);
}

void frmLogger::toggleTrace(bool fromTypeLabel) {
    SessionState& shared = shared_;
    if (fromTypeLabel)
        session_.restartSilenceCount();
    if (shared.reading.DualDisplay && shared.display.TrendTrace == 1) {
        session_.followTrace(2, logger::SecondaryTraceColour);
        traceName->setText(QStringLiteral("Secondary"));
    } else if (shared.reading.DualDisplay) {
        session_.followTrace(1, logger::PrimaryTraceColour);
        traceName->setText(QStringLiteral("Primary"));
    } else {
        session_.followTrace(1, logger::PrimaryTraceColour);
        traceName->clear();
    }
    session_.restartTrend();
    DrawTrendAxes(shared.display.NewTrendScale);
    tmrReScale->start();
    if (fromTypeLabel)
        session_.restartSilenceCount();
}

void frmLogger::tmrReScale_Timer() {
    SessionState& shared = shared_;
    session_.restartSilenceCount();
    session_.restartTrend();
    DrawTrendAxes(shared.display.NewTrendScale);
    tmrReScale->stop();
    session_.restartSilenceCount();
}
