#include "frmMain.h"
#include "MainTexts.h"
#include "control/frmControl.h"
#include "display/AlarmPanel.h"
#include "display/Colour.h"
#include "grapher/frmGrapher.h"
#include "logger/frmLogger.h"
#include "meterlink/PortConnection.h"
#include "platform/UnexpectedError.h"
#include "settings/SettingsStore.h"
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int DisplayPoints = 72;
// The window's outer size counts its frame and title bar, which Qt keeps outside the window's
// own geometry: a fixed dialog frame of this size is taken off.
constexpr int FrameWidthTwips = 165;
constexpr int FrameHeightTwips = 465;

double screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

} // namespace

frmMain::frmMain(platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent), platform_(platform), twips_(screenDpi()) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_QuitOnClose, false);
    buildControls();
    buildMenus();
    session_ = new core::MeterSession(platform_.serial, platform_.clock, platform_.messages, this);
    buildTimers();

    AlarmWidgets widgets;
    widgets.cmdAlarms = cmdAlarms;
    widgets.txtHiAlarm = txtHiAlarm;
    widgets.txtLowAlarm = txtLowAlarm;
    widgets.lblHiThresh = lblHiThresh;
    widgets.lblLoThresh = lblLoThresh;
    widgets.chkHiSet = chkHiSet;
    widgets.chkLoSet = chkLoSet;
    alarms_ = std::make_unique<AlarmPanel>(widgets, platform_.sound, platform_.messages,
                                           platform_.dialogs, AlarmWavPath_);
    connectSession();

    control_ = std::make_unique<frmControl>(*session_, platform_, twips_);
    connect(control_.get(), &frmControl::opening, this, &frmMain::closeLoggerByReturn);
    connect(control_.get(), &frmControl::optionApplied, this, &frmMain::activate);
    run_ = new core::LoggingRun(*session_, platform_.clock, platform_.messages, this);
    connect(run_, &core::LoggingRun::quitRequested, this, &frmMain::quitProgram);
    logger_ = std::make_unique<frmLogger>(*session_, *run_, platform_, twips_, this);
    connect(logger_.get(), &frmLogger::moveMainRequested, this, &frmMain::moveUp);
    connect(logger_.get(), &frmLogger::runTitleChanged, this,
            [this](const QString& suffix) { setWindowTitle(maintexts::WindowCaption + suffix); });
    SessionState& state = session_->state();
    frmGrapher::MainSide side{twips_, this, [&state] { return state.display.TrendUnits; },
                              [&state] { return state.logger.LogFilePath; }};
    grapher_ = std::make_unique<frmGrapher>(std::move(side), platform_);
    connect(grapher_.get(), &frmGrapher::liveDisplayDue, this, &frmMain::startDisplayCycle);
    connect(grapher_.get(), &frmGrapher::quitRequested, this, &frmMain::quitProgram);
    connect(grapher_.get(), &frmGrapher::graphFileChosen, this,
            [&state](const QString& path) { state.GraphFilePath = path; });
}

