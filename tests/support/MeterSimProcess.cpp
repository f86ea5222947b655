#include "MeterSimProcess.h"
#include "TestSettings.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSettings>
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

QString MeterSimProcess::executablePath() {
    QString dir = qEnvironmentVariable("VOLTRANE_BUILD_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    return QDir(dir).filePath(QStringLiteral("voltrane-meter-sim"));
}

bool MeterSimProcess::start(const QStringList& arguments, int timeoutMs) {
    stop();
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder for the simulator's log");
        return false;
    }
    QStringList all = arguments;
    all << QStringLiteral("--log") << dir_.filePath(QStringLiteral("received.log"));
    process_.start(executablePath(), all);
    if (!process_.waitForStarted(timeoutMs)) {
        error_ =
            QStringLiteral("cannot start %1: %2").arg(executablePath(), process_.errorString());
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

bool MeterSimProcess::running() const {
    return process_.state() == QProcess::Running;
}

void MeterSimProcess::mapToPort(int portNo) const {
    QSettings s = store();
    s.setValue(QStringLiteral("Ports/Com%1").arg(portNo), ptyPath_);
    s.sync();
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
    if (running())
        ::kill(pid_t(process_.processId()), SIGUSR1);
#endif
}

void MeterSimProcess::comeBack() {
#ifdef Q_OS_UNIX
    if (running())
        ::kill(pid_t(process_.processId()), SIGUSR2);
#endif
}

} // namespace testsupport
