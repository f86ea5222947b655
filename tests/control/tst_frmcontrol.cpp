#include "Doubles.h"
#include "FakeMainWindow.h"
#include "WidgetPixels.h"
#include "control/MeterOptions.h"
#include "control/frmControl.h"
#include "platform/PictureBox.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
struct Rig {
    explicit Rig(double dpi = 96) : main(fakes.serial, dpi) {}
    doubles::FakePlatform fakes;
    FakeMainWindow main;
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

    void everyWayOfSelectingSendsTheCommandOnce_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("click on the button") << "button"
                                             << "optMedium" << QByteArray("RATE M\r");
        QTest::newRow("click on a rate caption") << "caption"
                                                 << "optSlow" << QByteArray("RATE S\r");
        QTest::newRow("click on a function caption") << "caption"
                                                     << "optVandF" << QByteArray("VAC; FREQ2\r");
        QTest::newRow("space bar") << "space"
                                   << "optAAC" << QByteArray("AAC\r");
        QTest::newRow("arrow key to the next") << "arrow"
                                               << "optVDC" << QByteArray("VDC\r");
        QTest::newRow("assistive toggle") << "toggle"
                                          << "optFast" << QByteArray("RATE F\r");
        QTest::newRow("assistive press") << "press"
                                         << "optDiode" << QByteArray("DIODE\r");
        // Choosing the selected option again sends its command again.
        QTest::newRow("click on the selected button") << "again"
                                                      << "optOhms" << QByteArray("OHMS\r");
        QTest::newRow("click on the selected caption") << "again caption"
                                                       << "optOhms" << QByteArray("OHMS\r");
    }
    void everyWayOfSelectingSendsTheCommandOnce() {
        QFETCH(QString, way);
        QFETCH(QString, option);
        QFETCH(QByteArray, sent);
        Rig rig;
        QVERIFY(rig.openExposed());
        QRadioButton* button = rig.option(qPrintable(option));
        QLabel* caption = rig.window.findChild<QLabel*>("lbl" + option.mid(3));
        QCOMPARE(caption->buddy(), button);
        if (way.startsWith("again")) {
            rig.window.selectOption(option);
            rig.fakes.serial.written.clear();
        }
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        if (way == "button" || way == "again") {
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (way == "caption" || way == "again caption") {
            QTest::mouseClick(caption, Qt::LeftButton);
        } else if (way == "space") {
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Space);
        } else if (way == "arrow") {
            rig.option("optVAC")->setChecked(true); // checked without a click: sends once
            rig.fakes.serial.written.clear();
            rig.option("optVAC")->setFocus();
            QTest::keyClick(rig.option("optVAC"), Qt::Key_Down);
        } else {
            // A screen reader's activate action toggles the button without a click.
            accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        }
        QCOMPARE(rig.fakes.serial.written, sent);
        QVERIFY(button->isChecked());
        QCOMPARE(accessible->text(QAccessible::Name), caption->text());
    }

    void optionFacesShowTheirColours() {
        Rig rig;
        QVERIFY(rig.openExposed());
        rig.window.selectOption("optVandF"); // a checked face keeps its colour round the mark
        for (const control::MeterOption& option : control::MeterOptions()) {
            if (option.colour == 0)
                continue;
            QRadioButton* button = rig.option(qPrintable(option.objectName));
            QCOMPARE(pixels::At(button, QPoint(1, 1)),
                     platform::PictureBox::toQColor(option.colour));
        }
    }

    void measuresFollowTheMainWindowsResolution_data() {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<QSize>("client");
        QTest::newRow("96 dpi") << 96.0 << QSize(350, 418);
        QTest::newRow("120 dpi") << 120.0 << QSize(438, 523);
        QTest::newRow("144 dpi") << 144.0 << QSize(525, 627);
    }
    void measuresFollowTheMainWindowsResolution() {
        QFETCH(double, dpi);
        QFETCH(QSize, client);
        Rig standard, scaled(dpi);
        QCOMPARE(scaled.window.size(), client);
        // Every control keeps its place in twips: at n dpi it is n/96 of its 96 dpi place.
        const double factor = dpi / 96;
        for (QWidget* control : standard.window.findChildren<QWidget*>()) {
            if (control->objectName().isEmpty())
                continue;
            auto* counterpart = scaled.window.findChild<QWidget*>(control->objectName());
            const QRect at = counterpart->geometry(), from = control->geometry();
            for (const auto& [got, want] : {std::pair{at.left(), from.left()},
                                            {at.top(), from.top()},
                                            {at.width(), from.width()},
                                            {at.height(), from.height()}})
                QVERIFY2(qAbs(got - want * factor) <= 1.5, qPrintable(control->objectName()));
        }
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
