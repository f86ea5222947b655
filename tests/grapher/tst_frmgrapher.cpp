#include "Doubles.h"
#include "GrapherTestFiles.h"
#include "grapher/GrapherTexts.h"
#include "grapher/LogFileReader.h"
#include "grapher/frmGrapher.h"
#include "settings/SettingsStore.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace grapher_test;

class FrmGrapherTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void loadShowsTheFile();
    void scaleLabelsAndTitle();
    void readoutsFollowTheMouseAndKeys();
    void clicksZoomAndReset();
    void signFilterTitles();
    void unsignedUnitsDisablePlusMinus();
    void dataSetSwitch();
    void cancelledOpenChangesNothing();
    void openAnotherFileKeepsTheDataSet();
    void mdbFileDisablesTheCopy();

    void csvExportBesideTheFile();
    void csvErrorRetryThenCancelClosesAndSavesTheComment();
    void databaseCopyReloadsTheComment();
    void failedCopyKeepsTheGraph();
    void commentIsCutAndWrittenOnReturn();
    void quitLeavesTheStoredComment();
    void readOnlyCommentIsReported();
    void aboutAndHelp();

    void badFileFromMain_data();
    void badFileFromMain();
    void fileWithoutTablesFromOpenClosesOnlyTheGrapher();
    void fileRemovedWhileShown();

private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    QString message(int i) const { return fake_->messages.shown.value(i).text; }
    frmGrapher& load(const QString& file);
    template <typename T> T* child(const char* name) { return grapher_->findChild<T*>(name); }
    QString text(const char* label) { return child<QLabel>(label)->text(); }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<doubles::FakePlatform> fake_;
    std::unique_ptr<FakeMain> main_;
    std::unique_ptr<frmGrapher> grapher_;
};

void FrmGrapherTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    fake_ = std::make_unique<doubles::FakePlatform>();
    main_ = std::make_unique<FakeMain>();
    main_->state.display.TrendUnits = "VDC";
    main_->state.reading.ShownUnits = "V";
    grapher_ = std::make_unique<frmGrapher>(*main_, fake_->platform);
    // A file of 1000 samples of both signs, volts DC, single display.
    std::vector<Sample> samples;
    for (int i = 0; i < 1000; ++i)
        samples.push_back(
            {QTime(9, 0, 0).addSecs(i), float(i % 1000), "VDC", float(i - 400) / 100.f});
    WriteLogFile(path("run1.vtd"), "2026-01-02", "first run", samples);
}

void FrmGrapherTest::cleanup() {
    grapher_.reset();
}

frmGrapher& FrmGrapherTest::load(const QString& file) {
    main_->state.GraphFilePath = file;
    grapher_->loadFromMain();
    return *grapher_;
}

void FrmGrapherTest::loadShowsTheFile() {
    load(path("run1.vtd"));
    QVERIFY(grapher_->isOpen());
    QVERIFY(grapher_->isVisible());
    QCOMPARE(grapher_->windowTitle(), QString("Voltrane Data Graphing Module"));
    QCOMPARE(text("lblFileName"), QString("Filename: run1.vtd"));
    QCOMPARE(child<QLineEdit>("txtComment")->text(), QString("first run"));
    QVERIFY(text("lblDate") != QString()); // the long form of 2026-01-02
    QCOMPARE(main_->displayStarts, 1);
    QVERIFY(fake_->messages.shown.isEmpty());
    const auto& v = grapher_->view();
    QCOMPARE(v.ViewStart, 1);
    QCOMPARE(v.ViewEnd, 1000);
    QCOMPARE(v.RecordsInView, 1000);
    QCOMPARE(v.SignFilter, QString("both"));
    QVERIFY(!child<QPushButton>("cmdZoom")->isEnabled());
    QVERIFY(!child<QPushButton>("cmdReset")->isEnabled());
    QVERIFY(child<QPushButton>("cmdPlusMinus")->isEnabled());
    // The red trace is on the black surface.
    const QImage shown = child<platform::PictureBox>("picGraph")->snapshot();
    bool red = false;
    for (int y = 0; y < shown.height() && !red; ++y)
        for (int x = 0; x < shown.width() && !red; ++x)
            red = shown.pixel(x, y) == qRgb(255, 0, 0);
    QVERIFY(red);
}

