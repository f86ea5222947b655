#include "Doubles.h"
#include "GrapherTestFiles.h"
#include "RecordingMain.h"
#include "grapher/GrapherTexts.h"
#include "grapher/LogFileReader.h"
#include "grapher/frmGrapher.h"
#include "logger/DbError.h"
#include "settings/SettingsStore.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

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
        const QImage shown = pic()->snapshot(); // the red trace on the black surface
        bool red = false;
        for (int y = 0; y < shown.height() && !red; ++y)
            for (int x = 0; x < shown.width() && !red; ++x)
                red = shown.pixel(x, y) == qRgb(255, 0, 0);
        QVERIFY(red);
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
    }

    void signFilterTitles() {
        load(path("run1.vtd"));
        grapher_->cmdPlusMinus_Click();
        QCOMPARE(labels({"lblTitle", "lblMin"}),
                 QStringList({" VDC - Positive Values Only!", "0"}));
        grapher_->cmdPlusMinus_Click();
        QCOMPARE(labels({"lblTitle", "lblMax"}),
                 QStringList({" VDC - Negative Values Only!", "0"}));
        grapher_->cmdPlusMinus_Click();
        QCOMPARE(text("lblTitle"), QString(" VDC"));
    }

    void unsignedUnitsDisablePlusMinusAndShowDbu() {
        WriteLogFile(
            path("ac.vtd"), "d", "c",
            {{QTime(1, 0, 0), 0, "VAC", 0.77459667f}, {QTime(1, 0, 1), 0, "VAC", 7.7459667f}});
        load(path("ac.vtd"));
        QCOMPARE(grapher_->view().SignFilter, QString("positive"));
        QVERIFY(!button("cmdPlusMinus")->isEnabled());
        grapher_->picGraph_MouseMove(1, 0);
        QCOMPARE(text("lbldBu"), QString("0.00 dBu"));
        grapher_->picGraph_MouseMove(2, 0);
        QCOMPARE(text("lbldBu"), QString("20.00 dBu"));
    }

    void dataSetSwitch() {
        WriteLogFile(
            path("dual.vtd"), "d", "c",
            {{QTime(1, 0, 0), 0, "VAC", 1, "HZ", 50}, {QTime(1, 0, 1), 0, "VAC", 2, "HZ", 60}});
        load(path("dual.vtd"));
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

    void openFromTheWindow() {
        MakeBadFile("nologdata", path("other.vtd"));
        load(path("run1.vtd"));
        zoom(10, 20);
        grapher_->cmdOpen_Click(); // the fake dialog answers "cancelled": nothing changes
        QCOMPARE(grapher_->view().ViewStart, 10);
        QCOMPARE(main_->state.GraphFilePath, path("run1.vtd"));
        QVERIFY(grapher_->isOpen());
        // A file without tables, opened here, closes only the grapher.
        openFromDialog(path("other.vtd"));
        QCOMPARE(fake_->messages.shown.value(0).text, grapher::texts::UnknownError());
        QCOMPARE(main_->quits, 0);
        QVERIFY(!grapher_->isOpen());
    }

    void aboutAndHelp() {
        grapher_->mnuAbout_Click();
        grapher_->mnuContents_Click();
        QCOMPARE(fake_->messages.shown.value(0).title, QString("About Voltrane Graphing"));
        QCOMPARE(fake_->messages.shown.value(1).text.count("\r\n"), 20);
    }

    void mdbFileDisablesTheCopy() {
        QFile::copy(path("run1.vtd"), path("run2.mdb"));
        QFile::copy(path("run1.vtd"), path("run3.MDB"));
        load(path("run3.MDB"));
        QVERIFY(grapher_->findChild<QAction*>("mnuCAccess")->isEnabled());
        load(path("run2.mdb"));
        QVERIFY(!grapher_->findChild<QAction*>("mnuCAccess")->isEnabled());
        load(path("run1.vtd")); // a new window load starts afresh
        QVERIFY(grapher_->findChild<QAction*>("mnuCAccess")->isEnabled());
    }

    void csvErrorRetryThenCancelClosesAndSavesTheComment() {
        QVERIFY(QDir().mkdir(path("run1.csv"))); // a folder where the file should go
        load(path("run1.vtd"));
        box()->setText("edited");
        fake_->messages.answers.enqueue(platform::Answer::Retry);
        fake_->messages.answers.enqueue(platform::Answer::Cancel);
        grapher_->mnuCDelimited_Click();
        QCOMPARE(fake_->messages.shown.size(), 2);
        QCOMPARE(fake_->messages.shown[0].buttons, platform::Buttons::RetryCancel);
        QVERIFY(!grapher_->isOpen());
        QCOMPARE(storedComment(), QString("edited"));
    }

    void failedCopyKeepsTheGraph() {
        QVERIFY(WriteBytes(path("run1.mdb"), {}));
        QFile::setPermissions(path("run1.mdb"), QFileDevice::ReadOwner);
        load(path("run1.vtd"));
        grapher_->mnuCAccess_Click();
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

        load(path("run1.vtd"));
        QFile::setPermissions(path("run1.vtd"), QFileDevice::ReadOwner);
        box()->setText("wanted");
        grapher_->cmdReturn_Click();
        QCOMPARE(fake_->messages.shown.size(), 1);
        QCOMPARE(fake_->messages.shown[0].buttons, platform::Buttons::RetryCancel);
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

private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    void load(const QString& file) {
        main_->state.GraphFilePath = file;
        grapher_->loadFromMain();
    }
    void openFromDialog(const QString& file) {
        fake_->dialogs.fileResults.enqueue({platform::DialogResult::Status::Ok, file});
        grapher_->cmdOpen_Click();
    }
    void zoom(double from, double to) {
        grapher_->picGraph_MouseDown(from);
        grapher_->picGraph_MouseDown(to);
        grapher_->cmdZoom_Click();
    }
    QString storedComment() const {
        return grapher::LoadLogFile(path("run1.vtd")).log->info.Description;
    }
    QString text(const char* label) { return grapher_->findChild<QLabel*>(label)->text(); }
    QStringList labels(std::initializer_list<const char*> names) {
        QStringList texts;
        for (const char* name : names)
            texts << text(name);
        return texts;
    }
    QPushButton* button(const char* name) { return grapher_->findChild<QPushButton*>(name); }
    QLineEdit* box() { return grapher_->findChild<QLineEdit*>("txtComment"); }
    platform::PictureBox* pic() { return grapher_->findChild<platform::PictureBox*>("picGraph"); }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<doubles::FakePlatform> fake_;
    std::unique_ptr<RecordingMain> main_;
    std::unique_ptr<frmGrapher> grapher_;
};

QTEST_MAIN(FrmGrapherTest)
#include "tst_frmgrapher.moc"
