#include "display/MainLayout.h"
#include <QTest>

class TestMainLayout : public QObject {
    Q_OBJECT
private slots:
    void openingLayoutIsSingle() {
        MainLayout layout;
        QVERIFY(!layout.dualShown());
        QCOMPARE(layout.windowWidth(), 11400);
        QCOMPARE(layout.windowHeight(), 4150);
        QCOMPARE(layout.rect("Label1"), (TwipsRect{400, 300, 10455, 1650}));
        QCOMPARE(layout.rect("Label2"), (TwipsRect{400, 2050, 10455, 1}));
        QCOMPARE(layout.rect("cmdLogger"), (TwipsRect{400, 2500, 1450, 495}));
        QCOMPARE(layout.rect("chkLoSet"), (TwipsRect{6630, 2790, 255, 255}));
        QVERIFY(!layout.label2Visible());
    }

    void dualMovesTenControlsAndTheRateLine() {
        MainLayout layout;
        const MainLayout before = layout;
        layout.ShowDualLayout();
        QVERIFY(layout.dualShown());
        QCOMPARE(layout.windowHeight(), 4150 + 1650);
        QCOMPARE(MainLayout::MovedControls().size(), 10);
        for (const QString& name : MainLayout::MovedControls()) {
            QCOMPARE(layout.rect(name).top, before.rect(name).top + 1650);
            QCOMPARE(layout.rect(name).left, before.rect(name).left);
        }
        QCOMPARE(layout.rect("cmdLogger").top, 4150);
        QCOMPARE(layout.rect("Label3").top, 2000 + 1750);
        QCOMPARE(layout.rect("Label2"), (TwipsRect{400, 2050, 10455, 1650}));
        QCOMPARE(layout.rect("Label1"), before.rect("Label1"));
        QVERIFY(layout.label2Visible());
    }

    void singleAfterDualRestoresEverything() {
        MainLayout layout;
        const MainLayout before = layout;
        layout.ShowDualLayout();
        layout.ShowSingleLayout();
        QVERIFY(!layout.dualShown());
        QCOMPARE(layout.windowHeight(), before.windowHeight());
        QCOMPARE(layout.controls(), before.controls());
        QVERIFY(!layout.label2Visible());
    }

    void twipsAtScreenResolution() {
        const Twips at96(96);
        QCOMPARE(at96.toPixels(1650), 110);
        QCOMPARE(at96.toPixels(15), 1);
        QCOMPARE(at96.toPixels(TwipsRect{400, 2050, 10455, 1}), QRect(27, 137, 697, 1));
        const Twips at144(144);
        QCOMPARE(at144.toPixels(1440), 144);
    }
};

QTEST_GUILESS_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