void FrmGrapherTest::scaleLabelsAndTitle() {
    load(path("run1.vtd"));
    // Values run from -4.00 to 5.99: full scale 10.
    QCOMPARE(grapher_->view().FullScale, 10.f);
    QCOMPARE(text("lblMax"), QString("1.00E+01"));
    QCOMPARE(text("lblMidHigh"), QString("5.00E+00"));
    QCOMPARE(text("lblMid"), QString("0"));
    QCOMPARE(text("lblMidLow"), QString("-5.00E+00"));
    QCOMPARE(text("lblMin"), QString("-1.00E+01"));
    QCOMPARE(text("lblMaxVal"), QString("5.99E+00"));
    QCOMPARE(text("lblMinVal"), QString("-4.00E+00"));
    QCOMPARE(text("lblTitle"), QString(" VDC"));
    QCOMPARE(text("lblType"), QString("VDC V"));
}

void FrmGrapherTest::readoutsFollowTheMouseAndKeys() {
    load(path("run1.vtd"));
    grapher_->picGraph_MouseMove(2.5, 0); // halves to even: row 2
    QCOMPARE(text("lblTS"), QString("09:00:01"));
    QCOMPARE(text("lblType"), QString("1"));
    QCOMPARE(text("lblUnits"), QString("VDC"));
    QCOMPARE(text("lblValue"), QString("-3.99"));
    QCOMPARE(text("lbldBu"), QString("NA"));
    QCOMPARE(grapher_->view().MarkerX, 2.5f);
    QCOMPARE(grapher_->view().MarkerValue, -3.99f);
    grapher_->picGraph_MouseMove(3.5, 0);
    QCOMPARE(text("lblTS"), QString("09:00:03"));
    grapher_->picGraph_MouseMove(5000, 0); // beyond the file: the readout stays
    QCOMPARE(text("lblTS"), QString("09:00:03"));

    QTest::keyClick(child<platform::PictureBox>("picGraph"), Qt::Key_Right);
    QCOMPARE(text("lblTS"), QString("09:00:04"));
    QCOMPARE(grapher_->view().MarkerX, 5.f);
    QTest::keyClick(child<platform::PictureBox>("picGraph"), Qt::Key_Left);
    QCOMPARE(text("lblTS"), QString("09:00:03"));

    // The marker inverts pixels: drawing it again on the same place restores the picture.
    auto* pic = child<platform::PictureBox>("picGraph");
    const QImage withMarker = pic->snapshot();
    grapher_->picGraph_MouseMove(700, 0);
    grapher_->picGraph_MouseMove(4, 0);
    QCOMPARE(pic->snapshot(), withMarker);
}

void FrmGrapherTest::clicksZoomAndReset() {
    load(path("run1.vtd"));
    auto* pic = child<platform::PictureBox>("picGraph");
    grapher_->picGraph_MouseDown(500);
    QVERIFY(child<QPushButton>("cmdZoom")->isEnabled());
    QVERIFY(child<QPushButton>("cmdReset")->isEnabled());
    grapher_->picGraph_MouseDown(120.6);
    grapher_->picGraph_MouseDown(300.4);
    // Three clicks, two lines (the last two), drawn across the empty top of the graph.
    const QImage shown = pic->snapshot();
    auto lineAt = [&](double x) {
        return shown.pixel(qRound(pic->toPixel(QPointF(x, 0)).x()), 3) == qRgb(255, 255, 255);
    };
    QVERIFY(!lineAt(500));
    QVERIFY(lineAt(120.6));
    QVERIFY(lineAt(300.4));
    grapher_->cmdZoom_Click();
    QCOMPARE(grapher_->view().ViewStart, 121);
    QCOMPARE(grapher_->view().ViewEnd, 300);
    QCOMPARE(grapher_->view().RecordsInView, 180);
    QVERIFY(!child<QPushButton>("cmdZoom")->isEnabled());
    QVERIFY(child<QPushButton>("cmdReset")->isEnabled());
    QCOMPARE(text("lblTitle"), QString(" VDC"));

    grapher_->picGraph_MouseDown(10);
    grapher_->picGraph_MouseDown(20);
    grapher_->cmdZoom_Click();
    QCOMPARE(grapher_->view().ViewStart, 130);
    QCOMPARE(grapher_->view().ViewEnd, 140);

    grapher_->cmdReset_Click();
    QCOMPARE(grapher_->view().ViewStart, 1);
    QCOMPARE(grapher_->view().ViewEnd, 1000);
    QCOMPARE(grapher_->view().SignFilter, QString("both"));
    QVERIFY(!child<QPushButton>("cmdZoom")->isEnabled());
    QVERIFY(!child<QPushButton>("cmdReset")->isEnabled());
}

