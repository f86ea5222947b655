#include "GrapherTestFiles.h"
#include "grapher/CsvExport.h"
#include "grapher/LogFileReader.h"
#include "logger/DbError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace grapher;
using namespace grapher_test;

class GrapherFilesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void loadsEveryRowAndTheInfoRow();
    void threeSamplesGiveTheFiveLineCsv();
    void csvReplacesAnEarlierExport();
    void csvToAFullDisk();
    void csvIntoAMissingFolder();
    void csvOverAReadOnlyFile();
    void exportNeverReplacesTheLogFile();
    void commentRoundTrip();
    void commentToAReadOnlyOrRemovedFile();
    void databaseCopyIsCompleteAndReplacesTheOld();
    void databaseCopyOverAReadOnlyFile();

    void badFiles_data();
    void badFiles();
    void nullsAreNoReadings();

private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void GrapherFilesTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void GrapherFilesTest::loadsEveryRowAndTheInfoRow() {
    std::vector<Sample> samples;
    for (int i = 0; i < 500; ++i)
        samples.push_back({QTime(10, 0, 0).addSecs(i), float(i % 1000), "VDC", i * 0.5f - 100,
                           i % 2 ? QString("HZ") : QString("N/A"), float(i)});
    WriteLogFile(path("run.vtd"), "02/01/2026", "A comment", samples);
    const LoadResult r = LoadLogFile(path("run.vtd"));
    QCOMPARE(r.error, 0);
    QCOMPARE(r.log->info.Date, QString("02/01/2026"));
    QCOMPARE(r.log->info.Description, QString("A comment"));
    const LogColumns& c = r.log->columns;
    QCOMPARE(c.rowCount(), 500);
    QCOMPARE(c.value(1, 1).value_or(0), -100.f);
    QCOMPARE(c.value(1, 500).value_or(0), 149.5f);
    QCOMPARE(c.units(2, 2), QString("HZ"));
    QCOMPARE(c.units(2, 3), QString("N/A"));
    QCOMPARE(c.milliSeconds(500), 499.f);
    QCOMPARE(c.timeStamp(2), 36001 / 86400.0);
    QVERIFY(c.bytesPerRow() < 64);
}

void GrapherFilesTest::threeSamplesGiveTheFiveLineCsv() {
    WriteLogFile(path("run1.vtd"), "02/01/2026", "Bench, first run",
                 {{QTime(14, 30, 15), 125, "VDC", 1.2345f},
                  {QTime(14, 30, 16), 380, "VDC", -0.5f},
                  {QTime(14, 30, 17), 999, "VAC", 1e9f, "HZ", 50}});
    const LoadResult r = LoadLogFile(path("run1.vtd"));
    QCOMPARE(r.error, 0);
    const QString csv = ExportPath(path("run1.vtd"), "csv");
    QCOMPARE(csv, path("run1.csv"));
    QCOMPARE(WriteCsvFile(csv, r.log->info, r.log->columns), 0);
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("02/01/2026,Bench, first run\r\n"
                                     "TimeStamp,MilliSeconds,Units,Value,Units2,Value2\r\n"
                                     "14:30:15,125,VDC,1.2345,N/A,0\r\n"
                                     "14:30:16,380,VDC,-0.5,N/A,0\r\n"
                                     "14:30:17,999,VAC,1E+09,HZ,50\r\n"));
}

