#include "MeterSimProcess.h"
#include "TestSettings.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTest>
#ifdef Q_OS_UNIX
#include <signal.h>
#endif

namespace testsupport {

MeterSimProcess::MeterSimProcess() {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
}

MeterSimProcess::~MeterSimProcess() {
    stop();
}

QString builtProgram(const QString& name) {
    QString dir = qEnvironmentVariable("VOLTRANE_BUILD_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    return QDir(dir).filePath(name);
}

bool MeterSimProcess::start(const QStringList& arguments, int timeoutMs) {
    stop();
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder for the simulator's log");
        return false;
    }
    QStringList all = arguments;
    all << QStringLiteral("--log") << dir_.filePath(QStringLiteral("received.log"));
    const QString program = builtProgram(QStringLiteral("voltrane-meter-sim"));
    process_.start(program, all);
    if (!process_.waitForStarted(timeoutMs)) {
        error_ = QStringLiteral("cannot start %1: %2").arg(program, process_.errorString());
        return false;
    }
    QDeadlineTimer deadline(timeoutMs);
    while (!process_.canReadLine() && !deadline.hasExpired()) {
        if (process_.state() != QProcess::Running)
            break;
        process_.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    if (!process_.canReadLine()) {
        error_ = QStringLiteral("the simulator printed no terminal path: ") +
                 QString::fromLocal8Bit(process_.readAllStandardError());
        stop();
        return false;
    }
    ptyPath_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    return true;
}

void MeterSimProcess::stop() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }
}

void MeterSimProcess::mapToPort(int portNo) const {
    mapPort(portNo, ptyPath_);
}

QByteArray MeterSimProcess::logged() const {
    QFile file(dir_.filePath(QStringLiteral("received.log")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool MeterSimProcess::waitForLogged(const QByteArray& expected, int timeoutMs) const {
    return QTest::qWaitFor([&] { return logged().contains(expected); }, timeoutMs);
}

void MeterSimProcess::goSilent() {
#ifdef Q_OS_UNIX
    if (process_.state() == QProcess::Running)
        ::kill(pid_t(process_.processId()), SIGUSR1);
#endif
}

void MeterSimProcess::comeBack() {
#ifdef Q_OS_UNIX
    if (process_.state() == QProcess::Running)
        ::kill(pid_t(process_.processId()), SIGUSR2);
#endif
}

} // namespace testsupport
