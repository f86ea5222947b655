#include "Doubles.h"
#include "WidgetPixels.h"
#include "control/frmControl.h"
#include "core/MeterSession.h"
#include "platform/PictureBox.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>

namespace {
// The control window on a real session at a chosen resolution, recording what the two announce.
struct Rig {
    explicit Rig(double dpi = 96) : scale(dpi) {
        QObject::connect(&session, &core::MeterSession::rateLineChanged,
                         [this](const QString& text) { rateLine = text; });
        QObject::connect(&session, &core::MeterSession::rescaleDue, [this] { calls << "rescale"; });
        QObject::connect(&window, &frmControl::optionApplied, [this] { calls << "activate"; });
    }
    // The commands written to the meter, each without its carriage return.
    QStringList commands() const {
        QStringList sent = QString::fromLatin1(fakes.serial.written).split('\r');
        sent.removeLast();
        return sent;
    }
    doubles::FakePlatform fakes;
    core::MeterSession session{fakes.serial, fakes.clock, fakes.messages};
    SessionState& state = session.state();
    Twips scale;
    QString rateLine;
    QStringList calls; // "rescale" and "activate", in order
    frmControl window{session, fakes.platform, scale};
    QRadioButton* option(const QString& name) { return window.findChild<QRadioButton*>(name); }
};
} // namespace

