// voltrane-screenshots: builds the program's windows as main() does, on the real serial port
// (the meter simulator, mapped to Com1 in the "Ports" settings of $XDG_CONFIG_HOME), drives
// them through a short session and saves each window as a PNG for the user guide.
//
//   voltrane-screenshots <image folder> <data folder>
//
// Only the file dialog is answered by the driver (the grapher's file is the run it logged);
// every other service is the program's own. scripts/screenshots.sh runs it under Xvfb.
#include "Doubles.h"
#include "app/frmMain.h"
#include "control/frmControl.h"
#include "grapher/frmGrapher.h"
#include "logger/frmLogger.h"
#include "platform/QtClock.h"
#include "platform/QtMessageBox.h"
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

    platform::QtMessageBox messages;
    doubles::FakeDialogs dialogs;
    platform::QtSoundPlayer sound;
    platform::QtClock clock;
    platform::QtSerialPort serial;
    platform::QtShell shell;
    platform::Platform services{messages, dialogs, sound, clock, serial, shell};

    frmMain main(services);
    if (!main.openWindow())
        return 1;
    QTest::qWait(3000);
    save(main, QStringLiteral("main-single"));
    save(main.control(), QStringLiteral("meter-control"));

    // AC volts and frequency: the second display opens below the first.
    main.control().selectOption(QStringLiteral("optVandF"));
    QTest::qWait(3000);
    save(main.control(), QStringLiteral("meter-control-dual"));
    save(main, QStringLiteral("main-dual"));

    // Back to DC volts for a logging run with a trend worth seeing.
    main.control().selectOption(QStringLiteral("optVDC"));
    QTest::qWait(1500);
    child<QPushButton>(main, "cmdLogger")->click();
    frmLogger& logger = main.logger();
    child<QLineEdit>(logger, "txtComment")->setText(QStringLiteral("Bench supply, 5 V rail"));
    child<QLineEdit>(logger, "txtSampInt")->setText(QStringLiteral("0.5"));
    child<QPushButton>(logger, "cmdStart")->click();
    QTest::qWait(12000);
    save(logger, QStringLiteral("logger-run"));
    child<QPushButton>(logger, "cmdStop")->click();
    QTest::qWait(300);
    logger.returnToMain();

    // The run in the grapher, with the readout point on a sample near the middle.
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
    const grapher::GraphView& view = grapher.view();
    const double middle = double(view.RecordsInView) / 2.0;
    grapher.picGraph_MouseMove(middle, 0);
    QTest::qWait(300);
    save(grapher, QStringLiteral("grapher"));

    grapher.cmdReturn_Click();
    main.quitProgram();
    return failed ? 1 : 0;
}
