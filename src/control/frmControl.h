#pragma once
#include "app/MainWindowApi.h"
#include "platform/Platform.h"
#include <QWidget>

// The meter control window: function and rate commands for the meter.
class frmControl : public QWidget {
    Q_OBJECT
public:
    frmControl(MainWindowApi& main, platform::Platform& platform, QWidget* parent = nullptr);

    // Opens the window; an open window is left as it is (not brought to the front).
    void openWindow();
    bool isOpen() const;
    // Selects an option button by its objectName ("optFast", "optVAC"), running its handler.
    void selectOption(const QString& objectName);
    void hideWindow();
    void closeWindow();

private:
    MainWindowApi& main_;
    platform::Platform& platform_;
};
