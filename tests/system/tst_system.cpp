#include "Doubles.h"
#include "MeterSimProcess.h"
#include "TestSettings.h"
#include "app/frmMain.h"
#include "control/frmControl.h"
#include "grapher/frmGrapher.h"
#include "logger/LoggerRules.h"
#include "logger/frmLogger.h"
#include "platform/QtSerialPort.h"
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QSerialPort>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

// The whole program: the main window and its logger, meter control and grapher windows on a
// real serial port, with the meter simulator at the other end of a pseudo-terminal. Message
// boxes, file dialogs, sound and the clock are doubles, so a test answers the program's
// questions and moves time on where real waiting would only make it slow.
namespace {

constexpr int LinkTimeoutMs = 15000;

// Readings the simulator sends in turn, and their units and values as the CSV export writes
// them: dual readings, then single ones, whose secondary is "N/A" once a display tick has seen
// them.
const QList<std::pair<QString, QByteArray>> RunReadings = {
    {"+1.2000E+2 VAC,+6.0000E+1 HZ", "VAC,120,HZ,60"},
    {"+2.3000E+2 VAC,+5.0000E+1 HZ", "VAC,230,HZ,50"},
    {"+1.1500E+2 VAC,+4.0000E+2 HZ", "VAC,115,HZ,400"},
    {"+1.0000E+0 VDC", "VDC,1,N/A,0"},
    {"-3.1250E-1 VDC", "VDC,-0.3125,N/A,0"},
    {"+12.500E+0 VDC", "VDC,12.5,N/A,0"},
    {"+4.0000E-3 VDC", "VDC,0.004,N/A,0"},
};
const int RunSamples = int(RunReadings.size());

// Starts the simulator, maps it to Com<port> and makes that the stored port.
bool startSim(testsupport::MeterSimProcess& sim, const QStringList& arguments, int port = 1) {
    if (!sim.start(arguments))
        return false;
    sim.mapToPort(port);
    testsupport::store().setValue("Startup/CommPort", QString::number(port));
    return true;
}

// The program as main() builds it, with doubles for what a test must answer or control.
struct Program {
    doubles::FakePlatform fake;
    platform::QtSerialPort serial;
    platform::Platform services{fake.messages, fake.dialogs, fake.sound,   fake.clock,
                                serial,        fake.shell,   fake.progress};
    frmMain main{services};

    template <typename T = QPushButton> T* in(QWidget& window, const char* name) {
        return window.findChild<T*>(name);
    }
    QLabel* label(const char* name) { return in<QLabel>(main, name); }
    QLineEdit* box(QWidget& window, const char* name) { return in<QLineEdit>(window, name); }
    LoggerRunState& run() { return main.shared().logger; }

    // Opens the Logger window from the main window once it may, its file named through Browse.
    bool openLogger(const QString& path) {
        if (!QTest::qWaitFor([this] { return in(main, "cmdLogger")->isEnabled(); }, LinkTimeoutMs))
            return false;
        in(main, "cmdLogger")->click();
        fake.dialogs.fileResults.enqueue({platform::DialogResult::Status::Ok, path, 0});
        in(main.logger(), "cmdBrowse")->click();
        return main.logger().isOpen() && box(main.logger(), "txtFilePath")->text() == path;
    }

    // Waits until the program holds the reading of this CSV text: its value and secondary unit.
    bool waitFor(const QByteArray& csv) {
        const CurrentReading& r = main.shared().reading;
        const QList<QByteArray> fields = csv.split(',');
        return QTest::qWaitFor(
            [&] { return r.PriValue == fields[1].toFloat() && r.SecUnits.trimmed() == fields[2]; },
            LinkTimeoutMs);
    }

    // Open and Graph with the file dialog answering path; the grapher opens from tmrWait.
    bool graph(const QString& path) {
        fake.dialogs.fileResults.enqueue({platform::DialogResult::Status::Ok, path, 0});
        main.mnuOpen_Click();
        return QTest::qWaitFor([this] { return main.grapher().isOpen(); }, 5000) &&
               main.grapher().log() != nullptr;
    }
};

} // namespace

class SystemTest : public QObject {
    Q_OBJECT