void FrmGrapherTest::signFilterTitles() {
    load(path("run1.vtd"));
    grapher_->cmdPlusMinus_Click();
    QCOMPARE(grapher_->view().SignFilter, QString("positive"));
    QCOMPARE(text("lblTitle"), QString(" VDC - Positive Values Only!"));
    QCOMPARE(text("lblMin"), QString("0"));
    grapher_->cmdPlusMinus_Click();
    QCOMPARE(text("lblTitle"), QString(" VDC - Negative Values Only!"));
    QCOMPARE(text("lblMax"), QString("0"));
    grapher_->cmdPlusMinus_Click();
    QCOMPARE(text("lblTitle"), QString(" VDC"));
}

void FrmGrapherTest::unsignedUnitsDisablePlusMinus() {
    WriteLogFile(path("ac.vtd"), "d", "c",
                 {{QTime(1, 0, 0), 0, "VAC", 0.77459667f}, {QTime(1, 0, 1), 0, "VAC", 7.7459667f}});
    load(path("ac.vtd"));
    QCOMPARE(grapher_->view().SignFilter, QString("positive"));
    QVERIFY(!child<QPushButton>("cmdPlusMinus")->isEnabled());
    grapher_->picGraph_MouseMove(1, 0);
    QCOMPARE(text("lbldBu"), QString("0.00 dBu"));
    grapher_->picGraph_MouseMove(2, 0);
    QCOMPARE(text("lbldBu"), QString("20.00 dBu"));
}

void FrmGrapherTest::dataSetSwitch() {
    WriteLogFile(
        path("dual.vtd"), "d", "c",
        {{QTime(1, 0, 0), 0, "VAC", 1, "HZ", 50}, {QTime(1, 0, 1), 0, "VAC", 2, "HZ", 60}});
    load(path("dual.vtd"));
    grapher_->lblTitle_Click();
    QCOMPARE(grapher_->view().DataSet, qint16(2));
    QCOMPARE(text("Label10"), QString("Secondary"));
    QCOMPARE(text("lblTitle"), QString(" HZ"));
    QCOMPARE(text("lblValue"), QString("50")); // the file's first row, secondary reading
    QCOMPARE(text("lblMaxVal"), QString("6.00E+01"));
    grapher_->lblTitle_Click();
    QCOMPARE(text("Label10"), QString("Primary"));
    QCOMPARE(text("lblTitle"), QString(" VAC"));

    load(path("run1.vtd")); // single display
    auto* pic = child<platform::PictureBox>("picGraph");
    const QImage plain = pic->snapshot();
    grapher_->picGraph_MouseMove(30, 0);
    grapher_->picGraph_MouseDown(40);
    grapher_->picGraph_MouseDown(60);
    grapher_->lblTitle_Click();
    QCOMPARE(grapher_->view().DataSet, qint16(1));
    QCOMPARE(text("Label10"), QString());
    QCOMPARE(pic->snapshot(), plain); // no marker or cursor line left behind
}

