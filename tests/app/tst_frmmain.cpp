#include "MainWindowFixture.h"
#include "WidgetPixels.h"
#include "app/PortAssignDialog.h"
#include "control/frmControl.h"
#include "grapher/frmGrapher.h"
#include "logger/frmLogger.h"
#include "platform/QtDialogs.h"
#include "platform/QtSerialPort.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
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
// Start-up on a real port, readings, the grapher round trip and Quit's settings are the
// whole-program test's.
class TestFrmMain : public QObject {
    Q_OBJECT
private slots:
    void init() { testsupport::clearSettings(); }

    void captions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        // objectName, caption pairs
        // clang-format off
        const QStringList rows = {
            "cmdLogger", "&Log Magnitude(s)", "cmdMeterSettings", "Meter Control",
            "cmdAlarms", "&Alarms", "cmdQuit", "&Quit", "mnuFile", "&File", "Edit", "&Edit",
            "mnuComm", "&RS-232", "mnuColor", "&Colors", "mnuBackground", "Background",
            "mnuForeground", "Foreground", "mnuHelp", "&Help", "mnuLogger", "Logger",
            "mnuOpen", "&Open and Graph Logged Data", "mnuExit", "Exit", "mnuFont", "Font",
            "mnuBGBlack", "Black", "mnuFGWhite", "White", "mnuRed", "Red", "mnuGreen", "Green",
            "mnuBlue", "Blue", "mnuYellow", "Yellow", "mnuAlarm", "&Alarm Sound",
            "mnuContents", "Contents", "mnuAbout", "About", "mnuCom8", "Com8",
            "frmMain", "Voltrane RS-232 Communications"};
        // clang-format on
        for (qsizetype i = 0; i < rows.size(); i += 2)
            QTest::newRow(qPrintable(rows[i])) << rows[i] << rows[i + 1];
    }
    void captions() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        MainWindowFixture f;
        QObject* control = name == "frmMain" ? f.main.get() : f.main->findChild<QObject*>(name);
        QVERIFY(control);
        if (control == f.main.get()) {
            QVERIFY(f.open()); // the opening steps set the title
            QCOMPARE(f.main->windowTitle(), caption);
        } else if (auto* b = qobject_cast<QPushButton*>(control))
            QCOMPARE(b->text(), caption);
        else if (auto* m = qobject_cast<QMenu*>(control))
            QCOMPARE(m->title(), caption);
        else
            QCOMPARE(qobject_cast<QAction*>(control)->text(), caption);
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
        QCOMPARE(ended.size(), 1);
        QVERIFY(f.main->exitCode() != 0);
        QVERIFY(!f.timer("tmrDispUpdate")->isActive());
        QVERIFY(f.fake.serial.written.isEmpty());
        // Nothing half-read is written back.
        QCOMPARE(setting("Font"), QString("Courier"));
        QCOMPARE(setting("AlarmWav"), QString("<none>"));
    }

    void portMenuProbeSwitchAndFailure() {
        settings::SaveSetting("CommPort", "9"); // outside the menu: nothing is ticked
        {
            MainWindowFixture f;
            QVERIFY(f.open());
            QCOMPARE(f.fake.serial.opened, QList<int>({9}));
            for (int n = 1; n <= 8; ++n)
                QVERIFY(!f.action(QString("mnuCom%1").arg(n))->isChecked());
        }
        settings::SaveSetting("CommPort", "3");
        MainWindowFixture f;
        f.fake.serial.presentPorts = {3, 5};
        QVERIFY(f.open());
        f.choose("mnuCom5");
        f.choose("mnuCom5"); // the same port closes and opens again
        QCOMPARE(f.fake.serial.opened, QList<int>({3, 5, 5}));
        for (int n = 1; n <= 8; ++n) {
            const QAction* item = f.action(QString("mnuCom%1").arg(n));
            QCOMPARE(item->isEnabled(), n == 3 || n == 5);
            QCOMPARE(item->isChecked(), n == 5);
        }
        f.fake.serial.openError = 8005;
        f.choose("mnuCom3");
        QVERIFY(f.fake.messages.shown.value(0).text.contains("Com3"));
        QVERIFY(!f.fake.serial.isOpen());
        QCOMPARE(f.main->CommPortNo(), qint16(3));
    }

    // Edit > RS-232 > Assign Devices...: what OK stores is probed again at once.
    void assigningADeviceReprobesThePortMenu() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.fake.serial.presentPorts = {1, 4};
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<PortAssignDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->deviceBox(4)->setEditText("/dev/ttyUSB7");
            dialog->accept();
        });
        f.choose("mnuAssignPorts");
        for (int n = 1; n <= 8; ++n)
            QCOMPARE(f.action(QString("mnuCom%1").arg(n))->isEnabled(), n == 1 || n == 4);
        QCOMPARE(meterlink::PortAssignments::assigned(4), QString("/dev/ttyUSB7"));
    }

    void silenceBeyondTheLimitAndCancelGoesOffline() {
        MainWindowFixture f;
        QVERIFY(f.open());
        QVERIFY(!f.button("cmdLogger")->isEnabled()); // until the meter answers
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

    void coloursAndFont() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.choose("mnuFGWhite");
        f.choose("mnuBGWhite"); // white on white turns the text black
        QVERIFY(f.action("mnuFGBlack")->isChecked());
        QVERIFY(!f.action("mnuFGWhite")->isEnabled());
        for (const char* name : {"Label1", "Label2"}) {
            QCOMPARE(f.label(name)->palette().color(QPalette::WindowText), QColor(0, 0, 0));
            QCOMPARE(f.label(name)->palette().color(QPalette::Window), QColor(255, 255, 255));
        }

        f.choose("mnuFont"); // cancelled
        QCOMPARE(f.fake.dialogs.fontRequests, QStringList({"MSSansserif"}));
        f.fake.dialogs.fontResults.enqueue({DialogResult::Status::Ok, "Courier", 0});
        f.choose("mnuFont");
        QCOMPARE(f.label("Label2")->font().family(), QString("Courier"));
        QCOMPARE(f.label("Label1")->font().pointSize(), 72);
        f.fake.dialogs.fontResults.enqueue({DialogResult::Status::Failed, {}, 32755});
        f.choose("mnuFont");
        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.fake.messages.shown.first().title, QString("Unexpected Error!"));
        QCOMPARE(f.fake.messages.shown.first().text, UnexpectedError32755);
    }

    // Every way out runs the whole Quit, closing the other windows first.
    void quitButtonExitMenuAndFrame_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Quit") << 0;
        QTest::newRow("Exit") << 1;
        QTest::newRow("frame") << 2;
    }
    void quitButtonExitMenuAndFrame() {
        QFETCH(int, way);
        MainWindowFixture f;
        QVERIFY(f.open());
        f.line("+1.2345E+0 VDC");
        f.button("cmdLogger")->click();
        QVERIFY(f.main->logger().isOpen());
        QSignalSpy ended(f.main.get(), &frmMain::programEnded);
        if (way == 0)
            f.button("cmdQuit")->click();
        else if (way == 1)
            f.choose("mnuExit");
        else
            f.main->close();
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.first().first().toInt(), 0);
        QVERIFY(!f.fake.serial.isOpen());
        QVERIFY(f.fake.sound.events.contains("stop"));
        QVERIFY(!f.main->logger().isOpen() && !f.main->control().isOpen());
        QVERIFY(!f.main->isVisible());
        QCOMPARE(setting("FGColor"), QString("65535"));
    }

    void openAndGraphCancelErrorAndRefusedFile() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.choose("mnuOpen"); // cancelled
        const auto& request = f.fake.dialogs.fileRequests.first();
        QCOMPARE(request.title, QString("Open Data File for Graphing...."));
        QCOMPARE(request.filter, QString("vtd|*.vtd|MDB|*.mdb"));
        QCOMPARE(request.initialPath, f.state().logger.LogFilePath);
        QVERIFY(f.timer("tmrDispUpdate")->isActive());
        QVERIFY(!f.timer("tmrWait")->isActive());

        f.fake.dialogs.fileResults.enqueue({DialogResult::Status::Failed, {}, 32755});
        f.choose("mnuOpen");
        QCOMPARE(f.fake.messages.shown.value(0).title, QString("Unexpected Error!"));
        QVERIFY(f.timer("tmrDispUpdate")->isActive());

        // A file the grapher refuses: its message, then the live display goes on.
        QTemporaryDir dir;
        const QString path = dir.filePath("not-a-log.vtd");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not a log file");
        file.close();
        f.fake.dialogs.fileResults.enqueue({DialogResult::Status::Ok, path, 0});
        f.choose("mnuOpen");
        QCOMPARE(f.label("Label1")->text(), QString("Loading Data..."));
        QVERIFY(!f.timer("tmrDispUpdate")->isActive());
        f.main->tmrWait_Timer();
        QCOMPARE(f.fake.messages.shown.size(), 2);
        QVERIFY(!f.main->grapher().isOpen());
        QVERIFY(!f.main->hasEnded());
        QVERIFY(f.timer("tmrDispUpdate")->isActive());
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
        QVERIFY(qAbs(ink.width() - wholeInk.width()) <= 2);
        QVERIFY(qAbs(ink.height() - wholeInk.height()) <= 2);
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
            // An access key only works in the active window; under load it may not be yet.
            modal->activateWindow();
            if (!QTest::qWaitForWindowActive(modal)) {
                modal->close();
                return;
            }
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

    // One window of each kind; opening Meter Control closes the logger, and the main window
    // stays where it is.
    void windowsOpenOnceAndMeterControlClosesTheLogger() {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.main->control().closeWindow();
        const int y = f.main->y();
        f.line("+1.2345E+0 VDC");
        f.button("cmdLogger")->click();
        f.choose("mnuLogger");
        QVERIFY(f.main->logger().isOpen());
        f.tick();
        QVERIFY(!f.action("mnuOpen")->isEnabled());
        f.button("cmdMeterSettings")->click();
        f.button("cmdMeterSettings")->click();
        QVERIFY(f.main->control().isOpen());
        QVERIFY(!f.main->logger().isOpen());
        QVERIFY(!f.state().logger.LoggerOpen);
        QCOMPARE(f.main->y(), y);
        f.tick();
        QVERIFY(f.action("mnuOpen")->isEnabled());
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"