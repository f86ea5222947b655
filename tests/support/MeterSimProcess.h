#pragma once
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs the meter simulator (build/voltrane-meter-sim) as a child process for whole-program and
// link tests, on POSIX systems.
//
//   testsupport::MeterSimProcess sim;
//   QVERIFY2(sim.start({"--rate", "F", "--reading", "+1.2345E+3 OHMS"}), qPrintable(sim.error()));
//   sim.mapToPort(1);                 // [Ports] Com1=<pty> in the test's private settings
//   ... open port 1 with platform::QtSerialPort, run the code under test ...
//   QVERIFY(sim.waitForLogged("VAC\r")); // bytes the program wrote, in order, in sim.logged()
//
// start() always passes "--log <private file>" so logged() shows every byte the simulator
// received; further options are the simulator's (see voltrane-meter-sim --help): scripted
// readings (--reading, --script), --interval MS, --silent-after/--silent-for, --garbage-every,
// --overload-every, --blank-after-comma. goSilent()/comeBack() make the meter stop and resume
// sending. The destructor stops the simulator; it also ends by itself if the test dies.
namespace testsupport {

// A program of the build (voltrane, voltrane-log, ...): in $VOLTRANE_BUILD_DIR, else beside the
// test executable.
QString builtProgram(const QString& name);

class MeterSimProcess {
public:
    MeterSimProcess();
    ~MeterSimProcess();
    MeterSimProcess(const MeterSimProcess&) = delete;
    MeterSimProcess& operator=(const MeterSimProcess&) = delete;

    // Starts the simulator and reads its terminal path. False (see error()) when it cannot.
    bool start(const QStringList& arguments = {}, int timeoutMs = 10000);
    void stop();

    QString ptyPath() const { return ptyPath_; }
    QString error() const { return error_; }
    // Writes "Ports/Com<n>" = ptyPath() into the settings store that QtSerialPort reads.
    void mapToPort(int portNo) const;

    // Every byte the simulator has received so far.
    QByteArray logged() const;
    // Waits (running the event loop) until logged() contains expected; false on timeout.
    bool waitForLogged(const QByteArray& expected, int timeoutMs = 10000) const;

    // SIGUSR1 / SIGUSR2: the meter stops sending and answering / starts again.
    void goSilent();
    void comeBack();

private:
    QProcess process_;
    QTemporaryDir dir_;
    QString ptyPath_;
    QString error_;
};

} // namespace testsupport
