#include "Doubles.h"
#include "MeterSimProcess.h"
#include "TestSettings.h"
#include "app/frmMain.h"
#include "control/frmControl.h"
#include "grapher/frmGrapher.h"
#include "logger/LoggerRules.h"
#include "logger/frmLogger.h"
#include "platform/QtSerialPort.h"
#include "settings/SettingsStore.h"
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The whole program: the main window and its logger, meter control and grapher windows on a
// real serial port, with the meter simulator at the other end of a pseudo-terminal. Message
// boxes, file dialogs, sound and the clock are doubles, so a test answers the program's
// questions and moves time on where real waiting would only make it slow.
namespace {

constexpr int LinkTimeoutMs = 15000;

// Readings the simulator sends in turn, and what the program makes of them.
struct Scripted {
    const char* line; // as the meter sends it
    float value;      // primary value in the base unit
    const char* csv;  // the units and values as the CSV export writes them
};
using Script = QList<Scripted>;

// Dual readings, then single ones; the secondary is "N/A" once a display tick has seen a
// single reading.
const Script RunReadings = {
    {"+1.2000E+2 VAC,+6.0000E+1 HZ", 120.0f, "VAC,120,HZ,60"},
    {"+2.3000E+2 VAC,+5.0000E+1 HZ", 230.0f, "VAC,230,HZ,50"},
    {"+1.1500E+2 VAC,+4.0000E+2 HZ", 115.0f, "VAC,115,HZ,400"},
    {"+1.0000E+0 VDC", 1.0f, "VDC,1,N/A,0"},
    {"-3.1250E-1 VDC", -0.3125f, "VDC,-0.3125,N/A,0"},
    {"+12.500E+0 VDC", 12.5f, "VDC,12.5,N/A,0"},
    {"+4.0000E-3 VDC", 0.004f, "VDC,0.004,N/A,0"},
};
const int RunSamples = int(RunReadings.size());

using testsupport::store;

QStringList simArguments(const QStringList& readings, int intervalMs) {
    QStringList arguments{QStringLiteral("--interval"), QString::number(intervalMs)};
    for (const QString& r : readings)
        arguments << QStringLiteral("--reading") << r;
    return arguments;
}

// One CSV line of sample i of a run started at start, 250 ms of clock between samples.
QByteArray csvRow(const QDateTime& start, int i, const Scripted& reading) {
    const QTime at = start.addMSecs(250 * i).time();
    return at.toString("HH:mm:ss").toLatin1() + ',' + QByteArray::number(at.msec()) + ',' +
           reading.csv + '\r';
}

QList<QByteArray> fileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class SystemTest : public QObject {
    Q_OBJECT

    // The program as main() builds it, with doubles for what a test must answer or control.
    struct Program {
        doubles::FakePlatform fake;
        platform::QtSerialPort serial;
        platform::Platform services{fake.messages, fake.dialogs, fake.sound,
                                    fake.clock,    serial,       fake.shell};
        frmMain main{services};

        template <typename T> T* in(QWidget* window, const char* name) {
            return window->findChild<T*>(QString::fromLatin1(name));
        }
        QLabel* label(const char* name) { return in<QLabel>(&main, name); }
        QPushButton* button(const char* name) { return in<QPushButton>(&main, name); }
        QPushButton* loggerButton(const char* name) {
            return in<QPushButton>(&main.logger(), name);
        }
        QLineEdit* loggerBox(const char* name) { return in<QLineEdit>(&main.logger(), name); }
        QLineEdit* grapherBox(const char* name) { return in<QLineEdit>(&main.grapher(), name); }
        LoggerRunState& run() { return main.shared().logger; }
        bool shown(const QString& title) const {
            for (const auto& box : fake.messages.shown)
                if (box.title == title)
                    return true;
            return false;
        }
    };

    QTemporaryDir files_;

    // Starts the simulator, maps it to Com<port> and makes that the stored port.
    static bool startSim(testsupport::MeterSimProcess& sim, const QStringList& arguments,
                         int port = 1) {
        if (!sim.start(arguments))
            return false;
        sim.mapToPort(port);
        QSettings s = store();
        s.setValue(QStringLiteral("Startup/CommPort"), QString::number(port));
        s.sync();
        return true;
    }

    // Opens the Logger window from the main window once it may, its file named through Browse.
    static bool openLogger(Program& p, const QString& path) {
        if (!QTest::qWaitFor([&p] { return p.button("cmdLogger")->isEnabled(); }, LinkTimeoutMs))
            return false;
        p.button("cmdLogger")->click();
        p.fake.dialogs.fileResults.enqueue({platform::DialogResult::Status::Ok, path, 0});
        p.loggerButton("cmdBrowse")->click();
        return p.main.logger().isOpen() && p.loggerBox("txtFilePath")->text() == path;
    }

    // Waits until the program holds this reading: its primary value and secondary unit.
    static bool waitForReading(Program& p, float value, const QString& secUnits = "N/A") {
        const CurrentReading& r = p.main.shared().reading;
        return QTest::qWaitFor(
            [&] { return r.PriValue == value && r.SecUnits.trimmed() == secUnits; }, LinkTimeoutMs);
    }
    static bool waitForReading(Program& p, const Scripted& reading) {
        return waitForReading(p, reading.value, QString(reading.csv).section(',', 2, 2));
    }

    // frmMain's Open and Graph with the file dialog answering path; the grapher opens from
    // tmrWait a moment later.
    static bool openInGrapher(Program& p, const QString& path) {
        p.fake.dialogs.fileResults.enqueue({platform::DialogResult::Status::Ok, path, 0});
        p.main.mnuOpen_Click();
        return QTest::qWaitFor([&p] { return p.main.grapher().isOpen(); }, 5000) &&
               p.main.grapher().log() != nullptr;
    }

private slots:
    void init() {
        testsupport::clearSettings();
        QVERIFY(files_.isValid());
    }

    // Start-up on the stored port: the commands reach the meter in their order, nothing more
    // while the program only listens, and the meter control window is open. A dual function
    // chosen there: the second display appears and the window grows by one display (1650
    // twips); back to one reading it shrinks again. Quit closes the port and writes the
    // settings; the next start, of this window and of the installed program, reads them back.
    void startUpDualLayoutQuitAndRestart() {
        testsupport::MeterSimProcess sim;
        QVERIFY2(startSim(sim, {"--function", "VDC", "--interval", "150"}, 3),
                 qPrintable(sim.error()));
        const QString conf = store().fileName();
        const QByteArray startUp("FORMAT 2; RATE F\r\nRATE F\rVAC\rRATE F\rVAC\r");
        {
            Program p;
            QVERIFY(p.main.openWindow());
            QCOMPARE(p.main.CommPortNo(), qint16(3));
            QVERIFY(sim.waitForLogged(startUp));
            QTRY_VERIFY_WITH_TIMEOUT(p.label("Label1")->text().endsWith(" VAC"), LinkTimeoutMs);
            QCOMPARE(sim.logged(), startUp);
            QVERIFY(p.button("cmdLogger")->isEnabled());
            QVERIFY(p.main.control().isOpen());
            const int singleHeight = p.main.height();
            const int singleLoggerTop = p.button("cmdLogger")->y();
            QVERIFY(p.label("Label2")->isHidden());

            p.main.control().selectOption(QStringLiteral("optVandF"));
            QVERIFY(sim.waitForLogged("VAC; FREQ2\r"));
            QTRY_VERIFY_WITH_TIMEOUT(p.label("Label2")->text().endsWith("HZ"), LinkTimeoutMs);
            QVERIFY(p.main.dualLayoutShown());
            QVERIFY(!p.label("Label2")->isHidden());
            QVERIFY(p.label("Label1")->text().endsWith("VAC"));
            const int grow = p.main.twips().toPixels(1650);
            QCOMPARE(p.button("cmdLogger")->y() - singleLoggerTop, grow);
            QCOMPARE(p.main.height() - singleHeight, grow);

            p.main.control().selectOption(QStringLiteral("optVDC"));
            QVERIFY(sim.waitForLogged("VAC; FREQ2\rVDC\r"));
            QTRY_VERIFY_WITH_TIMEOUT(p.label("Label1")->text().endsWith("VDC"), LinkTimeoutMs);
            QTRY_VERIFY_WITH_TIMEOUT(!p.main.dualLayoutShown(), LinkTimeoutMs);
            QCOMPARE(p.main.height(), singleHeight);
            QVERIFY(p.fake.messages.shown.isEmpty());

            p.main.colour_Click(QStringLiteral("mnuBGWhite"));
            p.main.colour_Click(QStringLiteral("mnuBlue"));
            p.button("cmdQuit")->click();
            QVERIFY(p.main.hasEnded());
            QCOMPARE(p.main.exitCode(), 0);
            QVERIFY(!p.serial.isOpen());
            QVERIFY(!p.main.control().isOpen());
        }
        QSettings written(conf, QSettings::IniFormat);
        QCOMPARE(written.value("Startup/CommPort").toString(), QString("3"));
        QCOMPARE(written.value("Startup/BGColor").toString(), QString("16777215"));
        QCOMPARE(written.value("Startup/FGColor").toString(), QString("16711680"));
        QCOMPARE(written.value("Startup/AlarmWav").toString(),
                 settings::InProgramFolder("attention.wav"));
        QVERIFY(written.contains("Startup/Font"));
        {
            Program again;
            QVERIFY(again.main.openWindow());
            QCOMPARE(again.main.appearance().BackgroundColour(), 16777215);
            again.main.quitProgram();
        }

        // The installed program itself, with its real pauses: it opens the stored port, sends
        // the meter its start-up commands, and keeps running.
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(testsupport::builtProgram("voltrane"), {});
        QVERIFY2(program.waitForStarted(10000), qPrintable(program.errorString()));
        QVERIFY(QTest::qWaitFor([&] { return sim.logged().count(startUp) == 3; }, LinkTimeoutMs));
        QTest::qWait(1000);
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate();
        if (!program.waitForFinished(5000)) {
            program.kill();
            program.waitForFinished(5000);
        }
    }

    // A manual logging run of known readings, opened in the grapher from the main window, its
    // CSV export line by line against what the simulator sent, the secondary readings of the
    // dual lines as a data set of their own, and the comment edited and read back from the file.
    void manualRunToGrapherCsvAndComment() {
        testsupport::MeterSimProcess sim;
        QStringList readings;
        for (const Scripted& r : RunReadings)
            readings << r.line;
        QVERIFY2(startSim(sim, simArguments(readings, 200)), qPrintable(sim.error()));
        Program p;
        QVERIFY(p.main.openWindow());
        const QString path = files_.filePath("bench run.vtd");
        // The Logger button waits for the first complete reply line.
        QVERIFY(openLogger(p, path));
        p.loggerBox("txtComment")->setText("Bench run, seven readings");
        p.loggerBox("txtSampInt")->setText(QStringLiteral("0.25"));

        QVERIFY(waitForReading(p, RunReadings[0]));
        const QDateTime runStart = p.fake.clock.now();
        p.loggerButton("cmdStart")->click(); // writes the first sample at once
        QVERIFY(p.run().LoggingActive);
        QCOMPARE(p.run().LogIntervalMs, 250);
        QVERIFY(p.main.logClock().isActive());
        // The test ticks the sample clock itself, each time the next reading is on hand.
        p.main.logClock().stop();
        for (int i = 1; i < RunSamples; ++i) {
            QVERIFY(waitForReading(p, RunReadings[i]));
            p.fake.clock.advance(250);
            QVERIFY(p.main.logger().capture().GetRowofData());
        }
        QCOMPARE(p.in<QLabel>(&p.main.logger(), "lblSampCount")->text(),
                 QString::number(RunSamples));
        p.loggerButton("cmdStop")->click();
        QVERIFY(!p.run().LoggingActive);
        QCOMPARE(p.run().SampleCount, RunSamples);
        p.loggerButton("cmdReturn")->click();
        QVERIFY(!p.main.logger().isOpen());

        QVERIFY(openInGrapher(p, path));
        QCOMPARE(p.main.grapher().log()->columns.rowCount(), RunSamples);
        QCOMPARE(p.grapherBox("txtComment")->text(), QString("Bench run, seven readings"));
        frmGrapher& grapher = p.main.grapher();
        QVERIFY(grapher.view().HasSecondary);
        grapher.lblTitle_Click();
        QCOMPARE(grapher.view().DataSet, 2);
        QCOMPARE(p.in<QLabel>(&grapher, "Label10")->text(), QString("Secondary"));
        QCOMPARE(grapher.view().ViewMax, 400.0f);

        p.main.grapher().mnuCDelimited_Click();
        const QList<QByteArray> csv = fileLines(files_.filePath("bench run.csv"));
        QCOMPARE(csv.size(), 2 + RunSamples);
        const QByteArray date =
            QLocale::system().toString(runStart.date(), QLocale::ShortFormat).toUtf8();
        QCOMPARE(csv[0], date + ",Bench run, seven readings\r");
        QCOMPARE(csv[1], QByteArray("TimeStamp,MilliSeconds,Units,Value,Units2,Value2\r"));
        for (int i = 0; i < RunSamples; ++i)
            QCOMPARE(csv[2 + i], csvRow(runStart, i, RunReadings[i]));

        // The comment round trip: edited in the grapher, written back on Return, read again;
        // the database copy beside the file then opens in the grapher like the log file.
        p.grapherBox("txtComment")->setText("Edited at the bench");
        p.main.grapher().cmdReturn_Click();
        QVERIFY(!p.main.grapher().isOpen());
        QVERIFY(openInGrapher(p, path));
        QCOMPARE(p.main.grapher().log()->info.Description, QString("Edited at the bench"));
        p.main.grapher().mnuCAccess_Click();
        p.main.grapher().cmdReturn_Click();
        QVERIFY(openInGrapher(p, files_.filePath("bench run.mdb")));
        QCOMPARE(p.grapherBox("txtComment")->text(), QString("Edited at the bench"));
        QCOMPARE(p.main.grapher().log()->columns.rowCount(), RunSamples);
        p.main.grapher().cmdReturn_Click();

        // Only the export's completion boxes were shown.
        for (const auto& box : p.fake.messages.shown)
            QVERIFY2(box.buttons == platform::Buttons::OkOnly, qPrintable(box.title));
        p.main.quitProgram();
        QCOMPARE(QFileInfo(store().value("Startup/DataFilePath").toString()).canonicalFilePath(),
                 QFileInfo(files_.path()).canonicalFilePath());
    }

    // A timed run: the clock reaching the start time starts it. The meter falls silent during
    // it: the recovery question, and once the user answered Continue, a meter still silent must
    // add no samples, since there is no reading to log; when it speaks again the readings and
    // the run go on. The stop time ends the run with the completion box; every sample taken is
    // in the file.
    void timedRunThroughASilentMeter() {
        testsupport::MeterSimProcess sim;
        QVERIFY2(startSim(sim, simArguments({"+1.2345E+0 VDC"}, 100)), qPrintable(sim.error()));
        Program p;
        QVERIFY(p.main.openWindow());
        QVERIFY(waitForReading(p, 1.2345f));
        const QString path = files_.filePath("timed.vtd");
        QVERIFY(openLogger(p, path));
        p.loggerBox("txtSampInt")->setText(QStringLiteral("0.25"));
        p.main.logger().optTimer_Click();
        const QTime now = p.fake.clock.now().time();
        const QTime end = now.addSecs(10);
        p.loggerBox("mskStartTime")->setText(logger::timeBoxText(now.addSecs(2)));
        p.loggerBox("mskEndTime")->setText(logger::timeBoxText(end));
        auto second = [&p] {
            p.fake.clock.advance(1000);
            p.main.tmrDispUpdate_Timer();
            p.main.logger().tmrRealTime_Timer();
        };
        second();
        QVERIFY(!p.run().LoggingActive);
        QCOMPARE(p.loggerButton("cmdStart")->text(), QString("Timed Start Pending!"));
        second();
        QVERIFY(p.run().LoggingActive);
        QCOMPARE(p.loggerButton("cmdStart")->text(), QString("In Progress!"));
        // Some real sample clock ticks during the run.
        QTRY_VERIFY_WITH_TIMEOUT(p.run().SampleCount >= 3, 10000);

        p.fake.messages.answers.enqueue(platform::Answer::Ok);
        sim.goSilent();
        QTRY_VERIFY_WITH_TIMEOUT(p.shown("Please Reset the Meter Manually!"), 20000);
        QCOMPARE(p.fake.messages.shown.size(), 1);
        QCOMPARE(p.fake.messages.shown.first().buttons, platform::Buttons::OkCancel);
        QVERIFY(p.serial.isOpen()); // opened again after Continue
        QCOMPARE(p.main.shared().link.NoReplyLimit, qint16(35));
        QVERIFY(p.run().LoggingActive);
        const int atQuestion = p.run().SampleCount;
        QTest::qWait(2000); // eight ticks of the sample clock, the meter still silent
        QCOMPARE(p.run().SampleCount, atQuestion);
        sim.comeBack();
        QTRY_VERIFY_WITH_TIMEOUT(p.run().SampleCount > atQuestion + 2, LinkTimeoutMs);
        QCOMPARE(p.label("Label1")->text(), QString(" 1.2345 VDC"));
        QVERIFY(p.button("cmdLogger")->isEnabled());

        // On to the stop time (Continue's pause moved the clock on as well).
        while (p.fake.clock.now().time().addSecs(1) < end)
            second();
        QVERIFY(p.run().LoggingActive);
        second();
        QVERIFY(!p.run().LoggingActive);
        QVERIFY(!p.main.logClock().isActive());
        QCOMPARE(p.fake.messages.shown.size(), 2);
        QCOMPARE(p.fake.messages.shown.last().title, QString("Voltrane"));
        const int samples = p.run().SampleCount;
        QVERIFY(p.fake.messages.shown.last().text.contains(QString::number(samples)));

        p.main.logger().returnToMain();
        QVERIFY(openInGrapher(p, path));
        QCOMPARE(p.main.grapher().log()->columns.rowCount(), samples);
        p.main.grapher().cmdReturn_Click();
        p.main.quitProgram();
    }
};

QTEST_MAIN(SystemTest)
#include "tst_system.moc"
