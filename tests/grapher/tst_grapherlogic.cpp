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

LogColumns::Row row(float value, const QString& units = "VDC", float value2 = 0,
                    const QString& units2 = "N/A") {
    return LogColumns::Row{0.5, 250.f, units, value, units2, value2};
}

const LogColumns::Row NullValue{0.5, 1.f, QString("VDC"), std::nullopt, QString("N/A"), 0.f};

LogColumns columnsOf(const std::vector<float>& values, const QString& units = "VDC") {
    LogColumns c;
    for (float v : values)
        c.append(row(v, units));
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
    void numberAndTimeTexts() {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        setlocale(LC_ALL, "de_DE.UTF-8");
        QCOMPARE(FixedTwoText(1.5), QString("1.50"));
        QCOMPARE(LeadingNumber("1.5 V"), 1.5);
        const std::pair<double, const char*> scientific[] = {
            {-0.5, "-5.00E-01"}, {0, "0.00E+00"}, {1.5e-120, "1.50E-120"}};
        for (const auto& [value, text] : scientific)
            QCOMPARE(ScientificText(value), QString(text));
        const std::pair<float, const char*> single[] = {
            {0.1f, "0.1"}, {1e9f, "1E+09"}, {-5e-5f, "-5E-05"}, {0.77459667f, "0.7745967"}};
        for (const auto& [value, text] : single)
            QCOMPARE(SingleText(value), QString(text));
        // Days since 30 December 1899; a whole day alone shows only the date.
        QCOMPARE(TimeStampText(0), QString("00:00:00"));
        QCOMPARE(TimeStampText(2.0), QString("1900-01-01"));
        QCOMPARE(TimeStampText(2.5), QString("1900-01-01 12:00:00"));
        setlocale(LC_ALL, "C");
        QLocale::setDefault(before);
    }

    void fullScaleSteps() {
        const std::pair<float, float> steps[] = {
            {-3, 0.01f}, {1, 1}, {1.0001f, 2}, {40, 50}, {1e9f, 2e6f}};
        for (const auto& [r, fullScale] : steps)
            QCOMPARE(FullScaleFor(r), fullScale);
    }

    // The window's tests show the labels of a view of both signs, and of unsigned readings.
    void scaleLayouts() {
        const ScaleLayout pos = ScaleGraph(3.2f, 0.5f, 100, "VDC", SignPositive, "VDC", "V");
        QCOMPARE(QStringList(pos.labels.begin(), pos.labels.end()),
                 QStringList({"5.00E+00", "3.75E+00", "2.50E+00", "1.25E+00", "0"}));
        const ScaleLayout neg = ScaleGraph(-3, -40, 100, "VDC", SignNegative, "VDC", "V");
        QCOMPARE(neg.labels[4], QString("-5.00E+01"));
        QCOMPARE(neg.top, 0.0);
        QCOMPARE(neg.bottom, -50.0);
        QCOMPARE(ScaleGraph(3.2f, -7.5f, 100, "VDC", SignBoth, "VDC", "V").gridY,
                 (std::array<float, 3>{5.f, -5.f, 0.f}));
        // A single sample draws no grid and leaves the readout alone.
        const ScaleLayout one = ScaleGraph(3, 3, 1, "VDC", SignBoth, "VDC", "V");
        QVERIFY(!one.drawn);
        QVERIFY(!one.typeTextSet);
        // The marker's height follows the main window's display.
        QCOMPARE(ScaleGraph(3, 0, 100, "VDC", SignBoth, "VDC", "V").MarkerHalfHeight, 5.f / 25);
        QCOMPARE(ScaleGraph(3, 0, 100, "VDC", SignBoth, "FR", "").MarkerHalfHeight, 5.f / 50);
    }

    void getMaxMinSkipNullsAndSetUnits() {
        LogColumns c = columnsOf({1.f, 5.f, -2.f, 3.f});
        c.append(NullValue);
        View v(c);
        v.GetMax();
        v.GetMin();
        QCOMPARE(v.ViewMax, 5.f);
        QCOMPARE(v.ViewMin, -2.f);
    }

    // The window's own tests cover clicks in order and nested zooms.
    void zoomRanges() {
        struct Case {
            QList<float> clicks;
            int start, end;
        };
        const Case cases[] = {{{300.4f, 120.6f}, 121, 300}, // right to left
                              {{50}, 1, 50},                // one click: from the first sample
                              {{7.4f, 6.6f}, 7, 7},         // both round to one sample
                              {{-5, 1400}, 1, 1000},        // beside the plotted samples
                              {{0.2f, 0.3f}, 1, 1}};        // before the first
        LogColumns c = columnsOf(std::vector<float>(1000, 1.f));
        for (const Case& z : cases) {
            View v(c);
            for (float x : z.clicks)
                v.click(x);
            v.zoom();
            QCOMPARE(v.ViewStart, z.start);
            QCOMPARE(v.ViewEnd, z.end);
            QCOMPARE(v.RecordsInView, z.end + 1 - z.start);
        }
    }

    void signFilterStepsFromTheExtremes() {
        for (const auto& [values, first] : {std::pair{std::vector<float>{1, 2, 3}, SignPositive},
                                            std::pair{std::vector<float>{-1, -2}, SignNegative}}) {
            LogColumns c = columnsOf(values);
            View v(c);
            v.stepSignFilter();
            QCOMPARE(v.SignFilter, first);
            v.stepSignFilter(); // one sign only: straight back to both
            QCOMPARE(v.SignFilter, SignBoth);
        }
    }

    void arrowKeysStayInTheView() {
        LogColumns c = columnsOf(std::vector<float>(10, 1.f));
        View v(c);
        v.finishWalk(); // the view ends the file: past the last row
        QCOMPARE(v.keyPress(Qt::Key_Right).value_or(0), 10);
        QCOMPARE(v.keyPress(Qt::Key_Right).value_or(0), 10);
        v.currentRow = 1;
        QCOMPARE(v.keyPress(Qt::Key_Left).value_or(0), 1);

        // A walk leaves the query after a zoomed view, so the readout starts at its first row;
        // before the view it starts at its last row.
        v.ViewStart = 3;
        v.ViewEnd = 6;
        v.RecordsInView = 4;
        v.finishWalk();
        QCOMPARE(v.currentRow, 7);
        QCOMPARE(v.keyPress(Qt::Key_Left).value_or(0), 3);
        v.currentRow = 1;
        QCOMPARE(v.keyPress(Qt::Key_Right).value_or(0), 6);
    }

    // The window's tests show the readout of plain rows and of AC levels in dBu.
    void readoutsOfRows() {
        for (const char* noLevel : {"0", "-1", "abc"})
            QVERIFY(!ShowDbu(noLevel));
        LogColumns c;
        c.append(LogColumns::Row{std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                 std::nullopt, std::nullopt});
        c.append(row(0, "VAC"));
        c.append(row(-12.5f, "DB"));
        const Readout nulls = ReadoutFor(c, 1, 1);
        QCOMPARE(nulls.timeStamp, QString());
        QCOMPARE(nulls.value, QString());
        QVERIFY(!nulls.plotValue);
        QVERIFY(!ReadoutFor(c, 2, 1).dBu); // no level: the label keeps its text
        QCOMPARE(ReadoutFor(c, 3, 1).dBu.value_or(""), QString("-12.5"));
    }

    void decimatedTraceDrawsTheFullPolyline() {
        // Many noisy samples per pixel column, drawn in full and decimated, give one picture.
        std::vector<float> values;
        quint32 seed = 12345;
        for (int i = 0; i < 20000; ++i) {
            seed = seed * 1103515245u + 12345u;
            values.push_back(std::sin(i / 700.0f) * 4 + float((seed >> 16) % 100) / 60.f - 0.8f);
        }
        values[5000] = 9.5f; // lone spikes must survive
        values[12000] = -9.5f;
        LogColumns c = columnsOf(values);
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
        QPolygonF full;
        for (size_t i = 0; i < values.size(); ++i)
            full.append(QPointF(double(i + 1), values[i]));
        const QPolygonF reduced = TracePoints(c, 1, 1, qint32(values.size()), width);
        QVERIFY(reduced.size() <= 4 * width);
        QCOMPARE(draw(reduced), draw(full));

        // A zoomed view decimates only its own samples, at x = 1 .. RecordsInView.
        const QPolygonF zoomed = TracePoints(c, 1, 4001, 6000, width);
        QCOMPARE(zoomed.first().x(), 1.0);
        QCOMPARE(zoomed.last().x(), 2000.0);
    }

    void shortTraceKeepsEverySampleButNulls() {
        LogColumns c = columnsOf({1, 2, 3, 4});
        c.append(NullValue);
        c.append(row(6));
        QCOMPARE(TracePoints(c, 1, 2, 6, 500), QPolygonF({{1, 2}, {2, 3}, {3, 4}, {5, 6}}));
    }

    // An earlier export is replaced whole; a device is written in place. The window's picture
    // tests cover the refusals of the shared replacing writer.
    void csvReplacesOrFails() {
        const LogColumns one = columnsOf({2});
        QVERIFY(WriteBytes(path("x.csv"), QByteArray(10000, 'x')));
        QCOMPARE(WriteCsvFile(path("x.csv"), LogInfo{"d", "c"}, one), 0);
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

    void nullsAreNoReadings() {
        const QString file = path("nulls.vtd");
        WriteLogFile(file, "d", QString(), {{QTime(8, 0, 0), 0, "VDC", 1}});
        ExecSql(file, InsertRow + "VALUES (0.5, 2, NULL, NULL, NULL, NULL);" + InsertRow +
                          "VALUES (0.5, 3, 'VDC', '2.5', 'N/A', 0); UPDATE Info SET "
                          "Description = NULL;");
        const LoadResult r = LoadLogFile(file);
        QCOMPARE(r.error, 0);
        const LogColumns& c = r.log->columns;
        QVERIFY(!c.value(1, 2));
        QVERIFY(c.unitsNull(1, 2));
        QCOMPARE(c.value(1, 3).value_or(0), 2.5f);
        QByteArray out = CsvRunLine(r.log->info);
        AppendCsvRow(out, c, 2);
        QCOMPARE(out, QByteArray("d,\r\n12:00:00,2,,,,\r\n"));
    }

private:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

QTEST_MAIN(GrapherLogicTest)
#include "tst_grapherlogic.moc"
