#include "grapher/GraphExports.h"
#include "grapher/CsvExport.h"
#include "grapher/GrapherTexts.h"
#include "grapher/TaskRunner.h"
#include <QApplication>
#include <QFileInfo>

namespace grapher {

Hourglass::Hourglass() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

Hourglass::~Hourglass() {
    QApplication::restoreOverrideCursor();
}

GraphExports::GraphExports(platform::MessageBox& messages, platform::Dialogs& dialogs,
                           platform::ProgressDialog& progress)
    : messages_(messages), dialogs_(dialogs), progress_(progress) {}

GraphExports::CsvOutcome GraphExports::writeCsv(const QString& logPath, const LoadedLog& log) {
    const QString target = ExportPath(logPath, QStringLiteral("csv"));
    for (;;) {
        const int error = TaskRunner(progress_).run(texts::WritingCsv, [&](Progress& progress) {
            return WriteCsvFile(target, log.info, log.columns, logPath, &progress);
        });
        if (error == Cancelled)
            return CsvOutcome::Cancelled;
        if (error == 0)
            break;
        const platform::Answer answer = messages_.show(
            texts::CsvError(error), platform::Buttons::RetryCancel, texts::CsvErrorTitle);
        if (answer != platform::Answer::Retry)
            return CsvOutcome::GaveUp;
    }
    messages_.show(texts::CsvDone(), platform::Buttons::OkOnly, texts::CsvDoneTitle);
    return CsvOutcome::Written;
}

LoadResult GraphExports::copyDatabase(const QString& logPath, bool& keepShown) {
    const int error = TaskRunner(progress_).run(texts::CopyingDatabase, [&](Progress& progress) {
        return CopyLogDatabase(logPath, ExportPath(logPath, QStringLiteral("mdb")), nullptr,
                               &progress);
    });
    LoadResult reloaded;
    if (error == 0)
        reloaded = TaskRunner(progress_).run(
            texts::ReadingLog, [&](Progress& progress) { return LoadLogFile(logPath, &progress); });
    keepShown = error != 0 || reloaded.error == Cancelled;
    if (error != 0 && error != Cancelled)
        messages_.show(texts::CopyFailed(), platform::Buttons::OkOnly, texts::CopyFailedTitle);
    return reloaded;
}

void GraphExports::copyDone() {
    messages_.show(texts::CopyDone(), platform::Buttons::OkOnly, texts::CopyDoneTitle);
}

void GraphExports::savePicture(const QString& logPath,
                               const std::function<GraphPicture()>& picture) {
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Save Graph as Picture");
    request.filter = QStringLiteral("PNG image|*.png|SVG drawing|*.svg");
    request.initialPath = ExportPath(logPath, QStringLiteral("png"));
    const platform::DialogResult chosen = dialogs_.saveFile(request);
    if (!chosen.ok())
        return;
    const GraphPicture shown = picture();
    for (;;) {
        int error;
        {
            Hourglass wait;
            error = WriteGraphPicture(chosen.value, shown, logPath);
        }
        if (error == 0)
            return;
        const QString folder = QFileInfo(chosen.value).absolutePath();
        const QString text = error == 53 && !QFileInfo(folder).isDir()
                                 ? texts::FolderMissing(folder)
                                 : texts::CsvError(error);
        const platform::Answer answer =
            messages_.show(text, platform::Buttons::RetryCancel, texts::PictureErrorTitle);
        if (answer != platform::Answer::Retry)
            return;
    }
}

} // namespace grapher
