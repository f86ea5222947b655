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

constexpr int White = 16777215, Yellow = 65535, Red = 255;

} // namespace

class TestAppearance : public QObject {
    Q_OBJECT
private slots:
    // Stored colours, then menu choices in turn: the ticks, the text colour and which
    // foreground entries stay open.
    void choicesKeepTextReadable_data() {
        QTest::addColumn<int>("bg");
        QTest::addColumn<int>("fg");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QStringList>("ticks");
        QTest::addColumn<int>("text");
        QTest::addColumn<bool>("blackOpen");
        QTest::addColumn<bool>("whiteOpen");
        QTest::newRow("first run")
            << 0 << Yellow << QStringList() //
            << QStringList({"mnuBGBlack", "mnuYellow"}) << Yellow << false << true;
        QTest::newRow("white text on white turns black")
            << 0 << White << QStringList({"mnuBGWhite"})
            << QStringList({"mnuBGWhite", "mnuFGBlack"}) << 0 << true << false;
        QTest::newRow("black text on black turns white")
            << White << 0 << QStringList({"mnuBGBlack"})
            << QStringList({"mnuBGBlack", "mnuFGWhite"}) << White << false << true;
        QTest::newRow("yellow never changes")
            << 0 << Yellow << QStringList({"mnuBGWhite", "mnuBGBlack", "mnuBGWhite"})
            << QStringList({"mnuBGWhite", "mnuYellow"}) << Yellow << true << false;
        QTest::newRow("foreground runs no rule")
            << 0 << Yellow << QStringList({"mnuRed"}) << QStringList({"mnuBGBlack", "mnuRed"})
            << Red << false << true;
        QTest::newRow("red on red")
            << Red << Red << QStringList() << QStringList({"mnuRed"}) << Red << true << true;
        QTest::newRow("colour outside the menus")
            << Red << 12345 << QStringList() << QStringList() << 12345 << true << true;
        QTest::newRow("stored clash corrected")
            << White << White << QStringList() << QStringList({"mnuBGWhite", "mnuFGBlack"}) << 0
            << true << false;
    }
    void choicesKeepTextReadable() {
        QFETCH(int, bg);
        QFETCH(int, fg);
        QFETCH(QStringList, choices);
        QFETCH(QStringList, ticks);
        QFETCH(int, text);
        QFETCH(bool, blackOpen);
        QFETCH(bool, whiteOpen);
        DisplayAppearance a;
        a.setStored(bg, fg);
        a.NoSameFGBG();
        for (const QString& choice : choices)
            QVERIFY(a.choose(choice));
        QCOMPARE(checked(a), ticks);
        QCOMPARE(a.ForegroundColour(), text);
        QCOMPARE(a.foregroundBlackEnabled(), blackOpen);
        QCOMPARE(a.foregroundWhiteEnabled(), whiteOpen);
    }

    void unknownEntryIsRefused() {
        DisplayAppearance a;
        QVERIFY(!a.choose("mnuPurple"));
    }
};

QTEST_GUILESS_MAIN(TestAppearance)
#include "tst_appearance.moc"
