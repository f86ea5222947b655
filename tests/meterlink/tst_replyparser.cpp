#include "meterlink/ReplyParser.h"
#include <QTest>
#include <cmath>

using meterlink::NumericValue;
using meterlink::ParseReplyLine;
using meterlink::ReadingText;

class tst_ReplyParser : public QObject {
    Q_OBJECT

private slots:
    // Each line parsed into a reading that last held "before" (a fresh one when empty).
    void workedExamples_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("line");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("dispUnits");
        QTest::addColumn<QString>("units");
        auto row = [](const char* name, const char* line, double value, const char* text,
                      const char* dispUnits, const char* units, const char* before = "") {
            QTest::newRow(name) << QString(before) << QString(line) << value << QString(text)
                                << QString(dispUnits) << QString(units);
        };
        row("volts", "+1.2345E+0 VDC", 1.2345, " 1.2345", "VDC", " VDC");
        row("kilohms", "+1.2345E+3 OHMS", 1234.5, " 1.2345", "kOHMS", " OHMS");
        row("milliamps", "-12.345E-3 ADC", -0.012345, "-12.345", "mADC", " ADC");
        row("micro as milli", "+123.45E-6 ADC", 0.00012345, " .12345", "mADC", " ADC");
        row("megohms", "+1.5000E+6 OHMS", 1.5e6, " 1.5", "MOHMS", " OHMS");
        row("E+4 is kilo", "+12.345E+4 OHMS", 123450.0, " 123.45", "kOHMS", " OHMS");
        row("E+2 has no letter", "+1.5E+2 VAC", 150.0, " 150", "VAC", " VAC");
        row("E-1 is milli", "+5.0E-1 VDC", 0.5, " 500", "mVDC", " VDC");
        row("exponent of two characters", "+1.0E+12 OHMS", 1e12, " 10", "OHMS", " OHMS");
        row("no E: first two characters are the exponent", "+60 HZ", 60.0, " 0", "MHZ", " HZ");
        row("unit cut at four characters", "+1.0000E+0 VOLTS", 1.0, " 1", "VOLT", " VOLT");
        row("overload", "+1E+9 OHMS", 1e9, " 1000", "MOHMS", " OHMS");
        row("negative below one", "-0.5000E+0 VDC", -0.5, "-.5", "VDC", " VDC");
        row("zero", "+0.0000E+0 VDC", 0.0, " 0", "VDC", " VDC");
        const char* kilohms = "+1.2345E+3 OHMS";
        // Lines without a number read as zero; without a blank they keep the unit texts, the
        // multiplier letter included.
        row("prompt", "=>", 0.0, " 0", "kOHMS", " OHMS", kilohms);
        row("empty line", "", 0.0, " 0", "kOHMS", " OHMS", kilohms);
        row("prompt after a plain reading", "=>", 0.0, " 0", "VDC", " VDC", "+1.2345E+0 VDC");
        row("echoed command: unit from the first blank", "VAC; DB", 0.0, " 0", "DB", " DB",
            kilohms);
        // Unitless lines take their own letter, never piling letters up.
        row("unitless mega", "+2.0000E+6", 2e6, " 2", "MOHMS", " OHMS", kilohms);
        row("unitless plain", "+2.0000E+0", 2.0, " 2", "kOHMS", " OHMS", kilohms);
        // A value that does not fit is kept; the exponent reads as +9 and the text as 1.0 x 10^3.
        row("too large", "+1.0E+999 VAC", 1.2345, " 1000", "MVAC", " VAC", "+1.2345E+0 VDC");
        row("too large for a float", "+9.9E+99 VDC", 1.2345, " 9900", "MVDC", " VDC",
            "+1.2345E+0 VDC");
        row("too small: zero", "+1.0E-999 VDC", 0.0, " 1E-06", "mVDC", " VDC", "+1.2345E+0 VDC");
    }
    void workedExamples() {
        QFETCH(QString, before);
        QFETCH(QString, line);
        QFETCH(double, value);
        QFETCH(QString, text);
        QFETCH(QString, dispUnits);
        QFETCH(QString, units);
        CurrentReading r;
        if (!before.isEmpty())
            ParseReplyLine(before, r);
        ParseReplyLine(line, r);
        QCOMPARE(r.PriValue, float(value));
        QCOMPARE(r.PriText, text);
        QCOMPARE(r.PriDispUnits, dispUnits);
        QCOMPARE(r.PriUnits, units);
        QCOMPARE(r.ShownUnits, units);
        QCOMPARE(r.DualDisplay, false);
    }

    void dualLines() {
        CurrentReading r;
        ParseReplyLine("+1.2345E+0 VAC,+6.0000E+1 HZ", r);
        QCOMPARE(r.DualDisplay, true);
        QCOMPARE(r.PriDispUnits, QString("VAC"));
        QCOMPARE(r.SecText, QString(" 60"));
        // Blanks after the comma are skipped.
        ParseReplyLine("+1.2345E+0 VDC, +6.7890E+3 ADC", r);
        QCOMPARE(r.SecValue, 6789.0f);
        QCOMPARE(r.SecText, QString(" 6.789"));
        QCOMPARE(r.SecDispUnits, QString("kADC"));
        QCOMPARE(r.SecUnits, QString(" ADC"));
        // A single line after it keeps the secondary fields.
        ParseReplyLine("+2.0000E+0 VDC", r);
        QCOMPARE(r.DualDisplay, false);
        QCOMPARE(r.SecValue, 6789.0f);
    }

    void readingLinesAreToldFromPromptsAndEchoes() {
        for (const char* line : {"+1.2345E+0 VDC", "-12.345E-3 ADC", "+1E+9 OHMS", "+.5E+0 VDC"})
            QVERIFY2(meterlink::IsReadingLine(line), line);
        for (const char* line : {"=>", "?>", "!>", "VAC", "FORMAT 2", "", "E+3", "+ VDC"})
            QVERIFY2(!meterlink::IsReadingLine(line), line);
    }

    void numericValue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // NaN: does not fit a double
        const double overflow = std::nan("");
        QTest::newRow("exponent") << "+1.2345E+3 OHMS" << 1234.5;
        QTest::newRow("blanks ignored") << " - 1 2 . 5 E + 1" << -125.0;
        QTest::newRow("nothing") << "VDC" << 0.0;
        QTest::newRow("comma ends") << "1,5" << 1.0;
        QTest::newRow("overflow") << "1E+400" << overflow;
        QTest::newRow("underflow is zero") << "1E-400" << 0.0;
    }
    void numericValue() {
        QFETCH(QString, text);
        QFETCH(double, value);
        const std::optional<double> read = NumericValue(text);
        QCOMPARE(read.has_value(), !std::isnan(value));
        if (read)
            QCOMPARE(*read, value);
    }

    // Only what the worked examples leave out.
    void readingText_data() {
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("rounding noise") << 123.45 * std::pow(10.0, -3) << " .12345";
        QTest::newRow("-0") << -0.0 << " 0";
        QTest::newRow("999.99") << 999.99 << " 999.99";
        QTest::newRow("15 digits") << 1.23456789012345678 << " 1.23456789012346";
    }
    void readingText() {
        QFETCH(double, number);
        QFETCH(QString, text);
        QCOMPARE(ReadingText(number), text);
    }
};

QTEST_GUILESS_MAIN(tst_ReplyParser)
#include "tst_replyparser.moc"
