#include "display/DisplayAppearance.h"
#include <QTest>

namespace {

QStringList checked(const DisplayAppearance& a) {
    QStringList names;
    for (const auto& entry : DisplayAppearance::Entries())
        if (a.isChecked(entry))
            names << entry.name;
    return names;
}

} // namespace

class TestAppearance : public QObject {
    Q_OBJECT
private slots:
    void firstRun() {
        DisplayAppearance a;
        a.setStored(0, 65535);
        a.NoSameFGBG();
        QCOMPARE(checked(a), QStringList({"mnuBGBlack", "mnuYellow"}));
        QVERIFY(!a.foregroundBlackEnabled());
        QVERIFY(a.foregroundWhiteEnabled());
    }

    void whiteBackgroundTurnsWhiteTextBlack() {
        DisplayAppearance a;
        a.setStored(0, 16777215);
        a.NoSameFGBG();
        QVERIFY(a.choose("mnuBGWhite"));
        QCOMPARE(a.ForegroundColour(), 0);
        QCOMPARE(checked(a), QStringList({"mnuBGWhite", "mnuFGBlack"}));
        QVERIFY(!a.foregroundWhiteEnabled());
        QVERIFY(a.foregroundBlackEnabled());
    }

    void blackBackgroundTurnsBlackTextWhite() {
        DisplayAppearance a;
        a.setStored(16777215, 0);
        a.NoSameFGBG();
        a.choose("mnuBGBlack");
        QCOMPARE(a.ForegroundColour(), 16777215);
        QCOMPARE(checked(a), QStringList({"mnuBGBlack", "mnuFGWhite"}));
    }

    void yellowTextNeverChanges() {
        DisplayAppearance a;
        a.setStored(0, 65535);
        for (const char* bg : {"mnuBGWhite", "mnuBGBlack", "mnuBGWhite"}) {
            a.choose(bg);
            QCOMPARE(a.ForegroundColour(), 65535);
        }
    }

    void storedColoursOutsideTheMenus() {
        DisplayAppearance a;
        a.setStored(255, 255);
        a.NoSameFGBG();
        QCOMPARE(checked(a), QStringList({"mnuRed"}));
        DisplayAppearance b;
        b.setStored(255, 12345);
        b.NoSameFGBG();
        QVERIFY(checked(b).isEmpty());
        QVERIFY(b.foregroundBlackEnabled());
        QVERIFY(b.foregroundWhiteEnabled());
        QCOMPARE(b.ForegroundColour(), 12345);
    }

    void storedClashIsCorrectedAtStart() {
        DisplayAppearance a;
        a.setStored(16777215, 16777215);
        a.NoSameFGBG();
        QCOMPARE(a.ForegroundColour(), 0);
    }

    void foregroundChoiceRunsNoRule() {
        DisplayAppearance a;
        a.setStored(0, 65535);
        a.NoSameFGBG();
        a.choose("mnuRed");
        QCOMPARE(checked(a), QStringList({"mnuBGBlack", "mnuRed"}));
        QVERIFY(!a.foregroundBlackEnabled());
        QVERIFY(!a.choose("mnuPurple"));
    }
};

QTEST_GUILESS_MAIN(TestAppearance)
#include "tst_appearance.moc"
