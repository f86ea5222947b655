#include "frmLogger.h"
#include "LoggerRules.h"
#include "platform/ButtonFace.h"
#include "platform/UnexpectedError.h"
#include "settings/SettingsStore.h"
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int WindowHeightTwips = 4550;
constexpr int MainShiftTwips = 650;
const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);

} // namespace

frmLogger::frmLogger(core::MeterSession& session, core::LoggingRun& run,
                     platform::Platform& platform, const Twips& twips, const QWidget* mainWindow,
                     QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), shared_(session.state()), platform_(platform),
      twips_(twips), mainWindow_(mainWindow), run_(run) {
    setObjectName(QStringLiteral("frmLogger"));
    setWindowTitle(QStringLiteral("Voltrane Logger - Pri/Sec Display Values"));
    buildControls();

    connect(&run_, &core::LoggingRun::sampleTaken, this, &frmLogger::showSampleCount);
    connect(&run_, &core::LoggingRun::stopped, this, [this](core::LoggingRun::StopReason reason) {
        if (reason == core::LoggingRun::StopReason::WriteFailed)
            runFailed();
    });
    connect(&run_, &core::LoggingRun::timedStopDue, this, &frmLogger::finishTimedRun);

    tmrRealTime = new logger::WindowClock(platform_.clock, QStringLiteral("tmrRealTime"), this);
    connect(tmrRealTime, &logger::WindowClock::ticked, this, &frmLogger::tmrRealTime_Timer);
    tmrReScale = new QTimer(this);
    tmrReScale->setObjectName(QStringLiteral("tmrReScale"));
    tmrReScale->setInterval(1250);
    tmrReScale->setSingleShot(true);
    connect(tmrReScale, &QTimer::timeout, this, &frmLogger::tmrReScale_Timer);
}

frmLogger::~frmLogger() {
    run_.capture().end();
    showRunInMainTitle(false);
}

// ---- Opening and closing ----

void frmLogger::place() {
    const QWidget* mainWindow = mainWindow_;
    const int height = twips_.toPixels(WindowHeightTwips);
    const int shift = twips_.toPixels(MainShiftTwips);
    const QRect mainRect = mainWindow ? mainWindow->frameGeometry() : QRect(0, 0, 640, 480);
    const QScreen* screen =
        mainWindow && mainWindow->screen() ? mainWindow->screen() : QApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 1024;
    int top = shift;
    movedMainDown_ = false;
    if (screenWidth > 1024) {
        top = mainRect.top() - height + shift;
        emit moveMainRequested(-MainShiftTwips);
        movedMainDown_ = true;
    }
    if (top <= 0)
        top = 1;
    move(mainRect.left(), top);
    resize(mainRect.width(), height);
}

void frmLogger::openWindow() {
    if (open_)
        return;
    LoggerRunState& run = shared_.logger;
    place();
    picGraph_->setBackColour(quint32(settings::ReadBackgroundColour()));
    if (!run.LoggingActive) {
        showFreshControls();
        run_.setLogFilePath(settings::ReadLogFilePath());
        txtFilePath->setText(run.LogFilePath);
        txtSampInt->setText(logger::periodText(run.LogIntervalMs));
    } else {
        showSampleCount(run.SampleCount);
    }
    DrawTrendAxes(shared_.display.NewTrendScale);
    session_.setRescalePending(false);
    BlinkPhase = false;
    tmrReScale->stop();
    open_ = true;
    // The window clock runs whenever the window is open: an idle graph rescales too.
    tmrRealTime->start();
    show();
    showRunInMainTitle(false);
    run.LoggerOpen = true;
    txtSampInt->setFocus();
}

