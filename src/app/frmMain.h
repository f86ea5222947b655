#pragma once
#include "core/LoggingRun.h"
#include "core/MeterSession.h"
#include "display/DisplayAppearance.h"
#include "display/MainLayout.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
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

// The main window: the two large reading displays, the command buttons, the alarm controls and
// the menus. It shows the meter session's state, and runs the opening, the layouts, the colours
// and Quit.
class frmMain : public QMainWindow {
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

    // The state the windows share, and what they ask of the main window by their signals.
    SessionState& shared() { return session_->state(); }
    // The rate line under the readings (Label3).
    void setRateLine(const QString& text);
    void moveUp(int twips);
    void startDisplayCycle();
    // Closes the logger window by the steps of its own Return button, if it is open.
    void closeLoggerByReturn();
    void activate();
    void quitProgram();

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
    qint16 CommPortNo() const { return session_->CommPortNo(); }
    const QString& AlarmWavPath() const { return AlarmWavPath_; }
    const DisplayAppearance& appearance() const { return appearance_; }
    const MainLayout& layout() const { return layout_; }
    const Twips& twips() const { return twips_; }

    frmControl& control() { return *control_; }
    frmLogger& logger() { return *logger_; }
    frmGrapher& grapher() { return *grapher_; }
    core::MeterSession& session() { return *session_; }

signals:
    // The program ends: main() leaves its event loop with this code.
    void programEnded(int exitCode);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void connectSession();
    void showLayout(bool dual);
    void setPrimaryFontSize(int points);
    void setDisplayTexts(const QString& primary, const QString& secondary);
    void disableLoggerButton();
    void disableMeterControls();

    void buildControls();
    void buildMenus();
    void buildTimers();
    void applyLayout();
    // rateLine at its place, wide and tall enough for its text in its font.
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
    Twips twips_;
    MainLayout layout_;
    DisplayAppearance appearance_;
    QString AlarmWavPath_;
    bool settingsLoaded_ = false;
    bool quitting_ = false;
    bool ended_ = false;
    int exitCode_ = 0;

    // The widgets keep their control names as objectName ("Label1"...), which the layout, the
    // tests and the accessibility tree find them by.
    QLabel* primaryReading = nullptr;   // Label1
    QLabel* secondaryReading = nullptr; // Label2
    QLabel* rateLine = nullptr;         // Label3
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
    QFrame* separatorLine = nullptr; // Line1
    QTimer* tmrWait = nullptr;
    QAction* mnuOpen = nullptr;
    std::array<QAction*, 8> mnuCom{};

    core::MeterSession* session_ = nullptr;
    core::LoggingRun* run_ = nullptr;
    std::unique_ptr<AlarmPanel> alarms_;
    std::unique_ptr<frmControl> control_;
    std::unique_ptr<frmLogger> logger_;
    std::unique_ptr<frmGrapher> grapher_;
};
