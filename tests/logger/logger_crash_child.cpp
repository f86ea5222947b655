// Logs sample rows into a new log file as fast as it can and prints the number of every row
// once it is committed, until it is killed. Used by the capture test's crash case.
#include "logger/LogFile.h"
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    try {
        logfile::SampleWriter writer(
            logfile::createLogFile(QString::fromLocal8Bit(argv[1]), logfile::RunInfo{"d", "c"}));
        for (qint64 n = 1;; ++n) {
            const qint64 sample = writer.append({0.5, float(n % 1000), "VDC", float(n), "N/A", 0});
            std::printf("%lld\n", static_cast<long long>(sample));
            std::fflush(stdout);
        }
    } catch (const db::Error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
