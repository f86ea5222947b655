#pragma once
#include "app/MainWindowApi.h"
#include "platform/PictureBox.h"
#include "platform/Platform.h"
#include <QWidget>

// The logger window: log file, period, comment, run control and the live trend graph.
class frmLogger : public QWidget {
    Q_OBJECT
public:
    frmLogger(MainWindowApi& main, platform::Platform& platform, QWidget* parent = nullptr);

    // Opens the window beside the main window; an open window is left as it is.
    void openWindow();
    bool isOpen() const;
    // The Return button's steps: main window up by 650 twips, LoggerOpen false, window unloaded.
    void returnToMain();
    // Closing at Quit: the window's own closing step (stores "DataFilePath").
    void closeWindow();
    // The trend picture that the display cycle draws its trace into.
    platform::PictureBox* picGraph();
    // Starts the one-shot delayed rescale (tmrReScale).
    void startRescaleTimer();
    // The display cycle's trace step: clears the transient layer and draws the followed history.
    void drawTrendTrace();

private:
    MainWindowApi& main_;
    platform::Platform& platform_;
};
