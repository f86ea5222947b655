// Loads arbitrary bytes as a log file, then runs what the grapher does with a loaded file:
// the view's extremes and scale, a zoom, the sign filter, the data-set switch and the CSV rows.
// Refusal is fine; a crash, a hang or unbounded memory is not.
#include "grapher/CsvExport.h"
#include "grapher/GraphView.h"
#include "grapher/LogFileReader.h"
#include <QFile>
#include <QTemporaryDir>
#include <Qt>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath("fuzz.vtd");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    grapher::LoadResult result = grapher::LoadLogFile(path);
    if (result.error != 0 || !result.log)
        return 0;

    const grapher::LogColumns& columns = result.log->columns;
    grapher::GraphView view;
    view.attach(&columns);
    view.showAll();
    view.redraw(QString());
    view.click(0.0f);
    view.click(float(columns.rowCount()) / 2);
    view.zoom();
    view.redraw(QString());
    view.keyPress(Qt::Key_Right);
    view.keyPress(Qt::Key_Left);
    view.stepSignFilter();
    view.toggleDataSet();
    view.redraw(QString());
    view.reset();

    QByteArray csv = grapher::CsvRunLine(result.log->info);
    csv += grapher::CsvHeaderLine();
    for (qint32 pos = 1; pos <= columns.rowCount() && pos <= 1000; ++pos)
        grapher::AppendCsvRow(csv, columns, pos);
    return 0;
}
