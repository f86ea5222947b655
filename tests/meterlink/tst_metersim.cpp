#include "MeterSimCore.h"
#include "meterlink/ReplyParser.h"
#include <QTest>

using namespace metersim;

namespace {
// A meter in its power-on state and what it answers to the bytes fed to it.
struct Meter {
    MeterState state;
    CommandInterpreter interpreter{state};
    QByteArray answer(const char* bytes) {
        return QByteArray::fromStdString(interpreter.feed(bytes));
    }
};
} // namespace

// The simulator's command interpreter and reading lines, without a terminal.
class tst_MeterSim : public QObject {
    Q_OBJECT

private slots:
    void everyLineEndGetsOnePrompt() {
        Meter meter;
        QCOMPARE(meter.answer("VDC\r"), QByteArray("=>\r\n"));
        QCOMPARE(meter.answer("VAC\n"), QByteArray("=>\r\n"));
        QCOMPARE(meter.answer("FORMAT 2; RATE F\r\n"), QByteArray("=>\r\n"));
        QCOMPARE(meter.answer("RATE"), QByteArray());
        QCOMPARE(meter.answer(" M\r"), QByteArray("=>\r\n"));
        QCOMPARE(meter.state.rate, 'M');
        QCOMPARE(meter.state.primary, Function::VAC);
    }

    void unknownAndImpossibleCommands() {
        Meter meter;
        QCOMPARE(meter.answer("FOO; OHMS\r"), QByteArray("?>\r\n"));
        QCOMPARE(meter.state.primary, Function::VDC); // the rest of the line was ignored
        QCOMPARE(meter.answer("OHMS; DB\r"), QByteArray("!>\r\n"));
        QCOMPARE(meter.answer("RATE X\r"), QByteArray("!>\r\n"));
        QCOMPARE(meter.answer("FORMAT 3\r"), QByteArray("!>\r\n"));
        QCOMPARE(meter.answer("DIODE2\r"), QByteArray("?>\r\n"));
        QCOMPARE(meter.answer(QByteArray(400, 'x').append('\r').constData()), QByteArray("?>\r\n"));
        QCOMPARE(meter.answer("VDC\x03"), QByteArray("\r\n=>\r\n"));
    }

    void functionsAndTheSecondaryDisplay() {
        Meter meter;
        QCOMPARE(meter.answer("vac; db; freq2\r"), QByteArray("=>\r\n"));
        QCOMPARE(meter.state.primary, Function::VAC);
        QVERIFY(meter.state.db);
        QCOMPARE(meter.state.secondary, std::optional<Function>(Function::FREQ));
        QCOMPARE(meter.answer("FUNC1?;FUNC2?;RATE?;FORMAT?\r"),
                 QByteArray("VAC\r\nFREQ\r\nS\r\n2\r\n=>\r\n"));
        QCOMPARE(meter.answer("VDC\r"), QByteArray("=>\r\n"));
        QVERIFY(!meter.state.secondary);
        QVERIFY(!meter.state.db);
        QCOMPARE(meter.answer("FUNC2?\r"), QByteArray("!>\r\n"));
        QVERIFY(meter.answer("*IDN?\r").startsWith("FLUKE, 45, "));
    }

    void valueQueriesAnswerWhatIsShown() {
        Meter meter;
        QCOMPARE(meter.answer("VAL?\r"), QByteArray("!>\r\n"));
        meter.interpreter.setLastReading("+1.2345E+0 VAC,+6.0000E+1 HZ\r\n");
        QCOMPARE(meter.answer("VAL?\r"), QByteArray("+1.2345E+0 VAC,+6.0000E+1 HZ\r\n=>\r\n"));
        QCOMPARE(meter.answer("VAL1?\r"), QByteArray("+1.2345E+0 VAC\r\n=>\r\n"));
        QCOMPARE(meter.answer("VAL2?\r"), QByteArray("+6.0000E+1 HZ\r\n=>\r\n"));
    }

    void numbersInTheMetersForm_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("milliamps") << -0.012345 << "-12.345E-3";
        QTest::newRow("microamps") << 0.00012345 << "+123.45E-6";
        QTest::newRow("megohms") << 1.5e6 << "+1.5000E+6";
        QTest::newRow("carry into the next group") << 999.996 << "+1.0000E+3";
        QTest::newRow("zero") << 0.0 << "+0.0000E+0";
        QTest::newRow("overload") << 1e9 << "+1E+9";
    }
    void numbersInTheMetersForm() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(formatNumber(value)), text);
    }

    void readingLinesParseToTheirFunction() {
        MeterState state;
        state.primary = Function::VAC;
        state.secondary = Function::FREQ;
        QCOMPARE(formatReadingLine(state, 1.2345, 60.0),
                 std::string("+1.2345E+0 VAC,+60.000E+0 HZ\r\n"));
        QCOMPARE(formatReadingLine(state, 1.2345, 60.0, true),
                 std::string("+1.2345E+0 VAC, +60.000E+0 HZ\r\n"));
        state.primary = Function::OHMS;
        ReadingGenerator generator(7);
        const std::string line = formatReadingLine(state, generator.next(state.primary, false),
                                                   generator.next(*state.secondary, false), true);
        CurrentReading reading;
        meterlink::ParseReplyLine(QString::fromStdString(line).chopped(2), reading);
        QCOMPARE(reading.PriDispUnits, QString("kOHMS"));
        QCOMPARE(reading.SecDispUnits, QString("HZ"));
        QVERIFY(qAbs(reading.PriValue - 1234.5f) < 5);
        QVERIFY(qAbs(reading.SecValue - 60.0f) < 1);
        state.secondary.reset();
        state.format = 1;
        QCOMPARE(formatReadingLine(state, 1.2345, std::nullopt), std::string("+1.2345E+0\r\n"));
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
