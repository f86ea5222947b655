#pragma once
#include "meterlink/CurrentReading.h"
#include <QString>
#include <optional>

// Turning one reply line of the meter ("+1.2345E+3 OHMS", "+1.2345E+0 VAC,+6.0000E+1 HZ") into
// the current reading. Nothing here validates a line: every text parses to something, and a
// step that cannot produce a usable number leaves its field as it was.
namespace meterlink {

// The numeric value of the longest leading part of text that forms a decimal number (optional
// sign, digits, fraction, exponent), blanks ignored; 0 when there is none. Empty when the number
// does not fit a double (an exponent such as E+999).
std::optional<double> NumericValue(const QString& text);

// A number brought into the range of a multiplier letter.
struct PrefixScaled {
    double number = 0;
    QString letter; // "M", "k", "m" or empty
};

// exp >= 6 -> M, exp >= 3 -> k, exp < 0 -> m (so micro readings show as milli), else none.
PrefixScaled ScaleToPrefix(double mantissa, int exp);

// The display text of a number: a leading blank when not negative, a point, no zero before the
// point below 1, at most 15 significant digits (1.2345 -> " 1.2345", 0.12345 -> " .12345").
QString ReadingText(double number);

// True when a line has the form of the meter's readings: a signed number with its exponent
// ("+1.2345E+0", "+1E+9"), one blank and one of its units (VDC, VAC, ADC, AAC, OHMS, HZ, DB),
// perhaps behind a multiplier letter; a dual line adds a comma, blanks allowed, and a second
// such reading. Prompts ("=>"), echoed commands and noise on the line are not readings.
bool IsReadingLine(const QString& line);

// Parses one completed line (already without its carried-over first character) into the
// reading: primary fields always, secondary fields and DualDisplay := true only with a comma.
// Blanks at the start of the secondary part are skipped ("..VDC, +6.7890E+3 ADC").
void ParseReplyLine(const QString& text, CurrentReading& reading);

} // namespace meterlink