frmMain::~frmMain() {
    // The other windows hold references to the session and the run: they go first, then the
    // run, which stops the session's sample clock as it ends.
    grapher_.reset();
    logger_.reset();
    control_.reset();
    delete run_;
    run_ = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Opening

bool frmMain::openWindow() {
    // 1. Outer size, centred on the screen.
    applyWindowSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize outer(twips_.toPixels(MainLayout::WindowWidth),
                          twips_.toPixels(layout_.windowHeight()));
        move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
    }

    // 2. State.
    SessionState& state = session_->state();
    state.display = DisplayShared{};
    state.display.NewTrendScale = 0;

    // 3. Colours and their check marks; separatorLine in white.
    appearance_.setStored(settings::ReadBackgroundColour(), settings::ReadForegroundColour());
    applyMenuChecks();
    QPalette linePalette = separatorLine->palette();
    linePalette.setColor(QPalette::Window, colour::toQColor(colour::White));
    separatorLine->setPalette(linePalette);

    // 4. Port number, port menu, probe.
    session_->setCommPortNo(settings::ReadCommPort());
    const qint16 portNo = session_->CommPortNo();
    if (portNo >= meterlink::FirstPort && portNo <= meterlink::LastPort)
        checkPortItem(portNo);
    const QList<bool> present = meterlink::ProbePorts(platform_.serial);
    for (int n = 0; n < present.size() && n < int(mnuCom.size()); ++n)
        if (present[n])
            mnuCom[n]->setEnabled(true);

    // 5. Open the port; a failure ends the program.
    if (const int code = platform_.serial.open(portNo); code != platform::SerialError::None) {
        startupFailed(code);
        return false;
    }

    // 6. Timers.
    session_->resetTimers();

    // 7. Displays, buttons and alarm controls.
    QFont displayFont(settings::ReadFontFace());
    displayFont.setPointSize(DisplayPoints);
    primaryReading->setFont(displayFont);
    QFont secondaryFont = secondaryReading->font();
    secondaryFont.setFamily(settings::ReadFontFace());
    secondaryReading->setFont(secondaryFont);
    applyColours();
    applyLayout();

    // 8. Silence counters; the display cycle starts.
    state.link.NoReplyCount = 0;
    state.link.NoReplyLimit = 35;
    session_->startDisplayCycle();

    // 9. Caption, visible.
    setWindowTitle(maintexts::WindowCaption);
    show();

    // 10. Alarm sound and data folder.
    AlarmWavPath_ = settings::ReadAlarmWav();
    state.logger.LogFilePath = settings::ReadLogFilePath();
    settingsLoaded_ = true;

    // 11. Histories, then the meter's start-up commands.
    state.display.PriHistory.fill(0);
    state.display.SecHistory.fill(0);
    session_->SendStartupCommands();

    // 12. The meter control window's presets: fast rate, AC volts.
    control_->selectOption(QStringLiteral("optFast"));
    control_->selectOption(QStringLiteral("optVAC"));

    // 13.-15.
    NoSameFGBG();
    control_->openWindow();
    activate();
    return true;
}

void frmMain::startupFailed(int code) {
    platform_.messages.show(meterlink::StartupErrorText(code), platform::Buttons::OkOnly,
                            meterlink::StartupErrorTitle, platform::Icon::None);
    alarms_->stopSound();
    session_->stopDisplayCycle();
    quitting_ = true;
    closeOtherWindows();
    // The closing step stores settings only once they have all been read: a failed start
    // must not overwrite the stored font and alarm sound with values never loaded.
    closingStep();
    hide();
    endProgram(1);
}

// ---------------------------------------------------------------------------------------------
// Quit and closing

void frmMain::quitProgram() {
    if (quitting_)
        return;
    quitting_ = true;
    alarms_->stopSound();
    session_->stopDisplayCycle();
    platform_.serial.close();
    closeOtherWindows();
    closingStep();
    session_->logClock().stop();
    tmrWait->stop();
    hide();
    endProgram(0);
}

void frmMain::closeOtherWindows() {
    grapher_->closeWindow();
    logger_->closeWindow();
    control_->closeWindow();
}

void frmMain::closingStep() {
    if (settingsLoaded_) {
        settings::SaveSetting(QStringLiteral("CommPort"), QString::number(session_->CommPortNo()));
        settings::SaveSetting(QStringLiteral("BGColor"),
                              QString::number(appearance_.BackgroundColour()));
        settings::SaveSetting(QStringLiteral("FGColor"),
                              QString::number(appearance_.ForegroundColour()));
        settings::SaveSetting(QStringLiteral("Font"), primaryReading->font().family());
        settings::SaveSetting(QStringLiteral("AlarmWav"), AlarmWavPath_);
    }
    alarms_->stopSound();
}

