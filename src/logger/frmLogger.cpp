#include "frmLogger.h"
#include "CreateLogDatabase.h"
#include "LoggerRules.h"
#include "platform/ButtonFace.h"
#include "platform/UnexpectedError.h"
#include "settings/SettingsStore.h"
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int WindowHeightTwips = 4550;
constexpr int MainShiftTwips = 650;
const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QString Blue = QStringLiteral("color: rgb(0, 0, 255);");

template <typename T> T* named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QLabel* label(const QString& text, const QString& name = QString()) {
    auto* l = new QLabel(text);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
}

} // namespace

frmLogger::frmLogger(MainWindowApi& main, platform::Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), main_(main), platform_(platform),
      readingSource_(main.shared().reading, main.shared().link),
      // Cancel on a creation error ends the program through the whole Quit, once this handler
      // has returned, so the settings are saved and every window closes in its order.
      endProgram_(
          [&main] { QTimer::singleShot(0, main.mainWidget(), [&main] { main.quitProgram(); }); }) {
    setObjectName(QStringLiteral("frmLogger"));
    setWindowTitle(QStringLiteral("Voltrane Logger - Pri/Sec Display Values"));
    buildControls();

    capture_ = new logger::SampleCapture(readingSource_, main_.shared().logger, main_.logClock(),
                                         platform_.clock, platform_.messages, this);
    connect(capture_, &logger::SampleCapture::sampleWritten, this, &frmLogger::showSampleCount);
    connect(capture_, &logger::SampleCapture::runFailed, this, &frmLogger::runFailed);

    tmrRealTime = named(new QTimer(this), QStringLiteral("tmrRealTime"));
    tmrRealTime->setInterval(1000);
    connect(tmrRealTime, &QTimer::timeout, this, &frmLogger::tmrRealTime_Timer);
    tmrReScale = named(new QTimer(this), QStringLiteral("tmrReScale"));
    tmrReScale->setInterval(1250);
    tmrReScale->setSingleShot(true);
    connect(tmrReScale, &QTimer::timeout, this, &frmLogger::tmrReScale_Timer);
}

frmLogger::~frmLogger() {
    capture_->end();
    showRunInMainTitle(false);
}

