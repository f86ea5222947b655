#pragma once
#include "app/MainWindowApi.h"
#include "logger/LogFile.h"

#include <QFileInfo>
#include <QTime>
#include <QTimer>
#include <vector>

// Log files for the grapher's tests, written by the logger's own code, and a main window
// stand-in that records what the grapher asks of it.
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
    db::Connection c =
        QFileInfo::exists(path) ? db::Connection::open(path) : db::Connection::createNew(path);
    c.exec(sql);
    c.close();
}

class FakeMain : public MainWindowApi {
public:
    SharedState state;
    int displayStarts = 0;
    int displayStops = 0;
    int quits = 0;
    QTimer clock;
    SharedState& shared() override { return state; }
    void SendMeterCommand(const QString&) override {}
    void ResetMaxMin() override {}
    void setRateLine(const QString&) override {}
    void moveUp(int) override {}
    void startDisplayCycle() override { ++displayStarts; }
    void stopDisplayCycle() override { ++displayStops; }
    QTimer& logClock() override { return clock; }
    void closeLoggerByReturn() override {}
    void requestTrendRescale() override {}
    void activate() override {}
    void quitProgram() override { ++quits; }
    QWidget* mainWidget() override { return nullptr; }
};

} // namespace grapher_test
