#pragma once
#include <QString>

namespace logger {

// The named number format "Scientific" of the trend graph's and the grapher's axis labels: one
// digit, point, two digits, E, sign, at least two exponent digits (5 -> "5.00E+00",
// 1234.5 -> "1.23E+03", -0.25 -> "-2.50E-01"). The point is "." whatever the user's locale;
// non-finite values, which only a foreign file can hold, read "Inf", "-Inf" and "NaN".
QString ScientificText(double value);

} // namespace logger
