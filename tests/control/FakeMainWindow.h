#pragma once
#include "app/MainWindowApi.h"
#include "platform/SerialPort.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

// A main window that records what the meter control window asks of it. Commands go to the
// serial port as the real one sends them: the text and one carriage return.
class FakeMainWindow : public MainWindowApi {
public:
    explicit FakeMainWindow(platform::SerialPort& port, double dpi = 96)
        : port_(port), twips_(dpi) {}

    SharedState state;
    QStringList calls; // "rescale", "activate", "closeLogger", "moveUp:<twips>" in order
    QString rateLine;

    SharedState& shared() override { return state; }
    void SendMeterCommand(const QString& text) override { port_.write(text.toLatin1() + '\r'); }
    void ResetMaxMin() override {}
    void setRateLine(const QString& text) override { rateLine = text; }
    void moveUp(int twips) override { calls << QString("moveUp:%1").arg(twips); }
    void startDisplayCycle() override {}
    void stopDisplayCycle() override {}
    QTimer& logClock() override { return logClock_; }
    // As the logger's Return does: only an open logger window moves the main window back.
    void closeLoggerByReturn() override {
        calls << "closeLogger";
        if (state.logger.LoggerOpen) {
            moveUp(650);
            state.logger.LoggerOpen = false;
        }
    }
    void requestTrendRescale() override { calls << "rescale"; }
    void activate() override { calls << "activate"; }
    void quitProgram() override {}
    QWidget* mainWidget() override { return &widget_; }
    const Twips& twips() const override { return twips_; }

private:
    platform::SerialPort& port_;
    Twips twips_;
    QTimer logClock_;
    QWidget widget_;
};