void GrapherFilesTest::csvReplacesAnEarlierExport() {
    LogColumns c;
    c.append(LogColumns::Row{0.5, 1.f, QString("VDC"), 2.f, QString("N/A"), 0.f});
    QFile old(path("x.csv"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(10000, 'x'));
    old.close();
    QCOMPARE(WriteCsvFile(path("x.csv"), LogInfo{"d", "c"}, c), 0);
    QFile now(path("x.csv"));
    QVERIFY(now.open(QIODevice::ReadOnly));
    QCOMPARE(now.readAll(), QByteArray("d,c\r\nTimeStamp,MilliSeconds,Units,Value,Units2,Value2\r\n"
                                       "12:00:00,1,VDC,2,N/A,0\r\n"));
}

void GrapherFilesTest::csvToAFullDisk() {
    if (!QFileInfo::exists("/dev/full"))
        QSKIP("no /dev/full here");
    LogColumns c;
    for (int i = 0; i < 100000; ++i)
        c.append(LogColumns::Row{0.5, 1.f, QString("VDC"), 2.f, QString("N/A"), 0.f});
    QCOMPARE(WriteCsvFile("/dev/full", LogInfo{"d", "c"}, c), 61);
}

void GrapherFilesTest::csvIntoAMissingFolder() {
    LogColumns c;
    c.append(LogColumns::Row{0.5, 1.f, QString("VDC"), 2.f, QString("N/A"), 0.f});
    QCOMPARE(WriteCsvFile(path("nowhere/x.csv"), LogInfo{"d", "c"}, c), 53);
}

void GrapherFilesTest::csvOverAReadOnlyFile() {
    LogColumns c;
    c.append(LogColumns::Row{0.5, 1.f, QString("VDC"), 2.f, QString("N/A"), 0.f});
    QFile old(path("ro.csv"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("keep");
    old.close();
    QVERIFY(old.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    QCOMPARE(WriteCsvFile(path("ro.csv"), LogInfo{"d", "c"}, c), 70);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("keep"));
}

void GrapherFilesTest::exportNeverReplacesTheLogFile() {
    // A log file whose name ends in "csv" would be its own export target.
    WriteLogFile(path("odd.csv"), "d", "c", {{QTime(8, 0, 0), 0, "VDC", 1}});
    const LoadResult r = LoadLogFile(path("odd.csv"));
    QCOMPARE(r.error, 0);
    QCOMPARE(WriteCsvFile(ExportPath(path("odd.csv"), "csv"), r.log->info, r.log->columns,
                          path("odd.csv")),
             70);
    QCOMPARE(CopyLogDatabase(path("odd.csv"), path("odd.csv")),
             int(db::ErrorNumber::PermissionDenied));
    QCOMPARE(LoadLogFile(path("odd.csv")).log->columns.rowCount(), 1);
    QCOMPARE(LoadLogFile(QString()).error, int(db::ErrorNumber::FileNotFound));
}

void GrapherFilesTest::commentRoundTrip() {
    WriteLogFile(path("c.vtd"), "d", "old", {{QTime(1, 2, 3), 1, "VDC", 1}});
    QCOMPARE(WriteDescription(path("c.vtd"), "new comment"), 0);
    QCOMPARE(LoadLogFile(path("c.vtd")).log->info.Description, QString("new comment"));
    QCOMPARE(WriteDescription(path("c.vtd"), QString(300, 'z')), 0);
    QCOMPARE(LoadLogFile(path("c.vtd")).log->info.Description, QString(255, 'z'));
    QCOMPARE(LoadLogFile(path("c.vtd")).log->columns.rowCount(), 1); // nothing else touched
}

void GrapherFilesTest::commentToAReadOnlyOrRemovedFile() {
    WriteLogFile(path("ro.vtd"), "d", "old", {{QTime(1, 2, 3), 1, "VDC", 1}});
    QFile::setPermissions(path("ro.vtd"), QFileDevice::ReadOwner);
    QCOMPARE(WriteDescription(path("ro.vtd"), "new"), int(db::ErrorNumber::PermissionDenied));
    QCOMPARE(LoadLogFile(path("ro.vtd")).log->info.Description, QString("old"));
    QCOMPARE(WriteDescription(path("gone.vtd"), "new"), int(db::ErrorNumber::FileNotFound));
    QVERIFY(!QFileInfo::exists(path("gone.vtd"))); // no empty file made in its place
}

void GrapherFilesTest::databaseCopyIsCompleteAndReplacesTheOld() {
    std::vector<Sample> samples;
    for (int i = 0; i < 2000; ++i)
        samples.push_back({QTime(8, 0, 0).addSecs(i), 0, "OHMS", float(i)});
    WriteLogFile(path("run1.vtd"), "d", "copied", samples);
    QFile old(path("run1.mdb"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("not a database");
    old.close();
    QCOMPARE(CopyLogDatabase(path("run1.vtd"), path("run1.mdb")), 0);
    const LoadResult copy = LoadLogFile(path("run1.mdb"));
    QCOMPARE(copy.error, 0);
    QCOMPARE(copy.log->columns.rowCount(), 2000);
    QCOMPARE(copy.log->info.Description, QString("copied"));
    QCOMPARE(copy.log->columns.value(1, 2000).value_or(0), 1999.f);
    QVERIFY(!QFileInfo::exists(path("run1.mdb.partial")));
}

void GrapherFilesTest::databaseCopyOverAReadOnlyFile() {
    WriteLogFile(path("run1.vtd"), "d", "c", {{QTime(8, 0, 0), 0, "VDC", 1}});
    QFile old(path("run1.mdb"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("keep");
    old.close();
    old.setPermissions(QFileDevice::ReadOwner);
    QVERIFY(CopyLogDatabase(path("run1.vtd"), path("run1.mdb")) != 0);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("keep"));
    QVERIFY(CopyLogDatabase(path("gone.vtd"), path("gone.mdb")) != 0);
    QVERIFY(!QFileInfo::exists(path("gone.mdb")));
}

void GrapherFilesTest::badFiles_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("error");
    QTest::newRow("empty file") << "empty" << int(db::ErrorNumber::Unspecified);
    QTest::newRow("text file") << "text" << int(db::ErrorNumber::Unspecified);
    QTest::newRow("truncated") << "truncated" << int(db::ErrorNumber::Unspecified);
    QTest::newRow("no tables") << "notables" << int(db::ErrorNumber::MissingTable);
    QTest::newRow("no LogData") << "nologdata" << int(db::ErrorNumber::MissingTable);
    QTest::newRow("no rows") << "norows" << int(db::ErrorNumber::NoCurrentRow);
    QTest::newRow("no Info row") << "noinfo" << int(db::ErrorNumber::NoCurrentRow);
    QTest::newRow("no sample rows") << "nosamples" << int(db::ErrorNumber::NoCurrentRow);
    QTest::newRow("missing column") << "nocolumn" << int(db::ErrorNumber::UnknownColumn);
    QTest::newRow("text as value") << "textvalue" << TypeMismatch;
    QTest::newRow("missing file") << "missing" << int(db::ErrorNumber::FileNotFound);
}

void GrapherFilesTest::badFiles() {
    QFETCH(QString, kind);
    QFETCH(int, error);
    const QString file = path("bad.vtd");
    if (kind == "empty") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (kind == "text") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("TimeStamp,MilliSeconds\r\n14:30:15,125\r\n");
    } else if (kind == "truncated") {
        std::vector<Sample> samples;
        for (int i = 0; i < 3000; ++i)
            samples.push_back({QTime(8, 0, 0).addSecs(i), 0, "VDC", float(i)});
        WriteLogFile(file, "d", "c", samples);
        QFile f(file);
        QVERIFY(f.resize(f.size() / 3));
    } else if (kind == "notables") {
        ExecSql(file, "CREATE TABLE Other (a INTEGER); INSERT INTO Other VALUES (1);");
    } else if (kind == "nologdata") {
        ExecSql(file, "CREATE TABLE Info (Date TEXT, Description TEXT);"
                      "INSERT INTO Info VALUES ('d', 'c');");
    } else if (kind == "norows") {
        logfile::createLogFile(file).close();
    } else if (kind == "noinfo") {
        logfile::createLogFile(file).close();
        ExecSql(file, "INSERT INTO LogData (TimeStamp, MilliSeconds, Units, Value, Units2, "
                      "Value2) VALUES (0.5, 1, 'VDC', 1, 'N/A', 0);");
    } else if (kind == "nosamples") {
        WriteLogFile(file, "d", "c", {});
    } else if (kind == "nocolumn") {
        ExecSql(file, "CREATE TABLE Info (Date TEXT, Description TEXT);"
                      "INSERT INTO Info VALUES ('d', 'c');"
                      "CREATE TABLE LogData (TimeStamp REAL, MilliSeconds REAL, Units TEXT, "
                      "Value REAL, Units2 TEXT);"
                      "INSERT INTO LogData VALUES (0.5, 1, 'VDC', 1, 'N/A');");
    } else if (kind == "textvalue") {
        WriteLogFile(file, "d", "c", {{QTime(8, 0, 0), 0, "VDC", 1}});
        ExecSql(file, "INSERT INTO LogData (TimeStamp, MilliSeconds, Units, Value, Units2, "
                      "Value2) VALUES (0.5, 1, 'VDC', 'abc', 'N/A', 0);");
    }
    const LoadResult r = LoadLogFile(file);
    QCOMPARE(r.error, error);
    QVERIFY(!r.log);
}

void GrapherFilesTest::nullsAreNoReadings() {
    const QString file = path("nulls.vtd");
    WriteLogFile(file, "d", QString(), {{QTime(8, 0, 0), 0, "VDC", 1}});
    ExecSql(file, "INSERT INTO LogData (TimeStamp, MilliSeconds, Units, Value, Units2, Value2) "
                  "VALUES (0.5, 2, NULL, NULL, NULL, NULL);"
                  "INSERT INTO LogData (TimeStamp, MilliSeconds, Units, Value, Units2, Value2) "
                  "VALUES (0.5, 3, 'VDC', '2.5', 'N/A', 0);"
                  "UPDATE Info SET Description = NULL;");
    const LoadResult r = LoadLogFile(file);
    QCOMPARE(r.error, 0);
    const LogColumns& c = r.log->columns;
    QCOMPARE(c.rowCount(), 3);
    QVERIFY(!c.value(1, 2));
    QVERIFY(c.unitsNull(1, 2));
    QCOMPARE(c.value(1, 3).value_or(0), 2.5f);
    QCOMPARE(r.log->info.Description, QString());
    QByteArray out;
    AppendCsvRow(out, c, 2);
    QCOMPARE(out, QByteArray("12:00:00,2,,,,\r\n"));
}

QTEST_MAIN(GrapherFilesTest)
#include "tst_grapherfiles.moc"
