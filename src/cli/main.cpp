// voltrane-log: unattended logging of the meter's readings from the command line.
#include "cli/LogOptions.h"
#include "cli/LogRun.h"
#include "platform/ProgramVersion.h"
#include "platform/QtClock.h"
#include "platform/QtSerialPort.h"
#include "settings/SettingsStore.h"
#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <csignal>
#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#define VOLTRANE_ISATTY(fd) _isatty(fd)
#define VOLTRANE_FILENO(f) _fileno(f)
#else
#include <unistd.h>
#define VOLTRANE_ISATTY(fd) isatty(fd)
#define VOLTRANE_FILENO(f) fileno(f)
#endif

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void onStopSignal(int) {
    stopSignal = 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("voltrane-log"));
    QCoreApplication::setApplicationVersion(ProgramVersionText);

    // Written through the descriptors, past stdio's buffer: each CSV line is out as its row is
    // committed. A closed pipe then fails the write (EPIPE) instead of killing the run.
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QFile out;
    QFile err;
    out.open(VOLTRANE_FILENO(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(VOLTRANE_FILENO(stderr), QIODevice::WriteOnly | QIODevice::Unbuffered);

    const cli::ParsedArguments parsed =
        cli::parseArguments(QCoreApplication::arguments(), settings::ReadCommPort());
    if (!parsed.options) {
        (parsed.exitCode == cli::ExitDone ? out : err).write(parsed.text.toUtf8());
        return parsed.exitCode;
    }

    platform::QtSerialPort port;
    if (!parsed.options->device.isEmpty())
        port.nameDevice(parsed.options->portNo, parsed.options->device);
    platform::QtClock clock;
    const bool terminal = VOLTRANE_ISATTY(VOLTRANE_FILENO(stderr)) != 0;
    cli::LogRun run(*parsed.options, port, clock, out, err, terminal);

    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
#ifdef SIGHUP
    // The ssh session that started the run has ended: the run still closes as asked.
    std::signal(SIGHUP, onStopSignal);
#endif
    QTimer signalWatch;
    QObject::connect(&signalWatch, &QTimer::timeout, &run, [&run] {
        if (stopSignal)
            run.requestStop();
    });
    signalWatch.start(50);

    QObject::connect(
        &run, &cli::LogRun::finished, &app, [](int code) { QCoreApplication::exit(code); },
        Qt::QueuedConnection);
    if (const std::optional<int> failed = run.start())
        return *failed;
    return QCoreApplication::exec();
}
