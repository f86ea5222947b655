#include "Doubles.h"
#include "display/ClockText.h"
#include "display/DisplayAppearance.h"
#include "display/DisplayCycle.h"
#include "display/MainLayout.h"
#include "display/TrendScale.h"
#include <QTest>

namespace {

// Records what the cycle asks of the window, in order.
class RecordingView : public DisplayCycleView {
public:
    QStringList calls;
    QString primary, secondary;
    int fontSize = 0;
    bool dual = false;
    bool openEnabled = false;
    std::function<void()> onWatchdog;

    void setPrimaryFontSize(int points) override { fontSize = points; }
    void setPrimaryText(const QString& text) override { primary = text, calls << "primary"; }
    void setSecondaryText(const QString& text) override { secondary = text, calls << "secondary"; }
    bool dualLayoutShown() const override { return dual; }
    void ShowDualLayout() override { dual = true, calls << "dual"; }
    void ShowSingleLayout() override { dual = false, calls << "single"; }
    void setOpenMenuEnabled(bool enabled) override { openEnabled = enabled; }
    void drawTrendTrace() override { calls << "trace"; }
    void evaluateAlarms() override { calls << "alarms"; }
    void clearAlarms() override { calls << "clear"; }
    void startTrendRescale() override { calls << "rescale"; }
    void runWatchdog() override {
        calls << "watchdog";
        if (onWatchdog)
            onWatchdog();
    }
    void blinkTrippedAlarms() override { calls << "blink"; }
};

struct Rig {
    SharedState state;
    doubles::FakeClock clock;
    RecordingView view;
    DisplayCycle cycle{state, clock, view};

    void single(const QString& text, const QString& units, float value) {
        state.reading.PriText = text;
        state.reading.PriDispUnits = units;
        state.reading.PriUnits = " " + units;
        state.reading.PriValue = value;
        state.reading.DualDisplay = false;
    }
    void dual(float secValue) {
        state.reading.DualDisplay = true;
        state.reading.SecText = " 60";
        state.reading.SecDispUnits = "HZ";
        state.reading.SecUnits = " HZ";
        state.reading.SecValue = secValue;
    }
};

QStringList checked(const DisplayAppearance& a) {
    QStringList names;
    for (const auto& entry : DisplayAppearance::Entries())
        if (a.isChecked(entry))
            names << entry.name;
    return names;
}

constexpr int White = 16777215, Yellow = 65535, Red = 255;

} // namespace

class TestDisplay : public QObject {
    Q_OBJECT
private slots:
    // One tick in its order, with the logger open; the clock text is eleven characters on
    // any locale; a text longer than twelve characters takes the smaller font.
    void oneTickInOrder() {
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(LongTimeText(QTime(0, 0, 0)), QString("12:00:00 AM"));
        QCOMPARE(ElevenCharTime("9:05:03"), QString("09:05:03"));
        Rig rig;
        rig.clock.current.setTime(QTime(13, 4, 5));
        rig.single("-1.2345", "mVDC", 1234.5f);
        rig.state.logger.LoggerOpen = true;
        rig.cycle.tick(); // the first unit differs from the empty start text
        QLocale::setDefault(QLocale::c());
        QCOMPARE(rig.state.display.TimeText, QString("01:04:05 PM"));
        QCOMPARE(rig.view.calls, QStringList({"primary", "alarms", "clear", "rescale", "trace",
                                              "watchdog", "blink"}));
        QCOMPARE(rig.view.primary, QString("-1.2345 mVDC"));
        QCOMPARE(rig.view.fontSize, 72);
        QVERIFY(!rig.view.openEnabled);
        QCOMPARE(rig.state.display.PriSnapshot, 1234.5f);
        QCOMPARE(rig.state.reading.ShownUnits, QString("mVDC"));
        QCOMPARE(rig.state.display.PriHistory[0], 1234.5f);
        QCOMPARE(rig.state.display.TrendIndex, qint16(1));
        rig.view.calls.clear();
        rig.single("-12.3456", "mVDC", 1);
        rig.state.logger.LoggerOpen = false;
        rig.cycle.tick();
        QCOMPARE(rig.view.calls, QStringList({"primary", "alarms", "watchdog", "blink"}));
        QCOMPARE(rig.view.fontSize, 64);
        QVERIFY(rig.view.openEnabled);
    }

    // A dual reading switches the layout once; the unit watch follows the trend trace; back to
    // a single reading the secondary reads "N/A" and 0 and its last text stays.
    void dualLineAndTheUnitWatch() {
        Rig rig;
        rig.single(" 1", "VAC", 1);
        rig.cycle.tick();
        rig.view.calls.clear();
        rig.dual(60);
        for (int i = 0; i < 3; ++i)
            rig.cycle.tick();
        QCOMPARE(rig.view.calls.count("dual"), 1);
        QVERIFY(!rig.view.calls.contains("clear")); // primary unchanged
        QCOMPARE(rig.view.secondary, QString(" 60 HZ"));
        QCOMPARE(rig.state.display.SecSnapshot, 60.0f);
        rig.state.display.TrendTrace = 2;
        rig.cycle.tick();
        QCOMPARE(rig.state.display.TrendUnits, QString("HZ"));
        QCOMPARE(rig.view.calls.count("clear"), 1);
        QVERIFY(!rig.view.calls.contains("rescale")); // logger closed

        rig.state.reading.DualDisplay = false;
        rig.cycle.tick();
        rig.cycle.tick();
        QCOMPARE(rig.view.calls.count("single"), 1);
        QCOMPARE(rig.state.reading.SecUnits, QString("N/A"));
        QCOMPARE(rig.state.reading.SecValue, 0.0f);
        QCOMPARE(rig.state.display.SecSnapshot, 0.0f);
        QCOMPARE(rig.view.secondary, QString(" 60 HZ"));
    }

