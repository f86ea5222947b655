#include "Doubles.h"
#include "LiveMain.h"
#include "LogQuery.h"
#include "RealFileDialog.h"
#include "WidgetPixels.h"
#include "logger/LoggerRules.h"
#include "logger/frmLogger.h"
#include "platform/QtDialogs.h"
#include "settings/SettingsStore.h"
#include <QDir>
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

    // A logger window wired to a live main side as the program wires it.
    static void wire(frmLogger& window, LiveMain& main) {
        connect(&window, &frmLogger::moveMainRequested, [&main](int t) { main.moveUp(t); });
        connect(&window, &frmLogger::runTitleChanged,
                [&main](const QString& suffix) { main.showRunInTitle(suffix); });
    }

    struct Rig {
        explicit Rig(double dpi = 96) : main(platform, dpi) { wire(window, main); }
        doubles::FakePlatform platform;
        LiveMain main;
        frmLogger window{main.session, main.run, platform.platform, main.scale, &main.window};
        template <typename T> T* child(const char* name) {
            return window.findChild<T*>(QString::fromLatin1(name));
        }
        // One second of the window clock; the main window's clock text lags a second behind.
        void tick() {
            main.state.display.TimeText = logger::timeBoxText(platform.clock.current.time());
            platform.clock.advance(1000);
            meterSends();
            window.tmrRealTime_Timer();
        }
        void sampleTick() {
            meterSends();
            QMetaObject::invokeMethod(&main.clock, "timeout");
        }
        // A reading has just come, so the next sample may log it.
        void meterSends() { main.state.reading.ReadingAt = platform.clock.current; }
        const auto& shown() const { return platform.messages.shown; }
    };

    // Opens the window and browses to a file that does not exist yet.
    QString openOnNewFile(Rig& rig) {
        const QString path = dir_.filePath(QString(QTest::currentTestFunction()) + ".vtd");
        rig.window.openWindow();
        rig.platform.dialogs.fileResults.enqueue({platform::DialogResult::Status::Ok, path, 0});
        rig.window.cmdBrowse_Click();
        rig.meterSends();
        return path;
    }

    // One case of browseNamesANewOrAnExistingFile, in a window of its own.
    void browseAndStart(const QString& typed, const QString& chosen, bool exists) {
        doubles::FakePlatform fakes;
        LiveMain main(fakes);
        platform::QtDialogs dialogs;
        platform::Platform services{fakes.messages, dialogs,     fakes.sound,   fakes.clock,
                                    fakes.serial,   fakes.shell, fakes.progress};
        frmLogger window(main.session, main.run, services, main.scale, &main.window);
        wire(window, main);
        const QString path = dir_.filePath(chosen);
        if (exists)
            QFile(path).open(QIODevice::WriteOnly);
        window.openWindow();
        main.state.logger.LogFilePath = dir_.filePath("Test.vtd");
        realdialog::typeIntoNextFileDialog(typed);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdBrowse"), Qt::LeftButton);
        QCOMPARE(window.findChild<QLineEdit*>("txtFilePath")->text(), path);
        if (exists) {
            window.optTimer_Click();
            QCOMPARE(fakes.messages.shown.value(0).title, QString("Logging File Error!"));
            QVERIFY(window.findChild<QRadioButton*>("optManual")->isChecked());
            fakes.messages.answers.enqueue(platform::Answer::Cancel);
        }
        QTest::mouseClick(window.findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
        QCOMPARE(main.state.logger.LoggingActive, !exists);
        QCOMPARE(fakes.messages.shown.size(), exists ? 2 : 0);
        if (exists) {
            QVERIFY(fakes.messages.shown[1].text.contains("Database Already Exists!"));
            QCOMPARE(main.quits, 0);
            QTRY_COMPARE(main.quits, 1);
            QCOMPARE(QFileInfo(path).size(), 0);
        } else {
            QCOMPARE(logquery::rows(path, "SELECT count(*) FROM Info"), QStringList{"1"});
        }
        window.closeWindow();
    }

    // One case of trendGridFollowsTheSurfaceSize.
    void checkTrendGrid(const QString& units, QSize grow) {
        Rig rig;
        rig.main.state.display.TrendUnits = units;
        rig.main.state.display.NewTrendScale = 7.5f;
        rig.window.openWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        auto* pic = rig.child<platform::PictureBox>("picGraph");
        const QSize before = pic->size();
        rig.window.resize(rig.window.size() + grow);
        QTRY_VERIFY(grow.isNull() || pic->size() != before);
        const QImage shown = pic->grab().toImage();
        // Dotted lines: every other pixel, within a pixel of the fraction of the height or of
        // the 239 columns.
        auto dotted = [&](QRect band) {
            int n = 0;
            for (int y = band.top(); y <= band.bottom(); ++y)
                for (int x = band.left(); x <= band.right(); ++x)
                    n += (shown.pixel(x, y) & 0xFFFFFF) == 0x808080;
            return n >= std::max(band.width(), band.height()) * 2 / 5;
        };
        const int w = shown.width(), h = shown.height();
        for (double fraction : {0.25, 0.5, 0.75})
            QVERIFY(dotted(QRect(0, qRound(fraction * (h - 1)) - 1, w, 3)));
        for (int x = 40; x <= 200; x += 40)
            QVERIFY(dotted(QRect(qRound((x - 1) / 238.0 * (w - 1)) - 1, 0, 3, h)));
    }

    // The contrast ratio of two colours (WCAG 2).
    static double contrast(const QColor& a, const QColor& b) {
        auto luminance = [](const QColor& c) {
            auto lin = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
        };
        const double la = luminance(a), lb = luminance(b);
        return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
    }

private slots:
    // The window opens beside the main window in manual mode and rescales on its own clock
    // with no run; the comment is cut, and the trace's name switches to the other reading of a
    // dual display, clearing the history.
    void anIdleWindow() {
        Rig rig(144);
        rig.window.openWindow();
        QCOMPARE(rig.window.x(), rig.main.window.x());
        QCOMPARE(rig.window.height(), 455); // 4550 twips at the main window's 144 dpi
        auto* manual = rig.child<QRadioButton>("optManual");
        QTest::mouseClick(manual, Qt::LeftButton, {}, QPoint(6, manual->height() / 2));
        rig.main.state.display.NewTrendScale = 45.f; // a 45 V reading
        rig.main.state.display.RescalePending = true;
        QTRY_COMPARE(rig.main.state.display.TrendScale, 50.f);
        QCOMPARE(rig.child<QLabel>("lblMax")->text(), QString("5.00E+01"));

        auto* comment = rig.child<QLineEdit>("txtComment");
        comment->setText(QString(255, 'b'));
        QCOMPARE(comment->text(), QString(254, 'b'));
        rig.window.cmdBrowse_Click(); // cancelled: silent
        rig.platform.dialogs.fileResults.enqueue(
            {platform::DialogResult::Status::Failed, {}, 32755});
        rig.window.cmdBrowse_Click();
        rig.window.mnuAbout_Click();
        rig.window.mnuContents_Click();
        QCOMPARE(rig.shown().size(), 4);
        QCOMPARE(rig.shown()[0].text, QString("Comment Too Long!"));
        QCOMPARE(rig.shown()[1].title, QString("Unexpected Error!"));
        QCOMPARE(rig.shown()[2].title, QString("About Voltrane Log Control"));
        QVERIFY(rig.shown()[3].text.endsWith("Secondary Values."));

        rig.main.state.display.PriHistory.fill(1);
        const std::pair<bool, const char*> toggles[] = {
            {true, "Secondary"}, {true, "Primary"}, {false, ""}};
        for (const auto& [dual, label] : toggles) {
            rig.main.state.reading.DualDisplay = dual;
            rig.window.toggleTrace(true);
            QCOMPARE(rig.child<QLabel>("Label12")->text(), QString(label));
        }
        QCOMPARE(rig.main.state.display.PriHistory[0], 0.f);

        // Return undoes exactly the move the opening made; closed and idle, the clock stops.
        rig.window.returnToMain();
        QCOMPARE(std::accumulate(rig.main.moves.begin(), rig.main.moves.end(), 0), 0);
        QVERIFY(!rig.main.state.logger.LoggerOpen);
        QVERIFY(!rig.window.findChild<QTimer*>("tmrRealTime")->isActive());
    }

    // The rules behind the window's boxes and its graph's scale.
    void periodTimeAndScaleRules() {
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
        QVERIFY(logger::IsTimeOfDay("02:30:15 PM") && !logger::IsTimeOfDay("  :  :     ") &&
                !logger::IsTimeOfDay("25:00:00 AM"));
        QCOMPARE(logger::timeBoxText(QTime(23, 59, 59)), QString("11:59:59 PM"));
        // A second passed between two ticks counts, even over midnight; one still ahead not.
        QVERIFY(!logger::timeReached(QTime(10, 0, 0), QTime(10, 0, 0), QTime(10, 0, 1)));
        QVERIFY(logger::timeReached(QTime(0, 0, 0), QTime(23, 59, 59), QTime(0, 0, 1)));
        QVERIFY(!logger::timeReached(QTime(12, 0, 0), QTime(10, 0, 1), QTime(10, 0, 0)));
        const std::pair<float, float> ladder[] = {
            {0.f, 0.01f}, {0.011f, 0.02f}, {7.5f, 10.f}, {20001.f, 50000.f}, {3e9f, 2000000.f}};
        for (const auto& [proposed, full] : ladder)
            QCOMPARE(logger::TrendFullScale(proposed), full);
        QCOMPARE(logger::TrendAxisLabels(0.01f, true),
                 logger::TrendLabels({"1.00E-02", "7.50E-03", "5.00E-03", "2.50E-03", "0"}));
    }

    // A timed run's rows lie within [start, stop): whether the ticks come exactly on its
    // seconds or skip them (a message box held the thread), and however the display's clock
    // text lags.
    void timedRunsKeepToTheirSeconds() {
        for (const bool late : {false, true}) {
            Rig rig;
            rig.platform.clock.current.setTime(QTime(9, 59, 56, 600));
            QFile::remove(dir_.filePath("timedRunsKeepToTheirSeconds.vtd")); // the case before's
            const QString path = openOnNewFile(rig);
            // The clock ticks just after each second begins.
            const int due = 600 + rig.window.findChild<QTimer*>("tmrRealTime")->interval();
            QVERIFY(due % 1000 < 50 && due > 0);
            rig.tick(); // 09:59:57
            rig.window.optTimer_Click();
            rig.tick(); // both boxes read the same time: nothing is armed
            QVERIFY(!rig.child<QPushButton>("cmdStart")->isEnabled());
            auto* box = rig.child<QLineEdit>("mskStartTime");
            rig.window.resetTimeBox(box);
            QTest::keyClicks(box, "100000am"); // letters typed small come out capital
            QCOMPARE(box->text(), QString("10:00:00 AM"));
            rig.child<QLineEdit>("mskEndTime")->setText("10:00:10 AM");
            rig.tick(); // 09:59:59
            if (late)
                rig.platform.clock.advance(1000);
            rig.tick(); // 10:00:00, or 10:00:01 when late
            QVERIFY(rig.main.state.logger.LoggingActive);
            // When late, the stop tick never comes: the sample clock meets the stop second.
            for (int second = 0; second < 12 && rig.main.state.logger.LoggingActive; ++second) {
                rig.platform.clock.advance(1000);
                if (!late && rig.platform.clock.current.time().second() == 10)
                    rig.window.tmrRealTime_Timer();
                rig.sampleTick();
            }
            const QString count = late ? "9" : "10";
            QCOMPARE(logquery::rows(path, "SELECT CAST(round(min(TimeStamp) * 86400) AS INT), "
                                          "CAST(round(max(TimeStamp) * 86400) AS INT), count(*) "
                                          "FROM LogData"),
                     QStringList{(late ? "36001|36009|" : "36000|36009|") + count});
            QVERIFY(rig.shown().value(0).text.contains("It contains " + count + " samples."));
        }
    }

    // A manual run goes on with the window closed, shown in the main window's title. Reopened
    // during the run the window shows the run as it is, after it afresh. Quit during a run
    // stops it with its rows in the file.
    void aManualRunOutlivesTheWindow() {
        Rig rig;
        const QString path = openOnNewFile(rig);
        rig.child<QLineEdit>("txtComment")->setText("bench run");
        rig.window.cmdStart_Click();
        // During the run Start stays green, its disabled caption readable.
        auto* start = rig.child<QPushButton>("cmdStart");
        const QColor face = pixels::Face(start);
        QVERIFY(face == QColor(0, 255, 0) && !start->isEnabled());
        const QImage caption = start->grab().toImage().copy(start->rect().adjusted(4, 4, -4, -4));
        double best = 0;
        for (int y = 0; y < caption.height(); ++y)
            for (int x = 0; x < caption.width(); ++x)
                best = std::max(best, contrast(face, caption.pixelColor(x, y)));
        QVERIFY2(best >= 3.0, qPrintable(QString::number(best)));
        rig.window.close(); // the close box
        rig.sampleTick();
        QCOMPARE(rig.main.clock.timerType(), Qt::PreciseTimer);
        QCOMPARE(rig.main.window.windowTitle(), QString("Voltrane - Logging: 2 samples"));
        rig.window.openWindow();
        QCOMPARE(rig.main.window.windowTitle(), QString("Voltrane"));
        QCOMPARE(rig.child<QLabel>("lblSampCount")->text(), QString("2"));
        QCOMPARE(rig.child<QLineEdit>("txtComment")->text(), QString("bench run"));
        for (const char* name : {"cmdStart", "cmdReturn", "cmdBrowse"}) // File > Return hides it
            QVERIFY2(!rig.child<QPushButton>(name)->isEnabled(), name);
        rig.window.closeWindow();
        QVERIFY(!rig.main.state.logger.LoggingActive);
        QCOMPARE(
            logquery::rows(path, "SELECT (SELECT count(*) FROM LogData), Description FROM Info"),
            QStringList{"2|bench run"});
        rig.window.openWindow();
        QVERIFY(rig.child<QLineEdit>("txtComment")->text().isEmpty() &&
                rig.child<QPushButton>("cmdStart")->isEnabled() &&
                !rig.child<QPushButton>("cmdStop")->isEnabled());
        // A second run counts afresh, on screen and in its file.
        rig.child<QLineEdit>("txtFilePath")->setText("second.vtd");
        rig.window.cmdStart_Click();
        QCOMPARE(rig.child<QLabel>("lblSampCount")->text(), QString("1"));
        rig.window.cmdStop_Click(); // its red face goes with the run
        QVERIFY(pixels::Face(rig.child<QPushButton>("cmdStop")).hsvSaturation() < 40);
        rig.window.closeWindow();
        QCOMPARE(logquery::rows(dir_.filePath("second.vtd"), "SELECT count(*) FROM LogData"),
                 QStringList{"1"});
    }

    // Start logs into the file the Data File box names (a relative name in the folder of the
    // file before) or refuses it with a message. The folder stored is the one of the last file
    // that worked, also after Cancel on a creation error, which ends the program.
    void theDataFileBoxNamesTheRunsFile() {
        QDir(dir_.path()).mkdir("sub");
        const struct {
            const char *typed, *created, *message, *stored;
        } cases[] = {{"sub/typed.vtd", "sub/typed.vtd", nullptr, "sub"},
                     {"  ", nullptr, "names no file", ""},
                     {"sub", nullptr, "names no file", ""},
                     {"missing/x.vtd", nullptr, "Path Doesn't Exist!", ""}};
        for (const auto& c : cases) {
            Rig rig;
            const QString browsed = openOnNewFile(rig);
            rig.child<QLineEdit>("txtFilePath")->setText(c.typed);
            rig.window.cmdStart_Click();
            QCOMPARE(rig.main.state.logger.LoggingActive, c.created != nullptr);
            QVERIFY(!QFileInfo::exists(browsed));
            if (c.created)
                QVERIFY(QFileInfo::exists(dir_.filePath(c.created)));
            else
                QVERIFY(rig.shown().value(0).text.contains(c.message));
            rig.window.closeWindow();
            QCOMPARE(settings::ReadLogFilePath(),
                     QDir::cleanPath(dir_.path() + "/" + c.stored + "/Test.vtd"));
        }
    }

    // The real dialog names a new file or takes an existing one. Start creates a new file; an
    // existing one is never overwritten: the timer mode refuses it, and Start asks Retry or
    // Cancel, where Cancel ends the program through the whole Quit once the handler returned.
    void browseNamesANewOrAnExistingFile() {
        const struct {
            const char *typed, *chosen;
            bool exists;
        } cases[] = {{"fresh-run", "fresh-run.vtd", false}, {"old-run.vtd", "old-run.vtd", true}};
        for (const auto& [typed, chosen, exists] : cases)
            browseAndStart(typed, chosen, exists);
    }
    void trendGridFollowsTheSurfaceSize() {
        const std::pair<const char*, QSize> cases[] = {
            {"VDC", {0, 0}}, {"VDC", {300, 150}}, {"OHMS", {-100, 60}}};
        for (const auto& [units, grow] : cases)
            checkTrendGrid(units, grow);
    }
};

QTEST_MAIN(tst_frmlogger)
#include "tst_frmlogger.moc"