void frmLogger::showFreshControls() {
    // What an earlier opening left (its comment, a stopped run's captions) is not carried over.
    txtComment->clear();
    optManual->setChecked(true);
    optManual_Click();
    runStatus->setStyleSheet(QString());
    runStatus->setText(QStringLiteral("Logger Start/Stop Control"));
    cmdStart->setFont(QFont());
    cmdStart->setText(QStringLiteral("Start Logging"));
    platform::SetButtonFace(cmdStop, QColor());
    cmdStop->setEnabled(false);
    mskStartTime->setEnabled(true);
    mskEndTime->setEnabled(true);
    lblSamples->hide();
    lblSampCount->hide();
    lblRescale->hide();
}

void frmLogger::keepClockForState() {
    // The window clock shows the time and the graph's rescales while the window is open, and
    // watches a run (a timed stop) while it goes on with the window closed.
    if (!open_ && !shared_.logger.LoggingActive)
        tmrRealTime->stop();
    else if (!tmrRealTime->isActive())
        tmrRealTime->start();
}

void frmLogger::saveDataFolder() {
    // The folder of the file last logged into or chosen, not a text typed and never used.
    settings::SaveDataFolderOf(shared_.logger.LogFilePath);
}

void frmLogger::returnToMain() {
    if (!open_)
        return;
    // Only the move the opening made is undone, so the main window never creeps upwards.
    if (movedMainDown_)
        emit moveMainRequested(MainShiftTwips);
    movedMainDown_ = false;
    shared_.logger.LoggerOpen = false;
    open_ = false;
    tmrReScale->stop();
    saveDataFolder();
    hide();
    if (shared_.logger.LoggingActive)
        showRunInMainTitle(true);
    keepClockForState();
}

void frmLogger::closeWindow() {
    if (run_.capturing() || run_.active())
        cmdStop_Click();
    tmrRealTime->stop();
    tmrReScale->stop();
    if (open_)
        saveDataFolder();
    open_ = false;
    shared_.logger.LoggerOpen = false;
    closingForQuit_ = true;
    close();
    closingForQuit_ = false;
}

void frmLogger::closeEvent(QCloseEvent* event) {
    // The close box does what Return does; the run, if any, goes on.
    if (!closingForQuit_)
        returnToMain();
    event->accept();
}

// ---- Browse, Start, Stop ----

void frmLogger::cmdBrowse_Click() {
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Select Data File....");
    request.defaultExt = QStringLiteral("vtd");
    request.filter = QStringLiteral("vtd|*.vtd|MDB|*.mdb");
    request.initialPath = shared_.logger.LogFilePath;
    request.mustExist = false; // a run creates its file, so the usual choice is a new name
    const platform::DialogResult result = platform_.dialogs.openFile(request);
    if (result.ok()) {
        run_.setLogFilePath(result.value);
        txtFilePath->setText(result.value);
    } else if (result.status == platform::DialogResult::Status::Failed) {
        platform::ShowUnexpectedError(platform_.messages, result.errorCode);
    }
    unsetCursor();
}

void frmLogger::cmdStart_Click() {
    if (run_.active())
        return;
    const std::optional<QString> path = boxPath();
    if (!path) {
        platform_.messages.show(logger::noLogFileText(txtFilePath->text()),
                                platform::Buttons::OkOnly, logger::FileExistsTitle);
        return;
    }
    txtFilePath->setText(*path);
    tmrRealTime->start();
    // The period is taken corrected, even if the box was not left before Start.
    const QString period = logger::correctedPeriodText(txtSampInt->text());
    if (!run_.open(*path, txtComment->text(), logger::periodIntervalMs(period))) {
        keepClockForState();
        return;
    }
    cmdReturn->setEnabled(false);
    cmdBrowse->setEnabled(false);
    txtSampInt->setText(period);
    showRunControls();
    showSampleCount(0);
    lblSamples->show();
    lblSampCount->show();
    run_.startSampling();
}

void frmLogger::showRunControls() {
    platform::SetButtonFace(cmdStop, Red);
    cmdStop->setEnabled(true);
    // Start keeps its green face, greyed by a darker caption, as the run's sign.
    platform::SetButtonFace(cmdStart, Green);
    cmdStart->setEnabled(false);
}

