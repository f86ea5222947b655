#pragma once
#include "app/MainWindowApi.h"
#include "meterlink/ReadingSource.h"
#include <QStringList>
#include <QTimer>
#include <QWidget>

// The main window as the logger and grapher see it: shared state, the sample clock, a window
// to sit beside and a record of what was asked of it.
class RecordingMain : public MainWindowApi {
public:
    RecordingMain() {
        window.setWindowTitle("Voltrane");
        window.setGeometry(100, 400, 600, 300);
        state.reading.PriUnits = " VDC";
        state.reading.PriValue = 1.5f;
        state.reading.SecUnits = "N/A";
        state.display.TrendUnits = "VDC";
    }
    SharedState& shared() override { return state; }
    void SendMeterCommand(const QString& text) override { commands << text; }
    void ResetMaxMin() override { ++resetMaxMinCalls; }
    void moveUp(int twips) override { moves << twips; }
    void startDisplayCycle() override { ++displayStarts; }
    void stopDisplayCycle() override {}
    QTimer& logClock() override { return clock; }
    void activate() override {}
    void quitProgram() override { ++quits; }
    QWidget* mainWidget() override { return &window; }
    const Twips& twips() const override { return scale; }

    SharedState state;
    meterlink::CurrentReadingSource source{state.reading, state.link};
    QTimer clock;
    QWidget window;
    Twips scale; // the screen's resolution as the main window measures it
    QStringList commands;
    QList<int> moves;
    int resetMaxMinCalls = 0, displayStarts = 0, quits = 0;
};
