#include "GrapherTestFiles.h"
#include "grapher/CsvExport.h"
#include "grapher/LogFileReader.h"
#include "logger/DbError.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace grapher;
using namespace grapher_test;

namespace {
const QByteArray CsvHeader = "TimeStamp,MilliSeconds,Units,Value,Units2,Value2\r\n";

const LogColumns::Row Noon{0.5, 1.f, QString("VDC"), 2.f, QString("N/A"), 0.f};

LogColumns oneRow() {
    LogColumns c;
    c.append(Noon);
    return c;
}
} // namespace

class GrapherFilesTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void loadsEveryRowAndTheInfoRow() {
        std::vector<Sample> samples;
        for (int i = 0; i < 500; ++i)
            samples.push_back({QTime(10, 0, 0).addSecs(i), float(i), "VDC", i * 0.5f - 100,
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

    void threeSamplesGiveTheFiveLineCsv() {
        WriteLogFile(path("run1.vtd"), "02/01/2026", "Bench, first run",
                     {{QTime(14, 30, 15), 125, "VDC", 1.2345f},
                      {QTime(14, 30, 16), 380, "VDC", -0.5f},
                      {QTime(14, 30, 17), 999, "VAC", 1e9f, "HZ", 50}});
        const LoadResult r = LoadLogFile(path("run1.vtd"));
        QCOMPARE(r.error, 0);
        const QString csv = ExportPath(path("run1.vtd"), "csv");
        QCOMPARE(csv, path("run1.csv"));
        QCOMPARE(WriteCsvFile(csv, r.log->info, r.log->columns), 0);
        QCOMPARE(ReadBytes(csv), "02/01/2026,Bench, first run\r\n" + CsvHeader +
                                     "14:30:15,125,VDC,1.2345,N/A,0\r\n"
                                     "14:30:16,380,VDC,-0.5,N/A,0\r\n"
                                     "14:30:17,999,VAC,1E+09,HZ,50\r\n");
    }

    void csvReplacesAnEarlierExport() {
        QVERIFY(WriteBytes(path("x.csv"), QByteArray(10000, 'x')));
        QCOMPARE(WriteCsvFile(path("x.csv"), LogInfo{"d", "c"}, oneRow()), 0);
        QCOMPARE(ReadBytes(path("x.csv")), "d,c\r\n" + CsvHeader + "12:00:00,1,VDC,2,N/A,0\r\n");
    }

    void csvWriteErrors() {
        QCOMPARE(WriteCsvFile(path("nowhere/x.csv"), LogInfo{"d", "c"}, oneRow()), 53);
        QVERIFY(WriteBytes(path("ro.csv"), "keep"));
        QVERIFY(QFile::setPermissions(path("ro.csv"), QFileDevice::ReadOwner));
        QCOMPARE(WriteCsvFile(path("ro.csv"), LogInfo{"d", "c"}, oneRow()), 70);
        QCOMPARE(ReadBytes(path("ro.csv")), QByteArray("keep"));
        if (!QFileInfo::exists("/dev/full"))
            QSKIP("no /dev/full here");
        LogColumns many;
        for (int i = 0; i < 100000; ++i)
            many.append(Noon);
        QCOMPARE(WriteCsvFile("/dev/full", LogInfo{"d", "c"}, many), 61);
    }

    void exportNeverReplacesTheLogFile() {
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

    void commentIsWrittenCutOrRefused() {
        WriteLogFile(path("c.vtd"), "d", "old", {{QTime(1, 2, 3), 1, "VDC", 1}});
        QCOMPARE(WriteDescription(path("c.vtd"), "new comment"), 0);
        QCOMPARE(LoadLogFile(path("c.vtd")).log->info.Description, QString("new comment"));
        QCOMPARE(WriteDescription(path("c.vtd"), QString(300, 'z')), 0);
        QCOMPARE(LoadLogFile(path("c.vtd")).log->info.Description, QString(255, 'z'));
        QCOMPARE(LoadLogFile(path("c.vtd")).log->columns.rowCount(), 1); // nothing else touched

        QFile::setPermissions(path("c.vtd"), QFileDevice::ReadOwner);
        QCOMPARE(WriteDescription(path("c.vtd"), "new"), int(db::ErrorNumber::PermissionDenied));
        QCOMPARE(LoadLogFile(path("c.vtd")).log->info.Description, QString(255, 'z'));
        QCOMPARE(WriteDescription(path("gone.vtd"), "new"), int(db::ErrorNumber::FileNotFound));
        QVERIFY(!QFileInfo::exists(path("gone.vtd"))); // no empty file made in its place
    }

    void databaseCopyIsCompleteAndReplacesTheOld() {
        std::vector<Sample> samples;
        for (int i = 0; i < 2000; ++i)
            samples.push_back({QTime(8, 0, 0).addSecs(i), 0, "OHMS", float(i)});
        WriteLogFile(path("run1.vtd"), "d", "copied", samples);
        QVERIFY(WriteBytes(path("run1.mdb"), "not a database"));
        QCOMPARE(CopyLogDatabase(path("run1.vtd"), path("run1.mdb")), 0);
        const LoadResult copy = LoadLogFile(path("run1.mdb"));
        QCOMPARE(copy.error, 0);
        QCOMPARE(copy.log->columns.rowCount(), 2000);
        QCOMPARE(copy.log->info.Description, QString("copied"));
        QCOMPARE(copy.log->columns.value(1, 2000).value_or(0), 1999.f);
        QVERIFY(!QFileInfo::exists(path("run1.mdb.partial")));
    }

    void failedDatabaseCopyLeavesTheOld() {
        WriteLogFile(path("run1.vtd"), "d", "c", {{QTime(8, 0, 0), 0, "VDC", 1}});
        QVERIFY(WriteBytes(path("run1.mdb"), "keep"));
        QFile::setPermissions(path("run1.mdb"), QFileDevice::ReadOwner);
        QVERIFY(CopyLogDatabase(path("run1.vtd"), path("run1.mdb")) != 0);
        QCOMPARE(ReadBytes(path("run1.mdb")), QByteArray("keep"));
        QVERIFY(CopyLogDatabase(path("gone.vtd"), path("gone.mdb")) != 0);
        QVERIFY(!QFileInfo::exists(path("gone.mdb")));
    }

    void badFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        const auto bad = [](const char* kind, int error) { QTest::newRow(kind) << kind << error; };
        bad("empty", int(db::ErrorNumber::Unspecified));
        bad("text", int(db::ErrorNumber::Unspecified));
        bad("truncated", int(db::ErrorNumber::Unspecified));
        bad("notables", int(db::ErrorNumber::MissingTable));
        bad("nologdata", int(db::ErrorNumber::MissingTable));
        bad("norows", int(db::ErrorNumber::NoCurrentRow));
        bad("noinfo", int(db::ErrorNumber::NoCurrentRow));
        bad("nosamples", int(db::ErrorNumber::NoCurrentRow));
        bad("nocolumn", int(db::ErrorNumber::UnknownColumn));
        bad("textvalue", TypeMismatch);
        bad("textms", TypeMismatch);
        bad("missing", int(db::ErrorNumber::FileNotFound));
    }
    void badFiles() {
        QFETCH(QString, kind);
        QFETCH(int, error);
        MakeBadFile(kind, path("bad.vtd"));
        const LoadResult r = LoadLogFile(path("bad.vtd"));
        QCOMPARE(r.error, error);
        QVERIFY(!r.log);
    }

    void nullsAreNoReadings() {
        const QString file = path("nulls.vtd");
        WriteLogFile(file, "d", QString(), {{QTime(8, 0, 0), 0, "VDC", 1}});
        ExecSql(file, InsertRow + "VALUES (0.5, 2, NULL, NULL, NULL, NULL);" + InsertRow +
                          "VALUES (0.5, 3, 'VDC', '2.5', 'N/A', 0); UPDATE Info SET "
                          "Description = NULL;");
        const LoadResult r = LoadLogFile(file);
        QCOMPARE(r.error, 0);
        const LogColumns& c = r.log->columns;
        QCOMPARE(c.rowCount(), 3);
        QVERIFY(!c.value(1, 2));
        QVERIFY(c.unitsNull(1, 2));
        QCOMPARE(c.value(1, 3).value_or(0), 2.5f);
        QByteArray out = CsvRunLine(r.log->info);
        AppendCsvRow(out, c, 2);
        QCOMPARE(out, QByteArray("d,\r\n12:00:00,2,,,,\r\n"));
    }

private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_MAIN(GrapherFilesTest)
#include "tst_grapherfiles.moc"
