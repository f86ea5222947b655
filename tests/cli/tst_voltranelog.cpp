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

// voltrane-log run as a process against the meter simulator, always without a display in its
// environment, with short periods so each run takes seconds.
class tst_voltranelog : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    struct Run {
        int exitCode = -1;
        QByteArray out;
        QString err;
    };

    static void startLogger(QProcess& process, const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        process.setProcessEnvironment(env);
        process.start(testsupport::builtProgram("voltrane-log"), arguments);
        QVERIFY(process.waitForStarted());
    }

    static Run finish(QProcess& process) {
        if (!process.waitForFinished(20000))
            process.kill();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
    }

    static Run runLogger(const QStringList& arguments) {
        QProcess process;
        startLogger(process, arguments);
        return finish(process);
    }

    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static std::unique_ptr<grapher::LoadedLog> load(const QString& path) {
        return grapher::LoadLogFile(path).log;
    }

private slots:
    void init() { testsupport::clearSettings(); }

    // A short run through a mapped port number: rows as the logger window writes them, the
    // grapher opens the file, the CSV on standard output is the export's, and the meter's
    // function is left alone. The same name again is refused and the file left untouched.
    void shortRunWithCsvThenTheSameFileAgain() {
        testsupport::MeterSimProcess sim;
        QVERIFY2(sim.start({"--interval", "40", "--reading", "+1.2345E+3 OHMS"}),
                 qPrintable(sim.error()));
        sim.mapToPort(1);
        const QString path = dir_.filePath("short.vtd");
        const Run run =
            runLogger({"-p", "1", "-i", "0.25", "-n", "4", "--csv", "-c", "bench, run", path});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains("4 samples written to " + path), qPrintable(run.err));
        QVERIFY(!run.err.contains("\x1b[K")); // no status line off a terminal

        const std::unique_ptr<grapher::LoadedLog> log = load(path);
        QVERIFY(log);
        QCOMPARE(log->info.Description, QString("bench, run"));
        QCOMPARE(log->columns.rowCount(), 4);
        const QString csv = dir_.filePath("short.csv");
        QCOMPARE(grapher::WriteCsvFile(csv, log->info, log->columns, path), 0);
        QCOMPARE(run.out, contents(csv));
        QCOMPARE(run.out.count(",OHMS,1234.5,N/A,0\r\n"), 4);
        QVERIFY(sim.logged().startsWith("FORMAT 2\r"));
        QVERIFY(!sim.logged().contains("VAC") && !sim.logged().contains("RATE"));

        const QByteArray before = contents(path);
        const Run again = runLogger({"-p", "1", "-n", "1", path});
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.err.contains("exists already"), qPrintable(again.err));
        QCOMPARE(contents(path), before);
    }

    // SIGINT ends the run cleanly: every counted sample is in the file.
    void sigintEndsTheRunWithEveryRowKept() {
        testsupport::MeterSimProcess sim;
        QVERIFY2(sim.start({"--interval", "40", "--reading", "+1.0000E+0 VDC,+5.0000E+1 HZ"}),
                 qPrintable(sim.error()));
        const QString path = dir_.filePath("interrupted.vtd");
        QProcess process;
        startLogger(process, {"-p", sim.ptyPath(), "-i", "0.25", "--rate", "F", path});
        QTest::qWait(1400);
        ::kill(pid_t(process.processId()), SIGINT);
        const Run run = finish(process);
        QCOMPARE(run.exitCode, 0);
        const std::unique_ptr<grapher::LoadedLog> log = load(path);
        QVERIFY(log);
        QVERIFY2(log->columns.rowCount() >= 4, qPrintable(run.err));
        QVERIFY2(run.err.contains(QString("%1 samples written to ").arg(log->columns.rowCount())),
                 qPrintable(run.err));
        QCOMPARE(log->columns.units(2, 1), QString("HZ"));
        QCOMPARE(log->columns.value(2, 1), std::optional<float>(50.f));
        QVERIFY(sim.logged().contains("FORMAT 2\rRATE F\r"));
    }

    // The device goes away (the meter's cable pulled) and comes back under the same name: no
    // rows while it is silent, standard error says so, and the rows resume.
    void aSilentMeterThatComesBack() {
        const QString link = dir_.filePath("meter-device");
        auto plugIn = [&](testsupport::MeterSimProcess& sim) {
            QFile::remove(link);
            QVERIFY(QFile::link(sim.ptyPath(), link));
        };
        testsupport::MeterSimProcess first;
        QVERIFY2(first.start({"--interval", "40"}), qPrintable(first.error()));
        plugIn(first);
        const QString path = dir_.filePath("silent.vtd");
        QProcess process;
        startLogger(process, {"-p", link, "-i", "0.25", "--rate", "F", "-d", "8.5", path});
        QTest::qWait(1000);
        first.stop();
        const QTime pulled = QTime::currentTime();
        QTest::qWait(4200);
        testsupport::MeterSimProcess second;
        QVERIFY2(second.start({"--interval", "40"}), qPrintable(second.error()));
        plugIn(second);
        const Run run = finish(process);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains("Meter silent since"), qPrintable(run.err));
        QVERIFY2(run.err.contains("logging resumes"), qPrintable(run.err));

        const std::unique_ptr<grapher::LoadedLog> log = load(path);
        QVERIFY(log);
        // Rows stop within the silence the watchdog tolerates at the fast rate (3.2 s) and
        // resume after the meter is back.
        const double pulledAt = pulled.msecsSinceStartOfDay() / 86400000.0;
        const double day = 1.0 / 86400;
        int during = 0, after = 0;
        for (qint32 pos = 1; pos <= log->columns.rowCount(); ++pos) {
            const double t = log->columns.timeStamp(pos);
            if (t > pulledAt + 3.5 * day && t < pulledAt + 4.0 * day)
                ++during;
            if (t > pulledAt + 4.5 * day)
                ++after;
        }
        QCOMPARE(during, 0);
        QVERIFY2(after >= 2, qPrintable(run.err));
        QVERIFY(second.logged().startsWith("FORMAT 2\rRATE F\r"));
    }

    // A start at a clock time, usage errors, a port that cannot be opened, and the libraries:
    // nothing of the window system.
    void timedStartUsageAndLibraries() {
        testsupport::MeterSimProcess sim;
        QVERIFY2(sim.start({"--interval", "40"}), qPrintable(sim.error()));
        const QTime start = QTime::currentTime().addSecs(2);
        const QString path = dir_.filePath("timed.vtd");
        const Run run = runLogger({"-p", sim.ptyPath(), "-q", "-i", "0.5", "-n", "2", "--start",
                                   start.toString("HH:mm:ss"), path});
        QCOMPARE(run.exitCode, 0);
        const std::unique_ptr<grapher::LoadedLog> log = load(path);
        QVERIFY(log);
        QCOMPARE(log->columns.rowCount(), 2);
        QCOMPARE(qRound(log->columns.timeStamp(1) * 86400), start.msecsSinceStartOfDay() / 1000);

        for (const QStringList& bad :
             {QStringList{"-i", "0.1", "x.vtd"}, QStringList{"--start", "25:00:00", "x.vtd"},
              QStringList{"-p", "12", "x.vtd"}, QStringList{"--rate", "Q", "x.vtd"},
              QStringList{"--function", "VOLTS", "x.vtd"}, QStringList{}})
            QCOMPARE(runLogger(bad).exitCode, 2);
        const Run noPort = runLogger({"-p", "/dev/voltrane-no-such-port", dir_.filePath("n.vtd")});
        QCOMPARE(noPort.exitCode, 3);
        QVERIFY(!QFile::exists(dir_.filePath("n.vtd")));

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
