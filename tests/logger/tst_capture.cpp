#include "Doubles.h"
#include "LogQuery.h"
#include "RecordingMain.h"
#include "logger/SampleCapture.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
        main.state.link.LinkLost = true; // "No Comm": nothing is logged until a fresh line
        QVERIFY(capture.GetRowofData());
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
        QTest::addColumn<QString>("said");
        QTest::newRow("full") << QString("Disk Full!");
        QTest::newRow("file") << QString("kept in");
        QTest::newRow("folder") << QString("samples could not be kept");
    }
    void aFailingWriteStopsTheRun() {
        QFETCH(QString, said);
        const QString how = QTest::currentDataTag(); // the disk is full, the file or folder gone
        Rig rig;
        auto& [main, clock, messages, capture] = rig;
        const QString folder = dir_.filePath(QString("gone%1").arg(++fileNo_));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + "/run.vtd";
        db::Connection file = logfile::createLogFile(path, logfile::RunInfo{"d", "c"});
        if (how == "full")
            file.exec("PRAGMA max_page_count = 1"); // no page beyond those the file has
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
        QVERIFY(!main.clock.isActive());
        QVERIFY(!main.state.logger.LoggingActive);
        QVERIFY(capture.GetRowofData()); // a later tick after the stop does nothing
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].text.contains(said), qPrintable(messages.shown[0].text));
        if (how != "folder") {
            QCOMPARE(logquery::scalar(path, "SELECT count(*) FROM LogData"), written);
            QCOMPARE(logquery::rows(path, "PRAGMA integrity_check"), QStringList{"ok"});
        }
    }

    // A writer killed mid-transaction leaves the file as it was at that moment: rows already
    // spilled into it and the old pages in a hot journal. Such a pair, copied while a
    // transaction is open, opens even read-only, rolled back to its last commit.
    void aKilledWriterLeavesEveryCommittedRow() {
        const QString path = newPath(), copy = newPath();
        logfile::SampleWriter writer(logfile::createLogFile(path));
        for (int n = 0; n < 3; ++n)
            writer.append({0.5, 0, "VDC", 1, "N/A", 0});
        const qint64 committedSize = QFileInfo(path).size();
        db::Connection other = db::Connection::open(path);
        other.exec("PRAGMA cache_size = 1; BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                   "SELECT i + 1 FROM n WHERE i < 3000) INSERT INTO LogData (TimeStamp, "
                   "MilliSeconds) SELECT 0.5, i FROM n");
        QVERIFY(QFile::copy(path + "-journal", copy + "-journal"));
        QVERIFY(QFile::copy(path, copy));
        QVERIFY(QFileInfo(copy).size() > committedSize); // the open transaction reached the file

        QCOMPARE(logquery::rows(copy, "SELECT count(*), max(Sample) FROM LogData"),
                 QStringList{"3|3"});
        QVERIFY(!QFile::exists(copy + "-journal"));
        QCOMPARE(logquery::rows(copy, "PRAGMA integrity_check"), QStringList{"ok"});
    }
};

QTEST_MAIN(tst_capture)
#include "tst_capture.moc"
