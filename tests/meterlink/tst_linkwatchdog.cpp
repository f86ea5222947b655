#include "Doubles.h"
#include "meterlink/LinkWatchdog.h"

#include <QTest>
#include <algorithm>
#include <functional>

using meterlink::LinkWatchdog;

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

// A message box that runs something while its question is "open".
class ReentrantMessageBox : public doubles::FakeMessageBox {
public:
    std::function<void()> whileOpen;
    platform::Answer show(const QString& text, platform::Buttons buttons, const QString& title,
                          platform::Icon icon) override {
        if (whileOpen && title == LinkWatchdog::QuestionTitle)
            whileOpen();
        return FakeMessageBox::show(text, buttons, title, icon);
    }
};

struct Rig {
    doubles::FakePlatform fakes;
    ReentrantMessageBox messages;
    LinkCounters link;
    CurrentReading reading;
    RecordingHost host;
    LinkWatchdog watchdog{link, reading, fakes.serial, messages, fakes.clock, host};

    Rig() {
        fakes.serial.openNow = true;
        reading.PriDispUnits = "VDC";
        reading.SecDispUnits = "HZ";
    }
    // One display tick as the cycle runs it: the check, then the count goes up.
    LinkWatchdog::Outcome tick() {
        const auto outcome = watchdog.check();
        ++link.NoReplyCount;
        return outcome;
    }
    // The count passes the limit; the next tick asks, answered with answer.
    LinkWatchdog::Outcome silentTick(platform::Answer answer) {
        link.NoReplyCount = link.NoReplyLimit + 1;
        messages.answers.enqueue(answer);
        return tick();
    }
    qsizetype questions() const {
        return std::count_if(messages.shown.cbegin(), messages.shown.cend(),
                             [](const auto& m) { return m.title == LinkWatchdog::QuestionTitle; });
    }
    // What both ways offline leave: timers stopped, controls off, no wait for the meter.
    void verifyOffline() const {
        QVERIFY(watchdog.offline());
        QVERIFY(host.events.contains("texts:Check Port/Then Restart"));
        QVERIFY(host.events.contains("stopTimers"));
        QVERIFY(host.events.contains("controlsOff"));
        QVERIFY(host.dual);
        QVERIFY(fakes.clock.pauses.isEmpty());
    }
};

} // namespace

class LinkWatchdogTest : public QObject {
    Q_OBJECT
private slots:
    void questionComesOnTheTickAfterTheCountPassesTheLimit() {
        Rig rig;
        rig.link.NoReplyLimit = 15;
        for (int t = 1; t <= 16; ++t)
            QCOMPARE(rig.tick(), LinkWatchdog::Outcome::Watching);
        QCOMPARE(rig.questions(), 0);
        rig.messages.answers.enqueue(platform::Answer::Ok);
        QCOMPARE(rig.tick(), LinkWatchdog::Outcome::Continued); // the 17th silent tick
        QCOMPARE(rig.questions(), 1);
        QCOMPARE(rig.messages.shown.first().buttons, platform::Buttons::OkCancel);
    }

    void continueResetsTheLinkAndWaitsWithTheLongLimit() {
        Rig rig;
        rig.link.NoReplyLimit = 20;
        QCOMPARE(rig.silentTick(platform::Answer::Ok), LinkWatchdog::Outcome::Continued);
        QCOMPARE(rig.host.events.mid(0, 3),
                 (QStringList{"texts:No Comm/Reset Meter", "loggerOff", "rxReset"}));
        QVERIFY(rig.reading.DualDisplay);
        QVERIFY(rig.link.LinkLost); // the numbers shown from now on are stale
        QVERIFY(rig.reading.PriDispUnits.isEmpty());
        QCOMPARE(rig.fakes.serial.closeCount, 1);
        QCOMPARE(rig.fakes.serial.opened, QList<int>{3});
        QCOMPARE(rig.fakes.serial.flushCount, 1);
        QCOMPARE(rig.fakes.clock.pauses, QList<int>{1000});
        QVERIFY(!rig.watchdog.offline());
        // Still silent: the question returns after the limit of 35, not the rate's 20.
        for (int t = 1; t <= 36; ++t)
            rig.tick();
        QCOMPARE(rig.questions(), 1);
        rig.tick();
        QCOMPARE(rig.questions(), 2);
    }

    void cancelGoesOffline_data() {
        QTest::addColumn<bool>("dualShown");
        QTest::newRow("single layout") << false;
        QTest::newRow("dual layout already shown") << true;
    }
    void cancelGoesOffline() {
        QFETCH(bool, dualShown);
        Rig rig;
        rig.host.dual = dualShown;
        QCOMPARE(rig.silentTick(platform::Answer::Cancel), LinkWatchdog::Outcome::Offline);
        rig.verifyOffline();
        QCOMPARE(rig.host.events.contains("dual"), !dualShown);
        QCOMPARE(rig.fakes.serial.opened, QList<int>{3}); // replies are still parsed offline
        QCOMPARE(rig.link.NoReplyCount, qint16(0));
    }

    void aPortThatCannotBeReopenedIsReportedAndLeavesTheProgramOffline() {
        Rig rig;
        rig.fakes.serial.openError = platform::SerialError::PortInUse;
        QCOMPARE(rig.silentTick(platform::Answer::Ok), LinkWatchdog::Outcome::Offline);
        QCOMPARE(rig.messages.shown.size(), 2);
        QCOMPARE(rig.messages.shown[1].title, LinkWatchdog::ReopenFailedTitle);
        rig.verifyOffline();
        QCOMPARE(rig.fakes.serial.opened.size(), 1); // no second attempt behind the report
    }

    void noSecondQuestionWhileTheFirstIsOpen() {
        Rig rig;
        int innerCalls = 0;
        rig.messages.whileOpen = [&] {
            // Ticks that fall due under the open question, with the count pushed past the limit.
            for (; innerCalls < 50; ++innerCalls) {
                rig.link.NoReplyCount = 100;
                QCOMPARE(rig.watchdog.check(), LinkWatchdog::Outcome::Watching);
            }
            rig.link.NoReplyCount = 0;
        };
        rig.silentTick(platform::Answer::Ok);
        QCOMPARE(innerCalls, 50);
        QCOMPARE(rig.questions(), 1);
        QCOMPARE(rig.link.NoReplyCount, qint16(0));
    }
};

QTEST_MAIN(LinkWatchdogTest)
#include "tst_linkwatchdog.moc"
