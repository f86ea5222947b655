#include "app/frmMain.h"
#include "platform/Platform.h"
#include "platform/QtClock.h"
#include "platform/QtDialogs.h"
#include "platform/QtMessageBox.h"
#include "platform/QtProgressDialog.h"
#include "platform/QtSerialPort.h"
#include "platform/QtShell.h"
#include "platform/QtSoundPlayer.h"
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Voltrane"));
    QCoreApplication::setApplicationName(QStringLiteral("Voltrane"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.82"));
    // The program ends when the main window ends, not when some window happens to be last.
    QApplication::setQuitOnLastWindowClosed(false);

    platform::QtMessageBox messages;
    platform::QtDialogs dialogs;
    platform::QtSoundPlayer sound;
    platform::QtClock clock;
    platform::QtSerialPort serial;
    platform::QtShell shell;
    platform::QtProgressDialog progress;
    platform::Platform services{messages, dialogs, sound, clock, serial, shell, progress};

    frmMain main(services);
    QObject::connect(&main, &frmMain::programEnded, &app,
                     [](int code) { QCoreApplication::exit(code); });
    // A start-up failure ends the program before the event loop runs.
    if (!main.openWindow())
        return main.exitCode();
    return app.exec();
}
