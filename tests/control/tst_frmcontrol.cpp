#include "Doubles.h"
#include "FakeMainWindow.h"
#include "control/MeterOptions.h"
#include "control/frmControl.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
struct Rig {
    doubles::FakePlatform fakes;
    FakeMainWindow main{fakes.serial};
    frmControl window{main, fakes.platform};
    QRadioButton* option(const char* name) { return window.findChild<QRadioButton*>(name); }
    bool openExposed() {
        window.openWindow();
        return QTest::qWaitForWindowExposed(&window);
    }
};
} // namespace

class FrmControlTest : public QObject {
    Q_OBJECT
private slots:
    void windowHasItsCaptionAndClientSize() {
        Rig rig;
        QCOMPARE(rig.window.windowTitle(), QString("Voltrane RS-232 Meter Control"));
        QCOMPARE(rig.window.size(), QSize(350, 418));
        QCOMPARE(rig.window.findChildren<QRadioButton*>().size(), 18);
        QCOMPARE(rig.window.findChild<QLabel*>("lblVandF")->text(),
                 QString("AC Voltage and  Frequency"));
        QCOMPARE(rig.window.findChild<QPushButton*>("cmdReturn")->text(), QString("&Return"));
    }

    void startUpPresetOpensTheWindowAndSendsRateThenFunction() {
        Rig rig;
        rig.window.selectOption("optNothing"); // an unknown name opens nothing, sends nothing
        QVERIFY(!rig.window.isOpen());
        rig.window.selectOption("optFast");
        rig.window.selectOption("optVAC");
        QVERIFY(rig.window.isOpen());
        QCOMPARE(rig.fakes.serial.written, QByteArray("RATE F\rVAC\r"));
        QCOMPARE(rig.main.rateLine, QString("Meter Response - Fast  :  Low Precision"));
        QVERIFY(rig.option("optFast")->isChecked() && rig.option("optVAC")->isChecked());
        QCOMPARE(rig.window.findChild<QLabel*>("Label12")->text(), control::SetupNote());
    }

    void openingClosesAnOpenLoggerWindowOnce() {
        Rig rig;
        rig.main.state.logger.LoggerOpen = true;
        rig.window.openWindow();
        QVERIFY(!rig.main.state.logger.LoggerOpen);
        rig.main.state.logger.LoggerOpen = true; // an already open window changes nothing
        rig.window.openWindow();
        QCOMPARE(rig.main.calls.count("closeLogger"), 1);
        QCOMPARE(rig.main.calls.filter("moveUp"), QStringList{"moveUp:650"});
    }

    void clicksSendCommandsAndTheTwoGroupsAreExclusiveApart() {
        Rig rig;
        QVERIFY(rig.openExposed());
        for (const char* name : {"optSlow", "optdBandF", "optDiode"})
            QTest::mouseClick(rig.option(name), Qt::LeftButton);
        QCOMPARE(rig.fakes.serial.written, QByteArray("RATE S\rVAC; DB; FREQ2\rDIODE\r"));
        QVERIFY(rig.option("optSlow")->isChecked() && rig.option("optDiode")->isChecked());
        QVERIFY(!rig.option("optdBandF")->isChecked());
        QCOMPARE(rig.main.calls.count("activate"), 3);
    }

    void manualsLinkOpensTheMakersPage() {
        Rig rig;
        QVERIFY(rig.openExposed());
        auto* link = rig.window.findChild<QLabel*>("Label13");
        QCOMPARE(link->text(), control::ManualsPageUrl);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(rig.fakes.shell.opened, QList<QUrl>{QUrl(control::ManualsPageUrl)});
        QVERIFY(rig.fakes.serial.written.isEmpty());
    }

    void returnClosesAndForgetsTheSelection() {
        Rig rig;
        rig.window.selectOption("optOhms");
        QTest::mouseClick(rig.window.findChild<QPushButton*>("cmdReturn"), Qt::LeftButton);
        QVERIFY(!rig.window.isOpen());
        QVERIFY(!rig.option("optOhms")->isChecked());
        QVERIFY(rig.main.calls.filter("moveUp").isEmpty()); // no logger was open
    }
};

QTEST_MAIN(FrmControlTest)
#include "tst_frmcontrol.moc"
