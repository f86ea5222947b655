#include "logger/TrendGraph.h"
#include <QImage>
#include <QTest>

// The trend graph: ladder, layouts, labels and the transient trace over the grid.
class tst_trendgraph : public QObject {
    Q_OBJECT

    static int countColour(const QImage& image, quint32 colour) {
        const QRgb wanted = platform::PictureBox::toQColor(colour).rgb();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += (image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF);
        return n;
    }

private slots:
    void ladderAndLayout() {
        const std::pair<float, float> steps[] = {
            {0.f, 0.01f}, {0.01f, 0.01f},     {0.011f, 0.02f},  {1.0001f, 2.f},
            {7.5f, 10.f}, {20001.f, 50000.f}, {3e9f, 2000000.f}};
        for (const auto& [proposed, full] : steps)
            QCOMPARE(logger::TrendFullScale(proposed), full);
        for (const char* units : {"OHMS", "VAC", "KOHMS"})
            QVERIFY2(logger::PositiveOnlyLayout(units), units);
        for (const char* units : {"VDC", "No Comm"})
            QVERIFY2(!logger::PositiveOnlyLayout(units), units);
    }

    void labelsInScientificForm() {
        QCOMPARE(logger::TrendAxisLabels(0.01f, true),
                 logger::TrendLabels({"1.00E-02", "7.50E-03", "5.00E-03", "2.50E-03", "0"}));
        QCOMPARE(logger::TrendAxisLabels(10.f, false),
                 logger::TrendLabels({"1.00E+01", "5.00E+00", "0", "-5.00E+00", "-1.00E+01"}));
    }

    void axesSetTheScaleAndTheTraceLeavesTheGrid() {
        platform::PictureBox pic;
        pic.resize(240, 100);
        pic.setBackColour(0);
        float full = 0;
        const logger::TrendLabels labels = logger::DrawTrendAxes(pic, 0.003f, "OHMS", full);
        QCOMPARE(full, 0.01f);
        QCOMPARE(labels[0], QString("1.00E-02"));
        QCOMPARE(pic.scaleBottom(), 0.0);
        QCOMPARE(pic.scaleRight(), 239.0);
        const int grid = countColour(pic.snapshot(), logger::GreyText);
        QVERIFY(grid > 0);

        DisplayShared display;
        display.TrendTrace = 1;
        display.TrendColour = 255;
        display.TrendIndex = 5;
        display.PriHistory.fill(0.005f);
        display.PriHistory[5] = 1.f; // above the top edge: skipped
        logger::DrawTrendTrace(pic, display);
        const int red = countColour(pic.snapshot(), 255);
        QVERIFY(red > 100);
        // The newest value sits at x = 239, so nothing at all at the far left column.
        logger::DrawTrendTrace(pic, display);
        QCOMPARE(countColour(pic.snapshot(), 255), red);
        display.PriHistory.fill(0);
        logger::DrawTrendTrace(pic, display);
        QVERIFY(countColour(pic.snapshot(), 255) <= 2); // only the newest point, at 0
        QCOMPARE(countColour(pic.snapshot(), logger::GreyText), grid);
        // The secondary history in its own colour, on a scale of both signs.
        logger::DrawTrendAxes(pic, 7.5f, "VDC", full);
        QCOMPARE(pic.scaleBottom(), -10.0);
        display.TrendTrace = 2;
        display.TrendColour = 65280;
        display.SecHistory.fill(-3.f);
        logger::DrawTrendTrace(pic, display);
        QVERIFY(countColour(pic.snapshot(), 65280) > 100);
        QCOMPARE(countColour(pic.snapshot(), 255), 0);
    }
};

QTEST_MAIN(tst_trendgraph)
#include "tst_trendgraph.moc"
