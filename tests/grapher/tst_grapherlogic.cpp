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

LogColumns columnsOf(const std::vector<float>& values, const QString& units = "VDC") {
    LogColumns c;
    for (float v : values)
        c.append(row(v, units));
    return c;
}

} // namespace

class GrapherLogicTest : public QObject {
    Q_OBJECT
private slots:
    void scientificShape_data();
    void scientificShape();
    void singleText_data();
    void singleText();
    void numbersIgnoreTheUserLocale();
    void timeStampText();

    void fullScaleSteps_data();
    void fullScaleSteps();
    void scaleLayoutsAndLabels();
    void unsignedUnitsForcePositive();
    void singleSampleDrawsNoGrid();
    void markerSize();

    void getMaxMinSkipNullsAndSetUnits();
    void secondaryPresence();
    void zoomRanges();
    void zoomClampsToTheView();
    void signFilterSteps();
    void resetAfterNestedZooms();
    void clicksKeepTheLastTwoLines();
    void mouseRowRoundsHalvesToEven();
    void arrowKeysStayInTheView();
    void dataSetSwitch();

    void dbuReadouts();
    void readoutOfARow();

    void decimatedTraceDrawsTheFullPolyline();
    void shortTraceKeepsEverySample();

    void csvLines();
    void exportPath();
    void fileErrorNumbers();
};

void GrapherLogicTest::scientificShape_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1234.5") << 1234.5 << "1.23E+03";
    QTest::newRow("-0.5") << -0.5 << "-5.00E-01";
    QTest::newRow("ten") << 10.0 << "1.00E+01";
    QTest::newRow("zero") << 0.0 << "0.00E+00";
    QTest::newRow("start max") << -2000000.0 << "-2.00E+06";
    QTest::newRow("tiny") << 1.5e-120 << "1.50E-120";
}

void GrapherLogicTest::scientificShape() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(ScientificText(value), text);
}

void GrapherLogicTest::singleText_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("reading") << 1.2345f << "1.2345";
    QTest::newRow("tenth") << 0.1f << "0.1";
    QTest::newRow("ms") << 250.f << "250";
    QTest::newRow("zero") << 0.f << "0";
    QTest::newRow("negative") << -0.5f << "-0.5";
    QTest::newRow("overload") << 1e9f << "1E+09";
    QTest::newRow("small") << -5e-5f << "-5E-05";
    QTest::newRow("seven digits") << 0.77459667f << "0.7745967";
}

void GrapherLogicTest::singleText() {
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(SingleText(value), text);
}

