#pragma once
#include "logger/ScientificText.h"
#include <QString>

// Text forms of numbers and times used by the grapher's labels, readouts and CSV export.
// All of them use "." as the decimal separator whatever the user's locale: a comma would
// clash with the CSV field separator and with the labels' fixed shapes.
namespace grapher {

// "Scientific": the axis labels' form, shared with the logger's trend graph.
using logger::ScientificText;

// The default text of a single-precision value: shortest decimal form of up to seven
// significant digits ("1.2345", "0.1", "250", "1E+09", "-5E-05").
QString SingleText(float value);
// Appends the same text as Latin-1 bytes (the CSV writer's hot path).
void AppendSingleText(QByteArray& out, float value);

// "#0.00": at least one digit before the point, exactly two after.
QString FixedTwoText(double value);

// The number at the start of a text, as a lenient numeric reader takes it: leading blanks
// skipped, then an optional sign, digits, point and exponent; anything else gives 0.
double LeadingNumber(const QString& text);

// A time stamp stored as days since 30 December 1899 (fraction = time of day):
// "HH:mm:ss" when the date part is zero, else "yyyy-MM-dd HH:mm:ss", or the date alone at
// midnight.
QString TimeStampText(double days);
void AppendTimeStampText(QByteArray& out, double days);

} // namespace grapher
