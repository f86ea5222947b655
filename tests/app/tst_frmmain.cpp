#include "MainWindowFixture.h"
#include "WidgetPixels.h"
#include "control/frmControl.h"
#include "grapher/frmGrapher.h"
#include "logger/LogFile.h"
#include "logger/frmLogger.h"
#include "platform/QtDialogs.h"
#include "platform/QtSerialPort.h"
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using platform::DialogResult;

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString UnexpectedError32755 = "Error #32755 has occurred. Please" + CrLf +
                                     "report this to the programmer for remediation." + CrLf + CrLf;

QString setting(const QString& key) {
    return settings::GetSetting(key, QStringLiteral("<none>"));
}

QColor colourOf(const QLabel* label, QPalette::ColorRole role) {
    return label->palette().color(role);
}

// Runs act on the next modal dialog once it shows; act must close it.
void whenModalShows(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        act(modal);
    });
    poll->start(20);
}

} // namespace

// The main window on the platform doubles: its wiring of the display, menus, ports and windows.
class TestFrmMain : public QObject {
    Q_OBJECT
private slots:
    void init() { MainWindowFixture::clearSettings(); }

    // --- Window, controls and menus ---------------------------------------------------------

    void controlsTimersAndLayoutAtOpening() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QCOMPARE(f.main->windowTitle(), QString("Voltrane RS-232 Communications"));
        QVERIFY(f.main->isVisible());
        const QList<QPair<const char*, QString>> buttons = {{"cmdLogger", "&Log Magnitude(s)"},
                                                            {"cmdMeterSettings", "Meter Control"},
                                                            {"cmdAlarms", "&Alarms"},
                                                            {"cmdQuit", "&Quit"}};
        for (const auto& [name, caption] : buttons) {
            QCOMPARE(f.button(name)->text(), caption);
            QVERIFY2(!f.button(name)->toolTip().isEmpty(), name);
        }
        QCOMPARE(f.button("cmdLogger")->toolTip(),
                 QString("Start Logging Data to the Screen or to a File, Analyze Logged Data"));
        QCOMPARE(f.button("cmdQuit")->toolTip(), QString("Exit the Program"));
        QVERIFY(!f.button("cmdLogger")->isEnabled()); // until the meter answers
        QVERIFY(f.button("cmdQuit")->font().bold());
        QCOMPARE(f.button("cmdQuit")->font().family(), QString("Times New Roman"));
        QVERIFY(f.label("Label2")->isHidden());
        QVERIFY(f.child<QLineEdit>("txtHiAlarm")->isHidden());
        QVERIFY(f.child<QCheckBox>("chkLoSet")->isHidden());
        QVERIFY(f.child<QWidget>("Line1"));
        QCOMPARE(f.label("Label1")->alignment(), Qt::AlignCenter);
        QCOMPARE(f.label("Label1")->font().pointSize(), 72);
        QCOMPARE(f.label("Label1")->font().family(), QString("MSSansserif"));
        // Twips reach the widgets as pixels.
        QCOMPARE(f.label("Label1")->geometry(),
                 QRect(f.px(400), f.px(300), f.px(10455), f.px(1650)));
        QCOMPARE(f.button("cmdQuit")->geometry(),
                 QRect(f.px(9400), f.px(2500), f.px(1450), f.px(495)));

