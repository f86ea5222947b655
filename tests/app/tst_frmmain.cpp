#include "Doubles.h"
#include "TestSettings.h"
#include "WidgetPixels.h"
#include "app/PortAssignDialog.h"
#include "app/frmMain.h"
#include "control/frmControl.h"
#include "grapher/frmGrapher.h"
#include "logger/frmLogger.h"
#include "platform/QtDialogs.h"
#include "settings/SettingsStore.h"
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using meterlink::PortAssignments;
using platform::DialogResult;

namespace {

// frmMain on the platform doubles, driven without waiting: display ticks, meter lines, menu
// entries by objectName.
struct Fixture {
    doubles::FakePlatform fake;
    frmMain main{fake.platform};
    void tick() { main.tmrDispUpdate_Timer(); }
    void line(const QByteArray& text) { fake.serial.inject(text + "\r\n"); }
    template <typename T> T* child(const QString& name) { return main.findChild<T*>(name); }
    QLabel* label(const QString& name) { return child<QLabel>(name); }
    QPushButton* button(const QString& name) { return child<QPushButton>(name); }
    QAction* action(const QString& name) { return child<QAction>(name); }
    QTimer* timer(const QString& name) { return child<QTimer>(name); }
    void choose(const QString& name) { action(name)->trigger(); }
    // The Com items for which is (isEnabled, isChecked) holds.
    QList<int> ports(bool (QAction::*is)() const) {
        QList<int> found;
        for (int n = 1; n <= 8; ++n)
            if ((action(QString("mnuCom%1").arg(n))->*is)())
                found << n;
        return found;
    }
};

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

