#include "GrapherTestFiles.h"
#include "grapher/CsvExport.h"
#include "grapher/GraphScale.h"
#include "grapher/GraphView.h"
#include "grapher/LogFileReader.h"
#include "grapher/NumberText.h"
#include "grapher/Readout.h"
#include "grapher/TracePlot.h"
#include "logger/DbError.h"
#include "platform/PictureBox.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

using namespace grapher;
using namespace grapher_test;

namespace {

LogColumns columnsOf(const std::vector<float>& values, const QString& units = "VDC") {
    LogColumns c;
    for (float v : values)
        c.append(LogColumns::Row{0.5, 250.f, units, v, QString("N/A"), 0.f});
    return c;
}

// A view of the whole of c, as a freshly loaded file shows it.
struct View : GraphView {
    explicit View(LogColumns& c) {
        attach(&c);
        showAll();
    }
};

} // namespace

class GrapherLogicTest : public QObject {
    Q_OBJECT
private slots:
    // Under a user locale with a decimal comma.
    void numberTimeAndScaleTexts() {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        setlocale(LC_ALL, "de_DE.UTF-8");
        QCOMPARE(std::pair(FixedTwoText(1.5), LeadingNumber("1.5 V")),
                 std::pair(QString("1.50"), 1.5));
        for (const auto& [value, text] : {std::pair{-0.5, "-5.00E-01"}, {1.5e-120, "1.50E-120"}})
            QCOMPARE(ScientificText(value), QString(text));
        const std::pair<float, const char*> single[] = {
            {0.1f, "0.1"}, {1e9f, "1E+09"}, {-5e-5f, "-5E-05"}, {0.77459667f, "0.7745967"}};
        for (const auto& [value, text] : single)
            QCOMPARE(SingleText(value), QString(text));
        // Days since 30 December 1899; a whole day alone shows only the date.
        for (const auto& [days, text] :
             {std::pair{0.0, "00:00:00"}, {2.0, "1900-01-01"}, {2.5, "1900-01-01 12:00:00"}})
            QCOMPARE(TimeStampText(days), QString(text));
        setlocale(LC_ALL, "C");
        QLocale::setDefault(before);
        const std::pair<float, float> steps[] = {
            {-3, 0.01f}, {1, 1}, {1.0001f, 2}, {40, 50}, {1e9f, 2e6f}};
        for (const auto& [r, fullScale] : steps)
            QCOMPARE(FullScaleFor(r), fullScale);
        // The marker's height follows the main window's display.
        QCOMPARE(ScaleGraph(3, 0, 100, "VDC", SignBoth, "FR").MarkerHalfHeight, 5.f / 50);
    }

    void tracePoints() {
        // Many noisy samples per pixel column, drawn in full and decimated, give one picture.
        std::vector<float> values;
        QPolygonF full;
        for (quint32 i = 0, seed = 1; i < 20000; ++i) {
            seed = seed * 1103515245u + 12345u;
            values.push_back(i == 5000    ? 9.5f // lone spikes must survive
                             : i == 12000 ? -9.5f
                                          : std::sin(i / 700.0f) * 4 + float(seed >> 16) / 65536.f);
            full.append(QPointF(i + 1, values.back()));
        }
        const LogColumns c = columnsOf(values);
        const int width = 300;
        auto draw = [&](const QPolygonF& points) {
            platform::PictureBox box;
            box.resize(width, 200);
            box.setPersistent(true);
            box.setBackColour(0);
            box.clear();
            box.setScale(1, 10, double(values.size()), -10);
            box.drawPolyline(points, 255);
            return box.snapshot();
        };
        const QPolygonF reduced = TracePoints(c, 1, 1, qint32(values.size()), width);
        QVERIFY(reduced.size() <= 4 * width);
        QCOMPARE(draw(reduced), draw(full));
        // A zoomed view decimates only its own samples, at x = 1 .. RecordsInView.
        const QPolygonF zoomed = TracePoints(c, 1, 4001, 6000, width);
        QCOMPARE(zoomed.first().x(), 1.0);
        QCOMPARE(zoomed.last().x(), 2000.0);
    }

