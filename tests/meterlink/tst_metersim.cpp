#include "MeterSimCore.h"
#include <QTest>

using namespace metersim;

// The simulator's command interpreter and reading lines, without a terminal.
class tst_MeterSim : public QObject {
    Q_OBJECT

private slots:
    // What a meter in its power-on state answers to the bytes fed to it.
    void answers_data() {
        QTest::addColumn<QByteArray>("fed");
        QTest::addColumn<QByteArray>("answer");
        const QByteArray ok = "=>\r\n", unknown = "?>\r\n", refused = "!>\r\n";
        QTest::newRow("one prompt per line end")
            << QByteArray("VDC\rVAC\nFORMAT 2; RATE F\r\nRATE M\rRATE?\r")
            << ok + ok + ok + ok + "M\r\n" + ok;
        QTest::newRow("unknown: the rest of the line ignored")
            << QByteArray("FOO; OHMS\rFUNC1?\r") << unknown + "VDC\r\n" + ok;
        QTest::newRow("impossible")
            << QByteArray("OHMS; DB\rRATE X\rFORMAT 3\r") << refused + refused + refused;
        QTest::newRow("no such function") << QByteArray("DIODE2\r") << unknown;
        QTest::newRow("over-long line") << QByteArray(400, 'x') + "\r" << unknown;
        QTest::newRow("control-C") << QByteArray("VDC\x03") << QByteArray("\r\n") + ok;
        QTest::newRow("compound, small letters, queries")
            << QByteArray("vac; db; freq2\rFUNC1?;FUNC2?;RATE?;FORMAT?\r")
            << ok + "VAC\r\nFREQ\r\nS\r\n2\r\n" + ok;
        QTest::newRow("a single function drops the secondary")
            << QByteArray("VAC; FREQ2\rVDC\rFUNC2?\r") << ok + ok + refused;
        QTest::newRow("no reading yet") << QByteArray("VAL?\r") << refused;
    }
    void answers() {
        QFETCH(QByteArray, fed);
        QFETCH(QByteArray, answer);
        MeterState state;
        CommandInterpreter interpreter{state};
        QCOMPARE(QByteArray::fromStdString(interpreter.feed(fed.toStdString())), answer);
    }

    void valueQueriesAnswerWhatIsShown() {
        MeterState state;
        CommandInterpreter meter{state};
        meter.setLastReading("+1.2345E+0 VAC,+6.0000E+1 HZ\r\n");
        QCOMPARE(meter.feed("VAL?\rVAL1?\rVAL2?\r"),
                 std::string("+1.2345E+0 VAC,+6.0000E+1 HZ\r\n=>\r\n+1.2345E+0 VAC\r\n=>\r\n"
                             "+6.0000E+1 HZ\r\n=>\r\n"));
    }
};

QTEST_GUILESS_MAIN(tst_MeterSim)
#include "tst_metersim.moc"
