#pragma once
#include "LogFile.h"
#include "TrendGraph.h"
#include "WindowClock.h"
#include "core/LoggingRun.h"
#include "core/MeterSession.h"
#include "platform/PictureBox.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include <QTime>
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QAction;

// The logger window: log file, period, comment, run control and the live trend graph.
//
// The window object lives as long as the main window. Closing it (Return, the menu's Return or
// its close box) only hides it: a run goes on, its window clock keeps watching a timed stop,
// and while the window is hidden it asks for the run and its sample count in the main window's
// title.
// Opening the window again during a run shows the run's controls as they are.
class frmLogger : public QWidget {
    Q_OBJECT
public:
    // The window opens beside mainWindow, whose place and screen it reads; measures are taken
    // in twips by the main window's conversion.
    frmLogger(core::MeterSession& session, core::LoggingRun& run, platform::Platform& platform,
              const Twips& twips, const QWidget* mainWindow, QWidget* parent = nullptr);
    ~frmLogger() override;

    // Opens the window beside the main window; an open window is left as it is.
    void openWindow();
    bool isOpen() const { return open_; }
    // The Return button's steps: main window back up by the 650 twips the opening moved it
    // down, LoggerOpen false, "DataFilePath" stored, window hidden. A run goes on.
    void returnToMain();
    // Closing at Quit: a run is stopped (its rows are in the file), "DataFilePath" is stored.
    void closeWindow();
    // The trend picture that the display cycle draws its trace into.
    platform::PictureBox* picGraph();
    // Starts the one-shot delayed rescale (tmrReScale), while the window is open.
    void startRescaleTimer();
    // The display cycle's trace step: clears the transient layer and draws the followed history.
    void drawTrendTrace();

    // Operations of the window's controls, public so the program and tests can drive them.
    void cmdBrowse_Click();
    void cmdStart_Click();
    void cmdStop_Click();
    void optManual_Click();
    void optTimer_Click();
    void tmrRealTime_Timer();
    void tmrReScale_Timer();
    void toggleTrace(bool fromTypeLabel);
    void DrawTrendAxes(float scale);
    void mnuAbout_Click();
    void mnuContents_Click();
    // The time boxes' reset: mask removed, text emptied, mask set again, box shown.
    void resetTimeBox(QLineEdit* box);

    logger::SampleCapture& capture() { return run_.capture(); }

signals:
    // The main window is to move up by this many twips (negative: down).
    void moveMainRequested(int twips);
    // The main window's title is to carry this text after its caption (empty: the caption only).
    void runTitleChanged(const QString& suffix);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void place();
    void showIdleControls();
    // The controls as a new window shows them, for an opening without a run.
    void showFreshControls();
    // tmrRealTime on while the window is open or a run goes on, off otherwise.
    void keepClockForState();
    void redrawForNewSize();
    void showRunControls();
    void showSampleCount(int count);
    void showRunInMainTitle(bool show);
    void periodBoxLeft();
    void commentChanged();
    void runFailed();
    void saveDataFolder();
    void hideTimedControls();
    // The timed stop's steps and its completion message.
    void finishTimedRun();
    // The time boxes' texts to the run, while the timer mode is chosen.
    void timesToRun();
    // The file the Data File box names, a relative name taken in the current log file's folder.
    std::optional<QString> boxPath() const;

    core::MeterSession& session_;
    SessionState& shared_;
    platform::Platform& platform_;
    Twips twips_;
    const QWidget* mainWindow_;
    core::LoggingRun& run_;
    bool open_ = false;
    bool movedMainDown_ = false;
    bool closingForQuit_ = false;
    bool BlinkPhase = false;
    bool runInTitle_ = false;
    QString axesUnits_; // the unit text the grid was last drawn for

    QLineEdit* txtFilePath = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLineEdit* txtSampInt = nullptr;
    QLineEdit* txtComment = nullptr;
    QRadioButton* optManual = nullptr;
    QRadioButton* optTimer = nullptr;
    QLabel* lblStart = nullptr;
    QLabel* lblStop = nullptr;
    QLabel* lblReal = nullptr;
    QLineEdit* mskStartTime = nullptr;
    QLineEdit* mskEndTime = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdReturn = nullptr;
    QLabel* lblRealTime = nullptr;
    QLabel* lblSamples = nullptr;
    QLabel* lblSampCount = nullptr;
    QLabel* runStatus = nullptr; // Label5
    QLabel* lblType = nullptr;
    QLabel* traceName = nullptr; // Label12
    QLabel* lblRescale = nullptr;
    std::array<QLabel*, 5> axisLabels{}; // lblMax, lblMidHigh, lblMid, lblMidLow, lblMin
    platform::PictureBox* picGraph_ = nullptr;
    logger::WindowClock* tmrRealTime = nullptr;
    QTimer* tmrReScale = nullptr;
    QAction* mnuReturn = nullptr;
};
