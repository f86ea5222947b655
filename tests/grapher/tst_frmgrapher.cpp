#include "Doubles.h"
#include "GrapherTestFiles.h"
#include "RealFileDialog.h"
#include "RecordingMain.h"
#include "grapher/GraphPicture.h"
#include "grapher/GrapherTexts.h"
#include "grapher/LogFileReader.h"
#include "grapher/frmGrapher.h"
#include "logger/DbError.h"
#include "platform/QtDialogs.h"
#include "settings/SettingsStore.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace grapher_test;

class FrmGrapherTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        fake_ = std::make_unique<doubles::FakePlatform>();
        main_ = std::make_unique<RecordingMain>();
        main_->state.reading.ShownUnits = "V";
        grapher_ = std::make_unique<frmGrapher>(*main_, fake_->platform);
        // 1000 samples of both signs, -4.00 to 5.99 volts DC, single display.
        std::vector<Sample> samples;
        for (int i = 0; i < 1000; ++i)
            samples.push_back({QTime(9, 0, 0).addSecs(i), float(i), "VDC", float(i - 400) / 100.f});
        WriteLogFile(path("run1.vtd"), "2026-01-02", "first run", samples);
    }
    void cleanup() { grapher_.reset(); }

    void loadShowsTheFileAndItsScale() {
        load(path("run1.vtd"));
        QVERIFY(grapher_->isOpen() && grapher_->isVisible());
        QCOMPARE(text("lblFileName"), QString("Filename: run1.vtd"));
        QCOMPARE(main_->displayStarts, 1);
        QVERIFY(fake_->messages.shown.isEmpty());
        QVERIFY(!button("cmdZoom")->isEnabled() && !button("cmdReset")->isEnabled());
        QVERIFY(button("cmdPlusMinus")->isEnabled());
        QCOMPARE(labels({"lblMax", "lblMidHigh", "lblMid", "lblMidLow", "lblMin"}),
                 QStringList({"1.00E+01", "5.00E+00", "0", "-5.00E+00", "-1.00E+01"}));
        QCOMPARE(labels({"lblMaxVal", "lblMinVal", "lblTitle", "lblType"}),
                 QStringList({"5.99E+00", "-4.00E+00", " VDC", "VDC V"}));
        QVERIFY(pixels(pic()->snapshot(), qRgb(255, 0, 0)) > 0); // the red trace
        grapher_->mnuAbout_Click();
        QCOMPARE(fake_->messages.shown.value(0).title, QString("About Voltrane Graphing"));
    }

    void readoutsFollowTheMouseAndKeys() {
        load(path("run1.vtd"));
        grapher_->picGraph_MouseMove(2.5, 0); // halves to even: row 2
        QCOMPARE(labels({"lblTS", "lblType", "lblUnits", "lblValue", "lbldBu"}),
                 QStringList({"09:00:01", "1", "VDC", "-3.99", "NA"}));
        QCOMPARE(grapher_->view().MarkerX, 2.5f);
        QCOMPARE(grapher_->view().MarkerValue, -3.99f);
        grapher_->picGraph_MouseMove(3.5, 0);
        QCOMPARE(text("lblTS"), QString("09:00:03"));
        grapher_->picGraph_MouseMove(5000, 0); // beyond the file: the readout stays
        QCOMPARE(text("lblTS"), QString("09:00:03"));
        QTest::keyClick(pic(), Qt::Key_Right);
        QCOMPARE(text("lblTS"), QString("09:00:04"));
        QCOMPARE(grapher_->view().MarkerX, 5.f);
        QTest::keyClick(pic(), Qt::Key_Left);
        QCOMPARE(text("lblTS"), QString("09:00:03"));
        // The marker inverts pixels: drawing it again on the same place restores the picture.
        const QImage withMarker = pic()->snapshot();
        grapher_->picGraph_MouseMove(700, 0);
        grapher_->picGraph_MouseMove(4, 0);
        QCOMPARE(pic()->snapshot(), withMarker);
    }

    void clicksZoomAndReset() {
        load(path("run1.vtd"));
        grapher_->picGraph_MouseDown(500);
        QVERIFY(button("cmdZoom")->isEnabled() && button("cmdReset")->isEnabled());
        grapher_->picGraph_MouseDown(120.6);
        grapher_->picGraph_MouseDown(300.4);
        // Three clicks, two lines (the last two), drawn across the empty top of the graph.
        const QImage shown = pic()->snapshot();
        auto lineAt = [&](double x) {
            return shown.pixel(qRound(pic()->toPixel(QPointF(x, 0)).x()), 3) == qRgb(255, 255, 255);
        };
        QVERIFY(!lineAt(500) && lineAt(120.6) && lineAt(300.4));
        grapher_->cmdZoom_Click();
        QCOMPARE(grapher_->view().ViewStart, 121);
        QCOMPARE(grapher_->view().ViewEnd, 300);
        QVERIFY(!button("cmdZoom")->isEnabled() && button("cmdReset")->isEnabled());
        QCOMPARE(text("lblTitle"), QString(" VDC"));
        zoom(10, 20); // nested: within the view starting at 121
        QCOMPARE(grapher_->view().ViewStart, 130);
        QCOMPARE(grapher_->view().ViewEnd, 140);
        grapher_->cmdPlusMinus_Click();
        grapher_->cmdReset_Click();
        QCOMPARE(grapher_->view().ViewStart, 1);
        QCOMPARE(grapher_->view().ViewEnd, 1000);
        QCOMPARE(grapher_->view().SignFilter, QString("both"));
        QVERIFY(!button("cmdZoom")->isEnabled() && !button("cmdReset")->isEnabled());
        grapher_->cmdPlusMinus_Click();
        QCOMPARE(labels({"lblTitle", "lblMin"}),
                 QStringList({" VDC - Positive Values Only!", "0"}));
        grapher_->cmdPlusMinus_Click();
        QCOMPARE(labels({"lblTitle", "lblMax"}),
                 QStringList({" VDC - Negative Values Only!", "0"}));
    }

    // Unsigned readings: positive only, AC levels in dBu; the dual file's two data sets.
    void unsignedUnitsAndDataSets() {
        WriteLogFile(path("dual.vtd"), "d", "c",
                     {{QTime(1, 0, 0), 0, "VAC", 0.77459667f, "HZ", 50},
                      {QTime(1, 0, 1), 0, "VAC", 7.7459667f, "HZ", 60}});
        load(path("dual.vtd"));
        QCOMPARE(grapher_->view().SignFilter, QString("positive"));
        QVERIFY(!button("cmdPlusMinus")->isEnabled());
        grapher_->picGraph_MouseMove(1, 0);
        QCOMPARE(text("lbldBu"), QString("0.00 dBu"));
        grapher_->picGraph_MouseMove(2, 0);
        QCOMPARE(text("lbldBu"), QString("20.00 dBu"));
        grapher_->picGraph_MouseMove(1, 0);
        grapher_->lblTitle_Click();
        QCOMPARE(grapher_->view().DataSet, qint16(2));
        // lblValue: the file's first row, secondary reading.
        QCOMPARE(labels({"Label10", "lblTitle", "lblValue", "lblMaxVal"}),
                 QStringList({"Secondary", " HZ", "50", "6.00E+01"}));
        openFromDialog(path("dual.vtd")); // another file from the window keeps the data set
        QCOMPARE(grapher_->view().DataSet, qint16(2));
        QCOMPARE(labels({"lblTitle", "lblDate"}), QStringList({" HZ", "d"})); // date as stored
        grapher_->lblTitle_Click();
        QCOMPARE(labels({"Label10", "lblTitle"}), QStringList({"Primary", " VAC"}));

        load(path("run1.vtd")); // single display
        const QImage plain = pic()->snapshot();
        grapher_->picGraph_MouseMove(30, 0);
        grapher_->picGraph_MouseDown(40);
        grapher_->picGraph_MouseDown(60);
        grapher_->lblTitle_Click();
        QCOMPARE(grapher_->view().DataSet, qint16(1));
        QCOMPARE(text("Label10"), QString());
        QCOMPARE(pic()->snapshot(), plain); // no marker or cursor line left behind
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
            const int column = qRound(pic()->toPixel({x, 0}).x());
            int white = 0;
            for (int y = 0; y < shown.height(); ++y)
                white += shown.pixel(column, y) == qRgb(255, 255, 255);
            QVERIFY2(white > shown.height() / 2, qPrintable(QString::number(x)));
        }
        QVERIFY(button("cmdZoom")->isEnabled());
        QTest::mouseClick(button("cmdZoom"), Qt::LeftButton);
        QCOMPARE(grapher_->view().ViewStart, lo);
        QCOMPARE(grapher_->view().ViewEnd, hi);
    }

    // A file without tables, opened from the grapher itself, closes only the grapher.
    void aRefusedFileTakesTheWindowAwayBeforeItsMessage_data() {
        QTest::addColumn<bool>("fromMainWindow");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("main window's Open")
            << true << "nosamples" << grapher::texts::NotValidFile();
        QTest::newRow("grapher's own Open")
            << false << "nologdata" << grapher::texts::UnknownError();
    }
    void aRefusedFileTakesTheWindowAwayBeforeItsMessage() {
        QFETCH(bool, fromMainWindow);
        QFETCH(QString, kind);
        QFETCH(QString, message);
        MakeBadFile(kind, path("bad.vtd"));
        load(path("run1.vtd"));
        zoom(10, 20);
        grapher_->cmdOpen_Click(); // the fake dialog answers "cancelled": nothing changes
        QCOMPARE(grapher_->view().ViewStart, 10);
        QCOMPARE(main_->state.GraphFilePath, path("run1.vtd"));
        bool shownBehind = true;
        fake_->messages.onShow = [&] { shownBehind = grapher_->isVisible(); };
        if (fromMainWindow)
            load(path("bad.vtd"));
        else
            openFromDialog(path("bad.vtd"));
        QCOMPARE(fake_->messages.shown.size(), 1);
        QCOMPARE(fake_->messages.shown[0].text, message);
        QVERIFY(!shownBehind);
        QVERIFY(!grapher_->isOpen());
        QCOMPARE(main_->quits, 0);
    }

    void mdbFileDisablesTheCopyAndAFailedCopyKeepsTheGraph() {
        QFile::copy(path("run1.vtd"), path("run2.mdb"));
        QFile::copy(path("run1.vtd"), path("run3.MDB"));
        load(path("run3.MDB"));
        QVERIFY(grapher_->findChild<QAction*>("mnuCAccess")->isEnabled());
        load(path("run2.mdb"));
        QVERIFY(!grapher_->findChild<QAction*>("mnuCAccess")->isEnabled());
        QVERIFY(WriteBytes(path("run1.mdb"), {}));
        QFile::setPermissions(path("run1.mdb"), QFileDevice::ReadOwner);
        load(path("run1.vtd")); // a new window load starts afresh
        QVERIFY(grapher_->findChild<QAction*>("mnuCAccess")->isEnabled());
        grapher_->mnuCAccess_Click(); // a failed copy keeps the graph
        QCOMPARE(fake_->messages.shown.value(0).title, QString("Copy to Access File Failed!"));
        QVERIFY(grapher_->isOpen());
        grapher_->picGraph_MouseMove(1, 0);
        QCOMPARE(labels({"lblTitle", "lblValue"}), QStringList({" VDC", "-4"}));
    }

    void commentIsCutAndWrittenOnlyOnReturnOrRefused() {
        load(path("run1.vtd"));
        box()->setText("not saved");
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
        QCOMPARE(fake_->messages.shown.size(), 2);
        QVERIFY(!grapher_->isOpen());
        QCOMPARE(storedComment(), QString("edited"));

        load(path("run1.vtd"));
        QFile::setPermissions(path("run1.vtd"), QFileDevice::ReadOwner);
        box()->setText("wanted");
        grapher_->cmdReturn_Click();
        QCOMPARE(fake_->messages.shown.size(), 3);
        for (const auto& shown : fake_->messages.shown)
            QCOMPARE(shown.buttons, platform::Buttons::RetryCancel);
        QVERIFY(!grapher_->isOpen());
    }

    // Each file no run writes: the loader's error, then the message and what closes when the
    // main window opens it.
    void badFileFromMain_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        using namespace grapher::texts;
        namespace N = db::ErrorNumber;
        const auto bad = [](const char* kind, int error, const QString& message) {
            QTest::newRow(kind) << kind << error << message;
        };
        bad("empty", N::Unspecified, UnknownError());
        bad("truncated", N::Unspecified, UnknownError());
        bad("nologdata", N::MissingTable, NotCreatedQuitting());
        bad("noinfo", N::NoCurrentRow, NotValidFile());
        bad("nosamples", N::NoCurrentRow, NotValidFile());
        bad("nocolumn", N::UnknownColumn, DataIncompatible());
        bad("textms", grapher::TypeMismatch, UnknownError());
        bad("missing", N::FileNotFound, UnknownError());
    }
    void badFileFromMain() {
        QFETCH(QString, kind);
        QFETCH(int, error);
        QFETCH(QString, message);
        MakeBadFile(kind, path("bad.vtd"));
        const grapher::LoadResult r = grapher::LoadLogFile(path("bad.vtd"));
        QCOMPARE(r.error, error);
        QVERIFY(!r.log);
        load(path("bad.vtd"));
        QCOMPARE(fake_->messages.shown.size(), 1);
        QCOMPARE(fake_->messages.shown[0].text, message);
        QCOMPARE(fake_->messages.shown[0].title, QString("Cannot Start Graphing Program!"));
        QVERIFY(!grapher_->isOpen() && !grapher_->isVisible());
        // Only a file without the tables ends the program; otherwise the main display runs on.
        const int quits = error == db::ErrorNumber::MissingTable;
        QCOMPARE(main_->quits, quits);
        QCOMPARE(main_->displayStarts, 1 - quits);
    }

    void fileRemovedWhileShown() {
        load(path("run1.vtd"));
        QVERIFY(QFile::remove(path("run1.vtd")));
        grapher_->picGraph_MouseMove(10, 0);
        QCOMPARE(text("lblTS"), QString("09:00:09"));
        zoom(10, 50);
        grapher_->cmdPlusMinus_Click();
        grapher_->cmdReset_Click();
        grapher_->lblTitle_Click();
        grapher_->mnuCDelimited_Click(); // from what is in memory
        QCOMPARE(ReadBytes(path("run1.csv")).count('\n'), 1002);
        grapher_->mnuCAccess_Click();
        QCOMPARE(fake_->messages.shown.value(1).title, QString("Copy to Access File Failed!"));
        QVERIFY(grapher_->isOpen());
        grapher_->cmdReturn_Click(); // the comment has nowhere to go: said so
        QCOMPARE(fake_->messages.shown.value(2).title, grapher::texts::CommentErrorTitle);
        QVERIFY(!grapher_->isOpen());
        QVERIFY(!QFileInfo::exists(path("run1.vtd")));
    }

    void pictureIsTheGraphWithoutCursorLines() {
        load(path("run1.vtd"));
        grapher_->picGraph_MouseDown(120);
        grapher_->picGraph_MouseDown(300);
        grapher_->picGraph_MouseMove(500, 0);
        const QRgb white = qRgb(255, 255, 255);
        QVERIFY(pixels(pic()->snapshot(), white) > 0); // the window shows cursor lines, marker

        const grapher::GraphPicture shown = grapher_->picture();
        const QImage image = grapher::GraphPictureImage(shown);
        QCOMPARE(image.size(), (shown.area.size() * 2).toSize());
        QVERIFY(shown.area.contains(shown.plot.rect));
        const QRectF plotRect = shown.plot.rect.translated(-shown.area.topLeft());
        const QImage plot =
            image.copy(QRectF(plotRect.topLeft() * 2, plotRect.size() * 2).toRect());
        QVERIFY(pixels(plot, qRgb(255, 0, 0)) > plot.width() / 2); // the trace on black
        QCOMPARE(pixels(plot, white), 0);

        const QByteArray svg = grapher::GraphPictureSvg(shown, "run1");
        for (const QString& label :
             {QString("Filename: run1.vtd"), QString("first run"), text("lblDate"),
              QString("1.00E+01"), QString("-5.00E+00"), text("lblTitle").trimmed()})
            QVERIFY2(svg.contains(label.toUtf8() + "</text>"), qPrintable(label));
        QVERIFY(!svg.contains("<image")); // lines and text, not a raster copy

        QVERIFY(QTest::qWaitForWindowActive(grapher_.get()));
        QTest::keyClick(pic(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->image().size(), image.size());
    }

    // The real (non-native) dialogs: Open wants an existing file, adding the extension; Save
    // Picture proposes the log file's name and folder, and the filter changes the extension.
    void openAndPictureThroughTheRealDialogs() {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QFile::copy(path("run1.vtd"), path("run2.vtd"));
        platform::Platform real = realDialogs();
        frmGrapher grapher(*main_, real);
        main_->state.GraphFilePath = path("run1.vtd");
        main_->state.logger.LogFilePath = path("Test.vtd");
        grapher.loadFromMain();
        for (const auto& [typed, shown] :
             {std::pair{"not-there", "run1.vtd"}, {"run2", "run2.vtd"}}) {
            realdialog::typeIntoNextFileDialog(typed);
            grapher.findChild<QAction*>("cmdOpen")->trigger();
            QCOMPARE(main_->state.GraphFilePath, path(shown));
            QVERIFY(grapher.isOpen());
        }

        QStringList seen;
        answerSaveDialog([&](QFileDialog* d, QLineEdit* name) {
            seen << d->directory().path() << name->text();
            QTest::keyClick(d->findChild<QComboBox*>("fileTypeCombo"), Qt::Key_Down);
            seen << name->text();
            QTest::keyClick(name, Qt::Key_Return);
        });
        grapher.findChild<QAction*>("mnuPicture")->trigger();
        QCOMPARE(seen, QStringList({dir_->path(), "run2.png", "run2.svg"}));
        QVERIFY(ReadBytes(path("run2.svg")).contains("<svg"));

        // A new name without extension takes the chosen filter's.
        answerSaveDialog([](QFileDialog*, QLineEdit* name) {
            name->selectAll();
            QTest::keyClicks(name, "report");
            QTest::keyClick(name, Qt::Key_Return);
        });
        grapher.findChild<QAction*>("mnuPicture")->trigger();
        const QImage png(path("report.png"));
        QCOMPARE(png.size(), (grapher.picture().area.size() * 2).toSize());
        QVERIFY(fake_->messages.shown.isEmpty());
    }

    void failedPictureKeepsTheEarlierFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("noRoom"); // writing stops at a file size limit (a full disk)
        QTest::newRow("read-only earlier picture") << "old.png" << 70 << false;
        QTest::newRow("the log file itself") << "run1.vtd" << 70 << false;
        QTest::newRow("folder gone") << "gone/run1.svg" << 53 << false;
#ifdef Q_OS_UNIX
        QTest::newRow("no room") << "old.png" << 61 << true;
#endif
    }
    void failedPictureKeepsTheEarlierFile() {
        QFETCH(QString, name);
        QFETCH(int, error);
        QFETCH(bool, noRoom);
        if (name == "old.png") {
            QVERIFY(WriteBytes(path(name), "earlier"));
            if (!noRoom)
                QVERIFY(QFile::setPermissions(path(name), QFile::ReadOwner | QFile::ReadGroup));
        }
        const QByteArray before = ReadBytes(path(name));
        const QStringList files = QDir(dir_->path()).entryList(QDir::Files);
        load(path("run1.vtd"));
        fake_->dialogs.saveResults.enqueue({platform::DialogResult::Status::Ok, path(name)});
        fake_->messages.answers.enqueue(platform::Answer::Retry);
#ifdef Q_OS_UNIX
        struct rlimit unlimited;
        getrlimit(RLIMIT_FSIZE, &unlimited);
        if (noRoom) {
            signal(SIGXFSZ, SIG_IGN); // a failed write, not the end of the process
            struct rlimit small = unlimited;
            small.rlim_cur = 64;
            setrlimit(RLIMIT_FSIZE, &small);
        }
        grapher_->mnuPicture_Click();
        setrlimit(RLIMIT_FSIZE, &unlimited);
#else
        grapher_->mnuPicture_Click();
#endif
        QCOMPARE(fake_->dialogs.saveRequests.value(0).initialPath, path("run1.png"));
        QCOMPARE(fake_->messages.shown.size(), 2); // Retry, then Cancel
        QCOMPARE(fake_->messages.shown[1].title, grapher::texts::PictureErrorTitle);
        QCOMPARE(message(1), grapher::texts::CsvError(error));
        QCOMPARE(ReadBytes(path(name)), before);
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), files); // no temporary file left
        QVERIFY(grapher_->isOpen()); // giving up the picture keeps the graph
    }

