#pragma once
#include "Doubles.h"
#include "core/LoggingRun.h"
#include "core/MeterSession.h"
#include "platform/Twips.h"
#include <QList>
#include <QWidget>

// The main window's side as the logger and grapher see it: a real meter session and logging run
// on the fake platform, a window to sit beside at a chosen resolution, and what the windows asked
// of it.
struct LiveMain {
    explicit LiveMain(doubles::FakePlatform& fakes, double dpi = 96)
        : session(fakes.serial, fakes.clock, fakes.messages),
          run(session, fakes.clock, fakes.messages), scale(dpi) {
        QObject::connect(&run, &core::LoggingRun::quitRequested, [this] { ++quits; });
        window.setWindowTitle("Voltrane");
        window.setGeometry(100, 400, 600, 300);
        state.reading.PriUnits = " VDC";
        state.reading.PriValue = 1.5f;
        state.reading.SecUnits = "N/A";
        state.display.TrendUnits = "VDC";
    }
    // The requests as the main window answers them.
    void moveUp(int twips) { moves << twips; }
    void showRunInTitle(const QString& suffix) { window.setWindowTitle("Voltrane" + suffix); }

    core::MeterSession session;
    core::LoggingRun run;
    SessionState& state = session.state();
    QTimer& clock = session.logClock();
    QWidget window;
    Twips scale;
    QList<int> moves;
    int displayStarts = 0, quits = 0;
};
