#include "Doubles.h"
#include "meterlink/LinkWatchdog.h"

#include <QTest>
#include <functional>

using meterlink::LinkWatchdog;

namespace {

class RecordingHost : public meterlink::LinkWatchdogHost {
public:
    QStringList events;
    QString label1, label2;
    bool dual = false;
    int port = 3;
    void setDisplayTexts(const QString& a, const QString& b) override {
        label1 = a;
        label2 = b;
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
    int commPortNo() const override { return port; }
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
    int questions() const {
        int n = 0;
        for (const auto& m : messages.shown)
            n += m.title == LinkWatchdog::QuestionTitle ? 1 : 0;
        return n;
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
        const auto& asked = rig.messages.shown.first();
        QCOMPARE(asked.buttons, platform::Buttons::OkCancel);
        QCOMPARE(asked.icon, platform::Icon::None);
        QCOMPARE(asked.text, LinkWatchdog::QuestionText());
    }

    void aReceivedCharacterRestartsTheCount() {
        Rig rig;
        rig.link.NoReplyLimit = 15;
        for (int t = 1; t <= 16; ++t)
            rig.tick();
        rig.link.NoReplyCount = 0; // what every received character does
        for (int t = 1; t <= 16; ++t)
            rig.tick();
        QCOMPARE(rig.questions(), 0);
        rig.tick();
        QCOMPARE(rig.questions(), 1);
    }

    void questionTextReadsLineByLine() {
        const QString text = LinkWatchdog::QuestionText();
        QVERIFY(text.startsWith("Voltrane Multimeter Communications Application\r\nand Data "
                                "Logger\r\n\r\nVersion 1.82\r\n\r\nUses Serial"));
        QVERIFY(text.contains("Continue in a like manner for Parity and Echo (ON).\r\n\r\n"));
        QVERIFY(text.endsWith("then Quit and Restart Program when all is correct.\r\n\r\n"));
        QCOMPARE(text.count("\r\n"), 24);
        QCOMPARE(LinkWatchdog::QuestionTitle, QString("Please Reset the Meter Manually!"));
    }

    void lostLinkShowsNoCommAndResetsTheReceiveSide() {
        Rig rig;
        rig.link.NoReplyCount = 36;
        rig.messages.answers.enqueue(platform::Answer::Ok);
        rig.tick();
        QCOMPARE(rig.host.events.mid(0, 3),
                 (QStringList{"texts:No Comm/Reset Meter", "loggerOff", "rxReset"}));
        QVERIFY(rig.reading.DualDisplay);
        QVERIFY(rig.reading.PriDispUnits.isEmpty());
        QVERIFY(rig.reading.SecDispUnits.isEmpty());
        QCOMPARE(rig.fakes.serial.closeCount, 1);
    }

    void continueReopensFlushesAndWaitsWithTheLongLimit() {
        Rig rig;
        rig.link.NoReplyLimit = 20;
        rig.link.NoReplyCount = 21;
        rig.messages.answers.enqueue(platform::Answer::Ok);
        QCOMPARE(rig.tick(), LinkWatchdog::Outcome::Continued);
        QCOMPARE(rig.fakes.serial.opened, QList<int>{3});
        QVERIFY(rig.fakes.serial.openNow);
        QCOMPARE(rig.fakes.serial.flushCount, 1);
        QCOMPARE(rig.link.NoReplyLimit, qint16(35));
        QCOMPARE(rig.fakes.clock.pauses, QList<int>{1000});
        QCOMPARE(rig.link.NoReplyCount, qint16(0));
        QVERIFY(!rig.watchdog.offline());
        QVERIFY(!rig.host.events.contains("stopTimers"));

        // Still silent: the question returns after the limit of 35, not the rate's 20.
        for (int t = 1; t <= 36; ++t)
            rig.tick();
        QCOMPARE(rig.questions(), 1);
        rig.tick();
        QCOMPARE(rig.questions(), 2);
    }

    void cancelGoesOffline() {
        Rig rig;
        rig.link.NoReplyCount = 36;
        rig.messages.answers.enqueue(platform::Answer::Cancel);
        QCOMPARE(rig.tick(), LinkWatchdog::Outcome::Offline);
        QVERIFY(rig.watchdog.offline());
        QCOMPARE(rig.host.label1, QString("Check Port"));
        QCOMPARE(rig.host.label2, QString("Then Restart"));
        QVERIFY(rig.host.events.contains("stopTimers"));
        QVERIFY(rig.host.events.contains("dual"));
        QVERIFY(rig.host.events.contains("controlsOff"));
        QCOMPARE(rig.fakes.serial.opened, QList<int>{3}); // replies are still parsed offline
        QCOMPARE(rig.link.NoReplyCount, qint16(0));
        QVERIFY(rig.fakes.clock.pauses.isEmpty());
    }

    void cancelWithTheDualLayoutShownDoesNotSwitchAgain() {
        Rig rig;
        rig.host.dual = true;
        rig.link.NoReplyCount = 36;
        rig.tick(); // the default answer of an OK/Cancel box is Cancel
        QVERIFY(!rig.host.events.contains("dual"));
    }

    void aPortThatCannotBeReopenedIsReportedAndLeavesTheProgramOffline() {
        Rig rig;
        rig.link.NoReplyCount = 36;
        rig.messages.answers.enqueue(platform::Answer::Ok);
        rig.fakes.serial.openError = platform::SerialError::PortInUse;
        QCOMPARE(rig.tick(), LinkWatchdog::Outcome::Offline);
        QCOMPARE(rig.messages.shown.size(), 2);
        QCOMPARE(rig.messages.shown[1].title, LinkWatchdog::ReopenFailedTitle);
        QVERIFY(rig.messages.shown[1].text.contains("Com3"));
        QVERIFY(rig.messages.shown[1].text.contains("8005"));
        QVERIFY(rig.watchdog.offline());
        QCOMPARE(rig.host.label1, QString("Check Port"));
        QVERIFY(rig.host.events.contains("stopTimers"));
        QVERIFY(rig.host.events.contains("controlsOff"));
        QCOMPARE(rig.fakes.serial.opened.size(), 1); // no second attempt behind the report
        QCOMPARE(rig.fakes.serial.flushCount, 0);
        QVERIFY(rig.fakes.clock.pauses.isEmpty());
    }

    void noSecondQuestionWhileTheFirstIsOpen() {
        Rig rig;
        rig.link.NoReplyCount = 36;
        int innerCalls = 0;
        rig.messages.whileOpen = [&] {
            // Ticks that fall due under the open question, with the count pushed past the limit.
            for (int i = 0; i < 50; ++i) {
                rig.link.NoReplyCount = 100;
                QCOMPARE(rig.watchdog.check(), LinkWatchdog::Outcome::Watching);
                ++innerCalls;
            }
            rig.link.NoReplyCount = 0;
        };
        rig.messages.answers.enqueue(platform::Answer::Ok);
        rig.tick();
        QCOMPARE(innerCalls, 50);
        QCOMPARE(rig.questions(), 1);
        QCOMPARE(rig.link.NoReplyCount, qint16(0));
    }
};

QTEST_MAIN(LinkWatchdogTest)
#include "tst_linkwatchdog.moc"