void FrmGrapherTest::cancelledOpenChangesNothing() {
    load(path("run1.vtd"));
    grapher_->picGraph_MouseDown(10);
    grapher_->picGraph_MouseDown(20);
    grapher_->cmdZoom_Click();
    grapher_->cmdOpen_Click(); // the fake dialog answers "cancelled"
    QCOMPARE(fake_->dialogs.fileRequests.size(), 1);
    QCOMPARE(fake_->dialogs.fileRequests[0].filter, QString("vtd|*.vtd|MDB|*.mdb"));
    QCOMPARE(grapher_->view().ViewStart, 10);
    QCOMPARE(main_->state.GraphFilePath, path("run1.vtd"));
    QVERIFY(grapher_->isOpen());
}

void FrmGrapherTest::openAnotherFileKeepsTheDataSet() {
    WriteLogFile(
        path("dual.vtd"), "d", "c",
        {{QTime(1, 0, 0), 0, "VDC", 1, "ADC", 5}, {QTime(1, 0, 1), 0, "VDC", 2, "ADC", 6}});
    load(path("dual.vtd"));
    grapher_->lblTitle_Click();
    fake_->dialogs.fileResults.enqueue({platform::DialogResult::Status::Ok, path("dual.vtd")});
    grapher_->cmdOpen_Click();
    QCOMPARE(grapher_->view().DataSet, qint16(2));
    QCOMPARE(grapher_->view().TraceColour, 65280.f);
    QCOMPARE(text("lblTitle"), QString(" ADC"));
    QCOMPARE(text("lblDate"), QString("d")); // unformatted on this path
}

void FrmGrapherTest::mdbFileDisablesTheCopy() {
    QFile::copy(path("run1.vtd"), path("run2.mdb"));
    QFile::copy(path("run1.vtd"), path("run3.MDB"));
    load(path("run3.MDB"));
    QVERIFY(child<QAction>("mnuCAccess")->isEnabled());
    load(path("run2.mdb"));
    QVERIFY(!child<QAction>("mnuCAccess")->isEnabled());
    load(path("run1.vtd")); // a new window load starts afresh
    QVERIFY(child<QAction>("mnuCAccess")->isEnabled());
}