void frmLogger::buildControls() {
    auto* menus = new QMenuBar(this);
    QMenu* file = menus->addMenu(QStringLiteral("&File"));
    mnuReturn = file->addAction(QStringLiteral("&Return"));
    mnuReturn->setObjectName(QStringLiteral("mnuReturn"));
    connect(mnuReturn, &QAction::triggered, this, &frmLogger::returnToMain);
    QMenu* help = menus->addMenu(QStringLiteral("&Help"));
    QAction* contents = help->addAction(QStringLiteral("Contents"));
    contents->setObjectName(QStringLiteral("mnuContents"));
    connect(contents, &QAction::triggered, this, &frmLogger::mnuContents_Click);
    QAction* about = help->addAction(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    connect(about, &QAction::triggered, this, &frmLogger::mnuAbout_Click);

    txtFilePath = named(new QLineEdit, QStringLiteral("txtFilePath"));
    txtFilePath->setToolTip(QStringLiteral("The logging file, in the program folder unless another "
                                           "is chosen"));
    cmdBrowse = named(new QPushButton(QStringLiteral("Browse")), QStringLiteral("cmdBrowse"));
    cmdBrowse->setToolTip(QStringLiteral("Select .vtd  File for Logging"));
    txtSampInt = named(new QLineEdit, QStringLiteral("txtSampInt"));
    txtSampInt->setToolTip(QStringLiteral("Log Sample Rate, 1/2 Second Minimum, 1 Minute Maximum"));
    txtComment = named(new QLineEdit, QStringLiteral("txtComment"));
    optManual = named(new QRadioButton(QStringLiteral("Manual")), QStringLiteral("optManual"));
    optManual->setToolTip(QStringLiteral("Start and Stop Logging Manually"));
    optTimer = named(new QRadioButton(QStringLiteral("Timed")), QStringLiteral("optTimer"));
    optTimer->setToolTip(QStringLiteral("Setup Times to Start and Stop Logging"));
    mskStartTime = named(new QLineEdit, QStringLiteral("mskStartTime"));
    mskEndTime = named(new QLineEdit, QStringLiteral("mskEndTime"));
    lblStart = label(QStringLiteral("Start:"), QStringLiteral("lblStart"));
    lblStop = label(QStringLiteral("Stop:"), QStringLiteral("lblStop"));
    lblReal = label(QStringLiteral("Real:"), QStringLiteral("lblReal"));
    lblRealTime = label(QString(), QStringLiteral("lblRealTime"));
    cmdStart = named(new QPushButton(QStringLiteral("Start Logging")), QStringLiteral("cmdStart"));
    cmdStart->setToolTip(QStringLiteral("Begin Logging Manually"));
    cmdStop = named(new QPushButton(QStringLiteral("Stop Logging")), QStringLiteral("cmdStop"));
    cmdStop->setToolTip(QStringLiteral("Stop Manual or Timed Logging"));
    cmdReturn = named(new QPushButton(QStringLiteral("&Return")), QStringLiteral("cmdReturn"));
    cmdReturn->setToolTip(QStringLiteral("Close Logger Window and Return to the Main Window"));
    lblSamples = label(QStringLiteral("Samples"), QStringLiteral("lblSamples"));
    lblSampCount = label(QString(), QStringLiteral("lblSampCount"));
    Label5 = label(QStringLiteral("Logger Start/Stop Control"), QStringLiteral("Label5"));
    for (QLabel* blue : {lblRealTime, lblReal, lblSamples, lblSampCount})
        blue->setStyleSheet(Blue);

    const QString graphTip = QStringLiteral("Click to toggle between Primary and Secondary");
    lblType = label(QString(), QStringLiteral("lblType"));
    lblType->setToolTip(graphTip);
    Label12 = label(QString(), QStringLiteral("Label12"));
    lblRescale = label(QStringLiteral("RESCALE"), QStringLiteral("lblRescale"));
    lblRescale->setStyleSheet(Blue);
    lblRescale->hide();
    const QStringList axisNames = {"lblMax", "lblMidHigh", "lblMid", "lblMidLow", "lblMin"};
    for (int i = 0; i < 5; ++i) {
        axisLabels[size_t(i)] = label(QString(), axisNames[i]);
        axisLabels[size_t(i)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    picGraph_ = named(new platform::PictureBox, QStringLiteral("picGraph"));
    picGraph_->setToolTip(graphTip);
    picGraph_->setMinimumSize(240, 100);

    auto* grid = new QGridLayout;
    grid->addWidget(label(QStringLiteral("Data File:")), 0, 0);
    grid->addWidget(txtFilePath, 0, 1, 1, 3);
    grid->addWidget(cmdBrowse, 0, 4);
    grid->addWidget(label(QStringLiteral("Logging Period (.25-60 seconds)    :")), 1, 0, 1, 2);
    grid->addWidget(txtSampInt, 1, 2);
    grid->addWidget(label(QStringLiteral("seconds")), 1, 3);
    grid->addWidget(label(QStringLiteral("Comment:")), 2, 0);
    grid->addWidget(txtComment, 2, 1, 1, 4);

    auto* control = new QFrame;
    control->setFrameShape(QFrame::StyledPanel);
    auto* controlGrid = new QGridLayout(control);
    controlGrid->addWidget(Label5, 0, 0, 1, 4);
    controlGrid->addWidget(optManual, 1, 0);
    controlGrid->addWidget(optTimer, 1, 1);
    controlGrid->addWidget(lblStart, 2, 0);
    controlGrid->addWidget(mskStartTime, 2, 1);
    controlGrid->addWidget(lblStop, 2, 2);
    controlGrid->addWidget(mskEndTime, 2, 3);
    controlGrid->addWidget(lblReal, 3, 0);
    controlGrid->addWidget(lblRealTime, 3, 1);
    controlGrid->addWidget(lblSamples, 3, 2);
    controlGrid->addWidget(lblSampCount, 3, 3);
    controlGrid->addWidget(cmdStart, 4, 0, 1, 2);
    controlGrid->addWidget(cmdStop, 4, 2, 1, 2);

    auto* graphHeader = new QHBoxLayout;
    graphHeader->addWidget(lblType);
    graphHeader->addWidget(Label12);
    graphHeader->addWidget(lblRescale);
    auto* axis = new QVBoxLayout;
    for (QLabel* l : axisLabels) {
        axis->addWidget(l);
        axis->addStretch();
    }
    auto* graphRow = new QHBoxLayout;
    graphRow->addLayout(axis);
    graphRow->addWidget(picGraph_, 1);
    auto* graph = new QVBoxLayout;
    graph->addLayout(graphHeader);
    graph->addLayout(graphRow, 1);

    auto* lower = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(control);
    left->addWidget(cmdReturn);
    lower->addLayout(left);
    lower->addLayout(graph, 1);

    auto* all = new QVBoxLayout(this);
    all->setMenuBar(menus);
    auto* separator = new QFrame;
    separator->setFrameShape(QFrame::HLine);
    all->addWidget(separator);
    all->addLayout(grid);
    all->addLayout(lower, 1);

    connect(cmdBrowse, &QPushButton::clicked, this, &frmLogger::cmdBrowse_Click);
    connect(cmdStart, &QPushButton::clicked, this, &frmLogger::cmdStart_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmLogger::cmdStop_Click);
    connect(cmdReturn, &QPushButton::clicked, this, &frmLogger::returnToMain);
    connect(optManual, &QRadioButton::clicked, this, &frmLogger::optManual_Click);
    connect(optTimer, &QRadioButton::clicked, this, &frmLogger::optTimer_Click);
    connect(txtSampInt, &QLineEdit::returnPressed, txtComment, [this] { txtComment->setFocus(); });
    connect(txtComment, &QLineEdit::textChanged, this, &frmLogger::commentChanged);
    connect(picGraph_, &platform::PictureBox::mouseDown, this,
            [this](Qt::MouseButton, double, double) { toggleTrace(false); });
    connect(picGraph_, &platform::PictureBox::surfaceResized, this, &frmLogger::redrawForNewSize);
    txtSampInt->installEventFilter(this);
    lblType->installEventFilter(this);
    mskStartTime->installEventFilter(this);
    mskEndTime->installEventFilter(this);
}

bool frmLogger::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtSampInt && event->type() == QEvent::FocusIn) {
        // After the focus change is complete, or the click that gave focus drops the selection.
        QTimer::singleShot(0, txtSampInt, [box = txtSampInt] { box->selectAll(); });
    } else if (watched == txtSampInt && event->type() == QEvent::FocusOut) {
        periodBoxLeft();
    } else if (watched == lblType && event->type() == QEvent::MouseButtonPress) {
        toggleTrace(true);
    } else if ((watched == mskStartTime || watched == mskEndTime) &&
               event->type() == QEvent::MouseButtonDblClick) {
        resetTimeBox(static_cast<QLineEdit*>(watched));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Opening and closing ----

void frmLogger::place() {
    QWidget* mainWindow = main_.mainWidget();
    const int height = main_.twips().toPixels(WindowHeightTwips);
    const int shift = main_.twips().toPixels(MainShiftTwips);
    const QRect mainRect = mainWindow ? mainWindow->frameGeometry() : QRect(0, 0, 640, 480);
    const QScreen* screen =
        mainWindow && mainWindow->screen() ? mainWindow->screen() : QApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 1024;
    int top = shift;
    movedMainDown_ = false;
    if (screenWidth > 1024) {
        top = mainRect.top() - height + shift;
        main_.moveUp(-MainShiftTwips);
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
    LoggerRunState& run = main_.shared().logger;
    place();
    picGraph_->setBackColour(quint32(settings::ReadBackgroundColour()));
    if (!run.LoggingActive) {
        showFreshControls();
        run.LogFilePath = settings::ReadLogFilePath();
        txtFilePath->setText(run.LogFilePath);
        txtSampInt->setText(logger::periodText(run.LogIntervalMs));
    } else {
        showSampleCount(run.SampleCount);
    }
    DrawTrendAxes(main_.shared().display.NewTrendScale);
    main_.shared().display.RescalePending = false;
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
    Label5->setStyleSheet(QString());
    Label5->setText(QStringLiteral("Logger Start/Stop Control"));
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
    if (!open_ && !main_.shared().logger.LoggingActive)
        tmrRealTime->stop();
    else if (!tmrRealTime->isActive())
        tmrRealTime->start();
}

void frmLogger::saveDataFolder() {
    settings::SaveDataFolderOf(txtFilePath->text());
}

void frmLogger::returnToMain() {
    if (!open_)
        return;
    // Only the move the opening made is undone, so the main window never creeps upwards.
    if (movedMainDown_)
        main_.moveUp(MainShiftTwips);
    movedMainDown_ = false;
    main_.shared().logger.LoggerOpen = false;
    open_ = false;
    tmrReScale->stop();
    saveDataFolder();
    hide();
    if (main_.shared().logger.LoggingActive)
        showRunInMainTitle(true);
    keepClockForState();
}

void frmLogger::closeWindow() {
    if (capture_->capturing() || main_.shared().logger.LoggingActive)
        cmdStop_Click();
    tmrRealTime->stop();
    tmrReScale->stop();
    if (open_)
        saveDataFolder();
    open_ = false;
    main_.shared().logger.LoggerOpen = false;
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
    request.initialPath = main_.shared().logger.LogFilePath;
    request.mustExist = false; // a run creates its file, so the usual choice is a new name
    const platform::DialogResult result = platform_.dialogs.openFile(request);
    if (result.ok()) {
        main_.shared().logger.LogFilePath = result.value;
        txtFilePath->setText(result.value);
    } else if (result.status == platform::DialogResult::Status::Failed) {
        platform::ShowUnexpectedError(platform_.messages, result.errorCode);
    }
    unsetCursor();
}

void frmLogger::cmdStart_Click() {
    LoggerRunState& run = main_.shared().logger;
    if (run.LoggingActive)
        return;
    tmrRealTime->start();
    run.LogFileError = false;
    run.LoggingActive = true;
    const logfile::RunInfo info{logfile::infoDateText(platform_.clock.now().date()),
                                txtComment->text().left(logger::CommentMaxLength)};
    std::optional<db::Connection> file =
        logger::CreateLogDatabase(run, platform_.messages, run.LogFilePath, info, endProgram_);
    if (run.LogFileError || !file) {
        run.LogFileError = true;
        run.LoggingActive = false;
        keepClockForState();
        return;
    }
    cmdReturn->setEnabled(false);
    cmdBrowse->setEnabled(false);
    // The period is taken corrected, even if the box was not left before Start.
    txtSampInt->setText(logger::correctedPeriodText(txtSampInt->text()));
    run.LogIntervalMs = logger::periodIntervalMs(txtSampInt->text());
    capture_->begin(std::move(*file));
    showRunControls();
    showSampleCount(0);
    lblSamples->show();
    lblSampCount->show();
    if (!capture_->GetRowofData())
        return; // the run has been stopped and the user told
    capture_->startClock();
}

void frmLogger::showRunControls() {
    platform::SetButtonFace(cmdStop, Red);
    cmdStop->setEnabled(true);
    platform::SetButtonFace(cmdStart, QColor());
    cmdStart->setEnabled(false);
}

void frmLogger::cmdStop_Click() {
    LoggerRunState& run = main_.shared().logger;
    run.LoggingActive = false;
    capture_->end();
    showIdleControls();
    showRunInMainTitle(false);
}

void frmLogger::showIdleControls() {
    Label5->setStyleSheet(QStringLiteral("color: black;"));
    Label5->setText(QStringLiteral("Sampling Control:"));
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
    if (!open_ && main_.shared().logger.LoggingActive)
        showRunInMainTitle(true);
}

void frmLogger::showRunInMainTitle(bool show) {
    QWidget* mainWindow = main_.mainWidget();
    if (!mainWindow)
        return;
    if (show) {
        if (mainTitle_.isNull())
            mainTitle_ = mainWindow->windowTitle();
        mainWindow->setWindowTitle(mainTitle_ + QStringLiteral(" - Logging: ") +
                                   QString::number(main_.shared().logger.SampleCount) +
                                   QStringLiteral(" samples"));
    } else if (!mainTitle_.isNull()) {
        mainWindow->setWindowTitle(mainTitle_);
        mainTitle_ = QString();
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
    cmdStart->setEnabled(!main_.shared().logger.LoggingActive);
    cmdStop->setEnabled(true);
    hideTimedControls();
    keepClockForState();
}

void frmLogger::optTimer_Click() {
    optTimer->setChecked(true);
    tmrRealTime->start();
    LoggerRunState& run = main_.shared().logger;
    if (QFileInfo::exists(run.LogFilePath)) {
        platform_.messages.show(logger::fileExistsText(run.LogFilePath), platform::Buttons::OkOnly,
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
    lblRealTime->setText(main_.shared().display.TimeText);
    lblRealTime->show();
    lastTick_ =
        logger::timeOfDay(main_.shared().display.TimeText).value_or(platform_.clock.now().time());
}

void frmLogger::resetTimeBox(QLineEdit* box) {
    box->setInputMask(QString());
    box->clear();
    box->setInputMask(logger::TimeBoxMask);
    box->show();
}

void frmLogger::tmrRealTime_Timer() {
    LoggerRunState& run = main_.shared().logger;
    DisplayShared& display = main_.shared().display;
    const QString T = display.TimeText;
    lblRealTime->setText(T);
    BlinkPhase = !BlinkPhase;

    // A tick that comes late (a message box held the thread) still starts or stops the run at
    // a time it skipped over.
    const std::optional<QTime> now = logger::timeOfDay(T);
    const QTime previous = lastTick_.isValid() ? lastTick_ : now.value_or(QTime());
    if (now)
        lastTick_ = *now;
    auto reached = [&](const QString& boxText) {
        if (T == boxText)
            return true;
        const std::optional<QTime> target = logger::timeOfDay(boxText);
        return now && target && previous.isValid() && logger::timeReached(*target, previous, *now);
    };

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
        if (S != E && logger::IsTimeOfDay(S) && reached(S) && !run.LoggingActive) {
            cmdStart_Click();
            if (run.LoggingActive) {
                mskStartTime->setEnabled(false);
                mskEndTime->setEnabled(false);
                cmdStart->setText(QStringLiteral("In Progress!"));
                platform::SetButtonFace(cmdStart, QColor());
                cmdStart->setEnabled(false);
            }
        } else if (logger::IsTimeOfDay(E) && reached(E) && run.LoggingActive) {
            platform::SetButtonFace(cmdStop, Red);
            cmdStop->setEnabled(true);
            cmdStop_Click();
            optManual_Click();
            platform::SetButtonFace(cmdStop, QColor());
            cmdStop->setEnabled(false);
            platform_.messages.show(logger::completionText(run.LogFilePath, run.SampleCount),
                                    platform::Buttons::OkOnly, logger::ApplicationTitle);
        }
    }

    Label5->setStyleSheet(QStringLiteral("color: black;"));
    if (!run.LoggingActive)
        Label5->setText(QStringLiteral("Logger Start/Stop Control"));
    else
        Label5->setText(BlinkPhase ? QStringLiteral("Sampling in Progress!") : QString());

    if (!open_)
        return; // the graph is not shown; the display cycle does not draw it either
    if (lblType->text() != display.TrendUnits) {
        lblType->setText(display.TrendUnits);
        display.RescalePending = true;
    }
    if (display.RescalePending) {
        DrawTrendAxes(display.NewTrendScale);
        lblRescale->show();
        display.RescalePending = false;
    } else {
        lblRescale->hide();
    }
    if (!main_.shared().reading.DualDisplay) {
        display.TrendTrace = 1;
        display.TrendColour = logger::PrimaryTraceColour;
        Label12->clear();
    }
}

// ---- Period and comment boxes ----

void frmLogger::periodBoxLeft() {
    txtSampInt->setText(logger::correctedPeriodText(txtSampInt->text()));
    if (!main_.shared().logger.LoggingActive)
        main_.shared().logger.LogIntervalMs = logger::periodIntervalMs(txtSampInt->text());
}

void frmLogger::commentChanged() {
    if (txtComment->text().size() <= logger::CommentMaxLength)
        return;
    txtComment->setText(txtComment->text().left(logger::CommentMaxLength));
    platform_.messages.show(QStringLiteral("Comment Too Long!"), platform::Buttons::OkOnly,
                            logger::ApplicationTitle);
}

// ---- Trend graph ----

platform::PictureBox* frmLogger::picGraph() {
    return picGraph_;
}

void frmLogger::startRescaleTimer() {
    if (open_)
        tmrReScale->start();
}

void frmLogger::drawTrendTrace() {
    if (picGraph_)
        logger::DrawTrendTrace(*picGraph_, main_.shared().display);
}

void frmLogger::redrawForNewSize() {
    // The grid lies at fixed fractions of the surface: the same axes again at the new size.
    DisplayShared& display = main_.shared().display;
    logger::DrawTrendAxes(*picGraph_, display.TrendScale, axesUnits_, display.TrendScale);
    drawTrendTrace();
}

void frmLogger::DrawTrendAxes(float scale) {
    DisplayShared& display = main_.shared().display;
    axesUnits_ = display.TrendUnits;
    const logger::TrendLabels labels =
        logger::DrawTrendAxes(*picGraph_, scale, display.TrendUnits, display.TrendScale);
    for (size_t i = 0; i < labels.size(); ++i)
        axisLabels[i]->setText(labels[i]);
    lblType->setText(display.TrendUnits.startsWith(QLatin1String("No")) ? QStringLiteral("No Comm")
                                                                        : display.TrendUnits);
}

void frmLogger::toggleTrace(bool fromTypeLabel) {
    SharedState& shared = main_.shared();
    if (fromTypeLabel)
        shared.link.NoReplyCount = 0;
    if (shared.reading.DualDisplay && shared.display.TrendTrace == 1) {
        shared.display.TrendTrace = 2;
        shared.display.TrendColour = logger::SecondaryTraceColour;
        Label12->setText(QStringLiteral("Secondary"));
    } else if (shared.reading.DualDisplay) {
        shared.display.TrendTrace = 1;
        shared.display.TrendColour = logger::PrimaryTraceColour;
        Label12->setText(QStringLiteral("Primary"));
    } else {
        shared.display.TrendTrace = 1;
        shared.display.TrendColour = logger::PrimaryTraceColour;
        Label12->clear();
    }
    logger::ClearTrendHistory(shared.display);
    main_.ResetMaxMin();
    DrawTrendAxes(shared.display.NewTrendScale);
    tmrReScale->start();
    if (fromTypeLabel)
        shared.link.NoReplyCount = 0;
}

void frmLogger::tmrReScale_Timer() {
    SharedState& shared = main_.shared();
    shared.link.NoReplyCount = 0;
    logger::ClearTrendHistory(shared.display);
    main_.ResetMaxMin();
    DrawTrendAxes(shared.display.NewTrendScale);
    tmrReScale->stop();
    shared.link.NoReplyCount = 0;
}

// ---- About and Help ----

void frmLogger::mnuAbout_Click() {
    platform_.messages.show(logger::aboutText(), platform::Buttons::OkOnly, logger::AboutTitle);
}

void frmLogger::mnuContents_Click() {
    platform_.messages.show(logger::helpText(), platform::Buttons::OkOnly, logger::HelpTitle);
}
