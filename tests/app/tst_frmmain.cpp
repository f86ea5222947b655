#include "MainWindowFixture.h"
#include "app/MainTexts.h"
#include "control/frmControl.h"
#include "grapher/frmGrapher.h"
#include "logger/LogFile.h"
#include "logger/frmLogger.h"
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using platform::DialogResult;

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString setting(const QString& key) {
    return settings::GetSetting(key, QStringLiteral("<none>"));
}

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT
private slots:
    void init() { MainWindowFixture::clearSettings(); }

    // --- Window, controls and menus ---------------------------------------------------------

    void controlsAndCaptionsAtOpening() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QCOMPARE(f.main->windowTitle(), QString("Voltrane RS-232 Communications"));
        QVERIFY(f.main->isVisible());
        for (const char* name : {"Label1", "Label2", "Label3", "lblHiThresh", "lblLoThresh"})
            QVERIFY2(f.label(name), name);
        QCOMPARE(f.button("cmdLogger")->text(), QString("&Log Magnitude(s)"));
        QVERIFY(!f.button("cmdLogger")->isEnabled());
        QCOMPARE(f.button("cmdLogger")->toolTip(),
                 QString("Start Logging Data to the Screen or to a File, Analyze Logged Data"));
        QCOMPARE(f.button("cmdMeterSettings")->text(), QString("Meter Control"));
        QVERIFY(!f.button("cmdMeterSettings")->toolTip().isEmpty());
        QCOMPARE(f.button("cmdAlarms")->text(), QString("&Alarms"));
        QVERIFY(!f.button("cmdAlarms")->toolTip().isEmpty());
        QCOMPARE(f.button("cmdQuit")->text(), QString("&Quit"));
        QCOMPARE(f.button("cmdQuit")->toolTip(), QString("Exit the Program"));
        QVERIFY(f.button("cmdQuit")->font().bold());
        QCOMPARE(f.button("cmdQuit")->font().family(), QString("Times New Roman"));
        QVERIFY(f.label("Label2")->isHidden());
        QVERIFY(f.child<QLineEdit>("txtHiAlarm")->isHidden());
        QVERIFY(f.child<QCheckBox>("chkLoSet")->isHidden());
        QVERIFY(!f.child<QCheckBox>("chkLoSet")->isEnabled());
        QVERIFY(f.child<QWidget>("Line1"));
        QCOMPARE(f.label("Label1")->alignment(), Qt::AlignCenter);
        QCOMPARE(f.label("Label1")->font().pointSize(), 72);
        QCOMPARE(f.label("Label1")->font().family(), QString("MSSansserif"));
    }

    void timersAtOpening() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QCOMPARE(f.timer("tmrDispUpdate")->interval(), 200);
        QVERIFY(f.timer("tmrDispUpdate")->isActive());
        QCOMPARE(f.timer("tmrLogClock")->interval(), 1000);
        QVERIFY(!f.timer("tmrLogClock")->isActive());
        QCOMPARE(f.timer("tmrWait")->interval(), 250);
        QVERIFY(!f.timer("tmrWait")->isActive());
        QCOMPARE(&f.main->logClock(), f.timer("tmrLogClock"));
    }

    void menuTree() {
        MainWindowFixture f;
        const QList<QAction*> top = f.main->menuBar()->actions();
        QCOMPARE(top.size(), 3);
        QCOMPARE(top[0]->text(), QString("&File"));
        QCOMPARE(top[1]->text(), QString("&Edit"));
        QCOMPARE(top[2]->text(), QString("&Help"));
        QCOMPARE(f.child<QMenu>("mnuFile")->title(), QString("&File"));
        QCOMPARE(f.child<QMenu>("Edit")->title(), QString("&Edit"));
        QCOMPARE(f.child<QMenu>("mnuComm")->title(), QString("&RS-232"));
        QCOMPARE(f.child<QMenu>("mnuColor")->title(), QString("&Colors"));
        QCOMPARE(f.child<QMenu>("mnuBackground")->title(), QString("Background"));
        QCOMPARE(f.child<QMenu>("mnuForeground")->title(), QString("Foreground"));
        QCOMPARE(f.child<QMenu>("mnuHelp")->title(), QString("&Help"));
        const QList<QPair<QString, QString>> entries = {{"mnuLogger", "Logger"},
                                                        {"mnuOpen", "&Open and Graph Logged Data"},
                                                        {"mnuExit", "Exit"},
                                                        {"mnuFont", "Font"},
                                                        {"mnuBGBlack", "Black"},
                                                        {"mnuBGWhite", "White"},
                                                        {"mnuFGBlack", "Black"},
                                                        {"mnuFGWhite", "White"},
                                                        {"mnuRed", "Red"},
                                                        {"mnuGreen", "Green"},
                                                        {"mnuBlue", "Blue"},
                                                        {"mnuYellow", "Yellow"},
                                                        {"mnuAlarm", "&Alarm Sound"},
                                                        {"mnuContents", "Contents"},
                                                        {"mnuAbout", "About"}};
        for (const auto& [name, caption] : entries) {
            QVERIFY2(f.action(name), qPrintable(name));
            QCOMPARE(f.action(name)->text(), caption);
        }
        const QList<QAction*> ports = f.child<QMenu>("mnuComm")->actions();
        QCOMPARE(ports.size(), 8);
        for (int n = 1; n <= 8; ++n) {
            QCOMPARE(ports[n - 1]->objectName(), QString("mnuCom%1").arg(n));
            QCOMPARE(ports[n - 1]->text(), QString("Com%1").arg(n));
            QVERIFY(!ports[n - 1]->isEnabled()); // before the probe
        }
    }

    void openingSizeAndLayout() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QCOMPARE(f.label("Label1")->geometry(),
                 QRect(f.px(400), f.px(300), f.px(10455), f.px(1650)));
        QCOMPARE(f.button("cmdLogger")->geometry(),
                 QRect(f.px(400), f.px(2500), f.px(1450), f.px(495)));
        QCOMPARE(f.button("cmdQuit")->geometry(),
                 QRect(f.px(9400), f.px(2500), f.px(1450), f.px(495)));
        QCOMPARE(f.label("Label3")->geometry(),
                 QRect(f.px(400), f.px(2000), f.px(4000), f.px(240)));
    }

    // --- Start-up -----------------------------------------------------------------------------

    void bytesSentAtStartup() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QCOMPARE(f.fake.serial.opened, QList<int>({1}));
        QCOMPARE(f.fake.clock.pauses, QList<int>({250, 250}));
        // The start-up commands, then the control window's fast-rate and AC-volts presets.
        QCOMPARE(f.fake.serial.written,
                 QByteArray("FORMAT 2; RATE F\r\nRATE F\rVAC\rRATE F\rVAC\r"));
        QCOMPARE(f.state().link.NoReplyLimit, qint16(15));
        QCOMPARE(f.state().link.NoReplyCount, qint16(0));
        QCOMPARE(f.label("Label3")->text(), QString("Meter Response - Fast  :  Low Precision"));
        QVERIFY(f.main->control().isOpen());
        QVERIFY(f.fake.messages.shown.isEmpty());
    }

    void firstRunSettings() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QCOMPARE(f.main->CommPortNo(), qint16(1));
        QVERIFY(f.action("mnuCom1")->isChecked());
        QVERIFY(f.action("mnuCom1")->isEnabled());
        QVERIFY(!f.action("mnuCom2")->isEnabled());
        QCOMPARE(f.main->AlarmWavPath(), settings::InProgramFolder("attention.wav"));
        QCOMPARE(f.state().logger.LogFilePath, settings::InProgramFolder("Test.vtd"));
        QCOMPARE(f.state().display.NewTrendScale, 0.0f);
    }

    void startupErrors_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("8002") << 8002
                              << "        No Comm Port Available!" + CrLf + CrLf +
                                     "This program requires one port (1-8)." + CrLf + CrLf +
                                     "Press 'OK' to Exit." + CrLf + CrLf;
        QTest::newRow("8012") << 8012
                              << "        Port Is Not Open!" + CrLf + CrLf +
                                     "Check Port Availability and Status." + CrLf + CrLf +
                                     "Press 'OK' to Exit." + CrLf + CrLf;
        QTest::newRow("8005")
            << 8005
            << "        Port Already Open!" + CrLf + CrLf + "Another process is using the port." +
                   CrLf + CrLf + "Is the primary instance of this application using this Port?" +
                   CrLf + CrLf +
                   "If so, stop it amd launch this instance to select alternate Port...." + CrLf +
                   CrLf + "Press 'OK' to Exit." + CrLf + CrLf;
        QTest::newRow("other") << 13
                               << "Error #13" + CrLf + CrLf +
                                      "There is a problem with the serial port!" + CrLf + CrLf +
                                      "Press 'OK' to Exit." + CrLf + CrLf;
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

    void storedPortOutsideTheMenu() {
        settings::SaveSetting("CommPort", "9");
        MainWindowFixture f;
        QVERIFY(f.open());
        QCOMPARE(f.fake.serial.opened, QList<int>({9}));
        for (int n = 1; n <= 8; ++n)
            QVERIFY(!f.action(QString("mnuCom%1").arg(n))->isChecked());
    }

    // --- Port menu ----------------------------------------------------------------------------

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
        QCOMPARE(f.label("Label1")->font().pointSize(), 72);
        QVERIFY(f.button("cmdLogger")->isEnabled());
        f.line("-12.3456E-3 VDC");
        f.tick();
        QCOMPARE(f.label("Label1")->text(), QString("-12.3456 mVDC"));
        QCOMPARE(f.label("Label1")->font().pointSize(), 64);
        f.line("+1.2345E+3 OHMS");
        f.tick();
        QCOMPARE(f.label("Label1")->text(), QString(" 1.2345 kOHMS"));
        QCOMPARE(f.label("Label1")->font().pointSize(), 64);
        f.line("+1.5000E+0 VDC");
        f.tick();
        QCOMPARE(f.label("Label1")->font().pointSize(), 72);
        QCOMPARE(f.state().display.PriSnapshot, 1.5f);
        QCOMPARE(f.state().reading.ShownUnits, QString("VDC"));
    }

    void dualLineGrowsTheWindowAndBack() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.line("+1.2345E+0 VAC");
        f.tick();
        const QSize singleSize = f.main->size();
        QMap<QString, QRect> before;
        for (const QString& name : MainLayout::MovedControls() + QStringList{"Label3", "Label1"})
            before[name] = f.child<QWidget>(name)->geometry();

        f.line("+1.2345E+0 VAC,+6.0000E+1 HZ");
        f.tick();
        QCOMPARE(f.main->size().height(), singleSize.height() + f.px(1650));
        QCOMPARE(f.button("cmdLogger")->y(), f.px(4150));
        for (const QString& name : MainLayout::MovedControls())
            QCOMPARE(f.child<QWidget>(name)->y(), before[name].y() + f.px(1650));
        QCOMPARE(f.label("Label3")->y(), f.px(2000 + 1750));
        QCOMPARE(f.label("Label1")->geometry(), before["Label1"]);
        QVERIFY(!f.label("Label2")->isHidden());
        QCOMPARE(f.label("Label2")->geometry(),
                 QRect(f.px(400), f.px(2050), f.px(10455), f.px(1650)));
        QCOMPARE(f.label("Label2")->text(), QString(" 60 HZ"));
        QCOMPARE(f.label("Label2")->font().pointSize(), 72);
        QCOMPARE(f.label("Label1")->text(), QString(" 1.2345 VAC"));

        f.line("+1.2345E+0 VAC,+6.0000E+1 HZ");
        f.tick(3);
        QCOMPARE(f.main->size().height(), singleSize.height() + f.px(1650));

        f.line("+1.0000E+0 VAC");
        f.tick();
        QCOMPARE(f.main->size(), singleSize);
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QCOMPARE(f.child<QWidget>(it.key())->geometry(), it.value());
        QVERIFY(f.label("Label2")->isHidden());
        QCOMPARE(f.label("Label2")->text(), QString(" 60 HZ"));
        QCOMPARE(f.state().reading.SecUnits, QString("N/A"));
        QCOMPARE(f.state().reading.SecValue, 0.0f);
    }

    void openMenuEnabledWhileLoggerClosed() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.action("mnuOpen")->setEnabled(false);
        f.tick();
        QVERIFY(f.action("mnuOpen")->isEnabled());
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
        QVERIFY(!f.label("Label2")->isHidden());
        QCOMPARE(f.button("cmdLogger")->y(), f.px(4150));
        QVERIFY(!f.timer("tmrDispUpdate")->isActive());
        QVERIFY(!f.button("cmdMeterSettings")->isEnabled());
        QVERIFY(!f.button("cmdAlarms")->isEnabled());
        QCOMPARE(f.state().link.NoReplyCount, qint16(0));
    }

    // --- Colours and font ---------------------------------------------------------------------

    void firstRunColours() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QVERIFY(f.action("mnuBGBlack")->isChecked());
        QVERIFY(!f.action("mnuBGWhite")->isChecked());
        QVERIFY(f.action("mnuYellow")->isChecked());
        for (const char* other : {"mnuFGBlack", "mnuFGWhite", "mnuRed", "mnuGreen", "mnuBlue"})
            QVERIFY2(!f.action(other)->isChecked(), other);
        QVERIFY(!f.action("mnuFGBlack")->isEnabled());
        QVERIFY(f.action("mnuFGWhite")->isEnabled());
        const QPalette palette = f.label("Label1")->palette();
        QCOMPARE(palette.color(QPalette::Window), QColor(0, 0, 0));
        QCOMPARE(palette.color(QPalette::WindowText), QColor(255, 255, 0));
    }

    void colourChoicesKeepTextReadable() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.choose("mnuFGWhite");
        QVERIFY(f.action("mnuFGWhite")->isChecked());
        QVERIFY(!f.action("mnuYellow")->isChecked());
        f.choose("mnuBGWhite");
        QVERIFY(f.action("mnuBGWhite")->isChecked());
        QVERIFY(!f.action("mnuBGBlack")->isChecked());
        QVERIFY(f.action("mnuFGBlack")->isChecked());
        QVERIFY(!f.action("mnuFGWhite")->isChecked());
        QVERIFY(!f.action("mnuFGWhite")->isEnabled());
        QVERIFY(f.action("mnuFGBlack")->isEnabled());
        QCOMPARE(f.label("Label2")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
        QCOMPARE(f.label("Label2")->palette().color(QPalette::Window), QColor(255, 255, 255));
        f.choose("mnuBGBlack");
        QVERIFY(f.action("mnuFGWhite")->isChecked());
        QCOMPARE(f.main->appearance().ForegroundColour(), 16777215);
    }

    void storedRedOnRed() {
        settings::SaveSetting("BGColor", "255");
        settings::SaveSetting("FGColor", "255");
        MainWindowFixture f;
        QVERIFY(f.open());
        QVERIFY(!f.action("mnuBGBlack")->isChecked());
        QVERIFY(!f.action("mnuBGWhite")->isChecked());
        QVERIFY(f.action("mnuFGBlack")->isEnabled());
        QVERIFY(f.action("mnuFGWhite")->isEnabled());
        QCOMPARE(f.label("Label1")->palette().color(QPalette::Window), QColor(255, 0, 0));
    }

    void storedWhiteOnWhiteIsCorrected() {
        settings::SaveSetting("BGColor", "16777215");
        settings::SaveSetting("FGColor", "16777215");
        MainWindowFixture f;
        QVERIFY(f.open());
        QVERIFY(f.action("mnuFGBlack")->isChecked());
        QCOMPARE(f.main->appearance().ForegroundColour(), 0);
    }

    void fontChoice() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.choose("mnuFont"); // cancelled
        QCOMPARE(f.fake.dialogs.fontRequests, QStringList({"MSSansserif"}));
        QCOMPARE(f.label("Label1")->font().family(), QString("MSSansserif"));
        QCOMPARE(f.label("Label1")->font().pointSize(), 72);

        f.fake.dialogs.fontResults.enqueue({DialogResult::Status::Ok, "Courier", 0});
        f.choose("mnuFont");
        QCOMPARE(f.label("Label1")->font().family(), QString("Courier"));
        QCOMPARE(f.label("Label2")->font().family(), QString("Courier"));
        QCOMPARE(f.label("Label1")->font().pointSize(), 72);
        QCOMPARE(f.label("Label2")->font().pointSize(), 72);

        f.fake.dialogs.fontResults.enqueue({DialogResult::Status::Failed, {}, 32755});
        f.choose("mnuFont");
        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.fake.messages.shown.first().title, QString("Unexpected Error!"));
        QCOMPARE(f.fake.messages.shown.first().text,
                 "Error #32755 has occurred. Please" + CrLf +
                     "report this to the programmer for remediation." + CrLf + CrLf);
        QCOMPARE(f.label("Label1")->font().family(), QString("Courier"));
    }

    // --- Quit and closing ---------------------------------------------------------------------

    void quitWritesSettingsAndEnds() {
        settings::SaveSetting("CommPort", "2");
        MainWindowFixture f;
        f.fake.serial.presentPorts = {2};
        QVERIFY(f.open());
        f.choose("mnuBGWhite");
        f.choose("mnuBlue");
        f.fake.dialogs.fontResults.enqueue({DialogResult::Status::Ok, "Courier", 0});
        f.choose("mnuFont");
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
        QCOMPARE(setting("CommPort"), QString("2"));
        QCOMPARE(setting("BGColor"), QString("16777215"));
        QCOMPARE(setting("FGColor"), QString("16711680"));
        QCOMPARE(setting("Font"), QString("Courier"));
        QCOMPARE(setting("AlarmWav"), settings::InProgramFolder("attention.wav"));
    }

    void quitClosesGrapherBeforeLogger() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("logs"));
        QVERIFY(QDir(dir.path()).mkpath("graphs"));
        const QString logFolder = QDir::toNativeSeparators(dir.filePath("logs"));
        const QString graphFile = QDir::toNativeSeparators(dir.filePath("graphs/run.vtd"));
        {
            logfile::SampleWriter writer(
                logfile::createLogFile(graphFile, logfile::RunInfo{"1/2/2026", "bench run"}));
            writer.append({logfile::timeStampOf(QTime(9, 5, 3)), 250, "VDC", 1.5f, "N/A", 0});
            writer.close();
        }
        settings::SaveSetting("DataFilePath", logFolder);

        MainWindowFixture f;
        QVERIFY(f.open());
        f.fake.dialogs.fileResults.enqueue({DialogResult::Status::Ok, graphFile, 0});
        f.choose("mnuOpen");
        f.main->tmrWait_Timer();
        QVERIFY2(f.main->grapher().isOpen(),
                 qPrintable(f.fake.messages.shown.isEmpty() ? QString()
                                                            : f.fake.messages.shown.first().text));
        QVERIFY(f.timer("tmrDispUpdate")->isActive());
        f.line("+1.2345E+0 VDC");
        f.button("cmdLogger")->click();
        QVERIFY(f.main->logger().isOpen());

        f.button("cmdQuit")->click();
        QVERIFY(!f.main->grapher().isOpen());
        QVERIFY(!f.main->logger().isOpen());
        QCOMPARE(setting("DataFilePath"), logFolder);
    }

    void exitMenuQuitsToo() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QSignalSpy ended(f.main.get(), &frmMain::programEnded);
        f.choose("mnuExit");
        QCOMPARE(ended.size(), 1);
        QCOMPARE(setting("FGColor"), QString("65535"));
    }

    void closingByTheFrameEndsTheProgram() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QSignalSpy ended(f.main.get(), &frmMain::programEnded);
        f.main->close();
        QCOMPARE(ended.size(), 1);
        QCOMPARE(setting("BGColor"), QString("0"));
        QVERIFY(!f.fake.serial.isOpen());
    }

    // --- Open and Graph, About, Help ----------------------------------------------------------

    void openAndGraphCancelChangesNothing() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.line("+1.2345E+0 VDC");
        f.tick();
        f.state().GraphFilePath = "/old/run.vtd";
        f.choose("mnuOpen");
        QCOMPARE(f.fake.dialogs.fileRequests.size(), 1);
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
    }

    void openAndGraphShowsLoadingFirst() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.fake.dialogs.fileResults.enqueue({DialogResult::Status::Ok, "/data/run1.vtd", 0});
        f.choose("mnuOpen");
        QCOMPARE(f.state().GraphFilePath, QString("/data/run1.vtd"));
        QCOMPARE(f.label("Label1")->text(), QString("Loading Data..."));
        QVERIFY(!f.timer("tmrDispUpdate")->isActive());
        QVERIFY(f.timer("tmrWait")->isActive());
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
        QVERIFY(f.timer("tmrDispUpdate")->isActive());
        f.line("+1.2345E+0 VDC");
        f.tick();
        QCOMPARE(f.label("Label1")->text(), QString(" 1.2345 VDC"));
    }

    void openAndGraphFailureShowsUnexpectedError() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.fake.dialogs.fileResults.enqueue({DialogResult::Status::Failed, {}, 20477});
        f.choose("mnuOpen");
        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.fake.messages.shown.first().title, QString("Unexpected Error!"));
        QVERIFY(f.fake.messages.shown.first().text.startsWith("Error #20477 has occurred."));
        QVERIFY(f.timer("tmrDispUpdate")->isActive());
    }

    void aboutBox() {
        MainWindowFixture f;
        f.choose("mnuAbout");
        QCOMPARE(f.fake.messages.shown.size(), 1);
        const auto& box = f.fake.messages.shown.first();
        QCOMPARE(box.title, QString("About Voltrane"));
        QCOMPARE(box.buttons, platform::Buttons::OkOnly);
        QCOMPARE(box.icon, platform::Icon::None);
        QCOMPARE(box.text, "Voltrane Multimeter Communications" + CrLf +
                               "Application and Data Logger" + CrLf + CrLf + "Version 1.82" + CrLf +
                               CrLf + "Uses Serial Communication at 9600 baud," + CrLf +
                               "no parity, 8 data bits, and 1 stop bit (Meter Default)." + CrLf +
                               CrLf + "Connect the Fluke 45 using a null-modem 9 pin serial" +
                               CrLf + "cable, not a normal serial cable." + CrLf + CrLf);
    }

    void helpBox() {
        MainWindowFixture f;
        f.choose("mnuContents");
        const auto& box = f.fake.messages.shown.first();
        QCOMPARE(box.title, QString("Voltrane Help"));
        const QStringList lines = box.text.split(CrLf);
        QCOMPARE(lines.size(), 21); // 20 lines, each ended by CR LF
        QCOMPARE(lines[0], QString("Voltrane Multimeter Communications Application"));
        QCOMPARE(lines[3], QString("Version 1.82"));
        QCOMPARE(lines[11], QString("Continue in a like manner for Parity and Echo (ON)."));
        QCOMPARE(lines[18], QString("for cable pinouts and troubleshooting."));
        QCOMPARE(lines[19], QString());
    }

    void meterControlButtonOpensOneWindow() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.main->control().closeWindow();
        QVERIFY(!f.main->control().isOpen());
        f.button("cmdMeterSettings")->click();
        f.button("cmdMeterSettings")->click();
        QVERIFY(f.main->control().isOpen());
    }

    void loggerButtonOpensOneWindow() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.line("+1.2345E+0 VDC");
        QVERIFY(f.button("cmdLogger")->isEnabled());
        f.button("cmdLogger")->click();
        f.choose("mnuLogger");
        QVERIFY(f.main->logger().isOpen());
        QVERIFY(f.state().logger.LoggerOpen);
        f.tick();
        QVERIFY(!f.action("mnuOpen")->isEnabled());
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

    void moveUpInTwips() {
        MainWindowFixture f;
        QVERIFY(f.open());
        const int y = f.main->y();
        f.main->moveUp(650);
        QCOMPARE(f.main->y(), y - f.px(650));
        f.main->moveUp(-650);
        QCOMPARE(f.main->y(), y);
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
