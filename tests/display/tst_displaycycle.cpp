#include "Doubles.h"
#include "display/ClockText.h"
#include "display/DisplayCycle.h"
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

} // namespace

class TestDisplayCycle : public QObject {
    Q_OBJECT
private slots:
    void clockTextIsElevenCharactersOnAnyLocale() {
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(LongTimeText(QTime(9, 5, 3)), QString("09:05:03 AM"));
        QCOMPARE(LongTimeText(QTime(0, 0, 0)), QString("12:00:00 AM"));
        QCOMPARE(LongTimeText(QTime(23, 59, 59)), QString("11:59:59 PM"));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(ElevenCharTime("9:05:03"), QString("09:05:03"));
        QCOMPARE(ElevenCharTime("009:05:03 AM"), QString("0009:05:03 AM"));
        Rig rig;
        rig.clock.current.setTime(QTime(13, 4, 5));
        rig.cycle.tick();
        QCOMPARE(rig.state.display.TimeText, QString("01:04:05 PM"));
    }

    void primaryFontFollowsTextLength_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("units");
        QTest::addColumn<int>("points");
        QTest::newRow("short") << " 1.2345"
                               << "VDC" << 72;
        QTest::newRow("13 characters") << "-12.3456"
                                       << "mVDC" << 64;
        QTest::newRow("exactly 12") << "-1.2345"
                                    << "mVDC" << 72;
    }
    void primaryFontFollowsTextLength() {
        QFETCH(QString, text);
        QFETCH(QString, units);
        QFETCH(int, points);
        Rig rig;
        rig.single(text, units, 1);
        rig.cycle.tick();
        QCOMPARE(rig.view.primary, text + " " + units);
        QCOMPARE(rig.view.fontSize, points);
    }

    void dualLineSwitchesOnceAndBack() {
        Rig rig;
        rig.single(" 1.2345", "VAC", 1.2345f);
        rig.cycle.tick();
        QVERIFY(!rig.view.calls.contains("dual"));

        rig.dual(60);
        for (int i = 0; i < 3; ++i)
            rig.cycle.tick();
        QCOMPARE(rig.view.calls.count("dual"), 1);
        QCOMPARE(rig.view.secondary, QString(" 60 HZ"));
        QCOMPARE(rig.state.display.SecSnapshot, 60.0f);

        rig.state.reading.DualDisplay = false;
        rig.cycle.tick();
        QCOMPARE(rig.view.calls.count("single"), 1);
        QCOMPARE(rig.state.reading.SecUnits, QString("N/A"));
        QCOMPARE(rig.state.reading.SecValue, 0.0f);
        QCOMPARE(rig.state.display.SecSnapshot, 0.0f);
        QCOMPARE(rig.view.secondary, QString(" 60 HZ")); // kept while hidden
        rig.cycle.tick();
        QCOMPARE(rig.view.calls.count("single"), 1);
    }

    void oneTickInOrder() {
        Rig rig;
        rig.single(" 1.2345", "kOHMS", 1234.5f);
        rig.state.reading.ShownUnits = " OHMS";
        rig.cycle.tick(); // logger closed: no trace, Open allowed
        QVERIFY(rig.view.openEnabled);
        QCOMPARE(rig.state.display.PriSnapshot, 1234.5f);
        QCOMPARE(rig.state.reading.ShownUnits, QString("kOHMS"));
        QCOMPARE(rig.state.display.PriHistory[0], 1234.5f);
        QCOMPARE(rig.state.display.TrendIndex, qint16(1));

        Rig open;
        open.single(" 1", "VDC", 1);
        open.state.logger.LoggerOpen = true;
        open.cycle.tick(); // the first unit differs from the empty start text
        QCOMPARE(open.view.calls, QStringList({"primary", "alarms", "clear", "rescale", "trace",
                                               "watchdog", "blink"}));
        QVERIFY(!open.view.openEnabled);
        open.view.calls.clear();
        open.cycle.tick();
        QCOMPARE(open.view.calls, QStringList({"primary", "alarms", "trace", "watchdog", "blink"}));
    }

    void unitWatchFollowsTrendTrace() {
        Rig rig;
        rig.single(" 1", "VDC", 1);
        rig.cycle.tick();
        QCOMPARE(rig.state.display.TrendUnits, QString("VDC"));
        rig.view.calls.clear();
        rig.dual(60);
        rig.cycle.tick();
        QVERIFY(!rig.view.calls.contains("clear")); // primary unchanged
        rig.state.display.TrendTrace = 2;
        rig.cycle.tick();
        QCOMPARE(rig.state.display.TrendUnits, QString("HZ"));
        QCOMPARE(rig.view.calls.count("clear"), 1);
        QVERIFY(!rig.view.calls.contains("rescale")); // logger closed
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

    void historyWrapsAfter240Ticks() {
        Rig rig;
        for (int i = 1; i <= 241; ++i) {
            rig.single(" 1", "VDC", float(i));
            rig.cycle.tick();
        }
        QCOMPARE(rig.state.display.PriHistory[0], 241.0f);
        QCOMPARE(rig.state.display.PriHistory[1], 2.0f);
        QCOMPARE(rig.state.display.PriHistory[239], 240.0f);
        QCOMPARE(rig.state.display.TrendIndex, qint16(1));
        rig.state.display.TrendIndex = 240; // moved outside the ring by another window
        rig.single(" 3", "VDC", 3);
        rig.cycle.tick();
        QCOMPARE(rig.state.display.PriHistory[0], 3.0f);
        QCOMPARE(rig.state.display.TrendIndex, qint16(1));
    }

    void wrapTickChecksTheScaleAgainAfterWriting() {
        // A jump written in an ordinary tick is seen by the next tick's check; in the tick
        // that wraps, the second check sees it at once.
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
        QTest::newRow("shrink to the peak") << 10.f << 1 << 4.5f << 0.f << true << 4.5f;
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
};

QTEST_GUILESS_MAIN(TestDisplayCycle)
#include "tst_displaycycle.moc"
