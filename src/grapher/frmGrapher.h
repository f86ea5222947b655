#pragma once
#include "app/MainWindowApi.h"
#include "platform/Platform.h"
#include <QMainWindow>

// The grapher window: plots a closed log file, readouts, zoom, sign filter, export, comment.
class frmGrapher : public QMainWindow {
    Q_OBJECT
public:
    frmGrapher(MainWindowApi& main, platform::Platform& platform, QWidget* parent = nullptr);

    // Window load: loads the main window's GraphFilePath, then restarts the display cycle.
    void loadFromMain();
    bool isOpen() const;
    // Closing at Quit: the window's own closing step (stores "DataFilePath").
    void closeWindow();

private:
    MainWindowApi& main_;
    platform::Platform& platform_;
};
