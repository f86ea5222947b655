#include "Doubles.h"
#include "LogQuery.h"
#include "RealFileDialog.h"
#include "RecordingMain.h"
#include "logger/LoggerRules.h"
#include "logger/frmLogger.h"
#include "platform/QtDialogs.h"
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The logger window driven through its controls, with the clock and the dialogs replaced.
class tst_frmlogger : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int fileNo_ = 0;

    struct Rig {
        RecordingMain main;
        doubles::FakePlatform platform;
        frmLogger window{main, platform.platform};
        template <typename T> T* child(const char* name) {
            return window.findChild<T*>(QString::fromLatin1(name));
        }
        // One second of the window clock, with the main window's clock text following the clock.
        void tick() {
            platform.clock.advance(1000);
            main.state.display.TimeText = logger::timeBoxText(platform.clock.current.time());
            window.tmrRealTime_Timer();
        }
        void setTime(int h, int m, int s) {
            platform.clock.current.setTime(QTime(h, m, s));
            main.state.display.TimeText = logger::timeBoxText(QTime(h, m, s));
        }
        void sampleTick() { QMetaObject::invokeMethod(&main.clock, "timeout"); }
    };

    QString newPath() { return dir_.filePath(QString("log%1.vtd").arg(++fileNo_)); }

    static void choose(Rig& rig, const QString& path) {
        rig.platform.dialogs.fileResults.enqueue({platform::DialogResult::Status::Ok, path, 0});
        rig.window.cmdBrowse_Click();
    }

    // Opens the window and browses to a file that does not exist yet.
    QString openOnNewFile(Rig& rig) {
        const QString path = newPath();
        rig.window.openWindow();
        choose(rig, path);
        return path;
    }

    static qint64 rowsIn(const QString& path, const QString& table = "LogData") {
        return logquery::scalar(path, "SELECT count(*) FROM " + table);
    }