    void captionsAboutAndHelp() {
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
            "mnuAssignPorts", "Assign Devices...", "frmMain", "Voltrane RS-232 Communications"};
        // clang-format on
        Fixture f;
        QVERIFY(f.main.openWindow()); // the opening steps set the title
        for (qsizetype i = 0; i < rows.size(); i += 2) {
            QObject* control = rows[i] == "frmMain" ? &f.main : f.child<QObject>(rows[i]);
            QVERIFY2(control, qPrintable(rows[i]));
            const char* property = control == &f.main              ? "windowTitle"
                                   : qobject_cast<QMenu*>(control) ? "title"
                                                                   : "text";
            QCOMPARE(control->property(property).toString(), rows[i + 1]);
        }
        f.choose("mnuAbout");
        f.choose("mnuContents");
        QCOMPARE(f.fake.messages.shown.size(), 2);
        const auto& about = f.fake.messages.shown[0];
        QCOMPARE(about.title, QString("About Voltrane"));
        QCOMPARE(about.text,
                 QString("Voltrane Multimeter Communications\r\nApplication and Data Logger\r\n\r\n"
                         "Version 1.82\r\n\r\nUses Serial Communication at 9600 baud,\r\nno "
                         "parity, 8 data bits, and 1 stop bit (Meter Default).\r\n\r\nConnect the "
                         "Fluke 45 using a null-modem 9 pin serial\r\ncable, not a normal serial "
                         "cable.\r\n\r\n"));
        const auto& help = f.fake.messages.shown[1];
        QCOMPARE(help.title, QString("Voltrane Help"));
        QVERIFY(help.text.startsWith("Voltrane Multimeter Communications Application\r\n"));
        QCOMPARE(help.text.split("\r\n").value(11),
                 QString("Continue in a like manner for Parity and Echo (ON)."));
    }

    // Tagged by the error code the port answers.
    void startupErrors_data() {
        QTest::addColumn<QString>("text");
        const auto row = [](const char* code, const QString& text) {
            QTest::newRow(code) << text + "\r\n\r\nPress 'OK' to Exit.\r\n\r\n";
        };
        row("8002", "        No Comm Port Available!\r\n\r\nThis program requires one port (1-8).");
        row("8012", "        Port Is Not Open!\r\n\r\nCheck Port Availability and Status.");
        row("8005", "        Port Already Open!\r\n\r\nAnother process is using the port.\r\n\r\n"
                    "Is the primary instance of this application using this Port?\r\n\r\n"
                    "If so, stop it amd launch this instance to select alternate Port....");
        row("13", "Error #13\r\n\r\nThere is a problem with the serial port!");
    }
    void startupErrors() {
        QFETCH(QString, text);
        settings::SaveSetting("Font", "Courier");
        Fixture f;
        f.fake.serial.openError = QByteArray(QTest::currentDataTag()).toInt();
        QSignalSpy ended(&f.main, &frmMain::programEnded);
        QVERIFY(!f.main.openWindow());
        QCOMPARE(f.fake.messages.shown.size(), 1);
        const auto& box = f.fake.messages.shown.first();
        QCOMPARE(box.text, text);
        QCOMPARE(box.title, QString("Cannot Start Fluke 45 Serial Comm!"));
        QCOMPARE(box.buttons, platform::Buttons::OkOnly);
        QVERIFY(ended.size() == 1 && f.main.exitCode() != 0);
        QVERIFY(!f.timer("tmrDispUpdate")->isActive() && f.fake.serial.written.isEmpty());
        // Nothing half-read is written back.
        QCOMPARE(settings::GetSetting("Font", "<none>"), QString("Courier"));
        QCOMPARE(settings::GetSetting("AlarmWav", "<none>"), QString("<none>"));
    }

    void portMenuProbeSwitchAndFailure() {
        settings::SaveSetting("CommPort", "9"); // outside the menu: nothing is ticked
        {
            Fixture f;
            QVERIFY(f.main.openWindow());
            QCOMPARE(f.fake.serial.opened, QList<int>({9}));
            QVERIFY(f.ports(&QAction::isChecked).isEmpty());
        }
        settings::SaveSetting("CommPort", "3");
        Fixture f;
        f.fake.serial.presentPorts = {3, 5};
        QVERIFY(f.main.openWindow());
        f.choose("mnuCom5");
        f.choose("mnuCom5"); // the same port closes and opens again
        QCOMPARE(f.fake.serial.opened, QList<int>({3, 5, 5}));
        QCOMPARE(f.ports(&QAction::isEnabled), QList<int>({3, 5}));
        QCOMPARE(f.ports(&QAction::isChecked), QList<int>({5}));
        f.fake.serial.openError = 8005;
        f.choose("mnuCom3");
        QVERIFY(f.fake.messages.shown.value(0).text.contains("Com3"));
        QVERIFY(!f.fake.serial.isOpen());
        QCOMPARE(f.main.CommPortNo(), qint16(3));
    }

    // Edit > RS-232 > Assign Devices...: OK probes the ports again; a new device for the port in
    // use switches to it at once, other ports wait to be chosen. A path no device can have is
    // refused with the dialog left open; Cancel then neither probes nor stores.
    void assigningDevices_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QList<int>>("opened");
        const QString device = "/nonexistent/ttyUSB7";
        QTest::newRow("port in use") << 1 << device << "OK" << QList<int>{1, 1};
        QTest::newRow("other port") << 4 << device << "OK" << QList<int>{1};
        QTest::newRow("refused") << 3 << "/dev/tty\x1bUSB0"
                                 << "refused" << QList<int>{1};
    }
    void assigningDevices() {
        QFETCH(int, port);
        QFETCH(QString, text);
        QFETCH(QString, answer);
        QFETCH(QList<int>, opened);
        const QString device = "/nonexistent/ttyUSB7";
        Fixture f;
        QVERIFY(f.main.openWindow());
        auto* menu = f.child<QMenu>("mnuComm");
        QVERIFY(menu->toolTipsVisible());
        f.fake.serial.presentPorts = {1, 4};
        QString refusal;
        whenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<PortAssignDialog*>(modal);
            if (!dialog)
                return modal->close(), void();
            dialog->deviceBox(port)->setEditText(text);
            if (answer == "refused") {
                QTimer::singleShot(0, [&refusal] {
                    refusal = QApplication::activeModalWidget()->property("text").toString();
                    QApplication::activeModalWidget()->close();
                });
                dialog->accept();
                refusal += dialog->isVisible() ? " Still open." : "";
            }
            answer == "OK" ? dialog->accept() : dialog->reject();
        });
        f.choose("mnuAssignPorts");
        QCOMPARE(refusal, QString(answer == "refused"
                                      ? "The device for Com3 is not a valid path. Still open."
                                      : ""));
        QCOMPARE(f.fake.serial.opened, opened);
        QCOMPARE(f.ports(&QAction::isEnabled), (answer == "OK" ? QList<int>{1, 4} : QList<int>{1}));
        QCOMPARE(PortAssignments::assigned(port), answer == "OK" ? text : "");
        QCOMPARE(testsupport::store().allKeys().size(), answer == "OK" ? 1 : 0);
        if (answer == "OK")
            QCOMPARE(f.action(QString("mnuCom%1").arg(port))->toolTip(),
                     QString("Com%1: %2 (assigned, not found)").arg(port).arg(device));
        // A change made elsewhere shows the next time the menu opens.
        QVERIFY(PortAssignments::assign(3, device));
        emit menu->aboutToShow();
        QCOMPARE(f.action("mnuCom3")->toolTip(), "Com3: " + device + " (assigned, not found)");
    }

    void theDialogListsDevicesAndStoresWhatIsChosen() {
        QTemporaryDir dev; // two adapters, both reported by the system
        const QStringList reported{dev.filePath("ttyUSB0"), dev.filePath("ttyACM0")};
        for (const QString& path : reported)
            QFile(path).open(QIODevice::WriteOnly);
        QVERIFY(PortAssignments::assign(2, "/dev/custom"));
        int scans = 0;
        PortAssignDialog dialog{PortAssignments({dev.path(), [&] { return ++scans, reported; }})};
        QCOMPARE(scans, 1); // the system is slow to ask
        QCOMPARE(dialog.deviceBox(8)->count(), 2);
        QCOMPARE(dialog.deviceBox(1)->lineEdit()->placeholderText(), "automatic: " + reported[0]);
        QCOMPARE(dialog.deviceBox(2)->currentText(), QString("/dev/custom"));
        dialog.deviceBox(1)->setCurrentIndex(1); // chosen from the list
        dialog.deviceBox(2)->setEditText("");    // back to automatic
        dialog.deviceBox(4)->setEditText(" /dev/serial/by-id/usb-x ");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(PortAssignments::assigned(1), reported[1]);
        QCOMPARE(PortAssignments::assigned(4), QString("/dev/serial/by-id/usb-x"));
        QCOMPARE(testsupport::store().allKeys().size(), 2);
    }

    void silenceBeyondTheLimitAndCancelGoesOffline() {
        Fixture f;
        QVERIFY(f.main.openWindow());
        QVERIFY(!f.button("cmdLogger")->isEnabled()); // until the meter answers
        f.fake.messages.answers.enqueue(platform::Answer::Cancel);
        for (int i = 0; i < 17; ++i) // limit 15: the 17th silent tick finds the count above it
            f.tick();
        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.fake.messages.shown.first().title, QString("Please Reset the Meter Manually!"));
        QCOMPARE(f.label("Label1")->text(), QString("Check Port"));
        QCOMPARE(f.label("Label2")->text(), QString("Then Restart"));
        QCOMPARE(f.button("cmdLogger")->y(), f.main.twips().toPixels(4150)); // two-line layout
        QVERIFY(!f.timer("tmrDispUpdate")->isActive());
        QVERIFY(!f.button("cmdMeterSettings")->isEnabled());
    }

    // One window of each kind; opening Meter Control closes the logger and leaves the main
    // window where it is. Every way out then runs the whole Quit, closing the other windows first.
    void windowsAndTheWaysOut_data() {
        QTest::addColumn<QString>("way");
        for (const char* way : {"cmdQuit", "mnuExit", "frame"})
            QTest::newRow(way) << QString(way);
    }
    void windowsAndTheWaysOut() {
        QFETCH(QString, way);
        Fixture f;
        QVERIFY(f.main.openWindow());
        f.main.control().closeWindow();
        const int y = f.main.y();
        f.line("+1.2345E+0 VDC");
        f.button("cmdLogger")->click();
        f.choose("mnuLogger");
        QVERIFY(f.main.logger().isOpen());
        f.tick();
        QVERIFY(!f.action("mnuOpen")->isEnabled());
        f.button("cmdMeterSettings")->click();
        f.button("cmdMeterSettings")->click();
        QVERIFY(f.main.control().isOpen() && !f.main.logger().isOpen());
        QVERIFY(!f.main.shared().logger.LoggerOpen);
        QCOMPARE(f.main.y(), y);
        f.tick();
        QVERIFY(f.action("mnuOpen")->isEnabled());
        f.button("cmdLogger")->click();

        QSignalSpy ended(&f.main, &frmMain::programEnded);
        if (way == "frame")
            f.main.close();
        else if (way == "cmdQuit")
            f.button(way)->click();
        else
            f.choose(way);
        QCOMPARE(ended.value(0).value(0), QVariant(0));
        QVERIFY(!f.fake.serial.isOpen() && f.fake.sound.events.contains("stop"));
        QVERIFY(!f.main.logger().isOpen() && !f.main.control().isOpen());
        QVERIFY(!f.main.isVisible());
    }

    // Open and Graph and Font: cancelled, then failing; then a file the grapher refuses.
    void dialogsCancelledFailingAndARefusedFile() {
        Fixture f;
        QVERIFY(f.main.openWindow());
        f.choose("mnuFont"); // cancelled
        QCOMPARE(f.fake.dialogs.fontRequests, QStringList({"MSSansserif"}));
        f.choose("mnuOpen"); // cancelled
        const auto& request = f.fake.dialogs.fileRequests.first();
        QCOMPARE(request.title, QString("Open Data File for Graphing...."));
        QCOMPARE(request.filter, QString("vtd|*.vtd|MDB|*.mdb"));
        QCOMPARE(request.initialPath, f.main.shared().logger.LogFilePath);
        QVERIFY(f.timer("tmrDispUpdate")->isActive() && !f.timer("tmrWait")->isActive());

        f.fake.dialogs.fileResults.enqueue({DialogResult::Status::Failed, {}, 32755});
        f.fake.dialogs.fontResults.enqueue({DialogResult::Status::Failed, {}, 32755});
        f.choose("mnuOpen");
        f.choose("mnuFont");
        QCOMPARE(f.fake.messages.shown.size(), 2);
        for (const auto& box : f.fake.messages.shown) {
            QCOMPARE(box.title, QString("Unexpected Error!"));
            QCOMPARE(box.text, QString("Error #32755 has occurred. Please\r\nreport this to the "
                                       "programmer for remediation.\r\n\r\n"));
        }
        QVERIFY(f.timer("tmrDispUpdate")->isActive());

        // A file the grapher refuses: its message, then the live display goes on.
        QTemporaryDir dir;
        QFile file(dir.filePath("not-a-log.vtd"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("this is not a log file") > 0);
        file.close();
        f.fake.dialogs.fileResults.enqueue({DialogResult::Status::Ok, file.fileName(), 0});
        f.choose("mnuOpen");
        QCOMPARE(f.label("Label1")->text(), QString("Loading Data..."));
        QVERIFY(!f.timer("tmrDispUpdate")->isActive());
        f.main.tmrWait_Timer();
        QCOMPARE(f.fake.messages.shown.size(), 3);
        QVERIFY(!f.main.grapher().isOpen());
        QVERIFY(!f.main.hasEnded());
        QVERIFY(f.timer("tmrDispUpdate")->isActive());
        f.line("+1.2345E+0 VDC");
        f.tick();
        QCOMPARE(f.label("Label1")->text(), QString(" 1.2345 VDC"));
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
        Fixture f;
        QVERIFY(f.main.openWindow());
        QTest::mouseClick(f.main.control().findChild<QLabel*>("lblMedium"), Qt::LeftButton);
        QLabel* rateLine = f.label("Label3");
        QCOMPARE(rateLine->text(), QString("Meter Response - Medium  :  Medium Precision"));

        // The text drawn unclipped in the label's font, against what the label shows.
        const QImage shown = rateLine->grab().toImage();
        const QFontMetrics metrics(rateLine->font());
        const QSize size(metrics.horizontalAdvance(rateLine->text()) + 40, metrics.height() + 20);
        QImage whole(size * shown.devicePixelRatio(), QImage::Format_ARGB32_Premultiplied);
        whole.setDevicePixelRatio(shown.devicePixelRatio());
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
        platform::Platform withRealDialogs{fake.messages, dialogs,    fake.sound,   fake.clock,
                                           fake.serial,   fake.shell, fake.progress};
        frmMain main(withRealDialogs);
        QTemporaryDir dir;
        const QString bell = dir.filePath("bell.wav");
        QFile(bell).open(QIODevice::WriteOnly);

        // The sound dialog proposes "*.wav" beside the program; a typed path is taken.
        QString folder, proposed;
        whenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            auto* name = modal->findChild<QLineEdit*>("fileNameEdit");
            if (!dialog || !name)
                return modal->close(), void();
            folder = dialog->directory().absolutePath();
            proposed = name->text();
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
            // An access key only works in the active window; under load it may not be yet.
            modal->activateWindow();
            if (!label || !faces || !buttons || !QTest::qWaitForWindowActive(modal))
                return modal->close(), void();
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
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