    // An earlier export is replaced whole; a device is written in place. The window's picture
    // tests cover the refusals of the shared replacing writer.
    void csvReplacesOrFails() {
        QVERIFY(WriteBytes(path("x.csv"), QByteArray(10000, 'x')));
        QCOMPARE(WriteCsvFile(path("x.csv"), LogInfo{"d", "c"}, columnsOf({2})), 0);
        QCOMPARE(ReadBytes(path("x.csv")),
                 "d,c\r\nTimeStamp,MilliSeconds,Units,Value,Units2,Value2\r\n"
                 "12:00:00,250,VDC,2,N/A,0\r\n");
        QCOMPARE(FileErrorNumber(EIO), 57);
        if (!QFileInfo::exists("/dev/full"))
            QSKIP("no /dev/full here");
        QCOMPARE(WriteCsvFile("/dev/full", LogInfo{"d", "c"}, columnsOf(std::vector(100000, 2.f))),
                 61);
    }

    void exportNeverReplacesTheLogFile() {
        QCOMPARE(ExportPath("/logs/run1.vtd", "mdb"), QString("/logs/run1.mdb"));
        QCOMPARE(ExportPath("/logs/run1.db", "csv"), QString("/logs/run1.csv"));
        QCOMPARE(ExportPath("/logs.d/run1", "csv"), QString("/logs.d/run1.csv"));
        // A log file whose name ends in "csv" would be its own export target.
        WriteLogFile(path("odd.csv"), "d", "c", {{QTime(8, 0, 0), 0, "VDC", 1}});
        const LoadResult r = LoadLogFile(path("odd.csv"));
        QCOMPARE(WriteCsvFile(ExportPath(path("odd.csv"), "csv"), r.log->info, r.log->columns,
                              path("odd.csv")),
                 70);
        QCOMPARE(CopyLogDatabase(path("odd.csv"), path("odd.csv")),
                 int(db::ErrorNumber::PermissionDenied));
        QCOMPARE(LoadLogFile(path("odd.csv")).log->columns.rowCount(), 1);
        QCOMPARE(LoadLogFile(QString()).error, int(db::ErrorNumber::FileNotFound));
    }

    // Rows without a reading load, but are neither plotted, measured nor shown.
    void nullsAreNoReadings() {
        const QString file = path("nulls.vtd");
        WriteLogFile(file, "d", QString(), {{QTime(8, 0, 0), 0, "VDC", -1}});
        ExecSql(file, InsertRow + "VALUES (0.5, 2, NULL, NULL, NULL, NULL);" + InsertRow +
                          "VALUES (0.5, 3, 'VDC', '2.5', 'N/A', 0); UPDATE Info SET "
                          "Description = NULL;");
        const LoadResult r = LoadLogFile(file);
        QCOMPARE(r.error, 0);
        LogColumns& c = r.log->columns;
        QVERIFY(c.unitsNull(1, 2));
        QCOMPARE(c.value(1, 3).value_or(0), 2.5f);
        c.append(LogColumns::Row{});
        for (int row : {2, 4})
            QVERIFY(ReadoutFor(c, row, 1).value.isEmpty() && !ReadoutFor(c, row, 1).plotValue);
        QVERIFY(ReadoutFor(c, 4, 1).timeStamp.isEmpty());
        QCOMPARE(TracePoints(c, 1, 1, 3, 500), QPolygonF({{1, -1}, {3, 2.5}}));
        View v(c);
        v.GetMax();
        v.GetMin();
        QCOMPARE(std::pair(v.ViewMin, v.ViewMax), std::pair(-1.f, 2.5f));
        QByteArray out = CsvRunLine(r.log->info);
        AppendCsvRow(out, c, 2);
        QCOMPARE(out, QByteArray("d,\r\n12:00:00,2,,,,\r\n"));
        // The window's tests show AC levels in dBu; a dB reading is its own level.
        for (const char* noLevel : {"0", "-1", "abc"})
            QVERIFY(!ShowDbu(noLevel));
        QCOMPARE(ReadoutFor(columnsOf({-12.5f}, "DB"), 1, 1).dBu.value_or(""), QString("-12.5"));
    }

private:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

QTEST_MAIN(GrapherLogicTest)
#include "tst_grapherlogic.moc"
