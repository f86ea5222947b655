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

class ControlTest : public QObject {
    Q_OBJECT
private slots:
    // In screen order; limit is the silence limit after the choice, starting from 10.
    void eachOptionSendsItsCommandAndAppliesItsEffects_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("rateLine");
        int index = 0;
        const auto row = [&index](const char* name, const char* label, const char* sent,
                                  quint32 colour, int limit = 10, const char* rateLine = "") {
            QTest::newRow(name) << index++ << QString(name) << QString(label) << QByteArray(sent)
                                << colour << limit << QString(rateLine);
        };
        row("optVAC", "Voltage - AC", "VAC\r", 0x80FF80);
        row("optVDC", "Voltage - DC", "VDC\r", 0x80FF80);
        row("optAAC", "Current - AC", "AAC\r", 0x80FF80);
        row("optADC", "Current - DC", "ADC\r", 0x80FF80);
        row("optFreq", "Frequency", "FREQ\r", 0x80FF80);
        row("optdB", "Decibels", "VAC; DB\r", 0x80FF80);
        row("optOhms", "Resistance", "OHMS\r", 0x8080FF);
        row("optContinuity", "Continuity", "CONT\r", 0x8080FF);
        row("optVandF", "AC Voltage and  Frequency", "VAC; FREQ2\r", 0xFF8080, 25);
        row("optFandV", "Frequency and AC Voltage", "FREQ; VAC2\r", 0xFF8080, 25);
        row("optdBVAC", "Decibels and AC Voltage", "VAC; DB; VAC2\r", 0xFF8080);
        row("optdBandF", "Decibels and Frequency", "VAC; DB; FREQ2\r", 0xFF8080);
        row("optVACVDC", "AC and DC Voltage", "VAC; VDC2\r", 0xFF8080);
        row("optVDCVAC", "DC and AC Voltage", "VDC; VAC2\r", 0xFF8080);
        row("optDiode", "Diode", "DIODE\r", 0x8080FF);
        row("optFast", "Fast - Low Precision", "RATE F\r", 0, 15,
            "Meter Response - Fast  :  Low Precision");
        row("optMedium", "Medium - Medium Precision", "RATE M\r", 0, 20,
            "Meter Response - Medium  :  Medium Precision");
        row("optSlow", "Slow - High Precision", "RATE S\r", 0, 25,
            "Meter Response - Slow  :  High Precision");
    }
    void eachOptionSendsItsCommandAndAppliesItsEffects() {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, label);
        QFETCH(QByteArray, sent);
        QFETCH(quint32, colour);
        QFETCH(int, limit);
        QFETCH(QString, rateLine);
        const bool rate = !rateLine.isEmpty();
        QCOMPARE(control::MeterOptions().value(index).objectName, name);
        const control::MeterOption* option = control::FindMeterOption(name);
        QVERIFY(option);
        QCOMPARE(option->label, label);
        QCOMPARE(option->colour, colour);

        doubles::FakePlatform fakes;
        FakeMainWindow main(fakes.serial);
        main.state.link.NoReplyLimit = 10;
        main.state.link.NoReplyCount = 7;
        control::ApplyMeterOption(*option, main);
        QCOMPARE(fakes.serial.written, sent); // exactly the command and one carriage return
        QCOMPARE(int(main.state.link.NoReplyLimit), limit);
        QCOMPARE(int(main.state.link.NoReplyCount), rate ? 0 : 7);
        QCOMPARE(main.rateLine, rateLine);
        QCOMPARE(main.calls, QStringList{"activate"}); // no trend graph to rescale
        // With the logger open a function rescales its trend graph; a rate leaves it alone.
        main.state.logger.LoggerOpen = true;
        control::ApplyMeterOption(*option, main);
        QCOMPARE(main.calls.count("rescale"), rate ? 0 : 1);
        QCOMPARE(main.calls.last(), QString("activate"));
    }

    void startUpPresetOpensTheWindowAndSendsRateThenFunction() {
        Rig rig;
        QCOMPARE(rig.window.windowTitle(), QString("Voltrane RS-232 Meter Control"));
        rig.window.selectOption("optNothing"); // an unknown name opens nothing, sends nothing
        QVERIFY(!rig.window.isOpen());
        rig.window.selectOption("optFast");
        rig.window.selectOption("optVAC");
        QVERIFY(rig.window.isOpen());
        QCOMPARE(rig.fakes.serial.written, QByteArray("RATE F\rVAC\r"));
        QVERIFY(rig.window.findChild<QLabel*>("Label12")->text().startsWith(
            "Note: Setup MUST be performed manually on the meter:\r\n\r\nSet the Fluke 45"));
        QVERIFY(rig.option("optFast")->isChecked() && rig.option("optVAC")->isChecked());
        rig.window.selectOption("optDiode"); // the two groups are exclusive apart
        QVERIFY(rig.option("optFast")->isChecked() && !rig.option("optVAC")->isChecked());
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        QTest::mouseClick(rig.window.findChild<QLabel*>("Label13"), Qt::LeftButton);
        QCOMPARE(rig.fakes.shell.opened,
                 QList<QUrl>{QUrl("https://www.fluke.com/en-us/support/manuals")});
        // Return closes the window and forgets the selection; no logger was open to move for.
        QTest::mouseClick(rig.window.findChild<QPushButton*>("cmdReturn"), Qt::LeftButton);
        QVERIFY(!rig.window.isOpen());
        QVERIFY(!rig.option("optVAC")->isChecked());
        QVERIFY(rig.main.calls.filter("moveUp").isEmpty());
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
};

QTEST_MAIN(ControlTest)
#include "tst_control.moc"
