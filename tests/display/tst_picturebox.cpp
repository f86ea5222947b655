#include "platform/PictureBox.h"

#include <QSignalSpy>
#include <QTest>

using platform::PictureBox;

namespace {
constexpr quint32 Black = 0, Red = 255, Green = 65280, White = 16777215;

QRgb rgb(quint32 colour) {
    return PictureBox::toQColor(colour).rgb();
}

// A 101 x 21 surface whose pixels map one to one onto x 0..100 and y 10..-10 (y up).
void prepare(PictureBox& box) {
    box.resize(101, 21);
    box.setBackColour(Black);
    box.setScale(0, 10, 100, -10);
}
} // namespace

class PictureBoxTest : public QObject {
    Q_OBJECT
private slots:
    // Lines far off the scale, or through NaN, are clipped at the edges. Pointer moves arrive
    // in user units, the scale's edges falling on the outermost pixels; a clear keeps the
    // persistent layer, which survives a resize that the owner hears of.
    void clippingMovesLayersAndResize() {
        PictureBox box;
        prepare(box);
        box.line(-1e300, 1e300, 1e300, -1e300, Green); // only must not crash
        box.setPoint(0, 0, Red);
        box.lineTo(1, 1e9f, Red); // an overload reading: nearly vertical up to the top edge
        box.lineTo(2, std::numeric_limits<double>::quiet_NaN(), Red);
        box.line(80, 0, 80, -3.4e38, Green);
        const QImage clipped = box.snapshot();
        QCOMPARE(clipped.pixel(0, 0), rgb(Red));
        QCOMPARE(clipped.pixel(80, 20), rgb(Green));
        box.clear();

        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy moved(&box, &PictureBox::mouseMove);
        QTest::mouseMove(&box, QPoint(75, 15));
        QTRY_VERIFY(!moved.isEmpty());
        QCOMPARE(QPointF(moved.last()[1].toDouble(), moved.last()[2].toDouble()), QPointF(75, -5));
        box.setPersistent(true);
        box.setPoint(10, 0, Green); // pixel (10, 10)
        box.setPersistent(false);
        box.setPoint(20, 0, Red);
        box.clear();
        QCOMPARE(box.snapshot().pixel(10, 10), rgb(Green));
        QCOMPARE(box.snapshot().pixel(20, 10), rgb(Black));
        QSignalSpy resized(&box, &PictureBox::surfaceResized);
        box.hide(); // resized while hidden, and drawn on before it shows again
        box.resize(151, 41);
        QCOMPARE(box.snapshot().pixel(10, 10), rgb(Green));
        QCOMPARE(box.snapshot().pixel(150, 40), rgb(Black));
        box.show();
        QTRY_COMPARE(resized.count(), 1);
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
        QCOMPARE(box.snapshot().pixel(50, 10), rgb(White));       // black became white
        QCOMPARE(box.snapshot().pixel(50, 0), qRgb(0, 255, 255)); // red became cyan
        // A marker arm over both lines, drawn twice: each inversion undoes itself in any order.
        box.line(48, 10, 52, 10, White);
        box.line(48, 10, 52, 10, White);
        box.line(50, 10, 50, -10, Green);
        QCOMPARE(box.snapshot(), before);
    }
};

QTEST_MAIN(PictureBoxTest)
#include "tst_picturebox.moc"