    void silenceCountRisesAfterWatchdogAndARepeatedTickIsSkipped() {
        Rig rig;
        qint16 seen = -100;
        rig.view.onWatchdog = [&] {
            seen = rig.state.link.NoReplyCount;
            rig.cycle.tick(); // as a modal question's event loop would
        };
        rig.state.link.NoReplyCount = 4;
        rig.cycle.tick();
        QCOMPARE(seen, qint16(4));
        QCOMPARE(rig.state.link.NoReplyCount, qint16(5));
        QCOMPARE(rig.view.calls.count("watchdog"), 1);
        QCOMPARE(rig.state.display.TrendIndex, qint16(1));
        rig.state.link.NoReplyCount = 32767; // saturates instead of wrapping
        rig.cycle.tick();
        QCOMPARE(rig.state.link.NoReplyCount, qint16(32767));
    }

    // The history ring wraps after 240 ticks, also from an index moved outside it; a jump
    // written in an ordinary tick is seen by the next tick's scale check, in the tick that
    // wraps by the second check at once.
    void historyRingAndTheWrapTickCheck() {
        Rig rig;
        for (int i = 1; i <= 241; ++i) {
            rig.single(" 1", "VDC", float(i));
            rig.cycle.tick();
        }
        QCOMPARE(rig.state.display.PriHistory[0], 241.0f);
        QCOMPARE(rig.state.display.PriHistory[239], 240.0f);
        QCOMPARE(rig.state.display.TrendIndex, qint16(1));
        rig.state.display.TrendIndex = 240; // moved outside the ring by another window
        rig.single(" 3", "VDC", 3);
        rig.cycle.tick();
        QCOMPARE(rig.state.display.PriHistory[0], 3.0f);
        for (const bool wrapping : {false, true}) {
            Rig rig;
            rig.state.display.TrendScale = 10;
            rig.state.display.PriHistory.fill(6);
            rig.state.display.TrendIndex = wrapping ? 239 : 100;
            rig.single(" 20", "VDC", 20);
            rig.cycle.tick();
            QCOMPARE(rig.state.display.RescalePending, wrapping);
            if (wrapping)
                QCOMPARE(rig.state.display.NewTrendScale, 20.0f);
        }
    }

    void resetMaxMinRules_data() {
        QTest::addColumn<float>("scale");
        QTest::addColumn<int>("trace");
        QTest::addColumn<float>("primary"); // at one slot, the rest 0
        QTest::addColumn<float>("secondary");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<float>("proposed");
        QTest::newRow("empty shrinks") << 10.f << 1 << 0.f << 0.f << true << float(10 / 2.51);
        QTest::newRow("no shrink at 0.1") << 0.1f << 1 << 0.f << 0.f << false << 0.f;
        QTest::newRow("negative peak grows") << 10.f << 1 << -12.f << 0.f << true << 12.f;
        QTest::newRow("steady") << 10.f << 1 << 7.f << 0.f << false << 0.f;
        QTest::newRow("secondary followed") << 1.f << 2 << 100.f << 3.f << true << 3.f;
    }
    void resetMaxMinRules() {
        QFETCH(float, scale);
        QFETCH(int, trace);
        QFETCH(float, primary);
        QFETCH(float, secondary);
        QFETCH(bool, pending);
        QFETCH(float, proposed);
        DisplayShared d;
        d.TrendScale = scale;
        d.TrendTrace = qint16(trace);
        d.PriHistory[17] = primary;
        d.SecHistory[3] = secondary;
        ResetMaxMin(d);
        QCOMPARE(d.RescalePending, pending);
        QCOMPARE(d.NewTrendScale, proposed);
    }

    // The dual layout moves ten controls down by one display and the rate line by a little
    // more; the single layout puts everything back.
    void dualAndBackAgain() {
        MainLayout layout;
        const MainLayout before = layout;
        layout.ShowDualLayout();
        QCOMPARE(MainLayout::MovedControls().size(), 10);
        for (const QString& name : MainLayout::MovedControls()) {
            TwipsRect moved = before.rect(name);
            moved.top += 1650;
            QCOMPARE(layout.rect(name), moved);
        }
        QCOMPARE(layout.rect("Label3").top, 2000 + 1750);
        QCOMPARE(layout.rect("Label1"), before.rect("Label1"));
        layout.ShowSingleLayout();
        QCOMPARE(layout.controls(), before.controls());
        QVERIFY(!layout.label2Visible());
    }

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
        QVERIFY(!a.choose("mnuPurple"));
    }
};

QTEST_GUILESS_MAIN(TestDisplay)
#include "tst_display.moc"