void frmMain::endProgram(int code) {
    ended_ = true;
    exitCode_ = code;
    emit programEnded(code);
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closing the window by its frame ends the program the same way as Quit, so no window,
    // port or sound is left behind.
    if (!quitting_)
        quitProgram();
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// What the other windows ask for

void frmMain::setRateLine(const QString& text) {
    rateLine->setText(text);
    placeRateLine();
}

void frmMain::moveUp(int twips) {
    move(x(), y() - twips_.toPixels(twips));
}

void frmMain::startDisplayCycle() {
    session_->startDisplayCycle();
}

void frmMain::closeLoggerByReturn() {
    if (logger_->isOpen())
        logger_->returnToMain();
}

void frmMain::activate() {
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------------------------------------
// The display cycle and the watchdog

void frmMain::tmrDispUpdate_Timer() {
    session_->tick();
}

void frmMain::connectSession() {
    core::MeterSession* session = session_;
    connect(session, &core::MeterSession::replyReceived, this,
            [this] { cmdLogger->setEnabled(true); });
    connect(session, &core::MeterSession::primaryFontSizeChanged, this,
            &frmMain::setPrimaryFontSize);
    connect(session, &core::MeterSession::primaryTextChanged, primaryReading, &QLabel::setText);
    connect(session, &core::MeterSession::secondaryTextChanged, secondaryReading, &QLabel::setText);
    connect(session, &core::MeterSession::layoutChanged, this, &frmMain::showLayout);
    connect(session, &core::MeterSession::graphOpenAllowed, mnuOpen, &QAction::setEnabled);
    connect(session, &core::MeterSession::traceDue, this, [this] { logger_->drawTrendTrace(); });
    connect(session, &core::MeterSession::alarmCheckDue, this,
            [this](float snapshot) { alarms_->evaluate(snapshot); });
    connect(session, &core::MeterSession::followedUnitChanged, this,
            [this] { alarms_->clearAlarms(); });
    connect(session, &core::MeterSession::rescaleDue, this,
            [this] { logger_->startRescaleTimer(); });
    connect(session, &core::MeterSession::rateLineChanged, this, &frmMain::setRateLine);
    connect(session, &core::MeterSession::ticked, this, [this] { alarms_->blinkTrippedLabels(); });
    connect(session, &core::MeterSession::displayTextsReplaced, this, &frmMain::setDisplayTexts);
    connect(session, &core::MeterSession::linkLost, this, &frmMain::disableLoggerButton);
    connect(session, &core::MeterSession::wentOffline, this, &frmMain::disableMeterControls);
}

void frmMain::setPrimaryFontSize(int points) {
    if (primaryReading->font().pointSize() == points)
        return;
    QFont font = primaryReading->font();
    font.setPointSize(points);
    primaryReading->setFont(font);
}

void frmMain::showLayout(bool dual) {
    if (dual)
        layout_.ShowDualLayout();
    else
        layout_.ShowSingleLayout();
    applyLayout();
}

void frmMain::setDisplayTexts(const QString& primary, const QString& secondary) {
    primaryReading->setText(primary);
    secondaryReading->setText(secondary);
}

void frmMain::disableLoggerButton() {
    cmdLogger->setPalette(QApplication::palette(cmdLogger));
    cmdLogger->setEnabled(false);
}

void frmMain::disableMeterControls() {
    cmdMeterSettings->setEnabled(false);
    cmdAlarms->setEnabled(false);
    control_->hideWindow();
}

// ---------------------------------------------------------------------------------------------
// Layout and appearance

void frmMain::applyWindowSize() {
    const QSize client(twips_.toPixels(layout_.windowWidth() - FrameWidthTwips),
                       twips_.toPixels(layout_.windowHeight() - FrameHeightTwips));
    setFixedSize(client);
}

void frmMain::applyLayout() {
    applyWindowSize();
    for (const auto& [name, rect] : layout_.controls())
        if (auto* widget = centralWidget()->findChild<QWidget*>(name))
            widget->setGeometry(twips_.toPixels(rect));
    placeRateLine();
    QFont font = secondaryReading->font();
    font.setPointSize(DisplayPoints);
    secondaryReading->setFont(font);
    secondaryReading->setVisible(layout_.label2Visible());
}

void frmMain::placeRateLine() {
    // The rate line's place in twips is only its corner: a desktop font wider than the one it
    // was measured with, or a larger scale, would clip the text, so it takes what its font
    // needs. Nothing lies to its right, and below it there is room for a taller font.
    QRect place = twips_.toPixels(layout_.rect(QStringLiteral("Label3")));
    place.setSize(place.size().expandedTo(rateLine->sizeHint()));
    rateLine->setGeometry(place);
}

void frmMain::applyColours() {
    for (QLabel* display : {primaryReading, secondaryReading}) {
        QPalette palette = display->palette();
        palette.setColor(QPalette::Window, colour::toQColor(appearance_.BackgroundColour()));
        palette.setColor(QPalette::WindowText, colour::toQColor(appearance_.ForegroundColour()));
        display->setPalette(palette);
    }
}

void frmMain::applyMenuChecks() {
    for (const DisplayAppearance::Entry& entry : DisplayAppearance::Entries()) {
        if (auto* item = findChild<QAction*>(QLatin1String(entry.name))) {
            item->setChecked(appearance_.isChecked(entry));
            item->setEnabled(appearance_.isEnabled(entry));
        }
    }
}

void frmMain::NoSameFGBG() {
    appearance_.NoSameFGBG();
    applyColours();
    applyMenuChecks();
}

void frmMain::colour_Click(const QString& entryName) {
    appearance_.choose(entryName);
    applyColours();
    applyMenuChecks();
}

void frmMain::mnuFont_Click() {
    const platform::DialogResult result =
        platform_.dialogs.chooseFontFace(primaryReading->font().family());
    if (result.ok()) {
        QFont primary = primaryReading->font();
        primary.setFamily(result.value);
        primary.setPointSize(DisplayPoints);
        primaryReading->setFont(primary);
        QFont secondary = secondaryReading->font();
        secondary.setFamily(primaryReading->font().family());
        secondary.setPointSize(DisplayPoints);
        secondaryReading->setFont(secondary);
    } else if (!result.cancelled()) {
        showUnexpectedError(result.errorCode);
    }
}

// ---------------------------------------------------------------------------------------------
// Port menu

void frmMain::checkPortItem(int portNo) {
    for (int n = 1; n <= int(mnuCom.size()); ++n)
        mnuCom[n - 1]->setChecked(n == portNo);
}

void frmMain::mnuComm_Click(int portNo) {
    const int code = session_->switchPort(qint16(portNo));
    checkPortItem(portNo);
    if (code != platform::SerialError::None)
        platform_.messages.show(meterlink::PortSwitchErrorText(code, portNo),
                                platform::Buttons::OkOnly, meterlink::PortSwitchErrorTitle,
                                platform::Icon::Exclamation);
}

// ---------------------------------------------------------------------------------------------
// Open and Graph, About, Help

void frmMain::mnuOpen_Click() {
    platform::FileDialogRequest request;
    request.title = maintexts::OpenForGraphTitle;
    request.defaultExt = QStringLiteral(".vtd|");
    request.filter = QStringLiteral("vtd|*.vtd|MDB|*.mdb");
    request.initialPath = session_->state().logger.LogFilePath;
    const platform::DialogResult result = platform_.dialogs.openFile(request);
    if (result.ok()) {
        session_->state().GraphFilePath = result.value;
        session_->stopDisplayCycle();
        primaryReading->setText(maintexts::LoadingText);
        tmrWait->start();
        // Draws the text now; the grapher opens from tmrWait once it is on screen.
        primaryReading->repaint();
    } else if (!result.cancelled()) {
        showUnexpectedError(result.errorCode);
    }
}

void frmMain::tmrWait_Timer() {
    tmrWait->stop();
    // No wait cursor: the read shows its own progress dialog.
    grapher_->loadFromMain(session_->state().GraphFilePath);
    // A file the grapher refused leaves its window closed; the live display then goes on
    // instead of standing at "Loading Data..." until Quit.
    if (!quitting_ && !grapher_->isOpen() && !session_->displayCycleRunning())
        startDisplayCycle();
}

void frmMain::mnuAbout_Click() {
    platform_.messages.show(maintexts::AboutText(), platform::Buttons::OkOnly,
                            maintexts::AboutTitle, platform::Icon::None);
}

void frmMain::mnuContents_Click() {
    platform_.messages.show(maintexts::HelpText(), platform::Buttons::OkOnly, maintexts::HelpTitle,
                            platform::Icon::None);
}

void frmMain::showUnexpectedError(int errorNumber) {
    platform::ShowUnexpectedError(platform_.messages, errorNumber);
}
