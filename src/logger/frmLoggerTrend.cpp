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
        logger::DrawTrendTrace(*picGraph_, main_.shared().display);
}

void frmLogger::redrawForNewSize() {
    // The grid lies at fixed fractions of the surface: the same axes again at the new size.
    DisplayShared& display = main_.shared().display;
    logger::DrawTrendAxes(*picGraph_, display.TrendScale, axesUnits_, display.TrendScale);
    drawTrendTrace();
}

void frmLogger::DrawTrendAxes(float scale) {
    DisplayShared& display = main_.shared().display;
    axesUnits_ = display.TrendUnits;
    const logger::TrendLabels labels =
        logger::DrawTrendAxes(*picGraph_, scale, display.TrendUnits, display.TrendScale);
    for (size_t i = 0; i < labels.size(); ++i)
        axisLabels[i]->setText(labels[i]);
    lblType->setText(display.TrendUnits.startsWith(QLatin1String("No")) ? QStringLiteral("No Comm")
                                                                        : display.TrendUnits);
}

void frmLogger::toggleTrace(bool fromTypeLabel) {
    SharedState& shared = main_.shared();
    if (fromTypeLabel)
        shared.link.NoReplyCount = 0;
    if (shared.reading.DualDisplay && shared.display.TrendTrace == 1) {
        shared.display.TrendTrace = 2;
        shared.display.TrendColour = logger::SecondaryTraceColour;
        Label12->setText(QStringLiteral("Secondary"));
    } else if (shared.reading.DualDisplay) {
        shared.display.TrendTrace = 1;
        shared.display.TrendColour = logger::PrimaryTraceColour;
        Label12->setText(QStringLiteral("Primary"));
    } else {
        shared.display.TrendTrace = 1;
        shared.display.TrendColour = logger::PrimaryTraceColour;
        Label12->clear();
    }
    logger::ClearTrendHistory(shared.display);
    main_.ResetMaxMin();
    DrawTrendAxes(shared.display.NewTrendScale);
    tmrReScale->start();
    if (fromTypeLabel)
        shared.link.NoReplyCount = 0;
}

void frmLogger::tmrReScale_Timer() {
    SharedState& shared = main_.shared();
    shared.link.NoReplyCount = 0;
    logger::ClearTrendHistory(shared.display);
    main_.ResetMaxMin();
    DrawTrendAxes(shared.display.NewTrendScale);
    tmrReScale->stop();
    shared.link.NoReplyCount = 0;
}