private:
    // The fakes, but with the real (non-native) file dialogs.
    platform::Platform realDialogs() {
        return {fake_->messages, dialogs_, fake_->sound, fake_->clock, fake_->serial, fake_->shell};
    }
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
    QString message(int i) const {
        return fake_->messages.shown.value(i).text;
    }
    void load(const QString& file) {
        main_->state.GraphFilePath = file;
        grapher_->loadFromMain();
    }
    void openFromDialog(const QString& file) {
        fake_->dialogs.fileResults.enqueue({platform::DialogResult::Status::Ok, file});
        grapher_->cmdOpen_Click();
    }
    // Answers the next save dialog when it shows (a real, non-native QFileDialog).
    template <typename Answer> void answerSaveDialog(Answer answer) {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [timer, answer] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!d || !d->isVisible())
                return;
            timer->stop();
            timer->deleteLater();
            answer(d, d->findChild<QLineEdit*>("fileNameEdit"));
            if (d->isVisible())
                d->reject(); // never left hanging
        });
        timer->start(10);
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
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<doubles::FakePlatform> fake_;
    std::unique_ptr<RecordingMain> main_;
    std::unique_ptr<frmGrapher> grapher_;
};

QTEST_MAIN(FrmGrapherTest)
#include "tst_frmgrapher.moc"