private slots:
    void opensBesideTheMainWindowInManualModeAndCutsTheComment() {
        Rig rig;
        rig.window.openWindow();
        QCOMPARE(rig.window.height(), 4550 / 15);
        QCOMPARE(rig.window.x(), rig.main.window.x());
        QCOMPARE(rig.window.width(), rig.main.window.width());
        QVERIFY(rig.child<QRadioButton>("optManual")->isChecked());
        QVERIFY(!rig.child<QPushButton>("cmdStop")->isEnabled());
        auto* comment = rig.child<QLineEdit>("txtComment");
        comment->setText(QString(254, 'a'));
        const QString before = rig.main.state.logger.LogFilePath;
        rig.window.cmdBrowse_Click(); // cancelled: silent
        QCOMPARE(rig.main.state.logger.LogFilePath, before);
        QVERIFY(rig.platform.messages.shown.isEmpty());
        comment->setText(QString(255, 'b'));
        QCOMPARE(comment->text(), QString(254, 'b'));
        QCOMPARE(rig.platform.messages.shown.value(0).text, QString("Comment Too Long!"));
        rig.platform.dialogs.fileResults.enqueue(
            {platform::DialogResult::Status::Failed, {}, 32755});
        rig.window.cmdBrowse_Click();
        QCOMPARE(rig.platform.messages.shown.value(1).title, QString("Unexpected Error!"));
        rig.platform.messages.shown.clear();
        // Return undoes exactly the move the opening made.
        rig.window.returnToMain();
        int total = 0;
        for (int m : rig.main.moves)
            total += m;
        QCOMPARE(total, 0);
        QVERIFY(!rig.main.state.logger.LoggerOpen);
        rig.window.mnuAbout_Click();
        rig.window.mnuContents_Click();
        QCOMPARE(rig.platform.messages.shown.value(0).title, QString("About Voltrane Log Control"));
        QVERIFY(rig.platform.messages.shown.value(1).text.endsWith("Secondary Values."));
    }

    void periodBoxCorrections() {
        const struct {
            const char *typed, *shown;
            int ms;
        } cases[] = {{"0.1", "0.25", 250},      {"75", "60.00", 60000}, {"abc", "0.25", 250},
                     {"2.5", "2.5", 2500},      {"3 s", "3 s", 3000},   {"60", "60", 60000},
                     {"0.3125", "0.3125", 312}, // a half goes to the even one
                     {"1e999", "60.00", 60000}, {"1e-999", "0.25", 250}};
        for (const auto& c : cases) {
            QCOMPARE(logger::correctedPeriodText(c.typed), QString(c.shown));
            QCOMPARE(logger::periodIntervalMs(c.typed), c.ms);
        }
    }

    void timeTextsAndTheirRules() {
        QVERIFY(logger::IsTimeOfDay("02:30:15 PM"));
        QVERIFY(!logger::IsTimeOfDay("  :  :     "));
        QVERIFY(!logger::IsTimeOfDay("25:00:00 AM"));
        QCOMPARE(logger::timeBoxText(QTime(23, 59, 59)), QString("11:59:59 PM"));
        QVERIFY(logger::timeReached(QTime(10, 0, 0), QTime(9, 59, 58), QTime(10, 0, 1)));
        QVERIFY(!logger::timeReached(QTime(10, 0, 0), QTime(10, 0, 0), QTime(10, 0, 1)));
        QVERIFY(logger::timeReached(QTime(0, 0, 0), QTime(23, 59, 59), QTime(0, 0, 1)));
        QVERIFY(!logger::timeReached(QTime(12, 0, 0), QTime(10, 0, 1), QTime(10, 0, 0)));
    }

    void anExistingFileIsNeverOverwritten() {
        Rig rig;
        const QString path = newPath();
        QFile(path).open(QIODevice::WriteOnly);
        rig.window.openWindow();
        choose(rig, path);
        rig.window.optTimer_Click();
        QCOMPARE(rig.platform.messages.shown.size(), 1);
        QCOMPARE(rig.platform.messages.shown[0].title, QString("Logging File Error!"));
        QVERIFY(rig.child<QRadioButton>("optManual")->isChecked());

        // A manual start asks Retry or Cancel; Cancel ends the program through the whole Quit
        // (settings saved, windows closed in order) once the handler has returned.
        rig.platform.messages.answers.enqueue(platform::Answer::Cancel);
        rig.window.cmdStart_Click();
        QCOMPARE(rig.main.quits, 0);
        QTRY_COMPARE(rig.main.quits, 1);
        QVERIFY(!rig.main.state.logger.LoggingActive);
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void typedTimeAndALateTickStillStartTheRun() {
        Rig rig;
        const QString path = openOnNewFile(rig);
        rig.setTime(9, 59, 57);
        rig.window.optTimer_Click();
        rig.tick(); // both boxes read the same time: nothing is armed
        QVERIFY(!rig.child<QPushButton>("cmdStart")->isEnabled());
        auto* box = rig.child<QLineEdit>("mskStartTime");
        rig.window.resetTimeBox(box);
        box->setFocus();
        box->setCursorPosition(0);
        QTest::keyClicks(box, "100000am"); // letters typed small come out capital
        QCOMPARE(box->text(), QString("10:00:00 AM"));
        rig.child<QLineEdit>("mskEndTime")->setText("10:00:10 AM");
        rig.tick();                       // 09:59:59
        rig.platform.clock.advance(1000); // the 10:00:00 tick never came
        rig.tick();                       // 10:00:01
        QVERIFY(rig.main.state.logger.LoggingActive);
        for (int second = 1; second <= 10; ++second) { // the 10:00:10 tick never comes either
            rig.sampleTick();
            rig.platform.clock.advance(1000);
        }
        rig.tick();
        QVERIFY(!rig.main.state.logger.LoggingActive);
        QCOMPARE(rowsIn(path), 11);
        QVERIFY(rig.platform.messages.shown.value(0).text.contains("It contains 11 samples."));
    }

    void manualRunsCountFromOneAndSurviveTheWindowClosing() {
        Rig rig;
        const QString path = openOnNewFile(rig);
        rig.child<QLineEdit>("txtComment")->setText("bench run");
        rig.window.cmdStart_Click();
        QVERIFY(!rig.child<QPushButton>("cmdBrowse")->isEnabled());
        rig.window.close(); // close box: the run goes on, shown in the main window's title
        QVERIFY(!rig.window.isOpen());
        QVERIFY(!rig.main.state.logger.LoggerOpen);
        rig.sampleTick();
        QCOMPARE(rig.main.window.windowTitle(), QString("Voltrane - Logging: 2 samples"));
        rig.window.openWindow(); // reopened during the run: the run as it is
        QCOMPARE(rig.main.window.windowTitle(), QString("Voltrane"));
        QCOMPARE(rig.child<QLabel>("lblSampCount")->text(), QString("2"));
        QCOMPARE(rig.child<QLineEdit>("txtComment")->text(), QString("bench run"));
        QVERIFY(!rig.child<QPushButton>("cmdStart")->isEnabled());
        QVERIFY(rig.child<QPushButton>("cmdStop")->isEnabled());
        rig.window.cmdStop_Click();
        QCOMPARE(rowsIn(path), 2);
        rig.window.returnToMain();
        rig.window.openWindow(); // reopened after it: afresh
        QVERIFY(rig.child<QLineEdit>("txtComment")->text().isEmpty());
        QVERIFY(rig.child<QPushButton>("cmdStart")->isEnabled());
        QVERIFY(!rig.child<QPushButton>("cmdStop")->isEnabled());
        QCOMPARE(rig.child<QLabel>("Label5")->text(), QString("Logger Start/Stop Control"));

        // A second run in the same window counts from 1 again.
        const QString second = newPath();
        choose(rig, second);
        rig.window.cmdStart_Click();
        QCOMPARE(rig.child<QLabel>("lblSampCount")->text(), QString("1"));
        rig.window.closeWindow(); // Quit during a run stops it with its rows in the file
        QVERIFY(!rig.main.state.logger.LoggingActive);
        QCOMPARE(rowsIn(second), 1);
        QCOMPARE(logquery::rows(path, "SELECT Description FROM Info"), QStringList{"bench run"});
    }

    void browseNamesANewOrAnExistingFile_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("exists");
        QTest::newRow("new name, extension added") << "fresh-run"
                                                   << "fresh-run.vtd" << false;
        QTest::newRow("existing name") << "old-run.vtd"
                                       << "old-run.vtd" << true;
    }
    void browseNamesANewOrAnExistingFile() {
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        QFETCH(bool, exists);
        RecordingMain main;
        doubles::FakePlatform fakes;
        platform::QtDialogs dialogs;
        platform::Platform services{fakes.messages, dialogs,      fakes.sound,
                                    fakes.clock,    fakes.serial, fakes.shell};
        frmLogger window(main, services);
        const QString path = dir_.filePath(chosen);
        if (exists)
            QFile(path).open(QIODevice::WriteOnly);
        window.openWindow();
        main.state.logger.LogFilePath = dir_.filePath("Test.vtd");
        realdialog::typeIntoNextFileDialog(typed);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdBrowse"), Qt::LeftButton);
        QCOMPARE(window.findChild<QLineEdit*>("txtFilePath")->text(), path);
        QCOMPARE(main.state.logger.LogFilePath, path);

        // Start creates a new file and refuses an existing one, with its own message.
        QTest::mouseClick(window.findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
        QCOMPARE(main.state.logger.LoggingActive, !exists);
        QCOMPARE(fakes.messages.shown.size(), exists ? 1 : 0);
        if (exists)
            QVERIFY(fakes.messages.shown[0].text.contains("Database Already Exists!"));
        else
            QCOMPARE(logquery::scalar(path, "SELECT count(*) FROM Info"), 1);
        window.closeWindow();
    }

    void trendGridFollowsTheSurfaceSize_data() {
        QTest::addColumn<QString>("units");
        QTest::addColumn<QSize>("grow");
        QTest::newRow("two-sided, as opened") << "VDC" << QSize(0, 0);
        QTest::newRow("two-sided, larger") << "VDC" << QSize(300, 150);
        QTest::newRow("positive-only, narrower") << "OHMS" << QSize(-100, 60);
    }
    void trendGridFollowsTheSurfaceSize() {
        QFETCH(QString, units);
        QFETCH(QSize, grow);
        Rig rig;
        rig.main.state.display.TrendUnits = units;
        rig.main.state.display.NewTrendScale = 7.5f;
        rig.window.openWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        auto* pic = rig.child<platform::PictureBox>("picGraph");
        if (!grow.isNull()) {
            const QSize before = pic->size();
            rig.window.resize(rig.window.size() + grow);
            QTRY_VERIFY(pic->size() != before);
        }
        const QImage shown = pic->grab().toImage();
        QCOMPARE(shown.size(), pic->size());
        const int w = shown.width(), h = shown.height();
        auto grey = [&](int x, int y) { return (shown.pixel(x, y) & 0xFFFFFF) == 0x808080; };
        // Dotted lines: every other pixel, within a pixel of the fraction of the height or of
        // the 239 columns.
        auto inked = [&](bool row, double fraction) {
            const int length = row ? w : h, centre = qRound(fraction * ((row ? h : w) - 1));
            int best = 0;
            for (int across = centre - 1; across <= centre + 1; ++across) {
                int n = 0;
                for (int along = 0; along < length; ++along)
                    n += row ? grey(along, across) : grey(across, along);
                best = std::max(best, n);
            }
            return best >= length * 2 / 5;
        };
        for (double fraction : {0.25, 0.5, 0.75})
            QVERIFY2(inked(true, fraction), qPrintable(QString::number(fraction)));
        for (int x = 40; x <= 200; x += 40)
            QVERIFY2(inked(false, (x - 1) / 238.0), qPrintable(QString::number(x)));
    }

    void anIdleWindowRescalesOnItsOwnClock() {
        Rig rig;
        rig.window.openWindow();
        auto* manual = rig.child<QRadioButton>("optManual");
        QTest::mouseClick(manual, Qt::LeftButton, {}, QPoint(6, manual->height() / 2));
        QVERIFY(rig.window.findChild<QTimer*>("tmrRealTime")->isActive());
        rig.main.state.display.NewTrendScale = 45.f; // a 45 V reading, no run
        rig.main.state.display.RescalePending = true;
        QTRY_COMPARE(rig.main.state.display.TrendScale, 50.f);
        QVERIFY(!rig.main.state.display.RescalePending);
        QCOMPARE(rig.child<QLabel>("lblMax")->text(), QString("5.00E+01"));
        rig.window.returnToMain(); // closed and idle: nothing left to watch
        QVERIFY(!rig.window.findChild<QTimer*>("tmrRealTime")->isActive());
    }

    void trendToggleFollowsTheOtherReading() {
        Rig rig;
        rig.window.openWindow();
        rig.main.state.reading.DualDisplay = true;
        rig.main.state.display.PriHistory.fill(1);
        rig.window.toggleTrace(false);
        QCOMPARE(rig.main.state.display.TrendTrace, qint16(2));
        QCOMPARE(rig.child<QLabel>("Label12")->text(), QString("Secondary"));
        QCOMPARE(rig.main.state.display.PriHistory[0], 0.f);
        rig.window.toggleTrace(true);
        QCOMPARE(rig.main.state.display.TrendTrace, qint16(1));
        QCOMPARE(rig.main.resetMaxMinCalls, 2);
        rig.main.state.reading.DualDisplay = false;
        rig.window.toggleTrace(false);
        QCOMPARE(rig.main.state.display.TrendTrace, qint16(1));
        QVERIFY(rig.child<QLabel>("Label12")->text().isEmpty());
    }
};

QTEST_MAIN(tst_frmlogger)
#include "tst_frmlogger.moc"