    QTemporaryDir files_;

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
        const QByteArray startUp("FORMAT 2; RATE F\r\nRATE F\rVAC\rRATE F\rVAC\r");
        {
            Program p;
            QVERIFY(p.main.openWindow());
            QCOMPARE(p.main.CommPortNo(), qint16(3));
            QVERIFY(sim.waitForLogged(startUp));
            QTRY_VERIFY_WITH_TIMEOUT(p.label("Label1")->text().endsWith(" VAC"), LinkTimeoutMs);
            QCOMPARE(sim.logged(), startUp);
            QVERIFY(p.main.control().isOpen());
            const int singleHeight = p.main.height();

            p.main.control().selectOption("optVandF");
            QTRY_VERIFY_WITH_TIMEOUT(p.label("Label2")->text().endsWith("HZ"), LinkTimeoutMs);
            QVERIFY(p.main.layout().dualShown() && !p.label("Label2")->isHidden());
            QCOMPARE(p.main.height() - singleHeight, p.main.twips().toPixels(1650));
            p.main.control().selectOption("optVDC");
            QTRY_VERIFY_WITH_TIMEOUT(p.label("Label1")->text().endsWith("VDC"), LinkTimeoutMs);
            QTRY_VERIFY_WITH_TIMEOUT(!p.main.layout().dualShown(), LinkTimeoutMs);
            QCOMPARE(p.main.height(), singleHeight);
            QCOMPARE(sim.logged(), startUp + "VAC; FREQ2\rVDC\r");
            QVERIFY(p.fake.messages.shown.isEmpty());

            p.main.colour_Click("mnuBGWhite");
            p.main.colour_Click("mnuBlue");
            p.in(p.main, "cmdQuit")->click();
            QVERIFY(p.main.hasEnded());
            QCOMPARE(p.main.exitCode(), 0);
            QVERIFY(!p.serial.isOpen());
        }
        QSettings written = testsupport::store();
        for (const auto& [key, value] :
             {std::pair{"CommPort", "3"}, {"BGColor", "16777215"}, {"FGColor", "16711680"}})
            QCOMPARE(written.value(QString("Startup/") + key).toString(), QString(value));
        {
            Program again;
            QVERIFY(again.main.openWindow());
            QCOMPARE(again.main.appearance().BackgroundColour(), 16777215);
            again.main.quitProgram();
        }