        const QList<std::tuple<const char*, int, bool>> timers = {
            {"tmrDispUpdate", 200, true}, {"tmrLogClock", 1000, false}, {"tmrWait", 250, false}};
        for (const auto& [name, interval, active] : timers) {
            QCOMPARE(f.timer(name)->interval(), interval);
            QCOMPARE(f.timer(name)->isActive(), active);
        }
        QCOMPARE(&f.main->logClock(), f.timer("tmrLogClock"));
    }

    void menuTree() {
        MainWindowFixture f;
        const QList<QAction*> top = f.main->menuBar()->actions();
        QCOMPARE(top.size(), 3);
        // objectName, caption pairs
        const QStringList menus = {"mnuFile",       "&File",      "Edit",          "&Edit",
                                   "mnuComm",       "&RS-232",    "mnuColor",      "&Colors",
                                   "mnuBackground", "Background", "mnuForeground", "Foreground",
                                   "mnuHelp",       "&Help"};
        for (qsizetype i = 0; i < menus.size(); i += 2)
            QCOMPARE(f.child<QMenu>(menus[i])->title(), menus[i + 1]);
        QCOMPARE(top[0]->menu(), f.child<QMenu>("mnuFile"));
        QCOMPARE(top[2]->menu(), f.child<QMenu>("mnuHelp"));
        const QStringList entries = {
            "mnuLogger",  "Logger",       "mnuOpen",     "&Open and Graph Logged Data",
            "mnuExit",    "Exit",         "mnuFont",     "Font",
            "mnuBGBlack", "Black",        "mnuBGWhite",  "White",
            "mnuFGBlack", "Black",        "mnuFGWhite",  "White",
            "mnuRed",     "Red",          "mnuGreen",    "Green",
            "mnuBlue",    "Blue",         "mnuYellow",   "Yellow",
            "mnuAlarm",   "&Alarm Sound", "mnuContents", "Contents",
            "mnuAbout",   "About"};
        for (qsizetype i = 0; i < entries.size(); i += 2) {
            QVERIFY2(f.action(entries[i]), qPrintable(entries[i]));
            QCOMPARE(f.action(entries[i])->text(), entries[i + 1]);
        }
        const QList<QAction*> ports = f.child<QMenu>("mnuComm")->actions();
        for (int n = 1; n <= 8; ++n) {
            QCOMPARE(ports[n - 1]->objectName(), QString("mnuCom%1").arg(n));
            QCOMPARE(ports[n - 1]->text(), QString("Com%1").arg(n));
            QVERIFY(!ports[n - 1]->isEnabled()); // before the probe
        }
    }

    // --- Start-up -----------------------------------------------------------------------------

    void firstRunStartup() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QCOMPARE(f.fake.serial.opened, QList<int>({1}));
        QCOMPARE(f.fake.clock.pauses, QList<int>({250, 250}));
        // The start-up commands, then the control window's fast-rate and AC-volts presets.
        QCOMPARE(f.fake.serial.written,
                 QByteArray("FORMAT 2; RATE F\r\nRATE F\rVAC\rRATE F\rVAC\r"));
        QCOMPARE(f.state().link.NoReplyLimit, qint16(15));
        QCOMPARE(f.label("Label3")->text(), QString("Meter Response - Fast  :  Low Precision"));
        QVERIFY(f.main->control().isOpen());
        QVERIFY(f.fake.messages.shown.isEmpty());
        QVERIFY(f.action("mnuCom1")->isChecked());
        QVERIFY(f.action("mnuCom1")->isEnabled());
        QVERIFY(!f.action("mnuCom2")->isEnabled());
        QCOMPARE(f.main->AlarmWavPath(), settings::InProgramFolder("attention.wav"));
        QCOMPARE(f.state().logger.LogFilePath, settings::InProgramFolder("Test.vtd"));
    }

    void startupErrors_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const QString exit = "Press 'OK' to Exit." + CrLf + CrLf;
        QTest::newRow("8002") << 8002
                              << "        No Comm Port Available!" + CrLf + CrLf +
                                     "This program requires one port (1-8)." + CrLf + CrLf + exit;
        QTest::newRow("8012") << 8012
                              << "        Port Is Not Open!" + CrLf + CrLf +
                                     "Check Port Availability and Status." + CrLf + CrLf + exit;
        QTest::newRow("8005")
            << 8005
            << "        Port Already Open!" + CrLf + CrLf + "Another process is using the port." +
                   CrLf + CrLf + "Is the primary instance of this application using this Port?" +
                   CrLf + CrLf +
                   "If so, stop it amd launch this instance to select alternate Port...." + CrLf +
                   CrLf + exit;
        QTest::newRow("other") << 13
                               << "Error #13" + CrLf + CrLf +
                                      "There is a problem with the serial port!" + CrLf + CrLf +
                                      exit;
    }
    void startupErrors() {
        QFETCH(int, code);
        QFETCH(QString, text);
        settings::SaveSetting("Font", "Courier");
        MainWindowFixture f;
        f.fake.serial.openError = code;
        QSignalSpy ended(f.main.get(), &frmMain::programEnded);
        QVERIFY(!f.open());
        QCOMPARE(f.fake.messages.shown.size(), 1);
        const auto& box = f.fake.messages.shown.first();
        QCOMPARE(box.text, text);
        QCOMPARE(box.title, QString("Cannot Start Fluke 45 Serial Comm!"));
        QCOMPARE(box.buttons, platform::Buttons::OkOnly);
        QCOMPARE(box.icon, platform::Icon::None);
        QCOMPARE(ended.size(), 1);
        QVERIFY(f.main->hasEnded());
        QVERIFY(f.main->exitCode() != 0);
        QVERIFY(!f.timer("tmrDispUpdate")->isActive());
        QVERIFY(f.fake.serial.written.isEmpty());
        QVERIFY(!f.main->isVisible());
        // Nothing half-read is written back.
        QCOMPARE(setting("Font"), QString("Courier"));
        QCOMPARE(setting("AlarmWav"), QString("<none>"));
    }

    void missingDeviceOnARealPortEndsWithItsMessage() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Voltrane", "Voltrane")
            .setValue("Ports/Com1", "/dev/voltrane-no-such-device");
        doubles::FakePlatform fake;
        platform::QtSerialPort serial;
        platform::Platform services{fake.messages, fake.dialogs, fake.sound,
                                    fake.clock,    serial,       fake.shell};
        frmMain main{services};
        QVERIFY(!main.openWindow());
        QCOMPARE(fake.messages.shown.size(), 1);
        QVERIFY(fake.messages.shown.first().text.contains("No Comm Port Available!"));
        QVERIFY(main.hasEnded());
    }

    // --- Port menu ----------------------------------------------------------------------------

    void storedPortOutsideTheMenu() {
        settings::SaveSetting("CommPort", "9");
        MainWindowFixture f;
        QVERIFY(f.open());
        QCOMPARE(f.fake.serial.opened, QList<int>({9}));
        for (int n = 1; n <= 8; ++n)
            QVERIFY(!f.action(QString("mnuCom%1").arg(n))->isChecked());
    }

    void portMenuProbeAndSwitch() {
        settings::SaveSetting("CommPort", "3");
        MainWindowFixture f;
        f.fake.serial.presentPorts = {3, 5};
        QVERIFY(f.open());
        for (int n = 1; n <= 8; ++n) {
            const QAction* item = f.action(QString("mnuCom%1").arg(n));
            QCOMPARE(item->isEnabled(), n == 3 || n == 5);
            QCOMPARE(item->isChecked(), n == 3);
        }
        const int closes = f.fake.serial.closeCount;
        f.choose("mnuCom5");
        QCOMPARE(f.fake.serial.closeCount, closes + 1);
        QCOMPARE(f.fake.serial.opened, QList<int>({3, 5}));
        QCOMPARE(f.main->CommPortNo(), qint16(5));
        for (int n = 1; n <= 8; ++n)
            QCOMPARE(f.action(QString("mnuCom%1").arg(n))->isChecked(), n == 5);
        f.choose("mnuCom5"); // the same port closes and opens again
        QCOMPARE(f.fake.serial.opened, QList<int>({3, 5, 5}));
        QVERIFY(f.action("mnuCom5")->isChecked());
    }

    void portSwitchFailureIsReported() {
        MainWindowFixture f;
        f.fake.serial.presentPorts = {1, 2};
        QVERIFY(f.open());
        f.fake.serial.openError = 8005;
        f.choose("mnuCom2");
        QCOMPARE(f.fake.messages.shown.size(), 1);
        QVERIFY(f.fake.messages.shown.first().text.contains("Com2"));
        QVERIFY(!f.fake.serial.isOpen());
        QCOMPARE(f.main->CommPortNo(), qint16(2));
    }

    // --- Display cycle on the window ----------------------------------------------------------

    void readingsAppearAfterATick() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.line("+1.2345E+0 VDC");
        f.tick();
        QCOMPARE(f.label("Label1")->text(), QString(" 1.2345 VDC"));
        QVERIFY(f.button("cmdLogger")->isEnabled());
        f.line("+1.2345E+3 OHMS");
        f.tick();
        QCOMPARE(f.label("Label1")->text(), QString(" 1.2345 kOHMS"));
        QCOMPARE(f.label("Label1")->font().pointSize(), 64);
        QCOMPARE(f.state().display.PriSnapshot, 1234.5f);
    }

    void silenceBeyondTheLimitAsksTheQuestion() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.fake.messages.answers.enqueue(platform::Answer::Cancel);
        f.tick(17); // limit 15: the 17th silent tick finds the count above it
        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.fake.messages.shown.first().title, QString("Please Reset the Meter Manually!"));
        QCOMPARE(f.label("Label1")->text(), QString("Check Port"));
        QCOMPARE(f.label("Label2")->text(), QString("Then Restart"));
        QCOMPARE(f.button("cmdLogger")->y(), f.px(4150)); // the two-line layout
        QVERIFY(!f.timer("tmrDispUpdate")->isActive());
        QVERIFY(!f.button("cmdMeterSettings")->isEnabled());
    }

    // --- Colours and font ---------------------------------------------------------------------

    void colourMenusPaintBothLabels() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QVERIFY(f.action("mnuBGBlack")->isChecked());
        QVERIFY(f.action("mnuYellow")->isChecked());
        QVERIFY(!f.action("mnuFGBlack")->isEnabled());
        QCOMPARE(colourOf(f.label("Label1"), QPalette::Window), QColor(0, 0, 0));
        QCOMPARE(colourOf(f.label("Label1"), QPalette::WindowText), QColor(255, 255, 0));
        f.choose("mnuFGWhite");
        f.choose("mnuBGWhite"); // white on white turns the text black
        QVERIFY(f.action("mnuBGWhite")->isChecked());
        QVERIFY(!f.action("mnuBGBlack")->isChecked());
        QVERIFY(f.action("mnuFGBlack")->isChecked());
        QVERIFY(!f.action("mnuFGWhite")->isEnabled());
        QCOMPARE(colourOf(f.label("Label2"), QPalette::WindowText), QColor(0, 0, 0));
        QCOMPARE(colourOf(f.label("Label2"), QPalette::Window), QColor(255, 255, 255));
    }

    void fontChoice() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.choose("mnuFont"); // cancelled
        QCOMPARE(f.fake.dialogs.fontRequests, QStringList({"MSSansserif"}));
        QCOMPARE(f.label("Label1")->font().family(), QString("MSSansserif"));

        f.fake.dialogs.fontResults.enqueue({DialogResult::Status::Ok, "Courier", 0});
        f.choose("mnuFont");
        for (const char* name : {"Label1", "Label2"}) {
            QCOMPARE(f.label(name)->font().family(), QString("Courier"));
            QCOMPARE(f.label(name)->font().pointSize(), 72);
        }

        f.fake.dialogs.fontResults.enqueue({DialogResult::Status::Failed, {}, 32755});
        f.choose("mnuFont");
        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.fake.messages.shown.first().title, QString("Unexpected Error!"));
        QCOMPARE(f.fake.messages.shown.first().text, UnexpectedError32755);
        QCOMPARE(f.label("Label1")->font().family(), QString("Courier"));
    }

    // --- Quit and closing ---------------------------------------------------------------------

    void quitEndsEverything() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QSignalSpy ended(f.main.get(), &frmMain::programEnded);
        const int closes = f.fake.serial.closeCount;
        f.button("cmdQuit")->click();
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.first().first().toInt(), 0);
        QCOMPARE(f.fake.serial.closeCount, closes + 1);
        QVERIFY(!f.timer("tmrDispUpdate")->isActive());
        QVERIFY(f.fake.sound.events.contains("stop"));
        QVERIFY(!f.main->control().isOpen());
        QVERIFY(!f.main->isVisible());
        QCOMPARE(setting("AlarmWav"), settings::InProgramFolder("attention.wav"));
    }

    void exitMenuAndWindowFrameQuitToo_data() {
        QTest::addColumn<bool>("byFrame");
        QTest::newRow("Exit") << false;
        QTest::newRow("frame") << true;
    }
    void exitMenuAndWindowFrameQuitToo() {
        QFETCH(bool, byFrame);
        MainWindowFixture f;
        QVERIFY(f.open());
        QSignalSpy ended(f.main.get(), &frmMain::programEnded);
        if (byFrame)
            f.main->close();
        else
            f.choose("mnuExit");
        QCOMPARE(ended.size(), 1);
        QCOMPARE(setting("FGColor"), QString("65535"));
        QVERIFY(!f.fake.serial.isOpen());
    }

    void openAndGraphThenQuitClosesGrapherBeforeLogger() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("logs"));
        const QString logFolder = QDir::toNativeSeparators(dir.filePath("logs"));
        const QString graphFile = QDir::toNativeSeparators(dir.filePath("run.vtd"));
        {
            logfile::SampleWriter writer(
                logfile::createLogFile(graphFile, logfile::RunInfo{"1/2/2026", "bench run"}));
            writer.append({logfile::timeStampOf(QTime(9, 5, 3)), 250, "VDC", 1.5f, "N/A", 0});
        }
        settings::SaveSetting("DataFilePath", logFolder);

        MainWindowFixture f;
        QVERIFY(f.open());
        f.fake.dialogs.fileResults.enqueue({DialogResult::Status::Ok, graphFile, 0});
        f.choose("mnuOpen"); // "Loading Data..." shows before the file is read
        QCOMPARE(f.state().GraphFilePath, graphFile);
        QCOMPARE(f.label("Label1")->text(), QString("Loading Data..."));
        QVERIFY(!f.timer("tmrDispUpdate")->isActive());
        QVERIFY(f.timer("tmrWait")->isActive());
        f.main->tmrWait_Timer();
        QVERIFY(f.main->grapher().isOpen());
        QVERIFY(f.timer("tmrDispUpdate")->isActive());
        f.line("+1.2345E+0 VDC");
        f.button("cmdLogger")->click();
        QVERIFY(f.main->logger().isOpen());

        f.button("cmdQuit")->click();
        QVERIFY(!f.main->grapher().isOpen());
        QVERIFY(!f.main->logger().isOpen());
        QCOMPARE(setting("DataFilePath"), logFolder);
    }

    // --- Open and Graph, About, Help ----------------------------------------------------------

    void openAndGraphCancelChangesNothing() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.line("+1.2345E+0 VDC");
        f.tick();
        f.state().GraphFilePath = "/old/run.vtd";
        f.choose("mnuOpen");
        const auto& request = f.fake.dialogs.fileRequests.first();
        QCOMPARE(request.title, QString("Open Data File for Graphing...."));
        QCOMPARE(request.filter, QString("vtd|*.vtd|MDB|*.mdb"));
        QCOMPARE(request.defaultExt, QString(".vtd|"));
        QCOMPARE(request.initialPath, f.state().logger.LogFilePath);
        QCOMPARE(f.state().GraphFilePath, QString("/old/run.vtd"));
        QVERIFY(f.timer("tmrDispUpdate")->isActive());
        QVERIFY(!f.timer("tmrWait")->isActive());
        QCOMPARE(f.label("Label1")->text(), QString(" 1.2345 VDC"));
        QVERIFY(f.fake.messages.shown.isEmpty());

        f.fake.dialogs.fileResults.enqueue({DialogResult::Status::Failed, {}, 32755});
        f.choose("mnuOpen");
        QCOMPARE(f.fake.messages.shown.first().title, QString("Unexpected Error!"));
        QCOMPARE(f.fake.messages.shown.first().text, UnexpectedError32755);
        QVERIFY(f.timer("tmrDispUpdate")->isActive());
    }

    void refusedLogFileLetsTheDisplayGoOn() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QTemporaryDir dir;
        const QString path = dir.filePath("not-a-log.vtd");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not a log file");
        file.close();
        f.fake.dialogs.fileResults.enqueue({DialogResult::Status::Ok, path, 0});
        f.choose("mnuOpen");
        f.main->tmrWait_Timer();
        QVERIFY(!f.timer("tmrWait")->isActive());
        QCOMPARE(f.fake.messages.shown.size(), 1); // the grapher's own message
        QVERIFY(!f.main->grapher().isOpen());
        QVERIFY(!f.main->hasEnded());
        f.line("+1.2345E+0 VDC");
        f.tick();
        QCOMPARE(f.label("Label1")->text(), QString(" 1.2345 VDC"));
    }

    void aboutAndHelpBoxes() {
        MainWindowFixture f;
        f.choose("mnuAbout");
        f.choose("mnuContents");
        QCOMPARE(f.fake.messages.shown.size(), 2);
        const auto& about = f.fake.messages.shown[0];
        QCOMPARE(about.title, QString("About Voltrane"));
        QCOMPARE(about.buttons, platform::Buttons::OkOnly);
        QCOMPARE(about.icon, platform::Icon::None);
        QCOMPARE(about.text, "Voltrane Multimeter Communications" + CrLf +
                                 "Application and Data Logger" + CrLf + CrLf + "Version 1.82" +
                                 CrLf + CrLf + "Uses Serial Communication at 9600 baud," + CrLf +
                                 "no parity, 8 data bits, and 1 stop bit (Meter Default)." + CrLf +
                                 CrLf + "Connect the Fluke 45 using a null-modem 9 pin serial" +
                                 CrLf + "cable, not a normal serial cable." + CrLf + CrLf);
        const auto& help = f.fake.messages.shown[1];
        QCOMPARE(help.title, QString("Voltrane Help"));
        const QStringList lines = help.text.split(CrLf);
        QCOMPARE(lines.size(), 21); // 20 lines, each ended by CR LF
        QCOMPARE(lines[0], QString("Voltrane Multimeter Communications Application"));
        QCOMPARE(lines[11], QString("Continue in a like manner for Parity and Echo (ON)."));
        QCOMPARE(lines[18], QString("for cable pinouts and troubleshooting."));
    }

    // --- The other windows --------------------------------------------------------------------

    void buttonsOpenOneWindowEach() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.main->control().closeWindow();
        f.button("cmdMeterSettings")->click();
        f.button("cmdMeterSettings")->click();
        QVERIFY(f.main->control().isOpen());
        f.line("+1.2345E+0 VDC");
        QVERIFY(f.button("cmdLogger")->isEnabled());
        f.button("cmdLogger")->click();
        f.choose("mnuLogger");
        QVERIFY(f.main->logger().isOpen());
        QVERIFY(f.state().logger.LoggerOpen);
        f.tick();
        QVERIFY(!f.action("mnuOpen")->isEnabled());
    }

    // --- What a person sees ----------------------------------------------------------------

    void rateLineShowsWholeInDesktopFonts_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("points");
        for (const char* family : {"DejaVu Sans", "Liberation Sans", "Noto Sans"})
            for (int points : {9, 10, 11})
                QTest::addRow("%s %d pt", family, points) << QString(family) << points;
    }
    void rateLineShowsWholeInDesktopFonts() {
        QFETCH(QString, family);
        QFETCH(int, points);
        if (!QFontDatabase::hasFamily(family))
            QSKIP("font not installed");
        const QFont systemFont = QApplication::font();
        QApplication::setFont(QFont(family, points));
        const auto restore = qScopeGuard([&] { QApplication::setFont(systemFont); });
        MainWindowFixture f;
        QVERIFY(f.open());
        QTest::mouseClick(f.main->control().findChild<QLabel*>("lblMedium"), Qt::LeftButton);
        QLabel* rateLine = f.label("Label3");
        QCOMPARE(rateLine->text(), QString("Meter Response - Medium  :  Medium Precision"));

        // The text drawn unclipped in the label's font, against what the label shows.
        const QImage shown = rateLine->grab().toImage();
        const qreal ratio = shown.devicePixelRatio();
        const QFontMetrics metrics(rateLine->font());
        QImage whole(
            QSize(metrics.horizontalAdvance(rateLine->text()) + 40, metrics.height() + 20) * ratio,
            QImage::Format_ARGB32_Premultiplied);
        whole.setDevicePixelRatio(ratio);
        whole.fill(Qt::transparent);
        QPainter painter(&whole);
        painter.setFont(rateLine->font());
        painter.drawText(QPoint(20, 10 + metrics.ascent()), rateLine->text());
        painter.end();
        const QRect ink = pixels::Ink(shown), wholeInk = pixels::Ink(whole);
        QVERIFY2(qAbs(ink.width() - wholeInk.width()) <= 2 &&
                     qAbs(ink.height() - wholeInk.height()) <= 2,
                 qPrintable(QString("shown %1x%2, whole %3x%4")
                                .arg(ink.width())
                                .arg(ink.height())
                                .arg(wholeInk.width())
                                .arg(wholeInk.height())));
    }

    void alarmSoundAndFontDialogsAsShown() {
        doubles::FakePlatform fake;
        platform::QtDialogs dialogs;
        platform::Platform withRealDialogs{fake.messages, dialogs,     fake.sound,
                                           fake.clock,    fake.serial, fake.shell};
        frmMain main(withRealDialogs);
        QTemporaryDir dir;
        const QString bell = dir.filePath("bell.wav");
        QFile(bell).open(QIODevice::WriteOnly);

        // The sound dialog proposes "*.wav" beside the program; a typed path is taken.
        QString folder, proposed;
        whenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            auto* name = modal->findChild<QLineEdit*>("fileNameEdit");
            folder = dialog ? dialog->directory().absolutePath() : QString();
            proposed = name ? name->text() : QString();
            if (!dialog || !name) {
                modal->close();
                return;
            }
            name->setText(bell);
            QTest::keyClick(name, Qt::Key_Return);
        });
        main.findChild<QAction*>("mnuAlarm")->trigger();
        QCOMPARE(folder, QFileInfo(settings::InProgramFolder("x")).absolutePath());
        QCOMPARE(proposed, QString("*.wav"));
        QCOMPARE(main.AlarmWavPath(), bell);

        // The font dialog's caption carries an access key that leads to the faces.
        QString caption;
        bool keyReachesFaces = false;
        const QString face = QFontDatabase::families().contains("DejaVu Serif")
                                 ? "DejaVu Serif"
                                 : "Liberation Serif";
        whenModalShows([&](QWidget* modal) {
            auto* label = modal->findChild<QLabel*>();
            auto* faces = modal->findChild<QFontComboBox*>();
            auto* buttons = modal->findChild<QDialogButtonBox*>();
            if (!label || !faces || !buttons) {
                modal->close();
                return;
            }
            caption = label->text();
            buttons->button(QDialogButtonBox::Ok)->setFocus();
            QTest::keyClick(modal, Qt::Key_F, Qt::AltModifier);
            keyReachesFaces = label->buddy() == faces && faces->hasFocus();
            faces->setCurrentFont(QFont(face));
            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        main.findChild<QAction*>("mnuFont")->trigger();
        QCOMPARE(caption, QString("&Font:"));
        QVERIFY(keyReachesFaces);
        QCOMPARE(main.findChild<QLabel*>("Label1")->font().family(), face);
        QVERIFY(fake.messages.shown.isEmpty());
    }

    void meterControlClosesTheLoggerAndTheMainWindowMovesBack() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.main->control().closeWindow();
        const int y = f.main->y();
        f.line("+1.2345E+0 VDC");
        f.button("cmdLogger")->click();
        QVERIFY(f.main->logger().isOpen());
        f.button("cmdMeterSettings")->click();
        QVERIFY(!f.main->logger().isOpen());
        QVERIFY(!f.state().logger.LoggerOpen);
        QVERIFY(f.main->control().isOpen());
        QCOMPARE(f.main->y(), y);
        f.tick();
        QVERIFY(f.action("mnuOpen")->isEnabled());
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
