#include "GrapherTestFiles.h"
#include "grapher/CsvExport.h"
#include "grapher/GraphScale.h"
#include "grapher/GraphView.h"
#include "grapher/LogFileReader.h"
#include "grapher/NumberText.h"
#include "grapher/Readout.h"
#include "grapher/TracePlot.h"
#include "grapher/ViewStatistics.h"
#include "grapher/frmStatistics.h"
#include "logger/DbError.h"
#include "platform/PictureBox.h"

#include <QLabel>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

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
    explicit View(const LogColumns& c) {
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
        // The view's extremes, over whole blocks and the rows either side of them.
        View v(c);
        for (auto [start, end] : {std::pair{1, 20000}, {4001, 5000}, {12000, 12000}, {130, 250}}) {
            v.ViewStart = start;
            v.ViewEnd = end;
            v.GetMax();
            v.GetMin();
            const auto [lo, hi] =
                std::minmax_element(values.begin() + start - 1, values.begin() + end);
            QCOMPARE(std::pair(v.ViewMin, v.ViewMax), std::pair(*lo, *hi));
        }
    }

    // Statistics follow the view and the sign filter, and agree with a two-pass computation in
    // double, also for a small spread about a large mean.
    void statistics_data() {
        QTest::addColumn<double>("offset");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("sign");
        QTest::newRow("whole file") << 0.0 << 1 << 3000 << SignBoth;
        QTest::newRow("zoomed, positive") << 0.0 << 77 << 2901 << SignPositive;
        QTest::newRow("zoomed, negative") << 0.0 << 129 << 1000 << SignNegative;
        QTest::newRow("within one block") << 0.0 << 5 << 60 << SignBoth;
        QTest::newRow("mean far above the spread") << 1e5 << 3 << 2999 << SignBoth;
        QTest::newRow("far below, negative") << -1e5 << 1 << 3000 << SignNegative;
    }
    void statistics() {
        QFETCH(double, offset);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, sign);
        LogColumns c;
        std::vector<float> values;
        for (int i = 0; i < 3000; ++i) {
            values.push_back(float(offset + std::sin(i / 40.0) * 2 + (i % 7 == 0 ? 0 : 0.001 * i)));
            c.append(LogColumns::Row{(i / 4) / 86400.0, float(i % 4 * 250), QString("VDC"),
                                     i % 97 == 5 ? std::nullopt : std::optional(values.back()),
                                     QString("N/A"), 0.f});
        }
        std::vector<double> in;
        for (int i = start - 1; i < end; ++i)
            if (i % 97 != 5 && !(sign == SignPositive && values[i] < 0) &&
                !(sign == SignNegative && values[i] > 0))
                in.push_back(values[i]);
        double mean = 0, m2 = 0, squares = 0;
        for (double x : in)
            mean += x / double(in.size());
        for (double x : in) {
            m2 += (x - mean) * (x - mean);
            squares += x * x;
        }
        const ViewStatistics s(c, 1, start, end, sign);
        QCOMPARE(s.count, qint64(in.size()));
        auto close = [](double a, double b) { return std::abs(a - b) <= 1e-9 * std::abs(b); };
        QVERIFY2(close(s.mean, mean), qPrintable(QString::number(s.mean - mean)));
        QVERIFY(close(s.standardDeviation, std::sqrt(m2 / double(in.size() - 1))));
        QVERIFY(close(s.rms, std::sqrt(squares / double(in.size()))));
        const auto [lo, hi] = std::minmax_element(in.begin(), in.end());
        QCOMPARE(std::tuple(double(s.minimum), double(s.maximum), s.peakToPeak),
                 std::tuple(*lo, *hi, *hi - *lo));
        QCOMPARE(s.spanSeconds.value_or(-1),
                 (end - 1) / 4 - (start - 1) / 4 + ((end - 1) % 4 - (start - 1) % 4) * 0.25);
        QCOMPARE(s.units, QString("VDC"));
    }

    // A log of several days spans them: each midnight crossed adds a day, a clock set back an
    // hour does not.
    void statisticsSpanCountsMidnights() {
        LogColumns c;
        for (int hour : {22, 23, 0, 1, 23, 0, 12, 11})
            c.append(LogColumns::Row{hour / 24.0, 0.f, QString("VDC"), 1.f, QString("N/A"), 0.f});
        QCOMPARE(ViewStatistics(c, 1, 1, 8, SignBoth).spanSeconds, std::optional(37 * 3600.0));
        QCOMPARE(ViewStatistics(c, 1, 2, 4, SignBoth).spanSeconds, std::optional(2 * 3600.0));
    }

    // The statistics window reads like the meter: five digits and a multiplier letter, the
    // span in seconds or h:mm:ss, dashes where the view holds no reading.
    void statisticsWindow() {
        frmStatistics window;
        auto text = [&](const char* name) { return window.findChild<QLabel*>(name)->text(); };
        window.setStatistics(ViewStatistics(LogColumns(), 1, 1, 1, SignBoth));
        QCOMPARE(window.windowTitle() + text("lblSamples") + text("lblSpan") + text("lblRms"),
                 "Statistics0--");
        const LogColumns c = columnsOf({-0.0123456f, 0.0004f}, " VDC");
        window.setStatistics(ViewStatistics(c, 1, 1, 2, SignBoth));
        QCOMPARE(QStringList({text("lblSamples"), text("lblSpan"), text("lblMean"),
                              text("lblMinimum"), text("lblMaximum"), text("lblPeakToPeak")}),
                 QStringList({"2", "0.000 s", "-5.9728 mVDC", "-12.346 mVDC",
                              QStringLiteral("400.00 \u00b5VDC"), "12.746 mVDC"}));
        const std::tuple<double, const char*, const char*> numbers[] = {
            {999.996, "VDC", "1.0000 kVDC"}, {4700, "OHMS", "4.7000 kOHMS"},
            {0, "VDC", "0.0000 VDC"},        {2.5e6, "HZ", "2.5000 MHZ"},
            {-3.5, " DB", "-3.50 DB"},       {1e-15, "ADC", "1.00E-15 ADC"}};
        for (const auto& [value, units, expected] : numbers)
            QCOMPARE(StatisticsTexts::numberText(value, units), QString(expected));
        const std::pair<double, const char*> spans[] = {
            {59.9996, "0:01:00.000"}, {3723.25, "1:02:03.250"}, {90000, "1 d 1:00:00.000"}};
        for (const auto& [seconds, expected] : spans)
            QCOMPARE(StatisticsTexts::spanText(seconds), QString(expected));
    }

    // Odd stored values read back exactly: the compact columns keep what does not fit them
    // aside, and the parallel read gives the rows the single ordered scan gives.
    void oddValuesAndBothWaysOfReading() {
        const QString file = path("odd.vtd");
        WriteLogFile(file, "d", "c", {{QTime(8, 0, 0), 0, "VDC", 1}});
        const QString odd = "DROP TABLE LogData; CREATE TABLE LogData (Sample INTEGER PRIMARY KEY, "
                            "TimeStamp, MilliSeconds, Units, Value, Units2, Value2);";
        const std::vector<std::pair<QVariant, QVariant>> rows = {
            {2.5, 1500},      {-0.25, 12.5},   {QVariant(), -3}, {0.1, QVariant()},
            {46000.75, -0.0}, {1e-9, 32768.0}, {-0.0, 999},      {"12:00:01", 0.25}};
        QString sql = "BEGIN;" + odd;
        for (int i = 0; i < 3000; ++i) {
            const auto& [ts, ms] = rows[size_t(i) % rows.size()];
            auto literal = [](const QVariant& v) {
                return v.isNull()                         ? QString("NULL")
                       : v.typeId() == QMetaType::QString ? "'" + v.toString() + "'"
                       : std::signbit(v.toDouble()) && v.toDouble() == 0
                           ? QString("-0.0")
                           : QString::number(v.toDouble(), 'g', 17);
            };
            sql += QString("INSERT INTO LogData VALUES (%1, %2, %3, %4, %5, %6, %7);")
                       .arg(i + 1)
                       .arg(literal(ts), literal(ms),
                            i % 5   ? "'VDC'"
                            : i % 2 ? "NULL"
                                    : "''")
                       .arg(i % 11 ? QString::number(i * 0.001) : QString("NULL"))
                       .arg(i < 1500 ? "'N/A'" : "'HZ'")
                       .arg(i % 3);
        }
        ExecSql(file, sql + "COMMIT;");
        const LoadResult parallel = LoadLogFile(file);
        QCOMPARE(parallel.error, 0);
        const LogColumns& c = parallel.log->columns;
        for (int i = 0; i < 3000; ++i) {
            const auto& [ts, ms] = rows[size_t(i) % rows.size()];
            const double time =
                ts.typeId() == QMetaType::QString ? 43201000 / 86400000.0 : ts.toDouble();
            QCOMPARE(c.timeStampNull(i + 1), ts.isNull());
            QCOMPARE(c.milliSecondsNull(i + 1), ms.isNull());
            QCOMPARE(std::bit_cast<quint64>(c.timeStamp(i + 1)),
                     std::bit_cast<quint64>(ts.isNull() ? 0 : time));
            QCOMPARE(std::bit_cast<quint32>(c.milliSeconds(i + 1)),
                     std::bit_cast<quint32>(float(ms.toDouble())));
            QCOMPARE(c.unitsNull(1, i + 1), i % 5 == 0 && i % 2 == 1);
            QCOMPARE(c.value(1, i + 1).has_value(), i % 11 != 0);
        }
        QVERIFY(c.bytesPerRow() <= 16 + 32);
        // Gaps in Sample: the rows are read in one ordered scan, with the same result.
        QVERIFY(WriteCsvFile(path("parallel.csv"), parallel.log->info, c) == 0);
        ExecSql(file, "UPDATE LogData SET Sample = Sample + 5000 WHERE Sample > 1400");
        const LoadResult scanned = LoadLogFile(file);
        QVERIFY(WriteCsvFile(path("scanned.csv"), scanned.log->info, scanned.log->columns) == 0);
        QCOMPARE(ReadBytes(path("scanned.csv")), ReadBytes(path("parallel.csv")));
        for (int set : {1, 2})
            QCOMPARE(TracePoints(scanned.log->columns, set, 1, 3000, 300),
                     TracePoints(c, set, 1, 3000, 300));
    }

    // A cancelled load, export or copy gives Cancelled and leaves what was there before.
    void cancelKeepsWhatWasThere() {
        const QString file = path("run.vtd");
        WriteLogFile(file, "d", "c", std::vector<Sample>(5000, {QTime(8, 0, 0), 0, "VDC", 1}));
        Progress stop;
        stop.cancel();
        const LoadResult load = LoadLogFile(file, &stop);
        QVERIFY(load.error == Cancelled && !load.log);
        const LoadResult whole = LoadLogFile(file);
        QVERIFY(WriteBytes(path("old.csv"), "earlier") && WriteBytes(path("old.vtd"), "earlier"));
        QCOMPARE(WriteCsvFile(path("old.csv"), whole.log->info, whole.log->columns, file, &stop),
                 Cancelled);
        QCOMPARE(CopyLogDatabase(file, path("old.vtd"), nullptr, &stop), Cancelled);
        for (const char* name : {"old.csv", "old.vtd"})
            QCOMPARE(ReadBytes(path(name)), QByteArray("earlier"));
        Progress counted;
        QCOMPARE(LoadLogFile(file, &counted).error, 0);
        QCOMPARE(std::pair(counted.done.load(), counted.total.load()), std::pair(5000LL, 5000LL));
        QCOMPARE(CopyLogDatabase(file, path("old.vtd"), nullptr, &counted), 0);
        QCOMPARE(LoadLogFile(path("old.vtd")).log->columns.rowCount(), 5000);
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
