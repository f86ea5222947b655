// voltrane-screenshots: builds the program's windows as main() does, on the real serial port,
// drives them through a short session and saves each window as a PNG for the user guide. Two
// meter simulators stand at Com1 (scripted readings for the logging run) and Com2 (the
// simulator's own readings, following the function the program selects), mapped in the
// "Ports" settings of $XDG_CONFIG_HOME; Com1 is the stored port.
//
//   voltrane-screenshots <image folder> <data folder>
//
// Only the file dialog (answered with the run the driver logged) and the message boxes (none is
// expected; one that appears is printed and fails the run) are the driver's; every other service
// is the program's own. scripts/screenshots.sh runs it under Xvfb.
#include "Doubles.h"
#include "app/PortAssignDialog.h"
#include "app/frmMain.h"
#include "control/frmControl.h"
#include "grapher/frmGrapher.h"
#include "logger/frmLogger.h"
#include "platform/QtClock.h"
#include "platform/QtProgressDialog.h"
#include "platform/QtSerialPort.h"
#include "platform/QtShell.h"
#include "platform/QtSoundPlayer.h"
#include "settings/SettingsStore.h"
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>

namespace {

QString imageFolder;
bool failed = false;

void save(QWidget& window, const QString& name) {
    QCoreApplication::processEvents();
    const QString path = QDir(imageFolder).filePath(name + QStringLiteral(".png"));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "voltrane-screenshots: cannot write %s\n", qPrintable(path));
        failed = true;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

template <typename T> T* child(QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget) {
        std::fprintf(stderr, "voltrane-screenshots: no control %s\n", name);
        std::exit(1);
    }
    return widget;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Voltrane"));
    QCoreApplication::setApplicationName(QStringLiteral("Voltrane"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc != 3) {
        std::fprintf(stderr, "usage: voltrane-screenshots <image folder> <data folder>\n");
        return 2;
    }
    imageFolder = QString::fromLocal8Bit(argv[1]);
    const QString dataFolder = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(imageFolder);
    QDir().mkpath(dataFolder);
    const QString logPath = QDir(dataFolder).filePath(QStringLiteral("Test.vtd"));
    QFile::remove(logPath);
    settings::SaveDataFolderOf(logPath);

    // A message box would wait for a click nobody gives: each one is reported and ends the run.
    doubles::FakeMessageBox messages;
    doubles::FakeDialogs dialogs;
    platform::QtSoundPlayer sound;
    platform::QtClock clock;
    platform::QtSerialPort serial;
    platform::QtShell shell;
    platform::QtProgressDialog progress;
    platform::Platform services{messages, dialogs, sound, clock, serial, shell, progress};

    frmMain main(services);
    auto reportBoxes = [&messages] {
        for (const auto& box : messages.shown)
            std::fprintf(stderr, "voltrane-screenshots: message box \"%s\": %s\n",
                         qPrintable(box.title), qPrintable(box.text));
        return !messages.shown.isEmpty();
    };
    if (!main.openWindow()) {
        reportBoxes();
        return 1;
    }
    QTest::qWait(2000);

    // Com1: a bench supply with a slow ripple, logged for twenty seconds.
    child<QPushButton>(main, "cmdLogger")->click();
    frmLogger& logger = main.logger();
    child<QLineEdit>(logger, "txtComment")->setText(QStringLiteral("Bench supply, 4 V rail"));
    child<QLineEdit>(logger, "txtSampInt")->setText(QStringLiteral("0.25"));
    child<QPushButton>(logger, "cmdStart")->click();
    QTest::qWait(20000);
    save(logger, QStringLiteral("logger-run"));
    child<QPushButton>(logger, "cmdStop")->click();
    QTest::qWait(300);
    logger.returnToMain();

    // The run in the grapher, with the readout point on a sample a third of the way in.
    dialogs.fileResults.enqueue({platform::DialogResult::Status::Ok, logPath, 0});
    main.mnuOpen_Click();
    for (int i = 0; i < 50 && !main.grapher().isOpen(); ++i)
        QTest::qWait(100);
    if (!main.grapher().isOpen()) {
        std::fprintf(stderr, "voltrane-screenshots: the grapher did not open %s\n",
                     qPrintable(logPath));
        return 1;
    }
    QTest::qWait(500);
    frmGrapher& grapher = main.grapher();
    grapher.picGraph_MouseMove(double(grapher.view().RecordsInView) / 3.0, 0);
    QTest::qWait(300);
    save(grapher, QStringLiteral("grapher"));
    grapher.cmdReturn_Click();

    // Com2: a meter left to its own readings, AC volts, then AC volts and frequency.
    main.mnuComm_Click(2);
    QTest::qWait(3000);
    save(main, QStringLiteral("main-single"));
    save(main.control(), QStringLiteral("meter-control"));

    // The alarm panel with a high threshold the reading is above: "Hi Trigger!" blinks.
    child<QPushButton>(main, "cmdAlarms")->click();
    child<QLineEdit>(main, "txtHiAlarm")->setText(QStringLiteral("120"));
    child<QLineEdit>(main, "txtLowAlarm")->setText(QStringLiteral("110"));
    QTest::qWait(1000);
    QLabel* hi = child<QLabel>(main, "lblHiThresh");
    for (int i = 0; i < 50 && (hi->isHidden() || hi->text() != QStringLiteral("Hi Trigger!")); ++i)
        QTest::qWait(20);
    save(main, QStringLiteral("main-alarms"));
    child<QLineEdit>(main, "txtHiAlarm")->clear();
    child<QLineEdit>(main, "txtLowAlarm")->clear();
    child<QPushButton>(main, "cmdAlarms")->click();
    main.control().selectOption(QStringLiteral("optVandF"));
    QTest::qWait(3000);
    save(main, QStringLiteral("main-dual"));

    // Edit > RS-232 > Assign Devices...: here Com1 and Com2 are the two simulators.
    {
        PortAssignDialog ports(meterlink::PortAssignments{}, &main);
        ports.show();
        QTest::qWait(300);
        save(ports, QStringLiteral("port-assign"));
        ports.reject();
    }

    main.quitProgram();
    return reportBoxes() || failed ? 1 : 0;
}
