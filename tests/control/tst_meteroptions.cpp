#include "Doubles.h"
#include "FakeMainWindow.h"
#include "control/MeterOptions.h"

#include <QTest>

class MeterOptionsTest : public QObject {
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

    void thereAreEighteenAndNoOthers() {
        QCOMPARE(control::MeterOptions().size(), 18);
        QVERIFY(!control::FindMeterOption("optNothing"));
    }

    void setupNoteReadsAsOneParagraphBetweenTwoHeadings() {
        const QString note = control::SetupNote();
        QVERIFY(note.startsWith("Note: Setup MUST be performed manually on the meter:\r\n\r\nSet "
                                "the Fluke 45 to 9600 baud, No Parity, and Echo Off"));
        QVERIFY(note.contains("'Edit' Menu of the Main Program Window.\r\n\r\nFluke 45 Users"));
        QVERIFY(note.endsWith("Fluke 45 Users Manual P. 5-2 to 5-4"));
        QCOMPARE(note.count("\r\n"), 4);
    }
};

QTEST_MAIN(MeterOptionsTest)
#include "tst_meteroptions.moc"
