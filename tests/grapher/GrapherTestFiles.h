#pragma once
#include "logger/LogFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <vector>

// Log files for the grapher's tests, written by the logger's own code.
namespace grapher_test {

struct Sample {
    QTime time;
    float ms;
    QString units;
    float value;
    QString units2 = QStringLiteral("N/A");
    float value2 = 0;
};

inline void WriteLogFile(const QString& path, const QString& date, const QString& comment,
                         const std::vector<Sample>& samples) {
    logfile::SampleWriter writer(logfile::createLogFile(path, logfile::RunInfo{date, comment}));
    {
        // One transaction around the writer's own inserts: the rows are the same, the many
        // single commits of a real run are spared.
        db::Transaction batch(writer.connection());
        for (const Sample& s : samples)
            writer.append(logfile::SampleRow{logfile::timeStampOf(s.time), s.ms, s.units, s.value,
                                             s.units2, s.value2});
        batch.commit();
    }
    writer.close();
}

// Runs SQL on a file (to make the foreign and broken files no run would write).
inline void ExecSql(const QString& path, const QString& sql) {
    db::Connection c = db::Connection::open(path);
    c.exec(sql);
    c.close();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

inline const QString InsertRow =
    QStringLiteral("INSERT INTO LogData (TimeStamp, MilliSeconds, Units, Value, Units2, Value2) ");

} // namespace grapher_test
