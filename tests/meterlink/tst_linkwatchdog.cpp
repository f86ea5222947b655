#include "Doubles.h"
#include "meterlink/LinkWatchdog.h"

#include <QTest>

using meterlink::LinkWatchdog;
using platform::Answer;

namespace {

class RecordingHost : public meterlink::LinkWatchdogHost {
public:
    QStringList events;
    bool dual = false;
    void setDisplayTexts(const QString& a, const QString& b) override {
        events << "texts:" + a + "/" + b;
    }
    void disableLoggerButton() override { events << "loggerOff"; }
    void resetReceiveState() override { events << "rxReset"; }
    void stopTimers() override { events << "stopTimers"; }
    bool dualLayoutShown() const override { return dual; }
    void ShowDualLayout() override {
        dual = true;
        events << "dual";
    }
    void disableMeterControls() override { events << "controlsOff"; }
    int commPortNo() const override { return 3; }
};

struct Rig {
    doubles::FakePlatform fakes;
    LinkCounters link;
    CurrentReading reading;
    RecordingHost host;
    LinkWatchdog watchdog{link, reading, fakes.serial, fakes.messages, fakes.clock, host};

    Rig() {
        fakes.serial.openNow = true;
        reading.PriDispUnits = "VDC";
    }
    // One display tick as the cycle runs it: the check, then the count goes up.
    LinkWatchdog::Outcome tick() {
        const auto outcome = watchdog.check();
        ++link.NoReplyCount;
        return outcome;
    }
    // Silent ticks until the watchdog does more than watch; the count of ticks it took.
    int ticksToQuestion(Answer answer) {
        fakes.messages.answers.enqueue(answer);
        int ticks = 1;
        while (tick() == LinkWatchdog::Outcome::Watching && ticks < 1000)
            ++ticks;
        return ticks;
    }
};

} // namespace

class LinkWatchdogTest : public QObject {
    Q_OBJECT
private slots:
    // The question comes on the tick after the count passes the limit; Continue resets the
    // link, marks the reading stale, and waits with the long limit of 35.
    void continueResetsTheLinkAndWaitsWithTheLongLimit() {
        Rig rig;
        rig.link.NoReplyLimit = 20;
        QCOMPARE(rig.ticksToQuestion(Answer::Ok), 22);
        QCOMPARE(rig.fakes.messages.shown.size(), 1);
        QCOMPARE(rig.fakes.messages.shown[0].title, LinkWatchdog::QuestionTitle);
        QCOMPARE(rig.fakes.messages.shown[0].buttons, platform::Buttons::OkCancel);
        QCOMPARE(rig.host.events,
                 (QStringList{"texts:No Comm/Reset Meter", "loggerOff", "rxReset"}));
        QVERIFY(rig.reading.DualDisplay);
        QVERIFY(rig.link.LinkLost); // the numbers shown from now on are stale
        QVERIFY(rig.reading.PriDispUnits.isEmpty());
        QCOMPARE(rig.fakes.serial.closeCount, 1);
        QCOMPARE(rig.fakes.serial.opened, QList<int>{3});
        QCOMPARE(rig.fakes.serial.flushCount, 1);
        QCOMPARE(rig.fakes.clock.pauses, QList<int>{1000});
        QVERIFY(!rig.watchdog.offline());
        QCOMPARE(rig.ticksToQuestion(Answer::Ok), 37);
    }

    // Cancel, or a port that cannot be opened again after Continue: offline, with the timers
    // stopped, the controls off and no wait for the meter; a failed reopen is reported once.
    void goesOffline_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("openError");
        QTest::addColumn<bool>("dualShown");
        QTest::newRow("cancel") << int(Answer::Cancel) << 0 << false;
        QTest::newRow("cancel, dual layout shown") << int(Answer::Cancel) << 0 << true;
        QTest::newRow("reopen fails")
            << int(Answer::Ok) << platform::SerialError::PortInUse << false;
    }
    void goesOffline() {
        QFETCH(int, answer);
        QFETCH(int, openError);
        QFETCH(bool, dualShown);
        Rig rig;
        rig.host.dual = dualShown;
        rig.fakes.serial.openError = openError;
        rig.link.NoReplyCount = rig.link.NoReplyLimit + 1;
        rig.fakes.messages.answers.enqueue(Answer(answer));
        QCOMPARE(rig.tick(), LinkWatchdog::Outcome::Offline);
        QVERIFY(rig.watchdog.offline());
        for (const char* event : {"texts:Check Port/Then Restart", "stopTimers", "controlsOff"})
            QVERIFY2(rig.host.events.contains(event), event);
        QCOMPARE(rig.host.events.contains("dual"), !dualShown);
        QVERIFY(rig.host.dual);
        QVERIFY(rig.fakes.clock.pauses.isEmpty());
        // Replies are still parsed offline; no second attempt behind a report.
        QCOMPARE(rig.fakes.serial.opened, QList<int>{3});
        QCOMPARE(rig.link.NoReplyCount, qint16(0));
        QCOMPARE(rig.fakes.messages.shown.size(), openError ? 2 : 1);
        if (openError)
            QCOMPARE(rig.fakes.messages.shown[1].title, LinkWatchdog::ReopenFailedTitle);
    }

    void noSecondQuestionWhileTheFirstIsOpen() {
        Rig rig;
        int innerCalls = 0;
        rig.fakes.messages.onShow = [&] {
            // Ticks that fall due under the open question, with the count pushed past the limit.
            for (; innerCalls < 50; ++innerCalls) {
                rig.link.NoReplyCount = 100;
                QCOMPARE(rig.watchdog.check(), LinkWatchdog::Outcome::Watching);
            }
            rig.link.NoReplyCount = 0;
        };
        rig.link.NoReplyCount = rig.link.NoReplyLimit + 1;
        QCOMPARE(rig.ticksToQuestion(Answer::Ok), 1);
        QCOMPARE(innerCalls, 50);
        QCOMPARE(rig.fakes.messages.shown.size(), 1);
        QCOMPARE(rig.link.NoReplyCount, qint16(0));
    }
};

QTEST_MAIN(LinkWatchdogTest)
#include "tst_linkwatchdog.moc"
