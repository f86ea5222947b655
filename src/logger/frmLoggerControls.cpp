#include "frmLogger.h"
#include "platform/PictureBox.h"
#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

// The logger window's controls and their layout, built once with the window.

namespace {

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
    runStatus = label(QStringLiteral("Logger Start/Stop Control"), QStringLiteral("Label5"));
    for (QLabel* blue : {lblRealTime, lblReal, lblSamples, lblSampCount})
        blue->setStyleSheet(Blue);

    const QString graphTip = QStringLiteral("Click to toggle between Primary and Secondary");
    lblType = label(QString(), QStringLiteral("lblType"));
    lblType->setToolTip(graphTip);
    traceName = label(QString(), QStringLiteral("Label12"));
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
    controlGrid->addWidget(runStatus, 0, 0, 1, 4);
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
    graphHeader->addWidget(traceName);
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
    connect(optTimer, &QRadioButton::toggled, this, &frmLogger::timesToRun);
    for (QLineEdit* box : {mskStartTime, mskEndTime})
        connect(box, &QLineEdit::textChanged, this, &frmLogger::timesToRun);
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