void FrmGrapherTest::csvExportBesideTheFile() {
    load(path("run1.vtd"));
    grapher_->mnuCDelimited_Click();
    QCOMPARE(fake_->messages.shown.size(), 1);
    QCOMPARE(fake_->messages.shown[0].title, QString(".CSV File Creation Successful!"));
    QFile csv(path("run1.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.size(), 1003); // run line, header, 1000 rows, nothing after the last CR LF
    QCOMPARE(lines[0], QByteArray("2026-01-02,first run\r"));
    QCOMPARE(lines[2], QByteArray("09:00:00,0,VDC,-4,N/A,0\r"));
}

void FrmGrapherTest::csvErrorRetryThenCancelClosesAndSavesTheComment() {
    QVERIFY(QDir().mkdir(path("run1.csv"))); // a folder where the file should go
    load(path("run1.vtd"));
    child<QLineEdit>("txtComment")->setText("edited");
    fake_->messages.answers.enqueue(platform::Answer::Retry);
    fake_->messages.answers.enqueue(platform::Answer::Cancel);
    grapher_->mnuCDelimited_Click();
    QCOMPARE(fake_->messages.shown.size(), 2);
    QCOMPARE(fake_->messages.shown[0].title, QString("CSV File Creation Error!"));
    QCOMPARE(fake_->messages.shown[0].buttons, platform::Buttons::RetryCancel);
    QVERIFY(message(0).endsWith("If the error has been corrected, click 'Retry',\r\n"
                                "otherwise click 'Cancel'"));
    QVERIFY(!grapher_->isOpen());
    QCOMPARE(grapher::LoadLogFile(path("run1.vtd")).log->info.Description, QString("edited"));
}

void FrmGrapherTest::databaseCopyReloadsTheComment() {
    load(path("run1.vtd"));
    grapher_->picGraph_MouseDown(10);
    grapher_->picGraph_MouseDown(20);
    grapher_->cmdZoom_Click();
    child<QLineEdit>("txtComment")->setText("unsaved");
    grapher_->mnuCAccess_Click();
    QCOMPARE(fake_->messages.shown.value(0).title,
             QString("Access Database File Creation Successful!"));
    QCOMPARE(child<QLineEdit>("txtComment")->text(), QString("first run"));
    QCOMPARE(grapher_->view().RecordsInView, 1000);
    QCOMPARE(grapher_->view().ViewStart, 1);
    QCOMPARE(grapher::LoadLogFile(path("run1.mdb")).log->columns.rowCount(), 1000);
}

void FrmGrapherTest::failedCopyKeepsTheGraph() {
    QFile ro(path("run1.mdb"));
    QVERIFY(ro.open(QIODevice::WriteOnly));
    ro.close();
    ro.setPermissions(QFileDevice::ReadOwner);
    load(path("run1.vtd"));
    grapher_->mnuCAccess_Click();
    QCOMPARE(fake_->messages.shown.value(0).title, QString("Copy to Access File Failed!"));
    QCOMPARE(message(0), QString("Convert Operation Failed!\r\n\r\nCannot continue....\r\n\r\n"
                                 "Press 'OK' to Exit.\r\n\r\n"));
    QVERIFY(grapher_->isOpen());
    QCOMPARE(text("lblTitle"), QString(" VDC"));
    grapher_->picGraph_MouseMove(1, 0);
    QCOMPARE(text("lblValue"), QString("-4"));
}

void FrmGrapherTest::commentIsCutAndWrittenOnReturn() {
    load(path("run1.vtd"));
    auto* box = child<QLineEdit>("txtComment");
    box->setText(QString(300, 'c'));
    QCOMPARE(box->text(), QString(255, 'c'));
    grapher_->cmdReturn_Click();
    QVERIFY(!grapher_->isOpen());
    QCOMPARE(grapher::LoadLogFile(path("run1.vtd")).log->info.Description, QString(255, 'c'));
    QCOMPARE(settings::GetSetting("DataFilePath", ""), dir_->path());
    load(path("run1.vtd"));
    QCOMPARE(box->text(), QString(255, 'c'));
}

void FrmGrapherTest::quitLeavesTheStoredComment() {
    load(path("run1.vtd"));
    child<QLineEdit>("txtComment")->setText("not saved");
    grapher_->closeWindow();
    QVERIFY(!grapher_->isOpen());
    QCOMPARE(grapher::LoadLogFile(path("run1.vtd")).log->info.Description, QString("first run"));
}

void FrmGrapherTest::readOnlyCommentIsReported() {
    load(path("run1.vtd"));
    QFile::setPermissions(path("run1.vtd"), QFileDevice::ReadOwner);
    child<QLineEdit>("txtComment")->setText("wanted");
    grapher_->cmdReturn_Click();
    QCOMPARE(fake_->messages.shown.size(), 1);
    QCOMPARE(fake_->messages.shown[0].buttons, platform::Buttons::RetryCancel);
    QVERIFY(message(0).contains("File or Media is Write Protected..."));
    QVERIFY(!grapher_->isOpen());
}

void FrmGrapherTest::aboutAndHelp() {
    load(path("run1.vtd"));
    grapher_->mnuAbout_Click();
    grapher_->mnuContents_Click();
    QCOMPARE(fake_->messages.shown[0].title, QString("About Voltrane Graphing"));
    QVERIFY(message(0).startsWith("Voltrane Multimeter Communications\r\nApplication and Data "
                                  "Logger\r\n\r\nVersion 1.82\r\n\r\n"));
    QVERIFY(message(0).endsWith("Characters Maximum, Saved on Exit).\r\n\r\n"));
    QCOMPARE(message(0).count("\r\n"), 21);
    QCOMPARE(fake_->messages.shown[1].title, QString("Voltrane Graphing Help"));
    QVERIFY(message(1).contains("stored as Time, ms Offset, Units1, Val1, Units2, Val2.\r\n"));
    QCOMPARE(message(1).count("\r\n"), 20);
}

void FrmGrapherTest::badFileFromMain_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("quits");
    QTest::newRow("empty") << "empty" << grapher::texts::UnknownError() << 0;
    QTest::newRow("text") << "text" << grapher::texts::UnknownError() << 0;
    QTest::newRow("no rows") << "norows" << grapher::texts::NotValidFile() << 0;
    QTest::newRow("text value") << "textvalue" << grapher::texts::UnknownError() << 0;
    QTest::newRow("no column") << "nocolumn" << grapher::texts::DataIncompatible() << 0;
    QTest::newRow("missing") << "missing" << grapher::texts::UnknownError() << 0;
    QTest::newRow("no tables") << "notables" << grapher::texts::NotCreatedQuitting() << 1;
}

void FrmGrapherTest::badFileFromMain() {
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QFETCH(int, quits);
    const QString file = path("bad.vtd");
    if (kind == "empty") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (kind == "text") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("just some text\n");
    } else if (kind == "norows") {
        WriteLogFile(file, "d", "c", {});
    } else if (kind == "textvalue") {
        WriteLogFile(file, "d", "c", {{QTime(8, 0, 0), 0, "VDC", 1}});
        ExecSql(file, "UPDATE LogData SET MilliSeconds = 'x'");
    } else if (kind == "nocolumn") {
        ExecSql(file, "CREATE TABLE Info (Date TEXT, Description TEXT);"
                      "INSERT INTO Info VALUES ('d', 'c');"
                      "CREATE TABLE LogData (TimeStamp REAL, Units TEXT);"
                      "INSERT INTO LogData VALUES (0.5, 'VDC');");
    } else if (kind == "notables") {
        ExecSql(file, "CREATE TABLE Other (a INTEGER);");
    }
    load(file);
    QCOMPARE(fake_->messages.shown.size(), 1);
    QCOMPARE(fake_->messages.shown[0].text, message);
    QCOMPARE(fake_->messages.shown[0].title, QString("Cannot Start Graphing Program!"));
    QCOMPARE(fake_->messages.shown[0].buttons, platform::Buttons::OkOnly);
    QVERIFY(!grapher_->isOpen());
    QVERIFY(!grapher_->isVisible());
    QCOMPARE(main_->quits, quits);
    QCOMPARE(main_->displayStarts, quits ? 0 : 1); // the main display runs on
}

