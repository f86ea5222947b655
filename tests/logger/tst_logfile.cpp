#include "Doubles.h"
#include "LogQuery.h"
#include "logger/CreateLogDatabase.h"
#include "logger/Db.h"
#include "logger/LogFile.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

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
    void createdFileHasExactlyTheTwoTablesInColumnOrder() {
        const QString path = pathOf("layout.vtd");
        logfile::createLogFile(path, logfile::RunInfo{"02/01/2026", QString(300, 'x')}).close();
        QCOMPARE(logquery::rows(path, "SELECT name FROM sqlite_schema WHERE type='table' AND "
                                      "name NOT LIKE 'sqlite_%' ORDER BY name"),
                 QStringList({"Info", "LogData"}));
        const auto columns = [&](const QString& table) {
            return logquery::rows(path, "SELECT name, type, \"notnull\" FROM pragma_table_info('" +
                                            table + "') ORDER BY cid");
        };
        QCOMPARE(columns("LogData"),
                 QStringList({"Sample|INTEGER|1", "TimeStamp|REAL|1", "MilliSeconds|REAL|1",
                              "Units|TEXT|0", "Value|REAL|0", "Units2|TEXT|0", "Value2|REAL|0"}));
        QCOMPARE(columns("Info"), QStringList({"Date|TEXT|1", "Description|TEXT|0"}));
        QCOMPARE(logquery::rows(path, "SELECT Date, length(Description) FROM Info"),
                 QStringList{"02/01/2026|" + QString::number(logfile::DescriptionMaxLength)});
    }

    void samplesNumberFromOneWithoutGapsAndTextLimitsHold() {
        const QString path = pathOf("numbers.vtd");
        logfile::SampleWriter writer(logfile::createLogFile(path, logfile::RunInfo{"1/2/26", "c"}));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(writer.append({0.5, 12, "VDC", 1.5f, "N/A", 0}), qint64(i + 1));
        // Too long a unit, and a time stamp with a date part: refused, and no number is used up.
        QVERIFY(errorNumberOf([&] { writer.append({0.5, 1, "mVDCX", 1, "N/A", 0}); }) != 0);
        QVERIFY(errorNumberOf([&] { writer.append({1.5, 1, "VDC", 1, "N/A", 0}); }) != 0);
        QCOMPARE(writer.append({0.25, 999, "VAC", -2.f, "HZ", 50.f}), qint64(6));
        writer.close();

        db::Connection file = db::Connection::open(path, db::Connection::Mode::ReadOnly);
        db::RowCursor rows(file, "SELECT * FROM LogData");
        qint64 expected = 1;
        while (rows.next()) {
            QCOMPARE(rows.integer("Sample"), expected);
            QCOMPARE(rows.position(), expected);
            ++expected;
        }
        QCOMPARE(expected, qint64(7));
        QVERIFY(!QFile::exists(path + "-wal"));
    }

    // Other tools read a stored single as the meter wrote it, and narrowing the stored REAL
    // gives back the very same single.
    void singlesAreStoredAsTheirShortestDecimal_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("decimal");
        QTest::newRow("reading") << 1.2345f << "1.2345";
        QTest::newRow("milli") << -0.012345f << "-0.012345";
        QTest::newRow("overload") << 1e9f << "1000000000.0";
        QTest::newRow("subnormal") << 1e-45f << "1e-45";
    }
    void singlesAreStoredAsTheirShortestDecimal() {
        QFETCH(float, value);
        QFETCH(QString, decimal);
        const QString path = pathOf(QString("single-%1.vtd").arg(QTest::currentDataTag()));
        logfile::SampleWriter writer(logfile::createLogFile(path));
        writer.append({0.5, 999, "VDC", value, "VAC", value});
        writer.close();
        QCOMPARE(logquery::rows(path, "SELECT Value = " + decimal + ", Value2 = " + decimal +
                                          ", MilliSeconds = 999 FROM LogData"),
                 QStringList{"1|1|1"});
        db::Connection file = db::Connection::open(path, db::Connection::Mode::ReadOnly);
        db::Statement query = file.prepare("SELECT Value FROM LogData");
        QVERIFY(query.step());
        QCOMPARE(float(query.columnDouble(0)), value);
    }

    // Bad and foreign files are read through the grapher's loader tests; these are the rest.
    void cursorRulesAndAMissingFolder() {
        const QString path = pathOf("errors.vtd");
        logfile::createLogFile(path).close();
        db::Connection file = db::Connection::open(path);
        db::RowCursor empty(file, "SELECT * FROM LogData");
        QVERIFY(!empty.next());
        QCOMPARE(errorNumberOf([&] { empty.real("Value"); }), db::ErrorNumber::NoCurrentRow);
        QVERIFY(file.hasTable("logdata"));
        QVERIFY(!file.hasTable("Other"));
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

    void creationAsksRetryOrCancel_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<int>("number");
        QTest::newRow("existing file") << "taken.vtd" << int(AlreadyExists);
        QTest::newRow("missing folder") << "missing/run.vtd" << int(db::ErrorNumber::Unspecified);
        QTest::newRow("read-only folder") << "locked/run.vtd" << 70;
    }
    void creationAsksRetryOrCancel() {
        QFETCH(QString, relative);
        QFETCH(int, number);
        QFile(pathOf("taken.vtd")).open(QIODevice::WriteOnly);
        QDir(dir_.path()).mkdir("locked");
        QFile::setPermissions(pathOf("locked"), QFile::ReadOwner | QFile::ExeOwner);
        // With rights that ignore folder permissions, a kernel folder stands in for one.
        if (number == 70 && QFileInfo(pathOf("locked")).isWritable())
            relative = "../../../../../../../../../sys/kernel/run.vtd";
        if (number == 70 && !QFileInfo(pathOf(relative)).dir().exists())
            QSKIP("no read-only folder to try");

        doubles::FakeMessageBox messages;
        messages.answers.enqueue(platform::Answer::Cancel);
        LoggerRunState state;
        state.LoggerOpen = true;
        int ended = 0;
        const auto file = logger::CreateLogDatabase(state, messages, pathOf(relative), {"d", "c"},
                                                    [&] { ++ended; });
        QVERIFY(!file);
        QCOMPARE(ended, 1);
        QVERIFY(state.LogFileError);
        QVERIFY(!state.LoggerOpen);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, logger::creationErrorText(number, pathOf(relative)));
        QCOMPARE(messages.shown[0].buttons, platform::Buttons::RetryCancel);
        QFile::setPermissions(pathOf("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void successfulRetryLetsTheRunBeginWithItsInfoRow() {
        const QString folder = pathOf("later");
        const QString path = folder + "/run.vtd";
        doubles::FakeMessageBox messages;
        messages.onShow = [&] { QDir().mkpath(folder); };
        messages.answers.enqueue(platform::Answer::Retry);
        LoggerRunState state;
        auto file = logger::CreateLogDatabase(state, messages, path, {"d", "c"}, [] {});
        QVERIFY(file);
        QVERIFY(!state.LogFileError);
        QCOMPARE(messages.shown.size(), 1);
        file->close();
        QCOMPARE(logquery::scalar(path, "SELECT count(*) FROM Info"), 1);
    }
};

QTEST_GUILESS_MAIN(tst_logfile)
#include "tst_logfile.moc"
