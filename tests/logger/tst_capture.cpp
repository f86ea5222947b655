#include "Doubles.h"
#include "LogQuery.h"
#include "RecordingMain.h"
#include "logger/SampleCapture.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sqlite3.h>

// Sample capture: what one tick writes, what it skips, and what a failing write leaves behind.
class tst_capture : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int fileNo_ = 0;

    struct Rig {
        RecordingMain main;
        doubles::FakeClock clock;
        doubles::FakeMessageBox messages;
        logger::SampleCapture capture{main.source, main.state.logger, main.clock, clock, messages};
    };

    QString newPath() { return dir_.filePath(QString("run%1.vtd").arg(++fileNo_)); }

private slots:
    void rowsAreWrittenAsTakenWithBlanksRemoved() {
        Rig rig;
        auto& [main, clock, messages, capture] = rig;
        const QString path = newPath();
        capture.begin(logfile::createLogFile(path, logfile::RunInfo{"2/1/26", "run"}));
        QList<int> counts;
        connect(&capture, &logger::SampleCapture::sampleWritten, this, [&](int n) { counts << n; });

        clock.current = QDateTime(QDate(2026, 1, 2), QTime(14, 30, 15, 700));
        QVERIFY(capture.GetRowofData());
        QCOMPARE(main.state.reading.PriUnits, QString("VDC"));
        main.state.link.LinkLost = true; // "No Comm": nothing is logged until a fresh line
        QVERIFY(capture.GetRowofData());
        QCOMPARE(main.state.logger.SampleCount, 1);
        main.state.link.LinkLost = false;
        main.state.reading.DualDisplay = true;
        main.state.reading.PriUnits = " VAC";
        main.state.reading.PriValue = -2.25f;
        main.state.reading.SecUnits = " HZ";
        main.state.reading.SecValue = 50.f;
        clock.advance(1000);
        QVERIFY(capture.GetRowofData());
        capture.end();
        QVERIFY(capture.GetRowofData()); // a tick after the run writes nothing
        QCOMPARE(counts, QList<int>({1, 2}));

        // Time stamps are fractions of a day, exactly; blanks never reach the units.
        QCOMPARE(logquery::rows(path, "SELECT Sample, TimeStamp = 52215 / 86400.0, MilliSeconds, "
                                      "Units, Value, Units2, Value2 FROM LogData"),
                 QStringList({"1|1|700.0|VDC|1.5|N/A|0.0", "2|0|700.0|VAC|-2.25|HZ|50.0"}));
        QVERIFY(messages.shown.isEmpty());
    }

    // A write that fails stops the run once, says why, and keeps what can be kept: a full disk
    // keeps the earlier rows, a file removed under the run is written back; a gone folder not.
    void aFailingWriteStopsTheRun_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("said");
        QTest::newRow("disk full") << "full"
                                   << "Disk Full!";
        QTest::newRow("file removed") << "file"
                                      << "kept in";
        QTest::newRow("folder gone") << "folder"
                                     << "samples could not be kept";
    }
    void aFailingWriteStopsTheRun() {
        QFETCH(QString, how);
        QFETCH(QString, said);
        Rig rig;
        auto& [main, clock, messages, capture] = rig;
        const QString folder = dir_.filePath(QString("gone%1").arg(++fileNo_));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + "/run.vtd";
        db::Connection file = logfile::createLogFile(path, logfile::RunInfo{"d", "c"});
        if (how == "full") {
            db::Statement pages = file.prepare("PRAGMA page_count");
            QVERIFY(pages.step());
            const qint64 limit = pages.columnInt64(0) + 1;
            pages = db::Statement();
            file.exec(QString("PRAGMA max_page_count = %1").arg(limit));
        }
        capture.begin(std::move(file));
        main.state.logger.LoggingActive = true;
        main.clock.start(1000);
        int failures = 0;
        connect(&capture, &logger::SampleCapture::runFailed, this, [&] { ++failures; });
        int written = 0;
        if (how != "full") {
            QVERIFY(capture.GetRowofData());
            ++written;
            QVERIFY(QFile::remove(path));
            if (how == "folder")
                QVERIFY(QDir(folder).removeRecursively());
        }
        while (capture.GetRowofData() && written < 100000)
            ++written;
        QVERIFY(written > 0);
        QCOMPARE(failures, 1);
        QVERIFY(!capture.capturing());
        QVERIFY(!main.clock.isActive());
        QVERIFY(!main.state.logger.LoggingActive);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].text.contains(said), qPrintable(messages.shown[0].text));
        if (how != "folder") {
            QCOMPARE(logquery::scalar(path, "SELECT count(*) FROM LogData"), written);
            QCOMPARE(logquery::rows(path, "PRAGMA integrity_check"), QStringList{"ok"});
        }
        QVERIFY(capture.GetRowofData()); // a later tick after the stop does nothing
        QCOMPARE(messages.shown.size(), 1);
    }

    void aKilledRunLeavesEveryReportedRow() {
#ifndef Q_OS_UNIX
        QSKIP("needs SIGKILL");
#else
        const QString child = QString(qgetenv("VOLTRANE_BUILD_DIR")) + "/logger_crash_child";
        if (!QFile::exists(child))
            QSKIP("logger_crash_child not built");
        const QString path = newPath();
        QProcess process;
        process.start(child, {path});
        QVERIFY(process.waitForStarted());
        QByteArray out; // the last complete line is the last row reported
        auto reported = [&] {
            return out.left(out.lastIndexOf('\n')).split('\n').last().toLongLong();
        };
        while (reported() < 300 && process.state() == QProcess::Running) {
            process.waitForReadyRead(5000);
            out += process.readAllStandardOutput();
        }
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished();
        out += process.readAllStandardOutput();
        QVERIFY(reported() >= 300);

        const qint64 rows = logquery::scalar(path, "SELECT count(*) FROM LogData");
        QVERIFY(!QFile::exists(path + "-journal")); // settled by the first open
        QVERIFY2(rows >= reported(),
                 qPrintable(QString("%1 rows, %2 reported").arg(rows).arg(reported())));
        QCOMPARE(logquery::rows(path, "PRAGMA integrity_check"), QStringList{"ok"});
#endif
    }
};

QTEST_MAIN(tst_capture)
#include "tst_capture.moc"