void GrapherLogicTest::numbersIgnoreTheUserLocale() {
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

void GrapherLogicTest::timeStampText() {
    QCOMPARE(TimeStampText((14 * 3600 + 30 * 60 + 15) / 86400.0), QString("14:30:15"));
    QCOMPARE(TimeStampText(0), QString("00:00:00"));
    QCOMPARE(TimeStampText(2.0), QString("1900-01-01"));
    QCOMPARE(TimeStampText(2.5), QString("1900-01-01 12:00:00"));
}

void GrapherLogicTest::fullScaleSteps_data() {
    QTest::addColumn<float>("r");
    QTest::addColumn<float>("fullScale");
    QTest::newRow("small") << 0.004f << 0.01f;
    QTest::newRow("zero") << 0.f << 0.01f;
    QTest::newRow("negative max") << -3.f << 0.01f;
    QTest::newRow("one") << 1.f << 1.f;
    QTest::newRow("just above one") << 1.0001f << 2.f;
    QTest::newRow("7.5") << 7.5f << 10.f;
    QTest::newRow("40") << 40.f << 50.f;
    QTest::newRow("million") << 1e6f << 1e6f;
    QTest::newRow("overload") << 1e9f << 2e6f;
}

void GrapherLogicTest::fullScaleSteps() {
    QFETCH(float, r);
    QFETCH(float, fullScale);
    QCOMPARE(FullScaleFor(r), fullScale);
}

void GrapherLogicTest::scaleLayoutsAndLabels() {
    ScaleLayout both = ScaleGraph(3.2f, -7.5f, 100, "VDC", SignBoth, "VDC", "V");
    QCOMPARE(both.FullScale, 10.f);
    QCOMPARE(both.HalfScale, 5.f);
    QVERIFY(both.drawn);
    QCOMPARE(both.top, 10.0);
    QCOMPARE(both.bottom, -10.0);
    QCOMPARE(both.left, 1.0);
    QCOMPARE(both.right, 100.0);
    const std::array<QString, 5> bothLabels = {"1.00E+01", "5.00E+00", "0", "-5.00E+00",
                                               "-1.00E+01"};
    QCOMPARE(both.labels, bothLabels);
    QCOMPARE(both.gridY, (std::array<float, 3>{5.f, -5.f, 0.f}));
    QVERIFY(both.PlusMinusEnabled);

    ScaleLayout pos = ScaleGraph(3.2f, 0.5f, 10, "VDC", SignPositive, "VDC", "V");
    QCOMPARE(pos.FullScale, 5.f);
    QCOMPARE(pos.top, 5.0);
    QCOMPARE(pos.bottom, 0.0);
    const std::array<QString, 5> posLabels = {"5.00E+00", "3.75E+00", "2.50E+00", "1.25E+00", "0"};
    QCOMPARE(pos.labels, posLabels);

    ScaleLayout neg = ScaleGraph(-3.f, -40.f, 10, "VDC", SignNegative, "VDC", "V");
    QCOMPARE(neg.FullScale, 50.f);
    QCOMPARE(neg.top, 0.0);
    QCOMPARE(neg.bottom, -50.0);
    const std::array<QString, 5> negLabels = {"0", "-1.25E+01", "-2.50E+01", "-3.75E+01",
                                              "-5.00E+01"};
    QCOMPARE(neg.labels, negLabels);

    ScaleLayout tiny = ScaleGraph(0.008f, 0.001f, 10, "VDC", SignBoth, "VDC", "V");
    QCOMPARE(tiny.FullScale, 0.01f);
    QCOMPARE(tiny.HalfScale, 0.005f);

    QCOMPARE(both.typeText, QString("VDC V"));
    QCOMPARE(ScaleGraph(1, 0, 10, "VDC", SignBoth, "No Comm", "").typeText, QString("No Comm"));
}

void GrapherLogicTest::unsignedUnitsForcePositive() {
    for (const QString units : {"VAC", "AAC", "OHMS", "HZ"}) {
        ScaleLayout s = ScaleGraph(1, 0, 10, units, SignNegative, "VDC", "V");
        QCOMPARE(s.SignFilter, SignPositive);
        QVERIFY(!s.PlusMinusEnabled);
        QCOMPARE(s.bottom, 0.0);
    }
    QVERIFY(ScaleGraph(1, 0, 10, "ADC", SignNegative, "VDC", "V").PlusMinusEnabled);
}

void GrapherLogicTest::singleSampleDrawsNoGrid() {
    ScaleLayout s = ScaleGraph(3, 3, 1, "VDC", SignBoth, "VDC", "V");
    QVERIFY(!s.drawn);
    QVERIFY(!s.typeTextSet);
    QCOMPARE(s.FullScale, 5.f);
}

void GrapherLogicTest::markerSize() {
    ScaleLayout s = ScaleGraph(3, 0, 100, "VDC", SignBoth, "VDC", "V");
    QCOMPARE(s.MarkerHalfWidth, 2.f);
    QCOMPARE(s.MarkerHalfHeight, 5.f / 25);
    QCOMPARE(ScaleGraph(3, 0, 100, "VDC", SignBoth, "FR", "").MarkerHalfHeight, 5.f / 50);
}

void GrapherLogicTest::getMaxMinSkipNullsAndSetUnits() {
    LogColumns c = columnsOf({1.f, 5.f, -2.f, 3.f});
    c.append(LogColumns::Row{0.5, 1.f, QString("VDC"), std::nullopt, QString("N/A"), 0.f});
    GraphView v;
    v.attach(&c);
    v.showAll();
    QCOMPARE(v.RecordsInView, 5);
    QCOMPARE(v.GetMax(), QString("5.00E+00"));
    QCOMPARE(v.GetMin(), QString("-2.00E+00"));
    QCOMPARE(v.ViewMax, 5.f);
    QCOMPARE(v.ViewMin, -2.f);
    QCOMPARE(v.ViewUnits, QString("VDC"));

    LogColumns empty;
    empty.append(LogColumns::Row{0.5, 1.f, QString("VDC"), std::nullopt, QString("N/A"), 0.f});
    v.attach(&empty);
    v.showAll();
    v.GetMax();
    v.GetMin();
    QCOMPARE(v.ViewMax, -2000000.f); // nothing to compare: the start values stay
    QCOMPARE(v.ViewMin, 2000000.f);
}

void GrapherLogicTest::secondaryPresence() {
    LogColumns c;
    c.append(row(1, "VAC", 50, "HZ"));
    c.append(row(2, "VAC", 60, "N/A"));
    GraphView v;
    v.attach(&c);
    v.showAll();
    v.GetMax();
    QVERIFY(v.HasSecondary);
    v.ViewStart = 2;
    v.GetMax();
    QVERIFY(!v.HasSecondary);
}

void GrapherLogicTest::zoomRanges() {
    LogColumns c = columnsOf(std::vector<float>(1000, 1.f));
    GraphView v;
    v.attach(&c);
    v.showAll();
    v.click(300.4f);
    v.click(120.6f);
    v.zoom();
    QCOMPARE(v.ViewStart, 121);
    QCOMPARE(v.ViewEnd, 300);
    QCOMPARE(v.RecordsInView, 180);

    v.showAll();
    v.resetForRedraw();
    v.click(120.6f);
    v.click(300.4f);
    v.zoom();
    QCOMPARE(v.ViewStart, 121);
    QCOMPARE(v.ViewEnd, 300);

    // Nested: clicks at 10 and 20 within the view starting at 121.
    v.resetForRedraw();
    v.click(10);
    v.click(20);
    v.zoom();
    QCOMPARE(v.ViewStart, 130);
    QCOMPARE(v.ViewEnd, 140);

    // One click after a redraw: from the view's first sample to the click.
    v.showAll();
    v.resetForRedraw();
    v.click(50);
    v.zoom();
    QCOMPARE(v.ViewStart, 1);
    QCOMPARE(v.ViewEnd, 50);

    // Two clicks rounding to the same sample give a single point.
    v.showAll();
    v.resetForRedraw();
    v.click(7.4f);
    v.click(6.6f);
    v.zoom();
    QCOMPARE(v.RecordsInView, 1);
    QCOMPARE(v.ViewStart, 7);
}

void GrapherLogicTest::zoomClampsToTheView() {
    LogColumns c = columnsOf(std::vector<float>(100, 1.f));
    GraphView v;
    v.attach(&c);
    v.showAll();
    v.click(-5);
    v.click(140);
    v.zoom();
    QCOMPARE(v.ViewStart, 1);
    QCOMPARE(v.ViewEnd, 100);
    v.resetForRedraw();
    v.click(0.2f);
    v.click(0.3f);
    v.zoom();
    QCOMPARE(v.ViewStart, 1);
    QCOMPARE(v.RecordsInView, 1);
}

void GrapherLogicTest::signFilterSteps() {
    LogColumns positive = columnsOf({1, 2, 3});
    GraphView v;
    v.attach(&positive);
    v.showAll();
    v.stepSignFilter();
    QCOMPARE(v.SignFilter, SignPositive);
    QCOMPARE(v.signSuffix(), QString(" - Positive Values Only!"));
    v.stepSignFilter();
    QCOMPARE(v.SignFilter, SignBoth);
    QCOMPARE(v.signSuffix(), QString());

    LogColumns negative = columnsOf({-1, -2});
    v.attach(&negative);
    v.showAll();
    v.stepSignFilter();
    QCOMPARE(v.SignFilter, SignNegative);
    QCOMPARE(v.signSuffix(), QString(" - Negative Values Only!"));
    v.stepSignFilter();
    QCOMPARE(v.SignFilter, SignBoth);

    LogColumns mixed = columnsOf({-1, 2});
    v.attach(&mixed);
    v.showAll();
    QStringList seen;
    for (int i = 0; i < 3; ++i) {
        v.stepSignFilter();
        seen << v.SignFilter;
    }
    QCOMPARE(seen, QStringList({SignPositive, SignNegative, SignBoth}));
}

void GrapherLogicTest::resetAfterNestedZooms() {
    LogColumns c = columnsOf(std::vector<float>(500, 1.f));
    GraphView v;
    v.attach(&c);
    v.showAll();
    v.click(100);
    v.click(400);
    v.zoom();
    v.resetForRedraw();
    v.click(10);
    v.click(20);
    v.zoom();
    v.SignFilter = SignNegative;
    v.reset();
    QCOMPARE(v.ViewStart, 1);
    QCOMPARE(v.ViewEnd, 500);
    QCOMPARE(v.RecordsInView, 500);
    QCOMPARE(v.SignFilter, SignBoth);
}

void GrapherLogicTest::clicksKeepTheLastTwoLines() {
    LogColumns c = columnsOf(std::vector<float>(100, 1.f));
    GraphView v;
    v.attach(&c);
    v.showAll();
    GraphView::Click a = v.click(10);
    QVERIFY(!a.eraseX);
    QVERIFY(a.enableZoom && a.enableReset);
    GraphView::Click b = v.click(20);
    QVERIFY(!b.eraseX);
    GraphView::Click third = v.click(30);
    QCOMPARE(third.eraseX.value_or(-1), 10.f);
    QCOMPARE(v.PrevCursorX, 20.f);
    QCOMPARE(v.CursorX, 30.f);
    QCOMPARE(v.LastClickX, 30.f);
    v.resetForRedraw();
    QCOMPARE(v.CursorX, 0.f);
    QCOMPARE(v.LastClickX, 30.f); // kept across redraws
}

void GrapherLogicTest::mouseRowRoundsHalvesToEven() {
    LogColumns c = columnsOf(std::vector<float>(200, 1.f));
    GraphView v;
    v.attach(&c);
    v.ViewStart = 101;
    v.ViewEnd = 150;
    v.RecordsInView = 50;
    QCOMPARE(v.rowForMouse(2.5f).value_or(0), 102);
    QCOMPARE(v.rowForMouse(3.5f).value_or(0), 104);
    QVERIFY(!v.rowForMouse(200));                 // beyond the file
    QVERIFY(!v.rowForMouse(-100));                // before it
    QCOMPARE(v.rowForMouse(-50).value_or(0), 50); // outside the view, inside the file
}

void GrapherLogicTest::arrowKeysStayInTheView() {
    LogColumns c = columnsOf(std::vector<float>(10, 1.f));
    GraphView v;
    v.attach(&c);
    v.showAll();
    v.finishWalk(); // the view ends the file: past the last row
    QCOMPARE(v.keyPress(Qt::Key_Right).value_or(0), 10);
    QCOMPARE(v.keyPress(Qt::Key_Right).value_or(0), 10);
    QCOMPARE(v.keyPress(Qt::Key_Left).value_or(0), 9);
    v.currentRow = 1;
    QCOMPARE(v.keyPress(Qt::Key_Left).value_or(0), 1);
    QVERIFY(!v.keyPress(Qt::Key_A));

    // A zoomed view: a walk leaves the query after the view, so the readout starts at its
    // first row; before the view it starts at its last row.
    v.ViewStart = 3;
    v.ViewEnd = 6;
    v.RecordsInView = 4;
    v.finishWalk();
    QCOMPARE(v.currentRow, 7);
    QCOMPARE(v.keyPress(Qt::Key_Left).value_or(0), 3);
    v.currentRow = 1;
    QCOMPARE(v.keyPress(Qt::Key_Right).value_or(0), 6);
}

void GrapherLogicTest::dataSetSwitch() {
    LogColumns dual;
    dual.append(row(1, "VAC", 50, "HZ"));
    dual.append(row(2, "VAC", 60, "HZ"));
    GraphView v;
    v.attach(&dual);
    v.showAll();
    v.GetMax();
    v.MarkerX = 3;
    QVERIFY(v.toggleDataSet());
    QCOMPARE(v.DataSet, qint16(2));
    QCOMPARE(v.TraceColour, 65280.f);
    QCOMPARE(v.MarkerX, 0.f);
    v.GetMax();
    QCOMPARE(v.ViewUnits, QString("HZ"));
    QCOMPARE(v.ViewMax, 60.f);
    QVERIFY(v.toggleDataSet());
    QCOMPARE(v.DataSet, qint16(1));
    QCOMPARE(v.TraceColour, 255.f);

    LogColumns single = columnsOf({1, 2});
    v.attach(&single);
    v.showAll();
    v.GetMax();
    QVERIFY(!v.toggleDataSet());
    QCOMPARE(v.DataSet, qint16(1));
}

void GrapherLogicTest::dbuReadouts() {
    QCOMPARE(ShowDbu("0.7745967").value_or(""), QString("0.00 dBu"));
    QCOMPARE(ShowDbu("7.745967").value_or(""), QString("20.00 dBu"));
    QCOMPARE(ShowDbu("0.1").value_or(""), QString("-17.78 dBu"));
    QVERIFY(!ShowDbu("0"));
    QVERIFY(!ShowDbu("-1"));
    QVERIFY(!ShowDbu("abc"));
    QCOMPARE(LeadingNumber(" +1.5E+0 VDC"), 1.5);

    LogColumns c;
    c.append(row(0.77459667f, "VAC"));
    c.append(row(7.7459667f, "VAC"));
    c.append(row(0, "VAC"));
    c.append(row(-12.5f, "DB"));
    c.append(row(1.5f, "VDC"));
    QCOMPARE(ReadoutFor(c, 1, 1).dBu.value_or(""), QString("0.00 dBu"));
    QCOMPARE(ReadoutFor(c, 2, 1).dBu.value_or(""), QString("20.00 dBu"));
    QVERIFY(!ReadoutFor(c, 3, 1).dBu); // the label keeps its text
    QCOMPARE(ReadoutFor(c, 4, 1).dBu.value_or(""), QString("-12.5"));
    QCOMPARE(ReadoutFor(c, 5, 1).dBu.value_or(""), QString("NA"));
}

void GrapherLogicTest::readoutOfARow() {
    LogColumns c;
    c.append(LogColumns::Row{(14 * 3600 + 30 * 60 + 15) / 86400.0, 125.f, QString("VDC"), 1.25f,
                             QString("HZ"), 60.f});
    c.append(LogColumns::Row{std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                             std::nullopt});
    Readout r = ReadoutFor(c, 1, 1);
    QCOMPARE(r.timeStamp, QString("14:30:15"));
    QCOMPARE(r.milliSeconds, QString("125"));
    QCOMPARE(r.units, QString("VDC"));
    QCOMPARE(r.value, QString("1.25"));
    QCOMPARE(r.plotValue.value_or(0), 1.25f);
    Readout second = ReadoutFor(c, 1, 2);
    QCOMPARE(second.units, QString("HZ"));
    QCOMPARE(second.value, QString("60"));
    Readout nulls = ReadoutFor(c, 2, 1);
    QCOMPARE(nulls.timeStamp, QString());
    QCOMPARE(nulls.value, QString());
    QVERIFY(!nulls.plotValue);
}

void GrapherLogicTest::decimatedTraceDrawsTheFullPolyline() {
    // A noisy trace of many samples per pixel column, drawn in full and decimated on two
    // identical surfaces, must give the same picture.
    std::vector<float> values;
    quint32 seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        values.push_back(std::sin(i / 700.0f) * 4 + float((seed >> 16) % 100) / 60.f - 0.8f);
    }
    values[5000] = 9.5f; // a lone spike must survive
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

void GrapherLogicTest::shortTraceKeepsEverySample() {
    LogColumns c = columnsOf({1, 2, 3, 4});
    c.append(LogColumns::Row{0.5, 1.f, QString("VDC"), std::nullopt, QString("N/A"), 0.f});
    c.append(row(6));
    const QPolygonF points = TracePoints(c, 1, 2, 6, 500);
    QCOMPARE(points, QPolygonF({{1, 2}, {2, 3}, {3, 4}, {5, 6}}));
}

void GrapherLogicTest::csvLines() {
    LogInfo info{"2026-01-02", "bench, run"};
    QCOMPARE(CsvRunLine(info), QByteArray("2026-01-02,bench, run\r\n"));
    QCOMPARE(CsvRunLine(LogInfo{"2026-01-02", QString()}), QByteArray("2026-01-02,\r\n"));
    QCOMPARE(CsvHeaderLine(), QByteArray("TimeStamp,MilliSeconds,Units,Value,Units2,Value2\r\n"));
    LogColumns c;
    c.append(LogColumns::Row{(14 * 3600 + 30 * 60 + 15) / 86400.0, 125.f, QString("VDC"), 1.2345f,
                             QString("N/A"), 0.f});
    c.append(LogColumns::Row{std::nullopt, 5.f, std::nullopt, std::nullopt, QString("HZ"), 1e9f});
    QByteArray out;
    AppendCsvRow(out, c, 1);
    AppendCsvRow(out, c, 2);
    QCOMPARE(out, QByteArray("14:30:15,125,VDC,1.2345,N/A,0\r\n,5,,,HZ,1E+09\r\n"));
}

void GrapherLogicTest::exportPath() {
    QCOMPARE(ExportPath("/logs/run1.vtd", "csv"), QString("/logs/run1.csv"));
    QCOMPARE(ExportPath("/logs/run1.vtd", "mdb"), QString("/logs/run1.mdb"));
    QCOMPARE(ExportPath("/logs/run1.db", "csv"),
             QString("/logs/run1csv")); // three characters, whatever they are
}

void GrapherLogicTest::fileErrorNumbers() {
    QCOMPARE(FileErrorNumber(ENOENT), 53);
    QCOMPARE(FileErrorNumber(EIO), 57);
    QCOMPARE(FileErrorNumber(ENOSPC), 61);
    QCOMPARE(FileErrorNumber(EACCES), 70);
    QCOMPARE(FileErrorNumber(EROFS), 70);
    QCOMPARE(FileErrorNumber(EISDIR), EISDIR);
}

QTEST_MAIN(GrapherLogicTest)
#include "tst_grapherlogic.moc"
