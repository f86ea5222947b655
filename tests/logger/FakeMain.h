#pragma once
#include "app/MainWindowApi.h"
#include "meterlink/ReadingSource.h"
#include <QStringList>
#include <QTimer>
#include <QWidget>

// The main window as the logger sees it: shared state, the sample clock, Label1 and a record of
// what was asked of it.
class FakeMain : public MainWindowApi {
public:
    FakeMain() {
        window.setObjectName("frmMain");
        window.setWindowTitle("Voltrane");
        window.setGeometry(100, 400, 600, 300);
        state.reading.PriUnits = " VDC";
        state.reading.PriValue = 1.5f;
        state.reading.SecUnits = "N/A";
        state.reading.SecValue = 0;
    }
    SharedState& shared() override { return state; }
    void SendMeterCommand(const QString& text) override { commands << text; }
    void ResetMaxMin() override { ++resetMaxMinCalls; }
    void setRateLine(const QString&) override {}
    void moveUp(int twips) override { moves << twips; }
    void startDisplayCycle() override {}
    void stopDisplayCycle() override {}
    QTimer& logClock() override { return clock; }
    void closeLoggerByReturn() override {}
    void requestTrendRescale() override {}
    void activate() override {}
    void quitProgram() override { ++quits; }
    QWidget* mainWidget() override { return &window; }

    SharedState state;
    meterlink::CurrentReadingSource source{state.reading, state.link};
    int quits = 0;
    QTimer clock;
    QWidget window;
    QStringList commands;
    QList<int> moves;
    int resetMaxMinCalls = 0;
};
