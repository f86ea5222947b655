#include "platform/PictureBox.h"

#include <QSignalSpy>
#include <QTest>

using platform::PictureBox;

namespace {
constexpr quint32 Black = 0;
constexpr quint32 Red = 255;
constexpr quint32 Green = 65280;
constexpr quint32 White = 16777215;

QRgb rgb(quint32 colour) {
    return PictureBox::toQColor(colour).rgb();
}

// A 101 x 21 surface whose pixels map one to one onto x 0..100 and y 10..-10 (y up).
void prepare(PictureBox& box, quint32 back = Black) {
    box.resize(101, 21);
    box.setBackColour(back);
    box.setScale(0, 10, 100, -10);
}
} // namespace

class PictureBoxTest : public QObject {
    Q_OBJECT
private slots:
    void scaleLayersAndPen() {
        PictureBox box;
        prepare(box);
        QCOMPARE(box.toPixel({0, 10}), QPointF(0, 0));
        QCOMPARE(box.toPixel({100, -10}), QPointF(100, 20));
        QCOMPARE(box.toUser({25, 5}), QPointF(25, 5));
        QCOMPARE(PictureBox::toQColor(16711680), QColor(0, 0, 255)); // red in the low byte
        box.setPersistent(true);
        box.setPoint(10, 0, Green); // pixel (10, 10)
        box.setPersistent(false);
        box.setPoint(20, 0, Red); // pixel (20, 10)
        box.clear();
        QCOMPARE(box.snapshot().pixel(10, 10), rgb(Green));
        QCOMPARE(box.snapshot().pixel(20, 10), rgb(Black));
        box.setPersistent(true);
        box.clear();
        QCOMPARE(box.snapshot().pixel(10, 10), rgb(Black));

        // The pen goes back to the origin; a polyline draws as the same lines chained.
        QCOMPARE(box.penPosition(), QPointF(0, 0));
        const QPolygonF points{{0, 0}, {10, 8}, {20, -9}, {60, 3}, {100, -10}};
        for (int i = 1; i < points.size(); ++i)
            box.lineTo(points[i].x(), points[i].y(), Red);
        PictureBox chained;
        prepare(chained);
        chained.drawPolyline(points, Red);
        QCOMPARE(chained.snapshot(), box.snapshot());
        QCOMPARE(chained.penPosition(), QPointF(100, -10));
        QCOMPARE(box.snapshot().pixel(5, 6), rgb(Red));
    }

    void invertTwiceRestoresTheImage_data() {
        QTest::addColumn<bool>("persistent");
        QTest::newRow("persistent layer") << true;
        QTest::newRow("transient layer") << false;
    }
    void invertTwiceRestoresTheImage() {
        QFETCH(bool, persistent);
        PictureBox box;
        prepare(box);
        box.setPersistent(true);
        box.line(0, 10, 100, 10, Red); // the top row, to cross
        box.setPersistent(persistent);
        const QImage before = box.snapshot();
        box.setDrawMode(PictureBox::DrawMode::Invert);
        box.line(50, 10, 50, -10, Green); // the colour does not matter when inverting
        const QImage once = box.snapshot();
        QCOMPARE(once.pixel(50, 10), rgb(White));       // black became white
        QCOMPARE(once.pixel(50, 0), qRgb(0, 255, 255)); // red became cyan
        // A marker arm over both lines, drawn twice: each inversion undoes itself in any order.
        box.line(48, 10, 52, 10, White);
        box.line(48, 10, 52, 10, White);
        box.line(50, 10, 50, -10, Green);
        QCOMPARE(box.snapshot(), before);
    }

    void farOffScaleValuesAreClippedAtTheEdges() {
        PictureBox box;
        prepare(box);
        box.line(-1e300, 1e300, 1e300, -1e300, Green); // only must not crash
        box.setPoint(0, 0, Red);
        box.lineTo(1, 1e9f, Red); // an overload reading: nearly vertical up to the top edge
        box.lineTo(2, std::numeric_limits<double>::quiet_NaN(), Red);
        box.line(-1e12, 0, 1e12, 0, Green);
        box.line(80, 0, 80, -3.4e38, Green);
        const QImage shown = box.snapshot();
        QCOMPARE(shown.pixel(0, 0), rgb(Red));
        QCOMPARE(shown.pixel(60, 10), rgb(Green));
        QCOMPARE(shown.pixel(80, 20), rgb(Green));
    }

    // Presses and keys are the grapher's tests; moves arrive in user units, and the kept layer
    // survives a resize.
    void movesAndResizeReachTheOwner() {
        PictureBox box;
        prepare(box);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy moved(&box, &PictureBox::mouseMove);
        QTest::mouseMove(&box, QPoint(75, 15));
        QTRY_VERIFY(!moved.isEmpty());
        QCOMPARE(moved.last()[1].toDouble(), 75.0);
        QCOMPARE(moved.last()[2].toDouble(), -5.0);

        box.setPersistent(true);
        box.setPoint(0, 10, Red);
        QSignalSpy resized(&box, &PictureBox::surfaceResized);
        box.resize(151, 41);
        QTRY_COMPARE(resized.count(), 1);
        const QImage shown = box.snapshot();
        QCOMPARE(shown.size(), QSize(151, 41));
        QCOMPARE(shown.pixel(0, 0), rgb(Red));
        QCOMPARE(shown.pixel(150, 40), rgb(Black));
    }
};

QTEST_MAIN(PictureBoxTest)
#include "tst_picturebox.moc"
