#pragma once
#include "core/SharedState.h"
#include "platform/Twips.h"
#include <QString>

class QTimer;
class QWidget;

// What the other windows may ask of the main window.
class MainWindowApi {
public:
    virtual ~MainWindowApi() = default;

    virtual SharedState& shared() = 0;
    // The one way to send a command: the text followed by one carriage return.
    virtual void SendMeterCommand(const QString& text) = 0;
    virtual void ResetMaxMin() = 0;
    // Moves the main window up by the given twips (negative moves it down).
    virtual void moveUp(int twips) = 0;
    // The display cycle's timer tmrDispUpdate.
    virtual void startDisplayCycle() = 0;
    virtual void stopDisplayCycle() = 0;
    // The sample clock tmrLogClock.
    virtual QTimer& logClock() = 0;
    // Makes the main window the active window.
    virtual void activate() = 0;
    // The whole Quit sequence; the program ends.
    virtual void quitProgram() = 0;
    virtual QWidget* mainWidget() = 0;
    // The main window's twips to pixels conversion, which the other windows size themselves by.
    virtual const Twips& twips() const {
        static const Twips standard;
        return standard;
    }
};
