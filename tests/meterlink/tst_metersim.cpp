#include "MeterSimCore.h"
#include "meterlink/ReplyParser.h"
#include <QTest>

using namespace metersim;

namespace {
QByteArray answer(CommandInterpreter& meter, const char* bytes) {
    return QByteArray::fromStdString(meter.feed(bytes));
}
} // namespace

// The simulator's command interpreter and reading lines, without a terminal.
class tst_MeterSim : public QObject {
    Q_OBJECT

private slots:
    void everyLineEndGetsOnePrompt() {
        MeterState state;
        CommandInterpreter meter(state);
        QCOMPARE(answer(meter, "VDC\r"), QByteArray("=>\r\n"));
        QCOMPARE(answer(meter, "VAC\n"), QByteArray("=>\r\n"));
        QCOMPARE(answer(meter, "FORMAT 2; RATE F\r\n"), QByteArray("=>\r\n"));
        QCOMPARE(answer(meter, "RATE"), QByteArray());
        QCOMPARE(answer(meter, " M\r"), QByteArray("=>\r\n"));
        QCOMPARE(state.rate, 'M');
        QCOMPARE(state.primary, Function::VAC);
    }

    void unknownAndImpossibleCommands() {
        MeterState state;
        CommandInterpreter meter(state);
        QCOMPARE(answer(meter, "FOO; OHMS\r"), QByteArray("?>\r\n"));
        QCOMPARE(state.primary, Function::VDC); // the rest of the line was ignored
        QCOMPARE(answer(meter, "OHMS; DB\r"), QByteArray("!>\r\n"));
        QCOMPARE(answer(meter, "RATE X\r"), QByteArray("!>\r\n"));
        QCOMPARE(answer(meter, "FORMAT 3\r"), QByteArray("!>\r\n"));
        QCOMPARE(answer(meter, "DIODE2\r"), QByteArray("?>\r\n"));
        QCOMPARE(answer(meter, QByteArray(400, 'x').append('\r').constData()),
                 QByteArray("?>\r\n"));
        QCOMPARE(answer(meter, "VDC\x03"), QByteArray("\r\n=>\r\n"));
    }

    void functionsAndTheSecondaryDisplay() {
        MeterState state;
        CommandInterpreter meter(state);
        QCOMPARE(answer(meter, "vac; db; freq2\r"), QByteArray("=>\r\n"));
        QCOMPARE(state.primary, Function::VAC);
        QVERIFY(state.db);
        QCOMPARE(state.secondary, std::optional<Function>(Function::FREQ));
        QCOMPARE(answer(meter, "FUNC1?;FUNC2?;RATE?;FORMAT?\r"),
                 QByteArray("VAC\r\nFREQ\r\nS\r\n2\r\n=>\r\n"));
        QCOMPARE(answer(meter, "VDC\r"), QByteArray("=>\r\n"));
        QVERIFY(!state.secondary);
        QVERIFY(!state.db);
        QCOMPARE(answer(meter, "FUNC2?\r"), QByteArray("!>\r\n"));
        QVERIFY(answer(meter, "*IDN?\r").startsWith("FLUKE, 45, "));
    }

    void valueQueriesAnswerWhatIsShown() {
        MeterState state;
        CommandInterpreter meter(state);
        QCOMPARE(answer(meter, "VAL?\r"), QByteArray("!>\r\n"));
        meter.setLastReading("+1.2345E+0 VAC,+6.0000E+1 HZ\r\n");
        QCOMPARE(answer(meter, "VAL?\r"), QByteArray("+1.2345E+0 VAC,+6.0000E+1 HZ\r\n=>\r\n"));
        QCOMPARE(answer(meter, "VAL1?\r"), QByteArray("+1.2345E+0 VAC\r\n=>\r\n"));
        QCOMPARE(answer(meter, "VAL2?\r"), QByteArray("+6.0000E+1 HZ\r\n=>\r\n"));
    }

    void numbersInTheMetersForm_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("volts") << 1.2345 << "+1.2345E+0";
        QTest::newRow("milliamps") << -0.012345 << "-12.345E-3";
        QTest::newRow("microamps") << 0.00012345 << "+123.45E-6";
        QTest::newRow("megohms") << 1.5e6 << "+1.5000E+6";
        QTest::newRow("kilohms") << 1234.5 << "+1.2345E+3";
        QTest::newRow("carry into the next group") << 999.996 << "+1.0000E+3";
        QTest::newRow("zero") << 0.0 << "+0.0000E+0";
        QTest::newRow("overload") << 1e9 << "+1E+9";
    }
    void numbersInTheMetersForm() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(formatNumber(value)), text);
    }

    void readingLines() {
        MeterState state;
        state.primary = Function::VAC;
        state.secondary = Function::FREQ;
        QCOMPARE(formatReadingLine(state, 1.2345, 60.0),
                 std::string("+1.2345E+0 VAC,+60.000E+0 HZ\r\n"));
        QCOMPARE(formatReadingLine(state, 1.2345, 60.0, true),
                 std::string("+1.2345E+0 VAC, +60.000E+0 HZ\r\n"));
        state.secondary.reset();
        state.format = 1;
        QCOMPARE(formatReadingLine(state, 1.2345, std::nullopt), std::string("+1.2345E+0\r\n"));
    }

    void generatedReadingsParseToTheirFunction() {
        ReadingGenerator generator(7);
        MeterState state;
        state.primary = Function::OHMS;
        state.secondary = Function::FREQ;
        const std::string line = formatReadingLine(state, generator.next(state.primary, false),
                                                   generator.next(*state.secondary, false), true);
        CurrentReading reading;
        meterlink::ParseReplyLine(QString::fromStdString(line).chopped(2), reading);
        QCOMPARE(reading.PriDispUnits, QString("kOHMS"));
        QCOMPARE(reading.SecDispUnits, QString("HZ"));
        QVERIFY(qAbs(reading.PriValue - 1234.5f) < 5);
        QVERIFY(qAbs(reading.SecValue - 60.0f) < 1);
        generator.setOverloadEvery(1);
        QCOMPARE(generator.next(Function::VDC, false), 1e9);
    }

    void dualReadingsComeSlower() {
        MeterState state;
        state.rate = 'F';
        const double single = readingsPerSecond(state);
        state.secondary = Function::FREQ;
        QVERIFY(readingsPerSecond(state) < single);
        state.rate = 'S';
        state.secondary.reset();
        QVERIFY(readingsPerSecond(state) < single);
    }
};

QTEST_GUILESS_MAIN(tst_MeterSim)
#include "tst_metersim.moc"
