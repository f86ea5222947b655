#include "../logger/LogQuery.h"
#include "MeterSimProcess.h"
#include "TestSettings.h"
#include "grapher/CsvExport.h"
#include "grapher/LogFileReader.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <csignal>

// voltrane-log run as a process against the meter simulator, always without a
// display in its environment, with short periods so each run takes seconds.
class tst_voltranelog : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    // voltrane-log started with the given arguments; finish() waits for it and returns its exit
    // code (-1 for a crash or a hang).
    struct Logger {
        QProcess process, reader;
        QString err;
        // out: a file for standard output instead of the pipe, or "|command" to read it
        explicit Logger(const QStringList& arguments, const QString& out = {}) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                env.remove(name);
            process.setProcessEnvironment(env);
            if (out.startsWith('|')) {
                process.setStandardOutputProcess(&reader);
                reader.start("sh", {"-c", out.mid(1)});
            } else if (!out.isEmpty()) {
                process.setStandardOutputFile(out);
            }
            process.start(testsupport::builtProgram("voltrane-log"), arguments);
        }
        int finish() {
            if (!process.waitForFinished(20000))
                process.kill();
            err = QString::fromUtf8(process.readAllStandardError());
            return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        }
    };

private slots:
    void init() { testsupport::clearSettings(); }

    // A timed start through a mapped port number: rows as the logger window
    // writes them, the grapher opens the file, the CSV on standard output is the
    // export's, and the meter's function is left alone.
    void timedRunWithCsvThroughAMappedPort() {
        testsupport::MeterSimProcess sim;
        QVERIFY2(sim.start({"--interval", "40", "--reading", "+1.2345E+3 OHMS"}),
                 qPrintable(sim.error()));
        sim.mapToPort(1);
        const QTime start = QTime::currentTime().addSecs(2);
        const QString path = dir_.filePath("short.vtd");
        Logger run({"-p", "1", "-i", "0.25", "-n", "4", "-d", "60", "--csv", "-c", "bench, run",
                    "--start", start.toString("HH:mm:ss"), "--stop",
                    start.addSecs(90).toString("HH:mm:ss"), path});
        QCOMPARE(run.finish(), 0);
        // The device and the end (the earlier of --stop and the duration) are said; no status
        // line off a terminal.
        const QString at = QDate::currentDate().toString(Qt::ISODate) + 'T';
        QVERIFY2(run.err.startsWith("Reading Com1 = " + sim.ptyPath() + "\nWaiting to start at " +
                                    at + start.toString("HH:mm:ss") + "\nStopping at " + at +
                                    start.addSecs(60).toString("HH:mm:ss")) &&
                     run.err.contains("4 samples written to " + path) &&
                     !run.err.contains("\x1b[K"),
                 qPrintable(run.err));

        const auto log = grapher::LoadLogFile(path).log;
        QVERIFY(log);
        QCOMPARE(qRound(log->columns.timeStamp(1) * 86400), start.msecsSinceStartOfDay() / 1000);
        const QString csv = dir_.filePath("short.csv");
        QCOMPARE(grapher::WriteCsvFile(csv, log->info, log->columns, path), 0);
        const QByteArray out = run.process.readAllStandardOutput();
        QFile written(csv);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(out, written.readAll());
        QCOMPARE(out.count(",OHMS,1234.5,N/A,0\r\n"), 4);
        QVERIFY(sim.logged().startsWith("FORMAT 2\r") && !sim.logged().contains("VAC") &&
                !sim.logged().contains("RATE"));
    }

    // The device goes away (the meter's cable pulled) and comes back under the same name: no
    // rows while it is silent, standard error says so, and the rows resume. SIGHUP (the session
    // that started it ended) then ends the run cleanly, with every counted sample in the file.
    void aSilentMeterThatComesBackThenSighup() {
        // Every reading of the first meter differs, so a row that repeats the last one carries
        // a reading from before the cable was pulled.
        QFile script(dir_.filePath("readings.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        for (int i = 1; i <= 500; ++i)
            script.write(
                QString("+1.%1E+0 VDC,+5.0000E+1 HZ\n").arg(i, 4, 10, QChar('0')).toLatin1());
        script.close();
        const QString link = dir_.filePath("meter-device");
        auto plugIn = [&](testsupport::MeterSimProcess& sim, const QStringList& readings) {
            QVERIFY2(sim.start(QStringList{"--interval", "40"} + readings),
                     qPrintable(sim.error()));
            QFile::remove(link);
            QVERIFY(QFile::link(sim.ptyPath(), link));
        };
        testsupport::MeterSimProcess first, second;
        plugIn(first, {"--script", script.fileName()});
        const QString path = dir_.filePath("silent.vtd");
        Logger run({"-p", link, "-i", "0.25", "--rate", "F", path});
        QTest::qWait(1000);
        first.stop();
        // The device goes with its cable: a reopen must not find a terminal that another test's
        // meter has taken over under the old number meanwhile.
        QFile::remove(link);
        QTest::qWait(4200);
        plugIn(second, {"--reading", "+2.0000E+0 VDC,+5.0000E+1 HZ"});
        QVERIFY(second.waitForLogged("FORMAT 2\rRATE F\r"));
        QTest::qWait(1200);
        ::kill(pid_t(run.process.processId()), SIGHUP);
        QCOMPARE(run.finish(), 0);
        for (const char* said : {"Meter silent since", "logging resumes"})
            QVERIFY2(run.err.contains(said), qPrintable(run.err));

        // The last reading before the pull is logged for at most 2 s of 0.25 s samples (plus
        // the row it came in), long before the silence is reported (3.2 s at the fast rate);
        // rows resume with the second meter, as dual rows.
        const QStringList counts =
            logquery::rows(path, "SELECT count(*), sum(Value = (SELECT Value FROM LogData WHERE "
                                 "Value < 1.5 ORDER BY Sample DESC LIMIT 1)), sum(Value = 2), "
                                 "sum(NOT (Units2 = 'HZ' AND Value2 = 50)) FROM LogData")
                .value(0)
                .split('|');
        QVERIFY2(counts.value(1).toInt() <= 9, qPrintable(counts.join(' ')));
        QVERIFY2(counts.value(2).toInt() >= 2, qPrintable(run.err));
        // A port opened in the middle of a line may find its second half, a single reading:
        // at most one such row for each of the two openings.
        QVERIFY2(counts.value(3).toInt() <= 2, qPrintable(counts.join(' ')));
        QVERIFY2(run.err.contains(counts[0] + " samples written to "), qPrintable(run.err));
    }

    // The CSV copy goes out as each row is committed, and a failed write there (closed pipe,
    // full disk) ends only the copy, said once. Rows wait for the asked function. A run ended
    // before its first sample (also by its stop time) leaves no file, and a file that appears
    // under its name while it waits is someone else's.
    void csvCopyFunctionAndUnstartedRuns() {
        // Lines in the old function still come for a second after the function command.
        QStringList meter{"--interval", "40", "--script-once"};
        for (int line = 0; line < 25; ++line)
            meter.append({"--reading", "+1.0000E+0 VDC"});
        testsupport::MeterSimProcess sim;
        QVERIFY2(sim.start(meter), qPrintable(sim.error()));
        const QString killed = dir_.filePath("killed.vtd");
        Logger kill(
            {"-p", sim.ptyPath(), "-i", "0.25", "--csv", "--function", "vac;freq2", killed});
        QTest::qWait(2500);
        kill.process.kill();
        kill.finish();
        const QByteArray copy = kill.process.readAllStandardOutput();
        const int rows = logquery::rows(killed, "SELECT count(*) FROM LogData").value(0).toInt();
        QVERIFY2(rows >= 3 && rows - copy.count(",VAC,") <= 1 && !copy.contains("VDC"), copy);

        for (const auto& [out, file] : {std::pair{"|head -3", "p.vtd"}, {"/dev/full", "f.vtd"}}) {
            Logger run({"-p", sim.ptyPath(), "-i", "0.25", "-n", "4", "--csv", dir_.filePath(file)},
                       out);
            QVERIFY2(run.finish() == 0 && run.err.count("CSV copy") == 1 &&
                         run.err.contains("4 samples written to "),
                     qPrintable(run.err));
        }

        const QString waiting = dir_.filePath("waiting.vtd");
        const QString later = QTime::currentTime().addSecs(3600).toString("HH:mm:ss");
        for (bool appears : {false, true}) {
            Logger wait({"-p", sim.ptyPath(), "--start", later, waiting});
            wait.process.setReadChannel(QProcess::StandardError);
            QVERIFY(QTest::qWaitFor([&] { return wait.process.peek(999).contains("Waiting"); }));
            QFile other(waiting);
            QVERIFY(!appears || other.open(QIODevice::WriteOnly));
            ::kill(pid_t(wait.process.processId()), SIGINT);
            QCOMPARE(wait.finish(), int(appears));
            QVERIFY2(wait.err.contains("Database Already Exists!") == appears &&
                         !wait.err.contains("samples written"),
                     qPrintable(wait.err));
            QCOMPARE(QFile::exists(waiting), appears);
        }
        // A stop time that comes while the run still waits for its first reading ends it.
        testsupport::MeterSimProcess off;
        QVERIFY2(off.start({"--silent-after", "0", "--silent-for", "60"}), qPrintable(off.error()));
        const QString unstarted = dir_.filePath("unstarted.vtd");
        Logger stop({"-p", off.ptyPath(), "--stop",
                     QTime::currentTime().addSecs(3).toString("HH:mm:ss"), unstarted});
        QVERIFY2(stop.finish() == 0 && stop.err.contains("No sample was taken"),
                 qPrintable(stop.err));
        QVERIFY(!QFile::exists(unstarted));
    }

    // Runs refused before any meter is opened; "@" names a new file beside an old one, and
    // neither a new file is made nor the old one touched.
    void refusedRunsAndTheirExitCodes() {
        QTemporaryDir folder;
        const QString old = folder.filePath("old.vtd");
        QFile file(old);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old") == 3);
        file.close();
        const struct {
            QStringList arguments;
            int exitCode;
            const char* said;
        } cases[] = {{{"-i", "0.2499", "@"}, 2, ""},
                     {{"-n", "0", "@"}, 2, ""},
                     {{"-d", "0", "@"}, 2, ""},
                     {{"-p", "-1", "@"}, 2, ""},
                     {{"-c", QString(255, 'c'), "@"}, 2, ""},
                     {{"--start", "10:00:00", "--stop", "10:00:00", "@"}, 2, ""},
                     {{"-p", "1", ""}, 2, "FILE"},
                     // The lowest values taken: the run goes on to open the port.
                     {{"-i", "0.25", "-n", "1", "-d", "0.001", "-c", QString(254, 'c'), "-p",
                       "/dev/voltrane-no-such-port", "@"},
                      3,
                      "no such device"},
                     {{"--start", "25:00:00", "@"}, 2, ""},
                     {{"-p", "12", "@"}, 2, ""},
                     {{"--rate", "Q", "@"}, 2, ""},
                     {{"--function", "VOLTS", "@"}, 2, ""},
                     {{}, 2, ""},
                     {{"-p", "1", old}, 1, "exists already"},
                     {{"-p", "1", "@/x.vtd"}, 1, "Cannot create"},
                     {{"-p", "/dev/voltrane-no-such-port", "@"}, 3, "no such device"}};
        for (const auto& c : cases) {
            Logger run(QStringList(c.arguments).replaceInStrings("@", folder.filePath("new.vtd")));
            QVERIFY2(run.finish() == c.exitCode && run.err.contains(c.said),
                     qPrintable(c.arguments.join(' ') + ": " + run.err));
            QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"old.vtd"});
            QCOMPARE(QFileInfo(old).size(), 3);
        }
        // Nothing of the window system is linked.
        QProcess ldd;
        ldd.start("ldd", {testsupport::builtProgram("voltrane-log")});
        QVERIFY(ldd.waitForFinished());
        const QString libraries = QString::fromUtf8(ldd.readAllStandardOutput());
        QVERIFY2(libraries.contains("libQt6SerialPort"), qPrintable(libraries));
        for (const char* gui : {"libQt6Gui", "libQt6Widgets", "libQt6Multimedia"})
            QVERIFY2(!libraries.contains(gui), qPrintable(libraries));
    }
};

QTEST_GUILESS_MAIN(tst_voltranelog)
#include "tst_voltranelog.moc"
