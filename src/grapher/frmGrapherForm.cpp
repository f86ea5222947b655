#include "frmGrapher.h"
#include "grapher/GrapherTexts.h"
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

// The grapher window's widgets, menus and their connections.

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text = QString()) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QAction* MakeAction(QMenu* menu, const QString& text, const QString& name) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    return action;
}

} // namespace

void frmGrapher::buildWidgets() {
    auto* fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu->setObjectName("mnuFile");
    cmdOpen_ = MakeAction(fileMenu, QStringLiteral("&Open and Graph Logged Data"), "cmdOpen");
    mnuCDelimited_ = MakeAction(fileMenu, QStringLiteral("Convert Data to Comma Delimited File"),
                                "mnuCDelimited");
    mnuCAccess_ =
        MakeAction(fileMenu, QStringLiteral("Convert Data to MS Access Database"), "mnuCAccess");
    mnuPicture_ = MakeAction(fileMenu, QStringLiteral("Save Graph as &Picture..."), "mnuPicture");
    mnuStatistics_ = MakeAction(fileMenu, QStringLiteral("Statistics..."), "mnuStatistics");
    fileMenu->addSeparator();
    mnuReturn_ = MakeAction(fileMenu, QStringLiteral("&Return"), "mnuReturn");
    auto* helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu->setObjectName("mnuHelp");
    mnuContents_ = MakeAction(helpMenu, QStringLiteral("Contents"), "mnuContents");
    mnuAbout_ = MakeAction(helpMenu, QStringLiteral("About"), "mnuAbout");

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);

    auto* top = new QHBoxLayout;
    lblFileName_ = MakeLabel(central, "lblFileName");
    lblDate_ = MakeLabel(central, "lblDate");
    top->addWidget(lblFileName_, 1);
    top->addWidget(lblDate_);
    outer->addLayout(top);
    txtComment_ = new QLineEdit(central);
    txtComment_->setObjectName("txtComment");
    outer->addWidget(txtComment_);

    auto* titleRow = new QHBoxLayout;
    lblTitle_ = MakeLabel(central, "lblTitle");
    lblTitle_->setToolTip(grapher::texts::TitleTip);
    lblTitle_->setCursor(Qt::PointingHandCursor);
    lblTitle_->installEventFilter(this);
    QFont titleFont = lblTitle_->font();
    titleFont.setPointSize(14);
    titleFont.setBold(true);
    lblTitle_->setFont(titleFont);
    dataSetName_ = MakeLabel(central, "Label10");
    titleRow->addStretch();
    titleRow->addWidget(lblTitle_);
    titleRow->addSpacing(20);
    titleRow->addWidget(dataSetName_);
    titleRow->addStretch();
    outer->addLayout(titleRow);

    auto* graphRow = new QHBoxLayout;
    auto* axis = new QVBoxLayout;
    lblMax_ = MakeLabel(central, "lblMax");
    lblMidHigh_ = MakeLabel(central, "lblMidHigh");
    lblMid_ = MakeLabel(central, "lblMid");
    lblMidLow_ = MakeLabel(central, "lblMidLow");
    lblMin_ = MakeLabel(central, "lblMin");
    axis->addWidget(lblMax_, 0, Qt::AlignTop | Qt::AlignRight);
    axis->addStretch();
    axis->addWidget(lblMidHigh_, 0, Qt::AlignRight);
    axis->addStretch();
    axis->addWidget(lblMid_, 0, Qt::AlignRight);
    axis->addStretch();
    axis->addWidget(lblMidLow_, 0, Qt::AlignRight);
    axis->addStretch();
    axis->addWidget(lblMin_, 0, Qt::AlignBottom | Qt::AlignRight);
    graphRow->addLayout(axis);
    picGraph_ = new platform::PictureBox(central);
    picGraph_->setObjectName("picGraph");
    picGraph_->setToolTip(grapher::texts::CursorTip);
    picGraph_->setMinimumSize(400, 250);
    graphRow->addWidget(picGraph_, 1);
    outer->addLayout(graphRow, 1);

    auto* readouts = new QGridLayout;
    const QList<std::pair<QString, QLabel**>> fields = {
        {"TimeStamp:", &lblTS_}, {"+MSec:", &lblType_}, {"Units:", &lblUnits_},
        {"Value:", &lblValue_},  {"dBu:", &lbldBu_},    {"Max:", &lblMaxVal_},
        {"Min:", &lblMinVal_}};
    const QStringList names = {"lblTS",  "lblType",   "lblUnits", "lblValue",
                               "lbldBu", "lblMaxVal", "lblMinVal"};
    for (int i = 0; i < fields.size(); ++i) {
        auto* caption = new QLabel(fields[i].first, central);
        caption->setToolTip(grapher::texts::CursorTip);
        QLabel* value = MakeLabel(central, names[i]);
        value->setToolTip(grapher::texts::CursorTip);
        value->setMinimumWidth(90);
        *fields[i].second = value;
        readouts->addWidget(caption, 0, i, Qt::AlignLeft);
        readouts->addWidget(value, 1, i, Qt::AlignLeft);
    }
    outer->addLayout(readouts);

    auto* buttons = new QHBoxLayout;
    cmdZoom_ = new QPushButton(QStringLiteral("Zoom"), central);
    cmdZoom_->setObjectName("cmdZoom");
    cmdZoom_->setToolTip(QStringLiteral("Show Only Values Between Cursors"));
    cmdPlusMinus_ = new QPushButton(QStringLiteral("+ / -"), central);
    cmdPlusMinus_->setObjectName("cmdPlusMinus");
    cmdPlusMinus_->setToolTip(QStringLiteral("Show Positive, Negative, or All Values in Current "
                                             "Zoom"));
    cmdReset_ = new QPushButton(QStringLiteral("Reset"), central);
    cmdReset_->setObjectName("cmdReset");
    cmdReset_->setToolTip(QStringLiteral("Show All Data in Open File"));
    cmdReturn_ = new QPushButton(QStringLiteral("&Return"), central);
    cmdReturn_->setObjectName("cmdReturn");
    for (QPushButton* b : {cmdZoom_, cmdPlusMinus_, cmdReset_, cmdReturn_}) {
        b->setFocusPolicy(Qt::TabFocus); // clicks leave the keyboard with the graph
        buttons->addWidget(b);
    }
    outer->addLayout(buttons);
    setCentralWidget(central);

    connect(cmdOpen_, &QAction::triggered, this, &frmGrapher::cmdOpen_Click);
    connect(mnuCDelimited_, &QAction::triggered, this, &frmGrapher::mnuCDelimited_Click);
    connect(mnuCAccess_, &QAction::triggered, this, &frmGrapher::mnuCAccess_Click);
    connect(mnuPicture_, &QAction::triggered, this, &frmGrapher::mnuPicture_Click);
    connect(mnuStatistics_, &QAction::triggered, this, &frmGrapher::mnuStatistics_Click);
    auto* copy = new QShortcut(QKeySequence::Copy, this);
    copy->setObjectName("copyPicture");
    connect(copy, &QShortcut::activated, this, &frmGrapher::copyPicture);
    connect(mnuReturn_, &QAction::triggered, this, &frmGrapher::cmdReturn_Click);
    connect(mnuContents_, &QAction::triggered, this, &frmGrapher::mnuContents_Click);
    connect(mnuAbout_, &QAction::triggered, this, &frmGrapher::mnuAbout_Click);
    connect(cmdZoom_, &QPushButton::clicked, this, &frmGrapher::cmdZoom_Click);
    connect(cmdPlusMinus_, &QPushButton::clicked, this, &frmGrapher::cmdPlusMinus_Click);
    connect(cmdReset_, &QPushButton::clicked, this, &frmGrapher::cmdReset_Click);
    connect(cmdReturn_, &QPushButton::clicked, this, &frmGrapher::cmdReturn_Click);
    connect(picGraph_, &platform::PictureBox::mouseMove, this,
            [this](Qt::MouseButtons, double x, double y) { picGraph_MouseMove(x, y); });
    connect(picGraph_, &platform::PictureBox::mouseDown, this,
            [this](Qt::MouseButton, double x, double) { picGraph_MouseDown(x); });
    connect(picGraph_, &platform::PictureBox::keyDown, this, &frmGrapher::KeyDown);
    connect(picGraph_, &platform::PictureBox::surfaceResized, this, &frmGrapher::redrawForNewSize);
    connect(txtComment_, &QLineEdit::textChanged, this, [this](const QString& text) {
        txtComment_->setEnabled(true);
        if (text.size() > CommentMaxLength)
            txtComment_->setText(text.left(CommentMaxLength));
    });
}
