#include "Doubles.h"
#include "GrapherTestFiles.h"
#include "LiveMain.h"
#include "RealFileDialog.h"
#include "grapher/GraphPicture.h"
#include "grapher/GrapherTexts.h"
#include "grapher/LogFileReader.h"
#include "grapher/StatisticsText.h"
#include "grapher/frmGrapher.h"
#include "logger/DbError.h"
#include "platform/QtDialogs.h"
#include "settings/SettingsStore.h"

#include <QTemporaryDir>
#include <csignal>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif
#include <QtTest>
#include <QtWidgets>

using namespace grapher_test;

class FrmGrapherTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        fake_ = std::make_unique<doubles::FakePlatform>();
        main_ = std::make_unique<LiveMain>(*fake_);
        main_->state.reading.ShownUnits = "V";
        makeGrapher(fake_->platform);
        // 1000 samples of both signs, -4.00 to 5.99 volts DC, single display.
        std::vector<Sample> samples;
        for (int i = 0; i < 1000; ++i)
            samples.push_back({QTime(9, 0, 0).addSecs(i), float(i), "VDC", float(i - 400) / 100.f});
        WriteLogFile(path("run1.vtd"), "2026-01-02", "first run", samples);
    }
    void cleanup() { grapher_.reset(); }

    void loadShowsTheFileAndItsScale() {
        QFile::copy(path("run1.vtd"), path("run2.mdb"));
        load(path("run2.mdb")); // a copy already: it cannot be copied again
        QVERIFY(!grapher_->findChild<QAction*>("mnuCAccess")->isEnabled());
        main_->scale = Twips(144);
        makeGrapher(fake_->platform); // the next load starts afresh, at 144 dpi
        load(path("run1.vtd"));
        QVERIFY(grapher_->findChild<QAction*>("mnuCAccess")->isEnabled());
        QCOMPARE(grapher_->height(), 915); // 9150 twips at the main window's 144 dpi
        QVERIFY(grapher_->isOpen() && grapher_->isVisible());
        QCOMPARE(text("lblFileName"), QString("Filename: run1.vtd"));
        QCOMPARE(main_->displayStarts, 2);
        QVERIFY(fake_->messages.shown.isEmpty());
        QVERIFY(!button("cmdZoom")->isEnabled() && !button("cmdReset")->isEnabled() &&
                button("cmdPlusMinus")->isEnabled());
        QCOMPARE(labels({"lblMax", "lblMidHigh", "lblMid", "lblMidLow", "lblMin", "lblMaxVal",
                         "lblMinVal", "lblTitle", "lblType"}),
                 QStringList({"1.00E+01", "5.00E+00", "0", "-5.00E+00", "-1.00E+01", "5.99E+00",
                              "-4.00E+00", " VDC", ""}));        // no readout yet
        QVERIFY(pixels(pic()->snapshot(), qRgb(255, 0, 0)) > 0); // the red trace
        grapher_->mnuAbout_Click();
        QCOMPARE(fake_->messages.shown.value(0).title, QString("About Voltrane Graphing"));
    }

    void readoutsClicksZoomAndReset() {
        load(path("run1.vtd"));
        // Before any readout the keys walk from the view's last sample and stay within it.
        for (int i = 0; i < 2; ++i) {
            QTest::keyClick(pic(), Qt::Key_Right);
            QCOMPARE(text("lblTS"), QString("09:16:39"));
        }
        grapher_->picGraph_MouseMove(2.5, 0); // halves to even: row 2
        QCOMPARE(labels({"lblTS", "lblType", "lblUnits", "lblValue", "lbldBu"}),
                 QStringList({"09:00:01", "1", "VDC", "-3.99", "NA"}));
        QCOMPARE(std::pair(grapher_->view().MarkerX, grapher_->view().MarkerValue),
                 std::pair(2.5f, -3.99f));
        grapher_->picGraph_MouseMove(5000, 0); // beyond the file: the readout stays
        QTest::keyClick(pic(), Qt::Key_Right);
        QCOMPARE(std::pair(text("lblTS"), grapher_->view().MarkerX),
                 std::pair(QString("09:00:02"), 3.f));
        QTest::keyClick(pic(), Qt::Key_Left);
        QCOMPARE(text("lblTS"), QString("09:00:01"));
        // The marker inverts pixels: drawing it again on the same place restores the picture.
        const QImage withMarker = pic()->snapshot();
        grapher_->picGraph_MouseMove(700, 0);
        grapher_->picGraph_MouseMove(2, 0);
        QCOMPARE(pic()->snapshot(), withMarker);
        grapher_->picGraph_MouseDown(500);
        QVERIFY(button("cmdZoom")->isEnabled() && button("cmdReset")->isEnabled());
        grapher_->picGraph_MouseDown(120.6);
        grapher_->picGraph_MouseDown(300.4);
        grapher_->cmdZoom_Click(); // between the last two clicks
        QCOMPARE(viewRange(), std::pair(121, 300));
        QVERIFY(!button("cmdZoom")->isEnabled() && button("cmdReset")->isEnabled());
        QTest::keyClick(pic(), Qt::Key_Left); // a zoomed view walks from its first sample
        QCOMPARE(text("lblTS"), QString("09:02:00"));
        zoom(10, 20); // nested: within the view starting at 121
        QCOMPARE(viewRange(), std::pair(130, 140));
        grapher_->cmdPlusMinus_Click();
        grapher_->cmdReset_Click();
        QCOMPARE(viewRange(), std::pair(1, 1000));
        QCOMPARE(grapher_->view().SignFilter, QString("both"));
        QVERIFY(!button("cmdZoom")->isEnabled() && !button("cmdReset")->isEnabled());
        grapher_->cmdPlusMinus_Click();
        QCOMPARE(labels({"lblTitle", "lblMin", "lblType"}),
                 QStringList({" VDC - Positive Values Only!", "0", "120"})); // 09:02:00's
        grapher_->cmdPlusMinus_Click();
        QCOMPARE(labels({"lblTitle", "lblMax"}),
                 QStringList({" VDC - Negative Values Only!", "0"}));
        grapher_->cmdPlusMinus_Click();
        QCOMPARE(text("lblTitle"), QString(" VDC"));
        const QImage plain = pic()->snapshot();
        grapher_->picGraph_MouseMove(30, 0);
        grapher_->picGraph_MouseDown(40);
        grapher_->picGraph_MouseDown(60);
        grapher_->lblTitle_Click(); // a single display has one data set: marker and lines go
        QCOMPARE(std::pair(grapher_->view().DataSet, text("Label10")),
                 std::pair(qint16(1), QString()));
        QCOMPARE(pic()->snapshot(), plain);
    }

    // Unsigned readings: positive only, AC levels in dBu; the dual file's two data sets.
    void unsignedUnitsAndDataSets() {
        WriteLogFile(path("dual.vtd"), "d", "c",
                     {{QTime(1, 0, 0), 0, "VAC", 0.77459667f, "HZ", 50},
                      {QTime(1, 0, 1), 0, "VAC", 7.7459667f, "HZ", 60}});
        load(path("dual.vtd"));
        QCOMPARE(grapher_->view().SignFilter, QString("positive"));
        QVERIFY(!button("cmdPlusMinus")->isEnabled());
        grapher_->picGraph_MouseMove(2, 0);
        QCOMPARE(text("lbldBu"), QString("20.00 dBu"));
        grapher_->picGraph_MouseMove(1, 0);
        QCOMPARE(text("lbldBu"), QString("0.00 dBu"));
        grapher_->lblTitle_Click();
        QCOMPARE(grapher_->view().DataSet, qint16(2));
        // lblValue: the file's first row, secondary reading.
        QCOMPARE(labels({"Label10", "lblTitle", "lblValue", "lblMaxVal"}),
                 QStringList({"Secondary", " HZ", "50", "6.00E+01"}));
        openFromDialog(path("dual.vtd")); // another file from the window keeps the data set
        QCOMPARE(labels({"lblTitle", "lblDate", "lblValue"}), QStringList({" HZ", "d", ""}));
        grapher_->lblTitle_Click();
        QCOMPARE(labels({"Label10", "lblTitle"}), QStringList({"Primary", " VAC"}));
    }

    void cursorsSurviveAResize() {
        load(path("run1.vtd"));
        QVERIFY(QTest::qWaitForWindowExposed(grapher_.get()));
        auto pixelOf = [&](double x) { return QPoint(qRound(pic()->toPixel({x, 0}).x()), 5); };
        const QPoint first = pixelOf(300), second = pixelOf(600);
        const int lo = int(std::nearbyint(pic()->toUser(first).x()));
        const int hi = int(std::nearbyint(pic()->toUser(second).x()));
        QTest::mouseClick(pic(), Qt::LeftButton, {}, first);
        QTest::mouseClick(pic(), Qt::LeftButton, {}, second);
        const QSize before = pic()->size();
        grapher_->resize(grapher_->size() + QSize(240, 120));
        QTRY_VERIFY(pic()->size() != before);
        // Both lines stand again where their samples are now drawn.
        const QImage shown = pic()->grab().toImage();
        for (float x : {grapher_->view().PrevCursorX, grapher_->view().CursorX}) {
            const QImage column =
                shown.copy(qRound(pic()->toPixel({x, 0}).x()), 0, 1, shown.height());
            QVERIFY(pixels(column, qRgb(255, 255, 255)) > shown.height() / 2);
        }
        QTest::mouseClick(button("cmdZoom"), Qt::LeftButton);
        QCOMPARE(viewRange(), std::pair(lo, hi));

        // Both cursors on one sample: the mouse reads out that sample and nothing beyond it.
        for (int click = 0; click < 2; ++click)
            QTest::mouseClick(pic(), Qt::LeftButton, {}, QPoint(pic()->width() / 2, 5));
        QTest::mouseClick(button("cmdZoom"), Qt::LeftButton);
        const int only = viewRange().first;
        for (int x : {pic()->width() / 2, 0, pic()->width() - 1}) {
            QTest::mouseMove(pic(), QPoint(x, 5));
            QCOMPARE(std::pair(text("lblTS"), viewRange().second),
                     std::pair(QTime(9, 0, 0).addSecs(only - 1).toString("hh:mm:ss"), only));
        }
    }

    // Each file no run writes, over a shown graph: the loader's error, then the message. The
    // window goes before its message; only a file without tables from the main window quits,
    // otherwise the main display runs on. A file of another tool that differs only in what
    // SQLite overlooks (no message) is shown.
    void refusedOrAcceptedFiles_data() {
        QTest::addColumn<QString>("sql"); // made from a good file by this,
        QTest::addColumn<double>("kept"); // then cut to this part of its size (below 0: gone)
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("viaOpen"); // the grapher's own Open, not the main window's
        using namespace grapher::texts;
        const auto bad = [](const char* row, const char* sql, double kept, const QString& message,
                            bool viaOpen = false) {
            QTest::newRow(row) << QString(sql) << kept << message << viaOpen;
        };
        bad("empty", "", 0, UnknownError());
        bad("truncated", "", 0.3, UnknownError());
        bad("missing", "", -1, UnknownError());
        bad("no LogData", "DROP TABLE LogData", 1, NotCreatedQuitting());
        bad("no Info row", "DELETE FROM Info", 1, NotValidFile());
        bad("no samples", "DELETE FROM LogData", 1, NotValidFile());
        bad("no Value2", "ALTER TABLE LogData DROP COLUMN Value2", 1, DataIncompatible(), true);
        bad("text MilliSeconds", "UPDATE LogData SET MilliSeconds = 'x'", 1, UnknownError());
        bad("names in other letter case",
            "ALTER TABLE LogData RENAME COLUMN TimeStamp TO TIMESTAMP; ALTER TABLE LogData RENAME "
            "COLUMN Value2 TO value2; ALTER TABLE Info RENAME COLUMN Date TO date",
            1, QString(), true);
        bad("text late in the file", "UPDATE LogData SET Value = 'x' WHERE Sample = 900", 1,
            UnknownError());
    }
    void refusedOrAcceptedFiles() {
        QFETCH(QString, sql);
        QFETCH(double, kept);
        QFETCH(QString, message);
        QFETCH(bool, viaOpen);
        QVERIFY(QFile::copy(path("run1.vtd"), path("bad.vtd")));
        ExecSql(path("bad.vtd"), sql);
        QFile bad(path("bad.vtd"));
        QVERIFY(kept < 0 ? bad.remove() : bad.resize(qint64(bad.size() * kept)));
        load(path("run1.vtd"));
        grapher_->cmdOpen_Click(); // the fake dialog answers "cancelled": nothing changes
        QCOMPARE(main_->state.GraphFilePath, path("run1.vtd"));
        bool shownBehind = true;
        fake_->messages.onShow = [&] { shownBehind = grapher_->isVisible(); };
        viaOpen ? openFromDialog(path("bad.vtd")) : load(path("bad.vtd"));
        if (message.isEmpty()) { // accepted
            QVERIFY(fake_->messages.shown.isEmpty() && text("lblDate").contains("2026"));
            return;
        }
        QCOMPARE(fake_->messages.shown.size(), 1);
        QCOMPARE(fake_->messages.shown[0].text, message);
        QCOMPARE(fake_->messages.shown[0].title, QString("Cannot Start Graphing Program!"));
        QVERIFY(!shownBehind && !grapher_->isOpen() && !grapher_->isVisible());
        const int quits = message == grapher::texts::NotCreatedQuitting();
        QCOMPARE(main_->quits, quits);
        QCOMPARE(main_->displayStarts, 2 - quits);
    }

    void commentIsCutAndWrittenOnlyOnReturnOrRefused() {
        load(path("run1.vtd"));
        box()->setText("not saved");
        grapher_->mnuCAccess_Click(); // the file is read again, the typed comment stays
        QCOMPARE(box()->text(), QString("not saved"));
        grapher_->closeWindow();
        QVERIFY(!grapher_->isOpen());
        QCOMPARE(storedComment(), QString("first run"));

        load(path("run1.vtd"));
        box()->setText(QString(300, 'c'));
        QCOMPARE(box()->text(), QString(255, 'c'));
        grapher_->cmdReturn_Click();
        QVERIFY(!grapher_->isOpen());
        QCOMPARE(storedComment(), QString(255, 'c'));
        QCOMPARE(settings::GetSetting("DataFilePath", ""), dir_->path());

        // A failed export: Retry, then Cancel closes the window and saves the comment.
        QVERIFY(QDir().mkdir(path("run1.csv"))); // a folder where the file should go
        load(path("run1.vtd"));
        box()->setText("edited");
        fake_->messages.answers.enqueue(platform::Answer::Retry);
        fake_->messages.answers.enqueue(platform::Answer::Cancel);
        grapher_->mnuCDelimited_Click();
        QCOMPARE(fake_->messages.shown.size(), 3);
        QVERIFY(!grapher_->isOpen());
        QCOMPARE(storedComment(), QString("edited"));

        load(path("run1.vtd"));
        QFile::setPermissions(path("run1.vtd"), QFileDevice::ReadOwner);
        box()->setText("wanted");
        grapher_->cmdReturn_Click();
        QCOMPARE(fake_->messages.shown.size(), 4);
        for (const auto& shown : fake_->messages.shown.mid(1))
            QCOMPARE(shown.buttons, platform::Buttons::RetryCancel);
        QVERIFY(!grapher_->isOpen());
    }

    void fileRemovedWhileShown() {
        load(path("run1.vtd"));
        QVERIFY(QFile::remove(path("run1.vtd")));
        grapher_->picGraph_MouseMove(10, 0);
        QCOMPARE(text("lblTS"), QString("09:00:09"));
        zoom(0.2, 0.3); // before the first sample: the first alone
        QCOMPARE(viewRange(), std::pair(1, 1));
        grapher_->cmdPlusMinus_Click();
        grapher_->cmdReset_Click();
        grapher_->lblTitle_Click();
        grapher_->mnuCDelimited_Click(); // from what is in memory
        QCOMPARE(ReadBytes(path("run1.csv")).count('\n'), 1002);
        grapher_->mnuCAccess_Click(); // a failed copy keeps the graph
        QCOMPARE(fake_->messages.shown.value(1).title, QString("Copy to Access File Failed!"));
        grapher_->picGraph_MouseMove(1, 0);
        QCOMPARE(labels({"lblTitle", "lblValue"}), QStringList({" VDC", "-4"}));
        grapher_->cmdReturn_Click(); // the comment has nowhere to go: said so
        QCOMPARE(fake_->messages.shown.value(2).title, grapher::texts::CommentErrorTitle);
        QVERIFY(!grapher_->isOpen());
        QVERIFY(!QFileInfo::exists(path("run1.vtd")));
    }

    // The real (non-native) dialogs: Open wants an existing file, adding the extension; a
    // picture's name without one takes the first filter's. The picture is the graph without
    // the cursor and marker lines the window shows.
    void openAndPictureThroughTheRealDialogs() {
        QFile::copy(path("run1.vtd"), path("run2.vtd"));
        real_.emplace(platform::Platform{fake_->messages, dialogs_, fake_->sound, fake_->clock,
                                         fake_->serial, fake_->shell, fake_->progress});
        makeGrapher(*real_);
        main_->state.logger.LogFilePath = path("Test.vtd");
        load(path("run1.vtd"));
        for (const auto& [typed, shown] :
             {std::pair{"not-there", "run1.vtd"}, {"run2", "run2.vtd"}}) {
            realdialog::typeIntoNextFileDialog(typed);
            grapher_->findChild<QAction*>("cmdOpen")->trigger();
            QCOMPARE(main_->state.GraphFilePath, path(shown));
            QVERIFY(grapher_->isOpen());
        }
        // The date as the window shows it however the file came, the picture's too.
        QCOMPARE(text("lblDate"),
                 QLocale::system().toString(QDate(2026, 1, 2), QLocale::LongFormat));
        grapher_->picGraph_MouseDown(120);
        grapher_->picGraph_MouseDown(300);
        grapher_->picGraph_MouseMove(500, 0);
        const QRgb white = qRgb(255, 255, 255);
        QVERIFY(pixels(pic()->snapshot(), white) > 0); // the window shows cursor lines, marker
        realdialog::typeIntoNextFileDialog("report");
        grapher_->findChild<QAction*>("mnuPicture")->trigger();
        const grapher::GraphPicture shown = grapher_->picture();
        const QImage image(path("report.png"));
        QCOMPARE(image.size(), (shown.area.size() * 2).toSize());
        const QRectF plotRect = shown.plot.rect.translated(-shown.area.topLeft());
        const QImage plot =
            image.copy(QRectF(plotRect.topLeft() * 2, plotRect.size() * 2).toRect());
        QVERIFY(pixels(plot, qRgb(255, 0, 0)) > plot.width() / 2); // the trace on black
        QCOMPARE(pixels(plot, white), 0);
        const QByteArray svg = grapher::GraphPictureSvg(shown, "run2");
        for (const QString& label : {QString("Filename: run2.vtd"), QString("first run"),
                                     text("lblDate"), QString("-5.00E+00"), QString("VDC")})
            QVERIFY2(svg.contains(label.toUtf8() + "</text>"), qPrintable(label));
        QVERIFY(!svg.contains("<image")); // lines and text, not a raster copy
        // The grid dotted as on the window: its one-pixel dashes start on a pixel's edge (from
        // its centre a viewer paints every pixel half grey: a solid line).
        const QString grid =
            QString(svg).section("stroke-dasharray=\"1,1\"", 1).section("</g>", 0, 0);
        QVERIFY(grid.count("<polyline") == 3 &&
                !grid.contains(QRegularExpression("points=\"\\d+\\.")));
        grapher_->activateWindow(); // from the dialogs
        QVERIFY(QTest::qWaitForWindowActive(grapher_.get()));
        QTest::keyClick(pic(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->image().size(), image.size());
        realdialog::typeIntoNextFileDialog("report", true); // the typed name follows the filter
        grapher_->findChild<QAction*>("mnuPicture")->trigger();
        QVERIFY(ReadBytes(path("report.svg")).contains("<svg"));
        QVERIFY(fake_->messages.shown.isEmpty());
        realdialog::typeIntoNextFileDialog("gone/report"); // a folder that is not there
        grapher_->findChild<QAction*>("mnuPicture")->trigger();
        QCOMPARE(fake_->messages.shown.value(0).text, grapher::texts::FolderMissing(path("gone")));
    }

    void failedPictureKeepsTheEarlierFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("error");
        QTest::newRow("read-only earlier picture") << "old.png" << 70;
        QTest::newRow("the log file itself") << "run1.vtd" << 70;
#ifdef Q_OS_UNIX
        QTest::newRow("no room") << "old.png" << 61; // writing stops at a file size limit
#endif
    }
    void failedPictureKeepsTheEarlierFile() {
        QFETCH(QString, name);
        QFETCH(int, error);
        if (name == "old.png") {
            QVERIFY(WriteBytes(path(name), "earlier"));
            if (error != 61)
                QVERIFY(QFile::setPermissions(path(name), QFile::ReadOwner));
        }
        const QByteArray before = ReadBytes(path(name));
        const QStringList files = QDir(dir_->path()).entryList(QDir::Files);
        load(path("run1.vtd"));
        fake_->dialogs.saveResults.enqueue({platform::DialogResult::Status::Ok, path(name)});
        fake_->messages.answers.enqueue(platform::Answer::Retry);
#ifdef Q_OS_UNIX
        rlimit unlimited{};
        getrlimit(RLIMIT_FSIZE, &unlimited);
        rlimit small = unlimited;
        small.rlim_cur = error == 61 ? 64 : unlimited.rlim_cur;
        signal(SIGXFSZ, SIG_IGN); // a failed write, not the end of the process
        setrlimit(RLIMIT_FSIZE, &small);
        grapher_->mnuPicture_Click();
        setrlimit(RLIMIT_FSIZE, &unlimited);
#else
        grapher_->mnuPicture_Click();
#endif
        QCOMPARE(fake_->dialogs.saveRequests.value(0).initialPath, path("run1.png"));
        QCOMPARE(fake_->messages.shown.size(), 2); // Retry, then Cancel
        QCOMPARE(fake_->messages.shown[1].text, grapher::texts::CsvError(error));
        QCOMPARE(ReadBytes(path(name)), before);
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), files); // no temporary file left
        QVERIFY(grapher_->isOpen()); // giving up the picture keeps the graph
    }

    // Cancel in a long task: the earlier file with its view, title and path stays, nothing is
    // said, an earlier export is left as it was, and the live display goes on after an open.
    void cancelKeepsTheEarlierState_data() {
        QTest::addColumn<QString>("task");
        QTest::addColumn<QStringList>("begun"); // the last one is cancelled
        using namespace grapher::texts;
        QTest::newRow("open from the grapher") << "open" << QStringList{ReadingLog};
        QTest::newRow("open and graph") << "main" << QStringList{ReadingLog};
        QTest::newRow("open and graph, no grapher") << "first" << QStringList{ReadingLog};
        QTest::newRow("CSV export") << "csv" << QStringList{WritingCsv};
        QTest::newRow("database copy") << "mdb" << QStringList{CopyingDatabase};
        QTest::newRow("read after the copy") << "mdb" << QStringList{CopyingDatabase, ReadingLog};
    }
    void cancelKeepsTheEarlierState() {
        QFETCH(QString, task);
        QFETCH(QStringList, begun);
        QFile::copy(path("run1.vtd"), path("run2.vtd"));
        QVERIFY(WriteBytes(path("run1.csv"), "earlier") && WriteBytes(path("run1.mdb"), "earlier"));
        if (task != "first") {
            load(path("run1.vtd"));
            zoom(350.6, 450.4);
            grapher_->cmdPlusMinus_Click();
        }
        const QStringList shown = labels({"lblTitle", "lblFileName", "lblMaxVal", "lblMin"});
        const int displayStarts = main_->displayStarts;
        doubles::FakeProgressDialog& progress = fake_->progress;
        progress.begun.clear();
        progress.ended = 0;
        progress.cancelWhen = [&](qint64) { return progress.begun.size() == begun.size(); };
        if (task == "open")
            openFromDialog(path("run2.vtd"));
        else if (task == "main" || task == "first")
            load(path("run2.vtd"));
        else if (task == "csv")
            grapher_->mnuCDelimited_Click();
        else
            grapher_->mnuCAccess_Click();
        QCOMPARE(progress.begun, begun);
        QCOMPARE(progress.ended, progress.begun.size());
        QVERIFY(fake_->messages.shown.isEmpty());
        QCOMPARE(ReadBytes(path("run1.csv")), QByteArray("earlier"));
        QCOMPARE(ReadBytes(path("run1.mdb")) == "earlier", begun.size() == 1);
        QCOMPARE(main_->displayStarts, displayStarts + int(task == "main" || task == "first"));
        QCOMPARE(grapher_->isOpen() && grapher_->isVisible(), task != "first");
        if (task == "first")
            return;
        QCOMPARE(main_->state.GraphFilePath, path("run1.vtd"));
        QCOMPARE(labels({"lblTitle", "lblFileName", "lblMaxVal", "lblMin"}), shown);
    }

    // The statistics window follows every change of the view and goes with the grapher.
    void statisticsFollowTheView() {
        load(path("run1.vtd"));
        grapher_->findChild<QAction*>("mnuStatistics")->trigger();
        // Each step changes the number of samples in view: 1000, 600 positive, fewer, 1000.
        const std::function<void()> steps[] = {[] {}, [this] { grapher_->cmdPlusMinus_Click(); },
                                               [this] { zoom(500.4, 700.4); },
                                               [this] { grapher_->cmdReset_Click(); }};
        for (const auto& step : steps) {
            step();
            const grapher::GraphView& v = grapher_->view();
            const grapher::ViewStatistics view(grapher_->log()->columns, v.DataSet, v.ViewStart,
                                               v.ViewEnd, v.SignFilter);
            const auto t = grapher::StatisticsTexts::of(view);
            QCOMPARE(labels({"lblSamples", "lblSpan", "lblMean", "lblMinimum"}),
                     QStringList({t.samples, t.span, t.mean, t.minimum}));
        }
        QCOMPARE(text("lblSamples"), QString("1000"));
        grapher_->cmdReturn_Click();
        QVERIFY(!grapher_->findChild<QWidget*>("frmStatistics")->isVisible());
    }