void FrmGrapherTest::fileWithoutTablesFromOpenClosesOnlyTheGrapher() {
    ExecSql(path("other.vtd"), "CREATE TABLE Other (a INTEGER);");
    load(path("run1.vtd"));
    fake_->dialogs.fileResults.enqueue({platform::DialogResult::Status::Ok, path("other.vtd")});
    grapher_->cmdOpen_Click();
    QCOMPARE(fake_->messages.shown.value(0).text, grapher::texts::UnknownError());
    QCOMPARE(main_->quits, 0);
    QVERIFY(!grapher_->isOpen());
}

void FrmGrapherTest::fileRemovedWhileShown() {
    load(path("run1.vtd"));
    QVERIFY(QFile::remove(path("run1.vtd")));
    grapher_->picGraph_MouseMove(10, 0);
    QCOMPARE(text("lblTS"), QString("09:00:09"));
    grapher_->picGraph_MouseDown(10);
    grapher_->picGraph_MouseDown(50);
    grapher_->cmdZoom_Click();
    grapher_->cmdPlusMinus_Click();
    grapher_->cmdReset_Click();
    grapher_->lblTitle_Click();
    grapher_->mnuCDelimited_Click(); // from what is in memory
    QCOMPARE(fake_->messages.shown.value(0).title, QString(".CSV File Creation Successful!"));
    grapher_->mnuCAccess_Click();
    QCOMPARE(fake_->messages.shown.value(1).title, QString("Copy to Access File Failed!"));
    QVERIFY(grapher_->isOpen());
    grapher_->cmdReturn_Click(); // the comment has nowhere to go: said so
    QCOMPARE(fake_->messages.shown.value(2).title, grapher::texts::CommentErrorTitle);
    QVERIFY(!grapher_->isOpen());
    QVERIFY(!QFileInfo::exists(path("run1.vtd")));
}

QTEST_MAIN(FrmGrapherTest)
#include "tst_frmgrapher.moc"
