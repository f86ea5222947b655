#include "Doubles.h"
#include "FakeMainWindow.h"
#include "control/MeterOptions.h"

#include <QTest>

using control::MeterOption;

class MeterOptionsTest : public QObject {
    Q_OBJECT
private slots:
    void eachOptionSendsExactlyItsCommandAndOneCarriageReturn_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<quint32>("colour");
        const auto row = [](const char* name, const char* label, const char* sent, quint32 c) {
            QTest::newRow(name) << QString(name) << QString(label) << QByteArray(sent) << c;
        };
        row("optVAC", "Voltage - AC", "VAC\r", 0x80FF80);
        row("optVDC", "Voltage - DC", "VDC\r", 0x80FF80);
        row("optAAC", "Current - AC", "AAC\r", 0x80FF80);
        row("optADC", "Current - DC", "ADC\r", 0x80FF80);
        row("optFreq", "Frequency", "FREQ\r", 0x80FF80);
        row("optdB", "Decibels", "VAC; DB\r", 0x80FF80);
        row("optOhms", "Resistance", "OHMS\r", 0x8080FF);
        row("optContinuity", "Continuity", "CONT\r", 0x8080FF);
        row("optVandF", "AC Voltage and  Frequency", "VAC; FREQ2\r", 0xFF8080);
        row("optFandV", "Frequency and AC Voltage", "FREQ; VAC2\r", 0xFF8080);
        row("optdBVAC", "Decibels and AC Voltage", "VAC; DB; VAC2\r", 0xFF8080);
        row("optdBandF", "Decibels and Frequency", "VAC; DB; FREQ2\r", 0xFF8080);
        row("optVACVDC", "AC and DC Voltage", "VAC; VDC2\r", 0xFF8080);
        row("optVDCVAC", "DC and AC Voltage", "VDC; VAC2\r", 0xFF8080);
        row("optDiode", "Diode", "DIODE\r", 0x8080FF);
        row("optFast", "Fast - Low Precision", "RATE F\r", 0);
        row("optMedium", "Medium - Medium Precision", "RATE M\r", 0);
        row("optSlow", "Slow - High Precision", "RATE S\r", 0);
    }
    void eachOptionSendsExactlyItsCommandAndOneCarriageReturn() {
        QFETCH(QString, name);
        QFETCH(QString, label);
        QFETCH(QByteArray, sent);
        QFETCH(quint32, colour);
        const MeterOption* option = control::FindMeterOption(name);
        QVERIFY(option);
        QCOMPARE(option->label, label);
        QCOMPARE(option->colour, colour);
        doubles::FakePlatform fakes;
        FakeMainWindow main(fakes.serial);
        control::ApplyMeterOption(*option, main);
        QCOMPARE(fakes.serial.written, sent);
        QCOMPARE(main.calls.last(), QString("activate")); // back to the main window each time
    }

    void optionsAreInScreenOrder() {
        const QList<MeterOption>& all = control::MeterOptions();
        QCOMPARE(all.size(), 18);
        QCOMPARE(all.first().objectName, QString("optVAC"));
        QCOMPARE(all[14].objectName, QString("optDiode"));
        QCOMPARE(all.last().objectName, QString("optSlow"));
        QVERIFY(!control::FindMeterOption("optNothing"));
    }

    void functionsAskForATrendRescaleOnlyWhileTheLoggerIsOpen() {
        doubles::FakePlatform fakes;
        FakeMainWindow main(fakes.serial);
        control::ApplyMeterOption(*control::FindMeterOption("optOhms"), main);
        QVERIFY(!main.calls.contains("rescale"));
        main.state.logger.LoggerOpen = true;
        control::ApplyMeterOption(*control::FindMeterOption("optOhms"), main);
        QCOMPARE(main.calls.count("rescale"), 1);
        control::ApplyMeterOption(*control::FindMeterOption("optFast"), main);
        QCOMPARE(main.calls.count("rescale"), 1); // rates leave the trend graph alone
    }

    void volumeAndFrequencyPairsLengthenTheSilenceLimitAndItStays() {
        doubles::FakePlatform fakes;
        FakeMainWindow main(fakes.serial);
        main.state.link.NoReplyLimit = 15;
        main.state.link.NoReplyCount = 7;
        control::ApplyMeterOption(*control::FindMeterOption("optVandF"), main);
        QCOMPARE(main.state.link.NoReplyLimit, qint16(25));
        control::ApplyMeterOption(*control::FindMeterOption("optVAC"), main);
        QCOMPARE(main.state.link.NoReplyLimit, qint16(25));
        QCOMPARE(main.state.link.NoReplyCount, qint16(7)); // functions leave the count alone
        QVERIFY(main.rateLine.isEmpty());
    }

    void ratesSetLimitCountAndRateLine_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("line");
        QTest::newRow("fast") << "optFast" << 15 << "Meter Response - Fast  :  Low Precision";
        QTest::newRow("medium") << "optMedium" << 20
                                << "Meter Response - Medium  :  Medium Precision";
        QTest::newRow("slow") << "optSlow" << 25 << "Meter Response - Slow  :  High Precision";
    }
    void ratesSetLimitCountAndRateLine() {
        QFETCH(QString, name);
        QFETCH(int, limit);
        QFETCH(QString, line);
        doubles::FakePlatform fakes;
        FakeMainWindow main(fakes.serial);
        main.state.link.NoReplyCount = 12;
        control::ApplyMeterOption(*control::FindMeterOption(name), main);
        QCOMPARE(int(main.state.link.NoReplyLimit), limit);
        QCOMPARE(main.state.link.NoReplyCount, qint16(0));
        QCOMPARE(main.rateLine, line);
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