private:
    static int pixels(const QImage& image, QRgb colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == colour;
        return n;
    }
    QString path(const QString& name) const {
        return dir_->filePath(name);
    }
    // The grapher wired to the main side as the program wires it.
    void makeGrapher(platform::Platform& services) {
        LiveMain& main = *main_;
        frmGrapher::MainSide side{main.scale, &main.window,
                                  [&main] { return main.state.display.TrendUnits; },
                                  [&main] { return main.state.logger.LogFilePath; }};
        grapher_.reset();
        grapher_ = std::make_unique<frmGrapher>(std::move(side), services);
        connect(grapher_.get(), &frmGrapher::liveDisplayDue, [&main] { ++main.displayStarts; });
        connect(grapher_.get(), &frmGrapher::quitRequested, [&main] { ++main.quits; });
        connect(grapher_.get(), &frmGrapher::graphFileChosen,
                [&main](const QString& path) { main.state.GraphFilePath = path; });
    }
    void load(const QString& file) {
        main_->state.GraphFilePath = file;
        grapher_->loadFromMain(file);
    }
    void openFromDialog(const QString& file) {
        fake_->dialogs.fileResults.enqueue({platform::DialogResult::Status::Ok, file});
        grapher_->cmdOpen_Click();
    }
    std::pair<int, int> viewRange() {
        return {grapher_->view().ViewStart, grapher_->view().ViewEnd};
    }
    void zoom(double from, double to) {
        grapher_->picGraph_MouseDown(from);
        grapher_->picGraph_MouseDown(to);
        grapher_->cmdZoom_Click();
    }
    QString storedComment() const {
        return grapher::LoadLogFile(path("run1.vtd")).log->info.Description;
    }
    QString text(const char* label) {
        return grapher_->findChild<QLabel*>(label)->text();
    }
    QStringList labels(std::initializer_list<const char*> names) {
        QStringList texts;
        for (const char* name : names)
            texts << text(name);
        return texts;
    }
    QPushButton* button(const char* name) {
        return grapher_->findChild<QPushButton*>(name);
    }
    QLineEdit* box() {
        return grapher_->findChild<QLineEdit*>("txtComment");
    }
    platform::PictureBox* pic() {
        return grapher_->findChild<platform::PictureBox*>("picGraph");
    }

    platform::QtDialogs dialogs_;
    std::optional<platform::Platform> real_; // the fakes, with the real file dialogs
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<doubles::FakePlatform> fake_;
    std::unique_ptr<LiveMain> main_;
    std::unique_ptr<frmGrapher> grapher_;
};

QTEST_MAIN(FrmGrapherTest)
#include "tst_frmgrapher.moc"
