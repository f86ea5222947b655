#include "grapher/CsvExport.h"
#include "grapher/GraphScale.h"
#include "grapher/GraphView.h"
#include "grapher/NumberText.h"
#include "grapher/Readout.h"
#include "grapher/TracePlot.h"
#include "platform/PictureBox.h"

#include <QLocale>
#include <QtTest>

using namespace grapher;

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
    void numberAndTimeTexts() {
        const std::pair<double, const char*> scientific[] = {{1234.5, "1.23E+03"},
                                                             {-0.5, "-5.00E-01"},
                                                             {0, "0.00E+00"},
                                                             {-2000000, "-2.00E+06"},
                                                             {1.5e-120, "1.50E-120"}};
        for (const auto& [value, text] : scientific)
            QCOMPARE(ScientificText(value), QString(text));
        const std::pair<float, const char*> single[] = {
            {1.2345f, "1.2345"},       {0.1f, "0.1"},   {0, "0"},
            {-0.5f, "-0.5"},           {1e9f, "1E+09"}, {-5e-5f, "-5E-05"},
            {0.77459667f, "0.7745967"}};
        for (const auto& [value, text] : single)
            QCOMPARE(SingleText(value), QString(text));
        // Days since 30 December 1899; a whole day alone shows only the date.
        QCOMPARE(TimeStampText(0), QString("00:00:00"));
        QCOMPARE(TimeStampText(2.0), QString("1900-01-01"));
        QCOMPARE(TimeStampText(2.5), QString("1900-01-01 12:00:00"));
    }

    void numbersIgnoreTheUserLocale() {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        setlocale(LC_ALL, "de_DE.UTF-8");
        QCOMPARE(SingleText(1.5f), QString("1.5"));
        QCOMPARE(ScientificText(1.5), QString("1.50E+00"));
        QCOMPARE(FixedTwoText(1.5), QString("1.50"));
        QCOMPARE(LeadingNumber("1.5 V"), 1.5);
        setlocale(LC_ALL, "C");
        QLocale::setDefault(before);
    }

    void fullScaleSteps() {
        const std::pair<float, float> steps[] = {{0.004f, 0.01f}, {0, 0.01f},   {-3, 0.01f},
                                                 {1, 1},          {1.0001f, 2}, {7.5f, 10},
                                                 {40, 50},        {1e6f, 1e6f}, {1e9f, 2e6f}};
        for (const auto& [r, fullScale] : steps)
            QCOMPARE(FullScaleFor(r), fullScale);
    }

    // The window's tests show the labels of a view of both signs.
    void scaleLayouts() {
        struct Case {
            float max, min;
            QString sign;
            double top, bottom;
            QStringList labels;
        };
        const Case cases[] = {
            {3.2f, 0.5f, SignPositive, 5, 0, {"5.00E+00", "3.75E+00", "2.50E+00", "1.25E+00", "0"}},
            {-3,
             -40,
             SignNegative,
             0,
             -50,
             {"0", "-1.25E+01", "-2.50E+01", "-3.75E+01", "-5.00E+01"}},
            {0.008f,
             0.001f,
             SignBoth,
             0.01f,
             -0.01f,
             {"1.00E-02", "5.00E-03", "0", "-5.00E-03", "-1.00E-02"}}};
        for (const Case& c : cases) {
            const ScaleLayout s = ScaleGraph(c.max, c.min, 100, "VDC", c.sign, "VDC", "V");
            QVERIFY(s.drawn);
            QCOMPARE(QStringList(s.labels.begin(), s.labels.end()), c.labels);
            QCOMPARE(s.top, c.top);
            QCOMPARE(s.bottom, c.bottom);
            QCOMPARE(s.left, 1.0);
            QCOMPARE(s.right, 100.0);
        }
    }

    void scaleEdges() {
        QCOMPARE(ScaleGraph(3.2f, -7.5f, 100, "VDC", SignBoth, "VDC", "V").gridY,
                 (std::array<float, 3>{5.f, -5.f, 0.f}));
        QCOMPARE(ScaleGraph(1, 0, 10, "VDC", SignBoth, "No Comm", "").typeText, QString("No Comm"));
        for (const QString units : {"VAC", "AAC", "OHMS", "HZ"}) {
            ScaleLayout s = ScaleGraph(1, 0, 10, units, SignNegative, "VDC", "V");
            QCOMPARE(s.SignFilter, SignPositive);
            QVERIFY(!s.PlusMinusEnabled);
            QCOMPARE(s.bottom, 0.0);
        }
        QVERIFY(ScaleGraph(1, 0, 10, "ADC", SignNegative, "VDC", "V").PlusMinusEnabled);
        // A single sample draws no grid and leaves the readout alone.
        ScaleLayout one = ScaleGraph(3, 3, 1, "VDC", SignBoth, "VDC", "V");
        QVERIFY(!one.drawn);
        QVERIFY(!one.typeTextSet);
        QCOMPARE(one.FullScale, 5.f);
        // The marker's height follows the main window's display.
        ScaleLayout s = ScaleGraph(3, 0, 100, "VDC", SignBoth, "VDC", "V");
        QCOMPARE(s.MarkerHalfWidth, 2.f);
        QCOMPARE(s.MarkerHalfHeight, 5.f / 25);
        QCOMPARE(ScaleGraph(3, 0, 100, "VDC", SignBoth, "FR", "").MarkerHalfHeight, 5.f / 50);
    }

    void getMaxMinSkipNullsAndSetUnits() {
        LogColumns c = columnsOf({1.f, 5.f, -2.f, 3.f});
        c.append(NullValue);
        View v(c);
        QCOMPARE(v.RecordsInView, 5);
        v.GetMax();
        v.GetMin();
        QCOMPARE(v.ViewMax, 5.f);
        QCOMPARE(v.ViewMin, -2.f);
        QCOMPARE(v.ViewUnits, QString("VDC"));

        LogColumns empty;
        empty.append(NullValue);
        View e(empty);
        e.GetMax();
        e.GetMin();
        QCOMPARE(e.ViewMax, -2000000.f); // nothing to compare: the start values stay
        QCOMPARE(e.ViewMin, 2000000.f);
    }

    void secondaryReadings() {
        LogColumns c;
        c.append(row(1, "VAC", 50, "HZ"));
        c.append(row(2, "VAC", 60, "N/A"));
        View v(c);
        v.GetMax();
        QVERIFY(v.HasSecondary);
        v.MarkerX = 3;
        QVERIFY(v.toggleDataSet());
        QCOMPARE(v.MarkerX, 0.f); // the marker belonged to the other trace
        QVERIFY(v.toggleDataSet());
        QCOMPARE(v.TraceColour, 255.f);
        v.ViewStart = 2; // the view's first row decides
        v.GetMax();
        QVERIFY(!v.HasSecondary);
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

    void clicksKeepTheLastTwoLines() {
        LogColumns c = columnsOf(std::vector<float>(100, 1.f));
        View v(c);
        GraphView::Click a = v.click(10);
        QVERIFY(!a.eraseX);
        QVERIFY(a.enableZoom && a.enableReset);
        QVERIFY(!v.click(20).eraseX);
        QCOMPARE(v.click(30).eraseX.value_or(-1), 10.f);
        QCOMPARE(v.PrevCursorX, 20.f);
        v.resetForRedraw();
        QCOMPARE(v.CursorX, 0.f);
        QCOMPARE(v.LastClickX, 30.f); // kept across redraws
    }

    void mouseRowRoundsHalvesToEven() {
        LogColumns c = columnsOf(std::vector<float>(200, 1.f));
        View v(c);
        v.ViewStart = 101;
        v.ViewEnd = 150;
        v.RecordsInView = 50;
        QCOMPARE(v.rowForMouse(2.5f).value_or(0), 102);
        QCOMPARE(v.rowForMouse(3.5f).value_or(0), 104);
        QVERIFY(!v.rowForMouse(200));                 // beyond the file
        QVERIFY(!v.rowForMouse(-100));                // before it
        QCOMPARE(v.rowForMouse(-50).value_or(0), 50); // outside the view, inside the file
    }

    void arrowKeysStayInTheView() {
        LogColumns c = columnsOf(std::vector<float>(10, 1.f));
        View v(c);
        v.finishWalk(); // the view ends the file: past the last row
        QCOMPARE(v.keyPress(Qt::Key_Right).value_or(0), 10);
        QCOMPARE(v.keyPress(Qt::Key_Right).value_or(0), 10);
        QCOMPARE(v.keyPress(Qt::Key_Left).value_or(0), 9);
        v.currentRow = 1;
        QCOMPARE(v.keyPress(Qt::Key_Left).value_or(0), 1);
        QVERIFY(!v.keyPress(Qt::Key_A));

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

    void readoutsOfRows() {
        QCOMPARE(ShowDbu("0.1").value_or(""), QString("-17.78 dBu"));
        for (const char* noLevel : {"0", "-1", "abc"})
            QVERIFY(!ShowDbu(noLevel));
        QCOMPARE(LeadingNumber(" +1.5E+0 VDC"), 1.5);
        LogColumns c;
        c.append(LogColumns::Row{0.5, 125.f, QString("VDC"), 1.25f, QString("HZ"), 60.f});
        c.append(LogColumns::Row{std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                 std::nullopt, std::nullopt});
        c.append(row(0, "VAC"));
        c.append(row(-12.5f, "DB"));
        const Readout r = ReadoutFor(c, 1, 1);
        QCOMPARE(r.milliSeconds, QString("125"));
        QCOMPARE(r.plotValue.value_or(0), 1.25f);
        QCOMPARE(ReadoutFor(c, 1, 2).units, QString("HZ"));
        QCOMPARE(ReadoutFor(c, 1, 2).value, QString("60"));
        const Readout nulls = ReadoutFor(c, 2, 1);
        QCOMPARE(nulls.timeStamp, QString());
        QCOMPARE(nulls.value, QString());
        QVERIFY(!nulls.plotValue);
        QVERIFY(!ReadoutFor(c, 3, 1).dBu); // no level: the label keeps its text
        QCOMPARE(ReadoutFor(c, 4, 1).dBu.value_or(""), QString("-12.5"));
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

    void exportPathAndFileErrors() {
        QCOMPARE(ExportPath("/logs/run1.vtd", "mdb"), QString("/logs/run1.mdb"));
        QCOMPARE(ExportPath("/logs/run1.db", "csv"), QString("/logs/run1.csv"));
        QCOMPARE(ExportPath("/logs.d/run1", "csv"), QString("/logs.d/run1.csv"));
        // Full disk, missing folder and read-only files are met in the file tests.
        QCOMPARE(FileErrorNumber(EIO), 57);
        QCOMPARE(FileErrorNumber(EROFS), 70);
        QCOMPARE(FileErrorNumber(EISDIR), EISDIR);
    }
};

QTEST_MAIN(GrapherLogicTest)
#include "tst_grapherlogic.moc"