void frmLogger::cmdStop_Click() {
    run_.stop();
    showIdleControls();
    showRunInMainTitle(false);
}

void frmLogger::showIdleControls() {
    runStatus->setStyleSheet(QStringLiteral("color: black;"));
    runStatus->setText(QStringLiteral("Sampling Control:"));
    mskStartTime->setEnabled(true);
    mskEndTime->setEnabled(true);
    cmdReturn->setEnabled(true);
    cmdBrowse->setEnabled(true);
    QFont font;
    font.setPointSize(10);
    cmdStart->setFont(font);
    cmdStart->setText(QStringLiteral("Start Logging"));
    platform::SetButtonFace(cmdStart, Green);
    cmdStart->setEnabled(true);
    platform::SetButtonFace(cmdStop, QColor());
    cmdStop->setEnabled(false);
    lblSamples->hide();
    lblSampCount->hide();
}

void frmLogger::runFailed() {
    showIdleControls();
    showRunInMainTitle(false);
}

void frmLogger::showSampleCount(int count) {
    lblSampCount->setText(QString::number(count));
    if (!open_ && shared_.logger.LoggingActive)
        showRunInMainTitle(true);
}

void frmLogger::showRunInMainTitle(bool show) {
    if (show) {
        runInTitle_ = true;
        emit runTitleChanged(QStringLiteral(" - Logging: ") +
                             QString::number(shared_.logger.SampleCount) +
                             QStringLiteral(" samples"));
    } else if (runInTitle_) {
        runInTitle_ = false;
        emit runTitleChanged(QString());
    }
}

// ---- Modes and the window clock ----

void frmLogger::hideTimedControls() {
    lblStart->hide();
    lblStop->hide();
    lblReal->hide();
    for (QLineEdit* box : {mskStartTime, mskEndTime}) {
        box->setInputMask(QString());
        box->clear();
        box->hide();
    }
    lblRealTime->hide();
}

void frmLogger::optManual_Click() {
    optManual->setChecked(true);
    platform::SetButtonFace(cmdStart, Green);
    cmdStart->setEnabled(!shared_.logger.LoggingActive);
    cmdStop->setEnabled(true);
    hideTimedControls();
    keepClockForState();
}

void frmLogger::optTimer_Click() {
    optTimer->setChecked(true);
    tmrRealTime->start();
    const QString path = boxPath().value_or(shared_.logger.LogFilePath);
    if (QFileInfo::exists(path)) {
        platform_.messages.show(logger::fileExistsText(path), platform::Buttons::OkOnly,
                                logger::FileExistsTitle);
        optManual_Click();
        platform::SetButtonFace(cmdStart, Green);
        cmdStart->setEnabled(true);
        cmdStop->setEnabled(true);
        hideTimedControls();
        return;
    }
    platform::SetButtonFace(cmdStart, QColor());
    cmdStart->setEnabled(false);
    cmdStop->setEnabled(false);
    lblStart->show();
    lblStop->show();
    lblReal->show();
    const QString now = logger::timeBoxText(platform_.clock.now().time());
    for (QLineEdit* box : {mskStartTime, mskEndTime}) {
        box->setInputMask(logger::TimeBoxMask);
        box->setText(now);
        box->show();
    }
    lblRealTime->setText(now);
    lblRealTime->show();
    run_.restartClockAt(platform_.clock.now().time());
    timesToRun();
}

std::optional<QString> frmLogger::boxPath() const {
    return logger::logPathFromBox(txtFilePath->text(), shared_.logger.LogFilePath);
}

void frmLogger::resetTimeBox(QLineEdit* box) {
    box->setInputMask(QString());
    box->clear();
    box->setInputMask(logger::TimeBoxMask);
    box->show();
}