class ControlTest : public QObject {
    Q_OBJECT
private slots:
    // Each option chosen one way (mouse on button or caption, keyboard, a screen reader's
    // toggle, the start-up preset), then again with the logger open. limit is the silence limit
    // after the choice, starting from 10; a rate shows its caption on the main window's rate line.
    void eachOptionSendsItsCommandOnceAndAppliesItsEffects_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("command");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("limit");
        const auto row = [](const char* name, const char* way, const char* label,
                            const char* command, quint32 colour, int limit = 10) {
            QTest::newRow(name) << QString(way) << QString(label) << QString(command) << colour
                                << limit;
        };
        row("optVAC", "button", "Voltage - AC", "VAC", 0x80FF80);
        row("optVDC", "arrow", "Voltage - DC", "VDC", 0x80FF80);
        row("optAAC", "space", "Current - AC", "AAC", 0x80FF80);
        row("optADC", "caption", "Current - DC", "ADC", 0x80FF80);
        row("optFreq", "toggle", "Frequency", "FREQ", 0x80FF80);
        row("optdB", "space", "Decibels", "VAC; DB", 0x80FF80);
        row("optOhms", "select", "Resistance", "OHMS", 0x8080FF);
        row("optContinuity", "button", "Continuity", "CONT", 0x8080FF);
        row("optVandF", "caption", "AC Voltage and  Frequency", "VAC; FREQ2", 0xFF8080, 25);
        row("optFandV", "select", "Frequency and AC Voltage", "FREQ; VAC2", 0xFF8080, 25);
        row("optdBVAC", "space", "Decibels and AC Voltage", "VAC; DB; VAC2", 0xFF8080);
        row("optdBandF", "toggle", "Decibels and Frequency", "VAC; DB; FREQ2", 0xFF8080);
        row("optVACVDC", "button", "AC and DC Voltage", "VAC; VDC2", 0xFF8080);
        row("optVDCVAC", "select", "DC and AC Voltage", "VDC; VAC2", 0xFF8080);
        row("optDiode", "caption", "Diode", "DIODE", 0x8080FF);
        row("optFast", "toggle", "Fast - Low Precision", "RATE F", 0, 15);
        row("optMedium", "button", "Medium - Medium Precision", "RATE M", 0, 20);
        row("optSlow", "caption", "Slow - High Precision", "RATE S", 0, 25);
    }
    void eachOptionSendsItsCommandOnceAndAppliesItsEffects() {
        QFETCH(QString, way);
        QFETCH(QString, label);
        QFETCH(QString, command);
        QFETCH(quint32, colour);
        QFETCH(int, limit);
        const QString name = QTest::currentDataTag();
        const bool rate = command.startsWith("RATE");
        Rig rig;
        rig.window.openWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        QRadioButton* button = rig.option(name);
        QLabel* caption = rig.window.findChild<QLabel*>("lbl" + name.mid(3));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        QCOMPARE(caption->buddy(), button);
        QCOMPARE(caption->text(), label);
        QCOMPARE(accessible->text(QAccessible::Name), label);
        if (way == "arrow") // the option above, checked without a click, sends once
            rig.option("optVAC")->setChecked(true);
        rig.fakes.serial.written.clear();
        rig.calls.clear();
        rig.state.link.NoReplyLimit = 10;
        rig.state.link.NoReplyCount = 7;
        const auto choose = [&] {
            QWidget* target = way == "caption" ? static_cast<QWidget*>(caption) : button;
            if (way == "arrow")
                target = rig.option("optVAC");
            if (way == "button" || way == "caption") {
                QTest::mouseClick(target, Qt::LeftButton);
            } else if (way == "space" || way == "arrow") {
                target->setFocus();
                QTest::keyClick(target, way == "arrow" ? Qt::Key_Down : Qt::Key_Space);
            } else if (way == "select") {
                rig.window.selectOption(name);
            } else {
                accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            }
        };
        choose();
        QCOMPARE(rig.commands(), QStringList{command});
        QVERIFY(button->isChecked());
        // Chosen again with the logger open: sent again, and a function rescales its graph.
        rig.state.logger.LoggerOpen = true;
        if (way == "button" || way == "caption")
            choose();
        else
            rig.window.selectOption(name);
        QCOMPARE(rig.commands(), QStringList(2, command));
        QCOMPARE(int(rig.state.link.NoReplyLimit), limit);
        QCOMPARE(int(rig.state.link.NoReplyCount), rate ? 0 : 7);
        QCOMPARE(rig.rateLine,
                 rate ? "Meter Response - " + QString(label).replace(" - ", "  :  ") : "");
        const QStringList calls = rate ? QStringList{"activate", "activate"}
                                       : QStringList{"activate", "rescale", "activate"};
        QCOMPARE(rig.calls, calls);
        // A checked face keeps its colour round the mark.
        if (colour != 0)
            QCOMPARE(pixels::At(button, QPoint(1, 1)), platform::PictureBox::toQColor(colour));
    }

    void startUpPresetOpensTheWindowAndSendsRateThenFunction() {
        Rig rig;
        QCOMPARE(rig.window.windowTitle(), QString("Voltrane RS-232 Meter Control"));
        rig.window.selectOption("optNothing"); // an unknown name opens nothing, sends nothing
        QVERIFY(!rig.window.isOpen());
        rig.window.selectOption("optFast");
        rig.window.selectOption("optVAC");
        QVERIFY(rig.window.isOpen());
        QCOMPARE(rig.commands(), QStringList({"RATE F", "VAC"}));
        QVERIFY(rig.window.findChild<QLabel*>("Label12")->text().startsWith(
            "Note: Setup MUST be performed manually on the meter:\r\n\r\nSet the Fluke 45"));
        rig.window.selectOption("optDiode"); // the two groups are exclusive apart
        QVERIFY(rig.option("optFast")->isChecked() && !rig.option("optVAC")->isChecked());
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        QTest::mouseClick(rig.window.findChild<QLabel*>("Label13"), Qt::LeftButton);
        QCOMPARE(rig.fakes.shell.opened,
                 QList<QUrl>{QUrl("https://www.fluke.com/en-us/support/manuals")});
        // Return closes the window and forgets the selection.
        QTest::mouseClick(rig.window.findChild<QWidget*>("cmdReturn"), Qt::LeftButton);
        QVERIFY(!rig.window.isOpen());
        QVERIFY(!rig.option("optDiode")->isChecked());
    }

    // The setup note shows to its last line in the common desktop fonts (and, by its own ctest
    // entry, at a scale of 1.5): its lines, wrapped as the label wraps them, fit the label.
    void setupNoteShowsWholeInDesktopFonts_data() {
        QTest::addColumn<QString>("family");
        for (const char* family : {"DejaVu Sans", "Liberation Sans", "Noto Sans"})
            QTest::newRow(family) << QString(family);
    }
    void setupNoteShowsWholeInDesktopFonts() {
        QFETCH(QString, family);
        if (!QFontDatabase::hasFamily(family))
            QSKIP("font not installed");
        const QFont systemFont = QApplication::font();
        QApplication::setFont(QFont(family, 9));
        const auto restore = qScopeGuard([&] { QApplication::setFont(systemFont); });
        Rig rig;
        rig.window.openWindow();
        auto* note = rig.window.findChild<QLabel*>("Label12");
        QVERIFY(note->text().endsWith("P. 5-2 to 5-4") && note->font().pointSizeF() >= 6);
        const QRect room = note->contentsRect();
        const QRect text =
            QFontMetrics(note->font())
                .boundingRect(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, note->text());
        QVERIFY2(room.contains(text), qPrintable(QString::number(text.height())));
    }

    void measuresFollowTheMainWindowsResolution_data() {
        QTest::addColumn<double>("dpi");
        QTest::newRow("120 dpi") << 120.0;
        QTest::newRow("144 dpi") << 144.0;
    }
    void measuresFollowTheMainWindowsResolution() {
        QFETCH(double, dpi);
        Rig standard, scaled(dpi);
        // The window and every control keep their place in twips: at n dpi, n/96 of 96 dpi's.
        const auto scales = [dpi](const QRect& at, const QRect& from) {
            const QRectF want(QPointF(from.topLeft()) * dpi / 96, QSizeF(from.size()) * dpi / 96);
            return qAbs(at.left() - want.left()) <= 1.5 && qAbs(at.top() - want.top()) <= 1.5 &&
                   qAbs(at.width() - want.width()) <= 1.5 &&
                   qAbs(at.height() - want.height()) <= 1.5;
        };
        QVERIFY(scales(QRect({}, scaled.window.size()), QRect({}, standard.window.size())));
        for (QWidget* control : standard.window.findChildren<QWidget*>())
            if (!control->objectName().isEmpty())
                QVERIFY2(
                    scales(scaled.window.findChild<QWidget*>(control->objectName())->geometry(),
                           control->geometry()),
                    qPrintable(control->objectName()));
    }
};

QTEST_MAIN(ControlTest)
#include "tst_control.moc"
