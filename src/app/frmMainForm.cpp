#include "PortAssignDialog.h"
#include "control/frmControl.h"
#include "display/AlarmPanel.h"
#include "frmMain.h"
#include "logger/frmLogger.h"
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

// The main window's widgets, menus and timers, and what their signals start.

namespace {

// Buttons, threshold boxes and alarm labels.
constexpr double ControlPoints = 9;

QFont controlFont() {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(ControlPoints);
    font.setBold(true);
    return font;
}

} // namespace

void frmMain::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralArea"));
    setCentralWidget(central);

    auto label = [central](const char* name) {
        auto* widget = new QLabel(central);
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    auto button = [central](const char* name, const char* caption, const char* tip) {
        auto* widget = new QPushButton(QString::fromLatin1(caption), central);
        widget->setObjectName(QLatin1String(name));
        widget->setToolTip(QString::fromLatin1(tip));
        widget->setFont(controlFont());
        return widget;
    };

    primaryReading = label("Label1");
    secondaryReading = label("Label2");
    rateLine = label("Label3");
    for (QLabel* display : {primaryReading, secondaryReading}) {
        display->setAlignment(Qt::AlignCenter);
        display->setAutoFillBackground(true);
    }
    secondaryReading->hide();

    cmdLogger = button("cmdLogger", "&Log Magnitude(s)",
                       "Start Logging Data to the Screen or to a File, Analyze Logged Data");
    cmdLogger->setEnabled(false);
    cmdMeterSettings =
        button("cmdMeterSettings", "Meter Control", "Set the Meter's Function and Reading Rate");
    cmdAlarms = button("cmdAlarms", "&Alarms", "Show or Hide the Hi/Lo Alarm Thresholds");
    cmdQuit = button("cmdQuit", "&Quit", "Exit the Program");

    lblHiThresh = label("lblHiThresh");
    lblLoThresh = label("lblLoThresh");
    for (QLabel* alarmLabel : {lblHiThresh, lblLoThresh}) {
        alarmLabel->setFont(controlFont());
        alarmLabel->hide();
    }
    txtHiAlarm = new QLineEdit(central);
    txtHiAlarm->setObjectName(QStringLiteral("txtHiAlarm"));
    txtLowAlarm = new QLineEdit(central);
    txtLowAlarm->setObjectName(QStringLiteral("txtLowAlarm"));
    for (QLineEdit* box : {txtHiAlarm, txtLowAlarm}) {
        box->setFont(controlFont());
        box->hide();
    }
    chkHiSet = new QCheckBox(central);
    chkHiSet->setObjectName(QStringLiteral("chkHiSet"));
    chkLoSet = new QCheckBox(central);
    chkLoSet->setObjectName(QStringLiteral("chkLoSet"));
    for (QCheckBox* arm : {chkHiSet, chkLoSet}) {
        arm->setEnabled(false);
        arm->hide();
    }

    separatorLine = new QFrame(central);
    separatorLine->setObjectName(QStringLiteral("Line1"));
    separatorLine->setFrameShape(QFrame::NoFrame);
    separatorLine->setAutoFillBackground(true);

    connect(cmdLogger, &QPushButton::clicked, this, [this] { logger_->openWindow(); });
    connect(cmdMeterSettings, &QPushButton::clicked, this, [this] { control_->openWindow(); });
    connect(cmdQuit, &QPushButton::clicked, this, &frmMain::quitProgram);
}

void frmMain::buildMenus() {
    auto action = [this](QMenu* menu, const char* name, const char* caption) {
        auto* entry = menu->addAction(QString::fromLatin1(caption));
        entry->setObjectName(QLatin1String(name));
        return entry;
    };
    auto submenu = [](QMenu* parent, const char* name, const char* caption) {
        auto* menu = parent->addMenu(QString::fromLatin1(caption));
        menu->setObjectName(QLatin1String(name));
        return menu;
    };

    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    connect(action(mnuFile, "mnuLogger", "Logger"), &QAction::triggered, this,
            [this] { logger_->openWindow(); });
    mnuOpen = action(mnuFile, "mnuOpen", "&Open and Graph Logged Data");
    connect(mnuOpen, &QAction::triggered, this, &frmMain::mnuOpen_Click);
    connect(action(mnuFile, "mnuExit", "Exit"), &QAction::triggered, this, &frmMain::quitProgram);

    QMenu* Edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    Edit->setObjectName(QStringLiteral("Edit"));
    QMenu* mnuComm = submenu(Edit, "mnuComm", "&RS-232");
    for (int n = 1; n <= 8; ++n) {
        QAction* item = mnuComm->addAction(QStringLiteral("Com%1").arg(n));
        item->setObjectName(QStringLiteral("mnuCom%1").arg(n));
        item->setCheckable(true);
        item->setEnabled(false);
        connect(item, &QAction::triggered, this, [this, n] { mnuComm_Click(n); });
        mnuCom[n - 1] = item;
    }
    // What each number stands for, and assigning devices to them (probed again after OK).
    AttachPortAssignment(mnuComm, this,
                         [this, mnuComm] { ReprobePortMenu(mnuComm, platform_.serial); });
    connect(action(Edit, "mnuFont", "Font"), &QAction::triggered, this, &frmMain::mnuFont_Click);
    QMenu* mnuColor = submenu(Edit, "mnuColor", "&Colors");
    QMenu* mnuBackground = submenu(mnuColor, "mnuBackground", "Background");
    QMenu* mnuForeground = submenu(mnuColor, "mnuForeground", "Foreground");
    for (const DisplayAppearance::Entry& entry : DisplayAppearance::Entries()) {
        QAction* item =
            action(entry.background ? mnuBackground : mnuForeground, entry.name, entry.caption);
        item->setCheckable(true);
        const QString name = QLatin1String(entry.name);
        connect(item, &QAction::triggered, this, [this, name] { colour_Click(name); });
    }
    connect(action(Edit, "mnuAlarm", "&Alarm Sound"), &QAction::triggered, this,
            [this] { alarms_->chooseSoundFile(); });

    QMenu* mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    connect(action(mnuHelp, "mnuContents", "Contents"), &QAction::triggered, this,
            &frmMain::mnuContents_Click);
    connect(action(mnuHelp, "mnuAbout", "About"), &QAction::triggered, this,
            &frmMain::mnuAbout_Click);
}

void frmMain::buildTimers() {
    auto timer = [this](const char* name) {
        auto* t = new QTimer(this);
        t->setObjectName(QLatin1String(name));
        return t;
    };
    tmrWait = timer("tmrWait");
    tmrWait->setInterval(250);
    tmrWait->setSingleShot(true);
    connect(tmrWait, &QTimer::timeout, this, &frmMain::tmrWait_Timer);
}