void frmLogger::tmrRealTime_Timer() {
    LoggerRunState& run = shared_.logger;
    DisplayShared& display = shared_.display;
    // A fresh reading: the display cycle's clock text may still show the second before.
    const QTime now = platform_.clock.now().time();
    lblRealTime->setText(logger::timeBoxText(now));
    BlinkPhase = !BlinkPhase;
    timesToRun();
    const logger::TimedStep step = run_.clockTicked(now);

    if (optTimer->isChecked()) {
        const QString S = mskStartTime->text();
        const QString E = mskEndTime->text();
        if (S != E && logger::IsTimeOfDay(S) && logger::IsTimeOfDay(E) && !run.LoggingActive) {
            QFont font;
            font.setPointSize(10);
            cmdStart->setFont(font);
            platform::SetButtonFace(cmdStart, Green);
            cmdStart->setText(QStringLiteral("Timed Start Pending!"));
            cmdStart->setEnabled(true);
        } else {
            cmdStart->setEnabled(false);
        }
        if (step == logger::TimedStep::Start) {
            cmdStart_Click();
            if (run.LoggingActive) {
                mskStartTime->setEnabled(false);
                mskEndTime->setEnabled(false);
                cmdStart->setText(QStringLiteral("In Progress!"));
                platform::SetButtonFace(cmdStart, QColor());
                cmdStart->setEnabled(false);
            }
        } else if (step == logger::TimedStep::Stop) {
            finishTimedRun();
        }
    }

    runStatus->setStyleSheet(QStringLiteral("color: black;"));
    if (!run.LoggingActive)
        runStatus->setText(QStringLiteral("Logger Start/Stop Control"));
    else
        runStatus->setText(BlinkPhase ? QStringLiteral("Sampling in Progress!") : QString());

    if (!open_)
        return; // the graph is not shown; the display cycle does not draw it either
    if (lblType->text() != display.TrendUnits) {
        lblType->setText(display.TrendUnits);
        session_.setRescalePending(true);
    }
    if (display.RescalePending) {
        DrawTrendAxes(display.NewTrendScale);
        lblRescale->show();
        session_.setRescalePending(false);
    } else {
        lblRescale->hide();
    }
    if (!shared_.reading.DualDisplay) {
        display.TrendTrace = 1;
        display.TrendColour = logger::PrimaryTraceColour;
        traceName->clear();
    }
}

void frmLogger::finishTimedRun() {
    LoggerRunState& run = shared_.logger;
    platform::SetButtonFace(cmdStop, Red);
    cmdStop->setEnabled(true);
    cmdStop_Click();
    optManual_Click();
    platform::SetButtonFace(cmdStop, QColor());
    cmdStop->setEnabled(false);
    platform_.messages.show(logger::completionText(run.LogFilePath, run.SampleCount),
                            platform::Buttons::OkOnly, logger::ApplicationTitle);
}

void frmLogger::timesToRun() {
    if (optTimer->isChecked())
        run_.setTimes(std::pair{mskStartTime->text(), mskEndTime->text()});
    else
        run_.setTimes(std::nullopt);
}

// ---- Period and comment boxes ----

void frmLogger::periodBoxLeft() {
    txtSampInt->setText(logger::correctedPeriodText(txtSampInt->text()));
    run_.setInterval(logger::periodIntervalMs(txtSampInt->text()));
}

void frmLogger::commentChanged() {
    if (txtComment->text().size() <= logger::CommentMaxLength)
        return;
    txtComment->setText(txtComment->text().left(logger::CommentMaxLength));
    platform_.messages.show(QStringLiteral("Comment Too Long!"), platform::Buttons::OkOnly,
                            logger::ApplicationTitle);
}

// ---- About and Help ----

void frmLogger::mnuAbout_Click() {
    platform_.messages.show(logger::aboutText(), platform::Buttons::OkOnly, logger::AboutTitle);
}

void frmLogger::mnuContents_Click() {
    platform_.messages.show(logger::helpText(), platform::Buttons::OkOnly, logger::HelpTitle);
}
