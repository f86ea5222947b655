#pragma once
#include "app/MainWindowApi.h"
#include "app/SharedState.h"
#include "display/DisplayAppearance.h"
#include "display/DisplayCycle.h"
#include "display/MainLayout.h"
#include "display/Twips.h"
#include "meterlink/LinkWatchdog.h"
#include "platform/Platform.h"
#include <QMainWindow>
#include <array>
#include <memory>

class AlarmPanel;
class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class frmControl;
class frmGrapher;
class frmLogger;
namespace meterlink {
class MeterLink;
}

// The main window: the two large reading displays, the command buttons, the alarm controls and
// the menus. It owns the serial link, the timers and the state the other windows share, and
// runs the opening, the 200 ms display cycle, the layouts, the colours and Quit.
class frmMain : public QMainWindow,
                public MainWindowApi,
                private DisplayCycleView,
                private meterlink::LinkWatchdogHost {
    Q_OBJECT
public:
    explicit frmMain(platform::Platform& platform, QWidget* parent = nullptr);
    ~frmMain() override;

    // The opening steps in their order. Returns false when the serial port could not be opened:
    // the start-up message has been shown, the windows are closed and programEnded was emitted.
    bool openWindow();
    // True once the program has ended (Quit or a start-up failure), with its exit code.
    bool hasEnded() const { return ended_; }
    int exitCode() const { return exitCode_; }

    // MainWindowApi
    SharedState& shared() override { return state_; }
    void SendMeterCommand(const QString& text) override;
    void ResetMaxMin() override;
    void setRateLine(const QString& text) override;
    void moveUp(int twips) override;
    void startDisplayCycle() override;
    void stopDisplayCycle() override;
    QTimer& logClock() override { return *tmrLogClock; }
    void closeLoggerByReturn() override;
    void requestTrendRescale() override;
    void activate() override;
    void quitProgram() override;
    QWidget* mainWidget() override { return this; }

    // Keeps the foreground Black and White entries from matching the background.
    void NoSameFGBG();

    // Timer handlers, public so a test can run them without waiting.
    void tmrDispUpdate_Timer();
    void tmrWait_Timer();

    // Menu commands, as the menu entries run them.
    void mnuOpen_Click();
    void mnuAbout_Click();
    void mnuContents_Click();
    void mnuFont_Click();
    void mnuComm_Click(int portNo); // mnuCom1..mnuCom8
    void colour_Click(const QString& entryName);

    // State of the window that no other window writes.
    qint16 CommPortNo() const { return CommPortNo_; }
    const QString& AlarmWavPath() const { return AlarmWavPath_; }
    const DisplayAppearance& appearance() const { return appearance_; }
    const MainLayout& layout() const { return layout_; }
    const Twips& twips() const override { return twips_; }
    bool dualLayoutShown() const override { return layout_.dualShown(); }

    frmControl& control() { return *control_; }
    frmLogger& logger() { return *logger_; }
    frmGrapher& grapher() { return *grapher_; }
    meterlink::MeterLink& meterLink() { return *link_; }

signals:
    // The program ends: main() leaves its event loop with this code.
    void programEnded(int exitCode);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // DisplayCycleView and LinkWatchdogHost
    void setPrimaryFontSize(int points) override;
    void setPrimaryText(const QString& text) override;
    void setSecondaryText(const QString& text) override;
    void ShowDualLayout() override;
    void ShowSingleLayout() override;
    void setOpenMenuEnabled(bool enabled) override;
    void drawTrendTrace() override;
    void evaluateAlarms() override;
    void clearAlarms() override;
    void startTrendRescale() override;
    void runWatchdog() override;
    void blinkTrippedAlarms() override;
    void setDisplayTexts(const QString& label1, const QString& label2) override;
    void disableLoggerButton() override;
    void resetReceiveState() override;
    void stopTimers() override;
    void disableMeterControls() override;
    int commPortNo() const override { return CommPortNo_; }

    void buildControls();
    void buildMenus();
    void buildTimers();
    void applyLayout();
    // Label3 at its place, wide and tall enough for its text in its font.
    void placeRateLine();
    void applyWindowSize();
    void applyColours();
    void applyMenuChecks();
    void checkPortItem(int portNo);
    void startupFailed(int code);
    void closeOtherWindows();
    void closingStep();
    void endProgram(int code);
    void showUnexpectedError(int errorNumber);

    platform::Platform& platform_;
    SharedState state_;
    Twips twips_;
    MainLayout layout_;
    DisplayAppearance appearance_;
    qint16 CommPortNo_ = 1;
    QString AlarmWavPath_;
    bool settingsLoaded_ = false;
    bool quitting_ = false;
    bool ended_ = false;
    int exitCode_ = 0;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* cmdLogger = nullptr;
    QPushButton* cmdMeterSettings = nullptr;
    QPushButton* cmdAlarms = nullptr;
    QPushButton* cmdQuit = nullptr;
    QLabel* lblHiThresh = nullptr;
    QLabel* lblLoThresh = nullptr;
    QLineEdit* txtHiAlarm = nullptr;
    QLineEdit* txtLowAlarm = nullptr;
    QCheckBox* chkHiSet = nullptr;
    QCheckBox* chkLoSet = nullptr;
    QFrame* Line1 = nullptr;
    QTimer* tmrDispUpdate = nullptr;
    QTimer* tmrLogClock = nullptr;
    QTimer* tmrWait = nullptr;
    QAction* mnuOpen = nullptr;
    std::array<QAction*, 8> mnuCom{};

    std::unique_ptr<meterlink::MeterLink> link_;
    std::unique_ptr<DisplayCycle> cycle_;
    std::unique_ptr<AlarmPanel> alarms_;
    std::unique_ptr<meterlink::LinkWatchdog> watchdog_;
    std::unique_ptr<frmControl> control_;
    std::unique_ptr<frmLogger> logger_;
    std::unique_ptr<frmGrapher> grapher_;
};
