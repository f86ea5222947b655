#include "frmGrapher.h"
#include "platform/ProgramVersion.h"

#include "grapher/CsvExport.h"
#include "grapher/GrapherTexts.h"
#include "grapher/Readout.h"
#include "grapher/TracePlot.h"
#include "logger/DbError.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

using grapher::GraphView;

namespace {

constexpr int WindowHeightTwips = 9150;
constexpr int CommentMaxLength = 255;
constexpr quint32 Blue = 16711680;
constexpr quint32 GridGrey = 0x808080;

// The hourglass for the length of a handler.
class Hourglass {
public:
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

// The Info date in the system's long form; a text that is no date is shown unchanged.
QString LongDateText(const QString& text) {
    const QLocale system = QLocale::system();
    QDate date = system.toDate(text, QLocale::ShortFormat);
    if (!date.isValid())
        date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        date = QLocale::c().toDate(text, QLocale::ShortFormat);
    if (!date.isValid())
        return text;
    if (date.year() < 1950) // two-digit years are read as 19xx
        date = date.addYears(100);
    return system.toString(date, QLocale::LongFormat);
}

QString FileNameOf(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

// The reason a comment could not be written, in the file layer's words.
QString CommentFailureReason(int number, const QString& detail) {
    switch (number) {
    case db::ErrorNumber::FileNotFound:
        return QStringLiteral("The log file was not found.");
    case db::ErrorNumber::PermissionDenied:
        return QStringLiteral("File or Media is Write Protected...");
    case db::ErrorNumber::DiskFull:
        return QStringLiteral("Disk Full!");
    default:
        return QStringLiteral("Error #%1 occurred! %2").arg(number).arg(detail);
    }
}

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

frmGrapher::frmGrapher(MainSide main, platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent), main_(std::move(main)), platform_(platform) {
    setObjectName("frmGrapher");
    setWindowTitle(grapher::texts::Caption);
    buildWidgets();
}

frmGrapher::~frmGrapher() = default;

void frmGrapher::buildWidgets() {
    auto* fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu->setObjectName("mnuFile");
    cmdOpen_ = MakeAction(fileMenu, QStringLiteral("&Open and Graph Logged Data"), "cmdOpen");
    mnuCDelimited_ = MakeAction(fileMenu, QStringLiteral("Convert Data to Comma Delimited File"),
                                "mnuCDelimited");
    mnuCAccess_ =
        MakeAction(fileMenu, QStringLiteral("Convert Data to MS Access Database"), "mnuCAccess");
    mnuPicture_ = MakeAction(fileMenu, QStringLiteral("Save Graph as &Picture..."), "mnuPicture");
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
    Label10_ = MakeLabel(central, "Label10");
    titleRow->addStretch();
    titleRow->addWidget(lblTitle_);
    titleRow->addSpacing(20);
    titleRow->addWidget(Label10_);
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

QString frmGrapher::graphFilePath() const {
    return graphFilePath_;
}

bool frmGrapher::isOpen() const {
    return loaded_;
}

void frmGrapher::resetForLoad() {
    view_.resetForRedraw();
    view_.SignFilter = grapher::SignBoth;
    markerShown_ = false;
    // The readouts belong to a row of the file shown before: they wait for the first readout.
    for (QLabel* l : {lblTS_, lblType_, lblUnits_, lblValue_, lbldBu_})
        l->clear();
    picGraph_->setPersistent(true);
    picGraph_->setDrawMode(platform::PictureBox::DrawMode::Copy);
    picGraph_->clear();
    QFont bold = txtComment_->font();
    bold.setBold(true);
    txtComment_->setFont(bold);
    QFont italic = lblFileName_->font();
    italic.setItalic(true);
    lblFileName_->setFont(italic);
    lblFileName_->setText(QStringLiteral("Filename: ") + FileNameOf(graphFilePath()));
}

void frmGrapher::loadFromMain(const QString& path) {
    graphFilePath_ = path;
    // A file shown before is let go first: nothing of it is drawn again (a resize below) over
    // the reset state, and a refused new file leaves nothing of it behind.
    view_.attach(nullptr);
    log_.reset();
    loaded_ = true;
    const int height = main_.twips.toPixels(WindowHeightTwips);
    if (main_.window)
        resize(main_.window->width(), height);
    else
        resize(800, height);
    QFont windowFont = font();
    windowFont.setFamily(QStringLiteral("Times New Roman"));
    setFont(windowFont);
    picGraph_->setBackColour(0);
    view_.DataSet = 1;
    view_.TraceColour = 255;
    for (QLabel* l : {lblTS_, lblType_, lblUnits_, lblValue_, lbldBu_, lblMaxVal_, lblMinVal_}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, platform::PictureBox::toQColor(Blue));
        l->setPalette(p);
        QFont f = l->font();
        f.setPointSize(12);
        l->setFont(f);
    }
    cmdZoom_->setEnabled(false);
    cmdPlusMinus_->setEnabled(false);
    cmdReset_->setEnabled(false);
    // A window load starts from a fresh window, whatever an earlier file left.
    mnuCAccess_->setEnabled(true);
    for (QLabel* l : {lblMaxVal_, lblMinVal_, lblMax_, lblMidHigh_, lblMid_, lblMidLow_, lblMin_,
                      Label10_, lblTitle_, lblDate_})
        l->clear();
    view_.HasSecondary = false;
    view_.ViewStart = 0;
    view_.ViewEnd = 0;
    view_.LastClickX = 0;
    resetForLoad();
    if (!loadFile(LoadFrom::MainWindow))
        return;
    emit liveDisplayDue();
    show();
    activateWindow();
    picGraph_->setFocus();
}

void frmGrapher::cmdOpen_Click() {
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("vtd|*.vtd|MDB|*.mdb");
    request.defaultExt = QStringLiteral(".vtd|");
    request.initialPath = main_.logFilePath();
    const platform::DialogResult chosen = platform_.dialogs.openFile(request);
    if (chosen.cancelled())
        return; // nothing changes; the previous graph stays
    if (!chosen.ok()) {
        failLoad(chosen.errorCode != 0 ? chosen.errorCode : -1, LoadFrom::OpenMenu);
        return;
    }
    graphFilePath_ = chosen.value;
    emit graphFileChosen(chosen.value);
    resetForLoad();
    if (loadFile(LoadFrom::OpenMenu)) {
        show();
        picGraph_->setFocus();
    }
}

bool frmGrapher::loadFile(LoadFrom from) {
    const QString path = graphFilePath();
    grapher::LoadResult result;
    {
        Hourglass wait;
        result = grapher::LoadLogFile(path);
    }
    if (result.error != 0) {
        failLoad(result.error, from);
        return false;
    }
    log_ = std::move(result.log);
    view_.attach(&log_->columns);
    // One form of the date however the file came, so a picture shows what the window did.
    lblDate_->setText(LongDateText(log_->info.Date));
    txtComment_->setText(log_->info.Description);
    if (path.endsWith(QLatin1String("mdb")))
        mnuCAccess_->setEnabled(false);
    view_.showAll();
    redraw();
    setTitle();
    cmdZoom_->setEnabled(false);
    cmdReset_->setEnabled(false);
    return true;
}

void frmGrapher::failLoad(int error, LoadFrom from) {
    using namespace grapher::texts;
    // The window goes before the message, so no half-loaded graph stands behind it.
    releaseAndClose();
    QString text;
    switch (error) {
    case db::ErrorNumber::NoCurrentRow:
        text = NotValidFile();
        break;
    case db::ErrorNumber::MissingTable:
        if (from == LoadFrom::MainWindow) {
            platform_.messages.show(NotCreatedQuitting(), platform::Buttons::OkOnly, LoadTitle);
            emit quitRequested();
            return;
        }
        text = UnknownError();
        break;
    case db::ErrorNumber::UnknownColumn:
        text = DataIncompatible();
        break;
    default:
        text = UnknownError();
        break;
    }
    platform_.messages.show(text, platform::Buttons::OkOnly, LoadTitle);
    // The main window stopped its display cycle for the load; it must not stay frozen.
    emit liveDisplayDue();
}

void frmGrapher::releaseAndClose() {
    unload();
    hide();
}

void frmGrapher::unload() {
    if (loaded_ && !graphFilePath().isEmpty())
        settings::SaveDataFolderOf(graphFilePath());
    loaded_ = false;
    view_.attach(nullptr);
    log_.reset();
    markerShown_ = false;
}

void frmGrapher::closeEvent(QCloseEvent* event) {
    unload();
    QMainWindow::closeEvent(event);
}

void frmGrapher::closeWindow() {
    unload();
    close();
}

void frmGrapher::setTitle(const QString& suffix) {
    lblTitle_->setText(QLatin1Char(' ') + view_.ViewUnits + suffix);
}

void frmGrapher::redraw() {
    if (!log_)
        return;
    drawView(view_.redraw(main_.liveUnits()));
}

void frmGrapher::redrawForNewSize() {
    if (!log_ || !view_.viewValid())
        return;
    const bool markerShown = markerShown_;
    drawView(view_.redrawKeepingCursors(main_.liveUnits()));
    // The cursor lines and the marker come back at the new scale, so Zoom keeps its range.
    picGraph_->setDrawMode(platform::PictureBox::DrawMode::Invert);
    for (float x : {view_.PrevCursorX, view_.CursorX})
        if (x != 0)
            picGraph_->line(x, view_.FullScale, x, -view_.FullScale, 0xFFFFFF);
    if (markerShown)
        drawCross(view_.MarkerX, view_.MarkerValue);
    markerShown_ = markerShown;
}

void frmGrapher::drawView(const GraphView::Redraw& r) {
    markerShown_ = false;
    picGraph_->setPersistent(true);
    picGraph_->setDrawMode(platform::PictureBox::DrawMode::Copy);
    picGraph_->clear();
    lblMaxVal_->setText(r.maxText);
    lblMinVal_->setText(r.minText);

    const grapher::ScaleLayout& s = r.scale;
    picGraph_->setPenStyle(platform::PictureBox::PenStyle::Dot);
    cmdPlusMinus_->setEnabled(s.PlusMinusEnabled);
    if (s.drawn) {
        picGraph_->setScale(s.left, s.top, s.right, s.bottom);
        for (float y : s.gridY)
            picGraph_->line(s.left, y, s.right, y, GridGrey);
        QLabel* labels[] = {lblMax_, lblMidHigh_, lblMid_, lblMidLow_, lblMin_};
        for (int i = 0; i < 5; ++i)
            labels[i]->setText(s.labels[size_t(i)]);
    }
    picGraph_->setPenStyle(platform::PictureBox::PenStyle::Solid);

    const auto colour = quint32(qRound(view_.TraceColour));
    const QPolygonF trace = grapher::TracePoints(log_->columns, view_.DataSet, view_.ViewStart,
                                                 view_.ViewEnd, picGraph_->width());
    picGraph_->drawPolyline(trace, colour);
}

void frmGrapher::drawCross(double x, double y) {
    const double h = view_.MarkerHalfHeight;
    const double w = view_.MarkerHalfWidth;
    picGraph_->line(x, y + h, x, y - h, 0xFFFFFF);
    picGraph_->line(x + w, y, x - w, y, 0xFFFFFF);
}

void frmGrapher::showReadout(qint32 row, bool moveMarker, double markerX) {
    const grapher::Readout r = grapher::ReadoutFor(log_->columns, row, view_.DataSet);
    lblTS_->setText(r.timeStamp);
    lblType_->setText(r.milliSeconds);
    lblUnits_->setText(r.units);
    lblValue_->setText(r.value);
    if (r.dBu)
        lbldBu_->setText(*r.dBu);
    view_.currentRow = row;
    if (!moveMarker || !r.plotValue)
        return;
    picGraph_->setDrawMode(platform::PictureBox::DrawMode::Invert);
    if (markerShown_)
        drawCross(view_.MarkerX, view_.MarkerValue);
    drawCross(markerX, *r.plotValue);
    view_.MarkerX = float(markerX);
    view_.MarkerValue = *r.plotValue;
    markerShown_ = true;
}

void frmGrapher::picGraph_MouseMove(double x, double) {
    if (!log_)
        return;
    const auto row = view_.rowForMouse(float(x));
    if (!row)
        return; // beside the file's rows: the readouts keep the last row read
    showReadout(*row, true, x);
}

void frmGrapher::picGraph_MouseDown(double x) {
    if (!log_)
        return;
    picGraph_->setFocus();
    const GraphView::Click c = view_.click(float(x));
    picGraph_->setDrawMode(platform::PictureBox::DrawMode::Invert);
    const double fs = view_.FullScale;
    if (c.eraseX)
        picGraph_->line(*c.eraseX, fs, *c.eraseX, -fs, 0xFFFFFF);
    picGraph_->line(c.drawX, fs, c.drawX, -fs, 0xFFFFFF);
    if (c.enableZoom)
        cmdZoom_->setEnabled(true);
    if (c.enableReset)
        cmdReset_->setEnabled(true);
}

void frmGrapher::KeyDown(int key) {
    if (!log_)
        return;
    const auto row = view_.keyPress(key);
    if (!row)
        return;
    showReadout(*row, true, *row - view_.ViewStart + 1);
}

void frmGrapher::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        KeyDown(event->key());
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool frmGrapher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblTitle_ && event->type() == QEvent::MouseButtonRelease) {
        lblTitle_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmGrapher::lblTitle_Click() {
    if (!log_)
        return;
    // Without a second data set nothing is redrawn, so the marker and the cursor lines whose
    // positions are now forgotten are taken off first (drawn again, inverting back).
    const float markerX = view_.MarkerX, markerValue = view_.MarkerValue;
    const float cursorX = view_.CursorX, prevCursorX = view_.PrevCursorX;
    if (!view_.toggleDataSet()) {
        picGraph_->setDrawMode(platform::PictureBox::DrawMode::Invert);
        if (markerShown_)
            drawCross(markerX, markerValue);
        for (float x : {cursorX, prevCursorX})
            if (x != 0)
                picGraph_->line(x, view_.FullScale, x, -view_.FullScale, 0xFFFFFF);
        Label10_->setText(QString());
        markerShown_ = false;
        return;
    }
    Label10_->setText(view_.DataSet == 2 ? QStringLiteral("Secondary") : QStringLiteral("Primary"));
    redraw();
    setTitle();
    showReadout(1, false, 0);
}

void frmGrapher::cmdZoom_Click() {
    if (!log_)
        return;
    Hourglass wait;
    view_.zoom();
    redraw();
    setTitle();
    cmdZoom_->setEnabled(false);
}

void frmGrapher::cmdPlusMinus_Click() {
    if (!log_)
        return;
    Hourglass wait;
    view_.stepSignFilter();
    redraw();
    setTitle(view_.signSuffix());
    cmdZoom_->setEnabled(false);
}

void frmGrapher::cmdReset_Click() {
    if (!log_)
        return;
    Hourglass wait;
    view_.reset();
    redraw();
    setTitle();
    cmdZoom_->setEnabled(false);
    cmdReset_->setEnabled(false);
}

void frmGrapher::mnuCDelimited_Click() {
    if (!log_)
        return;
    const QString target = grapher::ExportPath(graphFilePath(), QStringLiteral("csv"));
    for (;;) {
        int error;
        {
            Hourglass wait;
            error = grapher::WriteCsvFile(target, log_->info, log_->columns, graphFilePath());
        }
        if (error == 0)
            break;
        const platform::Answer answer =
            platform_.messages.show(grapher::texts::CsvError(error), platform::Buttons::RetryCancel,
                                    grapher::texts::CsvErrorTitle);
        if (answer == platform::Answer::Retry)
            continue;
        cmdReturn_Click();
        return;
    }
    view_.currentRow = 0; // the export read every row
    platform_.messages.show(grapher::texts::CsvDone(), platform::Buttons::OkOnly,
                            grapher::texts::CsvDoneTitle);
}

void frmGrapher::mnuCAccess_Click() {
    if (!log_)
        return;
    const QString path = graphFilePath();
    picGraph_->setPersistent(true);
    picGraph_->setDrawMode(platform::PictureBox::DrawMode::Copy);
    picGraph_->clear();
    view_.MarkerX = 0;
    view_.MarkerValue = 0;
    markerShown_ = false;
    int error;
    grapher::LoadResult reloaded;
    {
        Hourglass wait;
        error = grapher::CopyLogDatabase(path, grapher::ExportPath(path, QStringLiteral("mdb")));
        if (error == 0)
            reloaded = grapher::LoadLogFile(path);
    }
    if (error != 0) {
        platform_.messages.show(grapher::texts::CopyFailed(), platform::Buttons::OkOnly,
                                grapher::texts::CopyFailedTitle);
        // The log file is untouched and still in memory: it stays on show.
        redraw();
        setTitle();
        return;
    }
    if (reloaded.error != 0) {
        failLoad(reloaded.error, LoadFrom::OpenMenu);
        return;
    }
    // The file is read afresh, but a comment typed and not yet written back stays in the box
    // for Return to write; the view goes back to the whole file so that range and sample
    // count agree.
    log_ = std::move(reloaded.log);
    view_.attach(&log_->columns);
    lblDate_->setText(LongDateText(log_->info.Date));
    view_.showAll();
    redraw();
    setTitle();
    cmdZoom_->setEnabled(false);
    platform_.messages.show(grapher::texts::CopyDone(), platform::Buttons::OkOnly,
                            grapher::texts::CopyDoneTitle);
}

grapher::GraphPicture frmGrapher::picture() const {
    const QWidget* frame = centralWidget();
    grapher::GraphPicture shown;
    shown.background = frame->palette().color(frame->backgroundRole());
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             lblFileName_, lblDate_, txtComment_, lblTitle_, Label10_, lblMax_, lblMidHigh_,
             lblMid_, lblMidLow_, lblMin_})
        shown.texts.append(grapher::TextOfWidget(w, frame));
    shown.plot = grapher::PlotOfView(view_, main_.liveUnits(), *picGraph_, frame, GridGrey);
    shown.area = grapher::PictureArea(shown, frame);
    return shown;
}

void frmGrapher::mnuPicture_Click() {
    if (!log_)
        return;
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Save Graph as Picture");
    request.filter = QStringLiteral("PNG image|*.png|SVG drawing|*.svg");
    request.initialPath = grapher::ExportPath(graphFilePath(), QStringLiteral("png"));
    const platform::DialogResult chosen = platform_.dialogs.saveFile(request);
    if (!chosen.ok())
        return;
    const grapher::GraphPicture shown = picture();
    for (;;) {
        int error;
        {
            Hourglass wait;
            error = grapher::WriteGraphPicture(chosen.value, shown, graphFilePath());
        }
        if (error == 0)
            return;
        // A failed picture leaves the graph as it is: Cancel only gives up the picture.
        const QString folder = QFileInfo(chosen.value).absolutePath();
        const QString text = error == 53 && !QFileInfo(folder).isDir()
                                 ? grapher::texts::FolderMissing(folder)
                                 : grapher::texts::CsvError(error);
        const platform::Answer answer = platform_.messages.show(
            text, platform::Buttons::RetryCancel, grapher::texts::PictureErrorTitle);
        if (answer != platform::Answer::Retry)
            return;
    }
}

void frmGrapher::copyPicture() {
    if (!log_)
        return;
    QGuiApplication::clipboard()->setImage(grapher::GraphPictureImage(picture()));
}

void frmGrapher::cmdReturn_Click() {
    if (loaded_ && !graphFilePath().isEmpty()) {
        const QString comment = txtComment_->text().left(CommentMaxLength);
        for (;;) {
            QString detail;
            const int error = grapher::WriteDescription(graphFilePath(), comment, &detail);
            if (error == 0)
                break;
            const platform::Answer answer = platform_.messages.show(
                grapher::texts::CommentError(graphFilePath(), CommentFailureReason(error, detail)),
                platform::Buttons::RetryCancel, grapher::texts::CommentErrorTitle);
            if (answer != platform::Answer::Retry)
                break;
        }
    }
    unload();
    close();
}

void frmGrapher::mnuAbout_Click() {
    platform_.messages.show(grapher::texts::About(ProgramVersionText), platform::Buttons::OkOnly,
                            grapher::texts::AboutTitle);
}

void frmGrapher::mnuContents_Click() {
    platform_.messages.show(grapher::texts::Help(ProgramVersionText), platform::Buttons::OkOnly,
                            grapher::texts::HelpTitle);
}
