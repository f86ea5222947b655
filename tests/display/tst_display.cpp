#include "Doubles.h"
#include "core/DisplayCycle.h"
#include "display/DisplayAppearance.h"
#include <QTest>

namespace {

// Records what the cycle asks of the window, in order.
class RecordingView : public DisplayCycleView {
public:
    QStringList calls;
    QString primary, secondary;
    int fontSize = 0;
    bool dual = false, openEnabled = false;
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
    SessionState state;
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
};

} // namespace

class TestDisplay : public QObject {
    Q_OBJECT
private slots:
    // Ticks in their order, with the logger open and then closed; the clock text is eleven
    // characters on any locale; a text longer than twelve characters takes the smaller font. A
    // dual reading switches the layout once; the unit watch follows the trend trace; back to a
    // single reading the secondary reads "N/A" and its last text stays shown.
    void ticksThroughBothLayouts() {
        Rig rig;
        rig.clock.current.setTime(QTime(13, 4, 5));
        rig.single("-1.2345", "mVDC", 1234.5f);
        rig.state.logger.LoggerOpen = true;
        QLocale::setDefault(QLocale(QLocale::German));
        rig.cycle.tick(); // the first unit differs from the empty start text
        QLocale::setDefault(QLocale::c());
        QCOMPARE(rig.state.display.TimeText, QString("01:04:05 PM"));
        QCOMPARE(rig.view.calls, QStringList({"primary", "alarms", "clear", "rescale", "trace",
                                              "watchdog", "blink"}));
        QVERIFY(!rig.view.openEnabled && rig.view.fontSize == 72);
        rig.view.calls.clear();
        rig.single("-12.3456", "mVDC", 1);
        rig.state.logger.LoggerOpen = false;
        rig.cycle.tick();
        QCOMPARE(rig.view.calls, QStringList({"primary", "alarms", "watchdog", "blink"}));
        QCOMPARE(rig.view.fontSize, 64);
        QVERIFY(rig.view.openEnabled);

        CurrentReading& r = rig.state.reading;
        r.DualDisplay = true, r.SecText = " 60", r.SecDispUnits = "HZ", r.SecUnits = " HZ";
        r.SecValue = 60;
        for (int i = 0; i < 3; ++i)
            rig.cycle.tick();
        QCOMPARE(rig.view.calls.count("dual"), 1);
        QVERIFY(!rig.view.calls.contains("clear")); // primary unchanged
        rig.state.display.TrendTrace = 2;
        rig.cycle.tick();
        QCOMPARE(rig.state.display.TrendUnits, QString("HZ"));
        QCOMPARE(rig.view.calls.count("clear"), 1);
        QVERIFY(!rig.view.calls.contains("rescale")); // logger closed
        r.DualDisplay = false;
        rig.cycle.tick();
        QCOMPARE(r.SecUnits, QString("N/A"));
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

    // The scale check of one tick over a history filled with one value: it runs before the
    // reading is written, so a jump is seen by the next tick, except in the tick that wraps,
    // which checks again at once. The reading goes into the ring even from an index another
    // window moved outside it.
    void tickWritesTheRingAndProposesAScale_data() {
        QTest::addColumn<float>("scale");
        QTest::addColumn<int>("trace");
        QTest::addColumn<float>("fill"); // both histories
        QTest::addColumn<int>("index");
        QTest::addColumn<float>("reading");
        QTest::addColumn<int>("next");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<float>("proposed");
        const auto row = [](const char* name, float scale, int trace, float fill, int index,
                            float reading, int next, bool pending, float proposed) {
            QTest::newRow(name) << scale << trace << fill << index << reading << next << pending
                                << proposed;
        };
        row("empty shrinks", 10, 1, 0, 0, 0, 1, true, float(10 / 2.51));
        row("no shrink at 0.1", 0.1f, 1, 0, 0, 0, 1, false, 0);
        row("negative peak grows", 10, 1, -12, 0, -12, 1, true, 12);
        row("secondary followed", 1, 2, 3, 0, 100, 1, true, 3);
        row("a jump waits a tick", 10, 1, 6, 7, 20, 8, false, 0);
        row("the wrapping tick sees it", 10, 1, 6, 239, 20, 0, true, 20);
        row("index outside the ring", 10, 1, 6, 240, 5, 1, false, 0);
    }
    void tickWritesTheRingAndProposesAScale() {
        QFETCH(float, scale);
        QFETCH(int, trace);
        QFETCH(float, fill);
        QFETCH(int, index);
        QFETCH(float, reading);
        QFETCH(int, next);
        Rig rig;
        DisplayShared& d = rig.state.display;
        d.TrendScale = scale;
        d.TrendTrace = qint16(trace);
        d.TrendIndex = qint16(index);
        d.PriHistory.fill(fill);
        d.SecHistory.fill(fill);
        rig.single(" 1", "VDC", reading);
        rig.cycle.tick();
        QCOMPARE(d.TrendIndex, qint16(next));
        QCOMPARE(d.PriHistory[(next + TrendSlots - 1) % TrendSlots], reading);
        QTEST(d.RescalePending, "pending");
        QTEST(d.NewTrendScale, "proposed");
    }

    // Black and white text stay readable: on a black background black text turns white and
    // its entry closes. Red on red is left alone; an unknown entry is refused.
    void textNeverTakesTheBackgroundColour() {
        const auto* fgBlack = DisplayAppearance::Find("mnuFGBlack");
        DisplayAppearance a; // the first run's yellow on black
        QVERIFY(a.choose("mnuBGWhite") && a.choose("mnuFGBlack") && a.choose("mnuBGBlack"));
        QCOMPARE(a.ForegroundColour(), 16777215);
        QVERIFY(!a.isEnabled(*fgBlack) && a.isChecked(*DisplayAppearance::Find("mnuFGWhite")));
        QVERIFY(a.choose("mnuBGWhite")); // and white text on white turns black
        QCOMPARE(a.ForegroundColour(), 0);
        a.setStored(255, 255);
        a.NoSameFGBG();
        QVERIFY(a.isEnabled(*fgBlack) && a.isChecked(*DisplayAppearance::Find("mnuRed")));
        QVERIFY(!a.choose("mnuPurple"));
    }
};

QTEST_GUILESS_MAIN(TestDisplay)
#include "tst_display.moc"