        // The installed program itself, with its real pauses: it opens the stored port, sends
        // the meter its start-up commands, and keeps running.
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(testsupport::builtProgram("voltrane"), {});
        QVERIFY2(program.waitForStarted(10000), qPrintable(program.errorString()));
        QVERIFY(QTest::qWaitFor([&] { return sim.logged().count(startUp) == 3; }, LinkTimeoutMs));
        QTest::qWait(1000);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished(5000);
    }

    // A manual logging run of known readings, opened in the grapher from the main window, its
    // CSV export line by line against what the simulator sent, and the comment edited, read
    // back from the file and from the database copy beside it.
    void manualRunToGrapherCsvAndComment() {
        testsupport::MeterSimProcess sim;
        QStringList arguments{"--interval", "200"};
        for (const auto& reading : RunReadings)
            arguments << "--reading" << reading.first;
        QVERIFY2(startSim(sim, arguments), qPrintable(sim.error()));
        Program p;
        QVERIFY(p.main.openWindow());
        const QString path = files_.filePath("bench run.vtd");
        // The Logger button waits for the first complete reply line.
        QVERIFY(p.openLogger(path));
        frmLogger& window = p.main.logger();
        p.box(window, "txtComment")->setText("Bench run, seven readings");
        p.box(window, "txtSampInt")->setText("0.25");
        QVERIFY(p.waitFor(RunReadings[0].second));
        const QDateTime runStart = p.fake.clock.now();
        p.in(window, "cmdStart")->click(); // writes the first sample at once
        QVERIFY(p.run().LoggingActive && p.main.session().logClock().isActive());
        // The test ticks the sample clock itself, each time the next reading is on hand.
        p.main.session().logClock().stop();
        for (int i = 1; i < RunSamples; ++i) {
            QVERIFY(p.waitFor(RunReadings[i].second));
            p.fake.clock.advance(250);
            QVERIFY(window.capture().GetRowofData());
        }
        p.in(window, "cmdStop")->click();
        QVERIFY(!p.run().LoggingActive);
        QCOMPARE(p.run().SampleCount, RunSamples);
        p.in(window, "cmdReturn")->click();

        QVERIFY(p.graph(path));
        frmGrapher& grapher = p.main.grapher();
        QCOMPARE(p.box(grapher, "txtComment")->text(), QString("Bench run, seven readings"));
        grapher.mnuCDelimited_Click();
        QFile file(files_.filePath("bench run.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> csv = file.readAll().split('\n');
        QCOMPARE(csv.size(), 3 + RunSamples);
        const QString date = QLocale::system().toString(runStart.date(), QLocale::ShortFormat);
        QCOMPARE(csv[0], date.toUtf8() + ",Bench run, seven readings\r");
        QCOMPARE(csv[1], QByteArray("TimeStamp,MilliSeconds,Units,Value,Units2,Value2\r"));
        for (int i = 0; i < RunSamples; ++i) {
            const QTime at = runStart.addMSecs(250 * i).time();
            QCOMPARE(csv[2 + i], at.toString("HH:mm:ss").toLatin1() + ',' +
                                     QByteArray::number(at.msec()) + ',' + RunReadings[i].second +
                                     '\r');
        }

        // The comment edited in the grapher is written back on Return; the database copy then
        // opens in the grapher like the log file.
        p.box(grapher, "txtComment")->setText("Edited at the bench");
        grapher.cmdReturn_Click();
        QVERIFY(p.graph(path));
        QCOMPARE(grapher.log()->info.Description, QString("Edited at the bench"));
        grapher.mnuCAccess_Click();
        grapher.cmdReturn_Click();
        QVERIFY(p.graph(files_.filePath("bench run.mdb")));
        QCOMPARE(p.box(grapher, "txtComment")->text(), QString("Edited at the bench"));
        QCOMPARE(grapher.log()->columns.rowCount(), RunSamples);
        grapher.cmdReturn_Click();

        // Only the export's completion boxes were shown.
        for (const auto& box : p.fake.messages.shown)
            QVERIFY2(box.buttons == platform::Buttons::OkOnly, qPrintable(box.title));
        p.main.quitProgram();
    }

    // A timed run: the clock reaching the start time starts it. The meter falls silent during
    // it: the recovery question, and once the user answered Continue, a meter still silent must
    // add no samples, since there is no reading to log; when it speaks again the readings and
    // the run go on. The stop time ends the run with the completion box; every sample taken is
    // in the file.
    void timedRunThroughASilentMeter() {
        testsupport::MeterSimProcess sim;
        QVERIFY2(startSim(sim, {"--interval", "100", "--reading", "+1.2345E+0 VDC"}),
                 qPrintable(sim.error()));
        Program p;
        QVERIFY(p.main.openWindow());
        QVERIFY(p.waitFor("VDC,1.2345,N/A,0"));
        const QString path = files_.filePath("timed.vtd");
        QVERIFY(p.openLogger(path));
        frmLogger& window = p.main.logger();
        p.box(window, "txtSampInt")->setText("0.25");
        window.optTimer_Click();
        const QTime now = p.fake.clock.now().time();
        const QTime end = now.addSecs(10);
        p.box(window, "mskStartTime")->setText(logger::timeBoxText(now.addSecs(2)));
        p.box(window, "mskEndTime")->setText(logger::timeBoxText(end));
        auto second = [&] {
            p.fake.clock.advance(1000);
            p.main.tmrDispUpdate_Timer();
            window.tmrRealTime_Timer();
        };
        second();
        QCOMPARE(p.in(window, "cmdStart")->text(), QString("Timed Start Pending!"));
        second();
        QVERIFY(p.run().LoggingActive);
        QCOMPARE(p.in(window, "cmdStart")->text(), QString("In Progress!"));
        // Some real sample clock ticks during the run.
        QTRY_VERIFY_WITH_TIMEOUT(p.run().SampleCount >= 3, 10000);

        p.fake.messages.answers.enqueue(platform::Answer::Ok);
        sim.goSilent();
        QTRY_COMPARE_WITH_TIMEOUT(p.fake.messages.shown.size(), 1, 20000);
        QCOMPARE(p.fake.messages.shown[0].title, QString("Please Reset the Meter Manually!"));
        QVERIFY(p.serial.isOpen()); // opened again after Continue
        QVERIFY(p.run().LoggingActive);
        const int atQuestion = p.run().SampleCount;
        QTest::qWait(2000); // eight ticks of the sample clock, the meter still silent
        QCOMPARE(p.run().SampleCount, atQuestion);
        sim.comeBack();
        QTRY_VERIFY_WITH_TIMEOUT(p.run().SampleCount > atQuestion + 2, LinkTimeoutMs);
        QCOMPARE(p.label("Label1")->text(), QString(" 1.2345 VDC"));

        // On to the stop time (Continue's pause moved the clock on as well).
        while (p.fake.clock.now().time().addSecs(1) < end)
            second();
        QVERIFY(p.run().LoggingActive);
        second();
        QVERIFY(!p.run().LoggingActive && !p.main.session().logClock().isActive());
        QCOMPARE(p.fake.messages.shown.size(), 2);
        QCOMPARE(p.fake.messages.shown[1].title, QString("Voltrane"));
        const int samples = p.run().SampleCount;
        QVERIFY(p.fake.messages.shown[1].text.contains(QString::number(samples)));
        window.returnToMain();
        QVERIFY(p.graph(path));
        QCOMPARE(p.main.grapher().log()->columns.rowCount(), samples);
        p.main.quitProgram();
    }

    // The serial port alone: a missing device, a port held by another process, a stored port
    // outside the menu, the probe (an open and close only) and a write that leaves at once.
    void serialPortErrorsProbesAndWrites() {
        testsupport::MeterSimProcess sim;
        QVERIFY2(startSim(sim, {"--interval", "40"}), qPrintable(sim.error()));
        testsupport::mapPort(3, "/dev/voltrane-no-such-device");
        platform::QtSerialPort port;
        for (const int missing : {3, 9}) { // no device stands for port 9
            QCOMPARE(port.open(missing), platform::SerialError::NoSuchPort);
            QVERIFY(!port.isOpen() && !port.probe(missing));
        }
        for (const QString& device : platform::QtSerialPort::orderedSystemPorts())
            QVERIFY2(!device.startsWith("/dev/pts/"), qPrintable(device)); // no pseudo-terminals
        QSerialPort holder;
        holder.setPortName(sim.ptyPath());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        QVERIFY(!port.probe(1));
        QCOMPARE(port.open(1), platform::SerialError::PortInUse);
        QVERIFY(!port.isOpen());
        holder.close();
        QVERIFY(port.probe(1));
        QVERIFY(sim.logged().isEmpty());
        for (const int outside : {9, 0}) // a stored port outside the menu is used as well
            testsupport::mapPort(outside, sim.ptyPath());
        for (const int n : {9, 0, 1}) {
            port.close();
            QCOMPARE(port.open(n), platform::SerialError::None);
        }
        QVERIFY(port.probe(1)); // our own open port still counts as present
        // A write leaves at once, before any event is handled: the link pauses right after it.
        port.write("VAL?\r");
        const QDeadlineTimer deadline(10000);
        while (sim.logged().isEmpty() && !deadline.hasExpired())
            QThread::msleep(10);
        QCOMPARE(sim.logged(), QByteArray("VAL?\r"));
        port.close();
        port.write("lost"); // writing to a closed port does nothing

        // An idle read keeps a live meter's port open; a hang-up (the terminal closed, as by a
        // pulled adapter) closes it at the first error, not after a flood of them.
        QCOMPARE(port.open(1), platform::SerialError::None);
        QSignalSpy received(&port, &platform::SerialPort::received);
        QSignalSpy errors(port.findChild<QSerialPort*>(), &QSerialPort::errorOccurred);
        QTRY_VERIFY_WITH_TIMEOUT(received.count() >= 100 || !port.isOpen(), 20000);
        QVERIFY(port.isOpen());
        errors.clear();
        sim.stop();
        QTRY_VERIFY(!port.isOpen());
        QTest::qWait(300); // events that would carry further errors
        QVERIFY2(errors.count() <= 2, qPrintable(QString::number(errors.count())));
    }
};

QTEST_MAIN(SystemTest)
#include "tst_system.moc"
