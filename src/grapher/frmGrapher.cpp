#include "frmGrapher.h"
#include "platform/ProgramVersion.h"

#include "grapher/CsvExport.h"
#include "grapher/GraphExports.h"
#include "grapher/GrapherTexts.h"
#include "grapher/TaskRunner.h"
#include "grapher/TracePlot.h"
#include "grapher/ViewStatistics.h"
#include "grapher/frmStatistics.h"
#include "logger/DbError.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>

using grapher::GraphView;

namespace {

constexpr int WindowHeightTwips = 9150;
constexpr quint32 Blue = 16711680;
constexpr quint32 GridGrey = 0x808080;

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

} // namespace

frmGrapher::frmGrapher(MainSide main, platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent), main_(std::move(main)), platform_(platform),
      exports_(platform.messages, platform.dialogs, platform.progress) {
    setObjectName("frmGrapher");
    setWindowTitle(grapher::texts::Caption);
    buildWidgets();
}

frmGrapher::~frmGrapher() = default;

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
    grapher::LoadResult read = readLogFile(path);
    if (read.error == grapher::Cancelled) {
        // The main window already took the new path and stopped the live display.
        if (log_)
            emit graphFileChosen(graphFilePath_);
        emit liveDisplayDue();
        return;
    }
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
                      dataSetName_, lblTitle_, lblDate_})
        l->clear();
    view_.HasSecondary = false;
    view_.ViewStart = 0;
    view_.ViewEnd = 0;
    view_.LastClickX = 0;
    resetForLoad();
    if (!loadFile(LoadFrom::MainWindow, std::move(read)))
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
    grapher::LoadResult read = readLogFile(chosen.value);
    if (read.error == grapher::Cancelled)
        return; // the earlier file stays, as if the dialog had been cancelled
    graphFilePath_ = chosen.value;
    emit graphFileChosen(chosen.value);
    resetForLoad();
    if (loadFile(LoadFrom::OpenMenu, std::move(read))) {
        show();
        picGraph_->setFocus();
    }
}

grapher::LoadResult frmGrapher::readLogFile(const QString& path) {
    return grapher::TaskRunner(platform_.progress)
        .run(grapher::texts::ReadingLog,
             [&](grapher::Progress& progress) { return grapher::LoadLogFile(path, &progress); });
}

bool frmGrapher::loadFile(LoadFrom from, grapher::LoadResult result) {
    const QString path = graphFilePath();
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
    if (statistics_)
        statistics_->hide(); // a later file starts without the figures of this one
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
    showStatistics();
}

void frmGrapher::showStatistics() {
    if (!statistics_ || !statistics_->isVisible())
        return; // nothing computed while nobody looks
    if (!log_) {
        statistics_->clear();
        return;
    }
    // The view's sign filter is the one drawn: units that cannot be negative force positive.
    statistics_->setStatistics(grapher::ViewStatistics(
        log_->columns, view_.DataSet, view_.ViewStart, view_.ViewEnd, view_.SignFilter));
}

void frmGrapher::mnuStatistics_Click() {
    if (!statistics_)
        statistics_ = new frmStatistics(this);
    statistics_->show();
    statistics_->raise();
    showStatistics();
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

void frmGrapher::mnuCDelimited_Click() {
    if (!log_)
        return;
    switch (exports_.writeCsv(graphFilePath(), *log_)) {
    case grapher::GraphExports::CsvOutcome::GaveUp:
        cmdReturn_Click();
        break;
    case grapher::GraphExports::CsvOutcome::Written:
        view_.currentRow = 0; // the export read every row
        break;
    case grapher::GraphExports::CsvOutcome::Cancelled:
        break;
    }
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
    const QString title = lblTitle_->text();
    bool keepShown = false;
    grapher::LoadResult reloaded = exports_.copyDatabase(path, keepShown);
    if (keepShown) {
        // The log file is untouched and still in memory: it stays on show, with the title
        // that told its sign filter.
        redraw();
        lblTitle_->setText(title);
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
    exports_.copyDone();
}

grapher::GraphPicture frmGrapher::picture() const {
    const QWidget* frame = centralWidget();
    grapher::GraphPicture shown;
    shown.background = frame->palette().color(frame->backgroundRole());
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             lblFileName_, lblDate_, txtComment_, lblTitle_, dataSetName_, lblMax_, lblMidHigh_,
             lblMid_, lblMidLow_, lblMin_})
        shown.texts.append(grapher::TextOfWidget(w, frame));
    shown.plot = grapher::PlotOfView(view_, main_.liveUnits(), *picGraph_, frame, GridGrey);
    shown.area = grapher::PictureArea(shown, frame);
    return shown;
}

void frmGrapher::mnuPicture_Click() {
    if (log_)
        exports_.savePicture(graphFilePath(), [this] { return picture(); });
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
