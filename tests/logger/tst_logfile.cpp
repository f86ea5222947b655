#include "Doubles.h"
#include "LogQuery.h"
#include "core/SessionState.h"
#include "logger/CreateLogDatabase.h"
#include "logger/SampleCapture.h"
#include "meterlink/ReadingSource.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The log file, the database layer under it and the sample capture that writes it, read back
// with plain SQL: what a tick writes, what it skips, and what a failing write leaves behind.
class tst_logfile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString pathOf(const QString& name) const { return dir_.filePath(name); }

    // The capture on the shared state, its own sample clock and the fakes.
    struct Main {
        Main() {
            state.reading.PriUnits = " VDC";
            state.reading.PriValue = 1.5f;
        }
        SessionState state;
        meterlink::CurrentReadingSource source{state.reading, state.link};
        QTimer clock;
    };
    struct Rig {
        Main main;
        doubles::FakeClock clock;
        doubles::FakeMessageBox messages;
        logger::SampleCapture capture{main.source, main.state.logger, main.clock, clock, messages};
    };

    static int errorNumberOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const db::Error& error) {
            return error.number();
        }
        return 0;
    }

private slots:
    // A new file: exactly the two tables in column order, its Info row cut to its limit, and
    // samples numbered from one, a refused row using up no number. Each single is stored as
    // the double of its shortest decimal, so other tools read it as the meter wrote it.
    void aNewFileAndItsRows() {
        const QString path = pathOf("new.vtd");
        logfile::SampleWriter writer(
            logfile::createLogFile(path, logfile::RunInfo{"02/01/2026", QString(300, 'x')}));
        // Too long a unit, and a time stamp with a date part.
        QVERIFY(errorNumberOf([&] { writer.append({0.5, 1, "mVDCX", 1, "N/A", 0}); }) != 0);
        QVERIFY(errorNumberOf([&] { writer.append({1.5, 1, "VDC", 1, "N/A", 0}); }) != 0);
        const std::pair<float, const char*> singles[] = {{1.2345f, "1.2345"},
                                                         {-0.012345f, "-0.012345"},
                                                         {1e9f, "1000000000.0"},
                                                         {1e-45f, "1.0e-45"}};
        QStringList stored;
        for (const auto& [value, decimal] : singles) {
            writer.append({0.5, value, "VDC", value, "VAC", value});
            stored << QString("%1|%2|%2|%2").arg(stored.size() + 1).arg(decimal);
        }
        writer.close();
        QCOMPARE(logquery::rows(path, "SELECT Sample, MilliSeconds, Value, Value2 FROM LogData"),
                 stored);
        QCOMPARE(logquery::rows(path, "SELECT Date, length(Description) FROM Info"),
                 QStringList{"02/01/2026|255"});
        QCOMPARE(
            logquery::rows(path, "SELECT m.name, p.name, p.type, p.\"notnull\" FROM "
                                 "sqlite_schema m JOIN pragma_table_info(m.name) p WHERE "
                                 "m.name NOT LIKE 'sqlite_%' ORDER BY m.name, p.cid"),
            QStringList({"Info|Date|TEXT|1", "Info|Description|TEXT|0", "LogData|Sample|INTEGER|1",
                         "LogData|TimeStamp|REAL|1", "LogData|MilliSeconds|REAL|1",
                         "LogData|Units|TEXT|0", "LogData|Value|REAL|0", "LogData|Units2|TEXT|0",
                         "LogData|Value2|REAL|0"}));

        db::Connection file = db::Connection::open(path, db::Connection::Mode::ReadOnly);
        QVERIFY(file.hasTable("logdata") && !file.hasTable("Other"));
        db::RowCursor rows(file, "SELECT * FROM LogData");
        QVERIFY(rows.next());
        QCOMPARE(rows.integer("Sample"), rows.position());
        QCOMPARE(rows.real("Value"), 1.2345);
        QVERIFY(rows.next() && rows.next() && rows.next() && !rows.next());
        QCOMPARE(errorNumberOf([&] { rows.real("Value"); }), db::ErrorNumber::NoCurrentRow);
        QCOMPARE(errorNumberOf([&] { db::Connection::open(pathOf("no/such/x.vtd")); }),
                 db::ErrorNumber::Unspecified);
    }

    void creationErrorsGiveTheirMessages() {
        const std::pair<int, const char*> cases[] = {
            {db::ErrorNumber::AlreadyExists,
             "Database Already Exists!\r\n\r\nRemove P,\r\nor choose another Name...."},
            {db::ErrorNumber::Unspecified, "Path Doesn't Exist! - P\r\n\r\nCheck Path, and/or "
                                           "create the Parent Folder manually...."},
            {53, "File was not found. Check spelling or\r\nask for assistance."},
            {57, "Hardware Problem, seek assistance."},
            {61, "Disk Full!\r\nFree up some space..."},
            {70, "File or Media is Write Protected..."},
            {71, "Drive door seems to be open - check..."},
            {72, "Disk Hardware Error!"},
            {-5, "Error #-5 occurred!\r\nPlease report to Program Author."}};
        for (const auto& [number, first] : cases)
            QCOMPARE(logger::creationErrorText(number, "P"),
                     "\r\n" + QString(first) +
                         "\r\n\r\nIf the error has been corrected, click 'Retry',\r\notherwise "
                         "click 'Cancel' to Exit Program.");
    }

    // A file that cannot be made asks Retry or Cancel: Cancel ends the program, a Retry that
    // succeeds begins the run with its Info row.
    void creationAsksRetryOrCancel_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("retry");
        const int exists = db::ErrorNumber::AlreadyExists, missing = db::ErrorNumber::Unspecified;
        QTest::newRow("existing file") << "taken.vtd" << exists << false;
        QTest::newRow("missing folder") << "missing/run.vtd" << missing << false;
        QTest::newRow("read-only folder") << "locked/run.vtd" << 70 << false;
        QTest::newRow("folder made, Retry") << "later/run.vtd" << missing << true;
    }
    void creationAsksRetryOrCancel() {
        QFETCH(QString, relative);
        QFETCH(int, number);
        QFETCH(bool, retry);
        QFile(pathOf("taken.vtd")).open(QIODevice::WriteOnly);
        QDir(dir_.path()).mkdir("locked");
        QFile::setPermissions(pathOf("locked"), QFile::ReadOwner | QFile::ExeOwner);
        // With rights that ignore folder permissions, a kernel folder stands in for one.
        if (number == 70 && QFileInfo(pathOf("locked")).isWritable())
            relative = "../../../../../../../../../sys/kernel/run.vtd";
        if (number == 70 && !QFileInfo(pathOf(relative)).dir().exists())
            QSKIP("no read-only folder to try");

        doubles::FakeMessageBox messages;
        messages.answers.enqueue(retry ? platform::Answer::Retry : platform::Answer::Cancel);
        if (retry)
            messages.onShow = [&] { QDir().mkpath(pathOf("later")); };
        LoggerRunState state;
        state.LoggerOpen = true;
        int ended = 0;
        auto file = logger::CreateLogDatabase(state, messages, pathOf(relative), {"d", "c"},
                                              [&] { ++ended; });
        QFile::setPermissions(pathOf("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(bool(file), retry);
        QCOMPARE(ended, int(!retry));
        QCOMPARE(state.LogFileError, !retry);
        QCOMPARE(state.LoggerOpen, retry);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, logger::creationErrorText(number, pathOf(relative)));
        QCOMPARE(messages.shown[0].buttons, platform::Buttons::RetryCancel);
        if (retry)
            QCOMPARE(logquery::rows(pathOf(relative), "SELECT count(*) FROM Info"),
                     QStringList{"1"});
    }

    // Rows as taken, without blanks, and a file left by a writer killed mid-transaction (rows
    // already spilled into it, the old pages in a hot journal) opens even read-only, rolled
    // back to its last commit; a copy of such a pair stands in for the killed writer.
    void rowsAreWrittenAsTakenAndOutliveAKilledWriter() {
        Rig rig;
        auto& [main, clock, messages, capture] = rig;
        const QString path = pathOf("captured.vtd");
        capture.begin(logfile::createLogFile(path, logfile::RunInfo{"2/1/26", "run"}));
        QList<int> counts;
        connect(&capture, &logger::SampleCapture::sampleWritten, this, [&](int n) { counts << n; });

        clock.current = QDateTime(QDate(2026, 1, 2), QTime(14, 30, 15, 700));
        QVERIFY(capture.GetRowofData()); // no reading has come yet
        // A reading 2 s old is logged; 2.001 s old, the sample is skipped and not counted.
        main.state.reading.ReadingAt = clock.current.addMSecs(-2000);
        QVERIFY(capture.GetRowofData());
        clock.advance(1);
        QVERIFY(capture.GetRowofData());
        clock.advance(999);
        main.state.reading.ReadingAt = clock.current;
        main.state.link.LinkLost = true; // "No Comm": nothing is logged until a fresh line
        QVERIFY(capture.GetRowofData());
        main.state.link.LinkLost = false;
        main.state.reading.DualDisplay = true;
        main.state.reading.PriUnits = " VAC";
        main.state.reading.PriValue = -2.25f;
        main.state.reading.SecUnits = " HZ";
        main.state.reading.SecValue = 50.f;
        QVERIFY(capture.GetRowofData());
        capture.end();
        QVERIFY(capture.GetRowofData()); // a tick after the run writes nothing
        QCOMPARE(counts, QList<int>({1, 2}));

        // Time stamps are fractions of a day, exactly; blanks never reach the units.
        QCOMPARE(logquery::rows(path, "SELECT Sample, TimeStamp = 52215 / 86400.0, MilliSeconds, "
                                      "Units, Value, Units2, Value2 FROM LogData"),
                 QStringList({"1|1|700.0|VDC|1.5|N/A|0.0", "2|0|700.0|VAC|-2.25|HZ|50.0"}));
        QVERIFY(messages.shown.isEmpty());

        const qint64 committedSize = QFileInfo(path).size();
        db::Connection other = db::Connection::open(path);
        other.exec("PRAGMA cache_size = 1; BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                   "SELECT i + 1 FROM n WHERE i < 3000) INSERT INTO LogData (TimeStamp, "
                   "MilliSeconds) SELECT 0.5, i FROM n");
        const QString copy = pathOf("left-by-a-killed-writer.vtd");
        QVERIFY(QFile::copy(path + "-journal", copy + "-journal"));
        QVERIFY(QFile::copy(path, copy));
        QVERIFY(QFileInfo(copy).size() > committedSize); // the open transaction reached the file
        QCOMPARE(logquery::rows(copy, "SELECT count(*), max(Sample) FROM LogData"),
                 QStringList{"2|2"});
        QVERIFY(!QFile::exists(copy + "-journal"));
        QCOMPARE(logquery::rows(copy, "PRAGMA integrity_check"), QStringList{"ok"});
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
        const QString folder = pathOf(QTest::currentDataTag());
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + "/run.vtd";
        db::Connection file = logfile::createLogFile(path, logfile::RunInfo{"d", "c"});
        if (how == "full")
            file.exec("PRAGMA max_page_count = 1"); // no page beyond those the file has
        capture.begin(std::move(file));
        main.state.logger.LoggingActive = true;
        main.state.reading.ReadingAt = clock.current;
        main.clock.start(1000);
        int failures = 0;
        connect(&capture, &logger::SampleCapture::runFailed, this, [&] { ++failures; });
        int written = how == "full" ? 0 : int(capture.GetRowofData());
        if (how != "full")
            QVERIFY(how == "file" ? QFile::remove(path) : QDir(folder).removeRecursively());
        while (capture.GetRowofData() && written < 100000)
            ++written;
        QVERIFY(written > 0);
        QCOMPARE(failures, 1);
        QVERIFY(!main.clock.isActive() && !main.state.logger.LoggingActive);
        QVERIFY(capture.GetRowofData()); // a later tick after the stop does nothing
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].text.contains(said), qPrintable(messages.shown[0].text));
        if (how != "folder") {
            QCOMPARE(logquery::rows(path, "SELECT count(*) FROM LogData"),
                     QStringList{QString::number(written)});
            QCOMPARE(logquery::rows(path, "PRAGMA integrity_check"), QStringList{"ok"});
        }
    }
};

QTEST_MAIN(tst_logfile)
#include "tst_logfile.moc"
