#include "Doubles.h"
#include "LogQuery.h"
#include "logger/CreateLogDatabase.h"
#include "logger/Db.h"
#include "logger/LogFile.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using db::ErrorNumber::AlreadyExists;

// The log file and the database layer under it, read back with plain SQL.
class tst_logfile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString pathOf(const QString& name) const { return dir_.filePath(name); }

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
        QVERIFY(!QFile::exists(path + "-wal"));
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
        while (rows.next()) {
        }
        QCOMPARE(errorNumberOf([&] { rows.real("Value"); }), db::ErrorNumber::NoCurrentRow);
        QCOMPARE(errorNumberOf([&] { db::Connection::open(pathOf("no/such/x.vtd")); }),
                 db::ErrorNumber::Unspecified);
    }

    void creationErrorsGiveTheirMessages() {
        const std::pair<int, const char*> cases[] = {
            {AlreadyExists,
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
        const int missing = db::ErrorNumber::Unspecified;
        QTest::newRow("existing file") << "taken.vtd" << int(AlreadyExists) << false;
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
            QCOMPARE(logquery::scalar(pathOf(relative), "SELECT count(*) FROM Info"), 1);
    }
};

QTEST_GUILESS_MAIN(tst_logfile)
#include "tst_logfile.moc"
