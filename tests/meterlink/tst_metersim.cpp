#include "MeterSimCore.h"
#include <QTest>

using namespace metersim;

// The simulator's command interpreter and reading lines, without a terminal.
class tst_MeterSim : public QObject {
    Q_OBJECT

private slots:
    // What a meter in its power-on state, showing a reading or none yet, answers to the bytes
    // fed to it.
    void answers_data() {
        QTest::addColumn<QByteArray>("reading");
        QTest::addColumn<QByteArray>("fed");
        QTest::addColumn<QByteArray>("answer");
        const QByteArray ok = "=>\r\n", unknown = "?>\r\n", refused = "!>\r\n";
        auto row = [](const char* name, const QByteArray& fed, const QByteArray& answer,
                      const QByteArray& reading = {}) {
            QTest::newRow(name) << reading << fed << answer;
        };
        row("one prompt per line end", "VDC\rVAC\nFORMAT 2; RATE F\r\nRATE M\rRATE?\r",
            ok + ok + ok + ok + "M\r\n" + ok);
        row("unknown: the rest of the line ignored", "FOO; OHMS\rFUNC1?\r",
            unknown + "VDC\r\n" + ok);
        row("impossible", "OHMS; DB\rRATE X\rFORMAT 3\r", refused + refused + refused);
        row("no such function", "DIODE2\r", unknown);
        row("over-long line", QByteArray(400, 'x') + "\r", unknown);
        row("control-C", "VDC\x03", "\r\n" + ok);
        row("compound, small letters, queries", "vac; db; freq2\rFUNC1?;FUNC2?;RATE?;FORMAT?\r",
            ok + "VAC\r\nFREQ\r\nS\r\n2\r\n" + ok);
        row("a single function drops the secondary", "VAC; FREQ2\rVDC\rFUNC2?\r",
            ok + ok + refused);
        row("no reading yet", "VAL?\r", refused);
        row("value queries answer what is shown", "VAL?\rVAL1?\rVAL2?\r",
            "+1.2345E+0 VAC,+6.0000E+1 HZ\r\n=>\r\n+1.2345E+0 VAC\r\n=>\r\n+6.0000E+1 HZ\r\n=>\r\n",
            "+1.2345E+0 VAC,+6.0000E+1 HZ\r\n");
    }
    void answers() {
        QFETCH(QByteArray, reading);
        QFETCH(QByteArray, fed);
        QFETCH(QByteArray, answer);
        MeterState state;
        CommandInterpreter interpreter{state};
        if (!reading.isEmpty())
            interpreter.setLastReading(reading.toStdString());
        QCOMPARE(QByteArray::fromStdString(interpreter.feed(fed.toStdString())), answer);
    }
};

QTEST_GUILESS_MAIN(tst_MeterSim)
#include "tst_metersim.moc"
