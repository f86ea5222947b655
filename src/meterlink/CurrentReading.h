#pragma once
#include <QDateTime>
#include <QString>

// The reading of the last complete reply line, written by the receive side and the display
// cycle, read by the alarms, the sample capture and the logger.
struct CurrentReading {
    float PriValue = 0; // base unit, unscaled
    float SecValue = 0;
    QString PriUnits;                         // as received, with its leading blank (" VDC")
    QString SecUnits = QStringLiteral("N/A"); // "N/A" while the meter shows one reading
    bool DualDisplay = false;
    QString PriText; // number scaled to its multiplier letter (" 1.2345")
    QString SecText;
    QString PriDispUnits; // multiplier letter and unit, no blanks ("kOHMS")
    QString SecDispUnits;
    QString ShownUnits;
    // When the last reading line arrived; null before the first. A sample older than that by
    // more than a little would log a value the meter never measured for it.
    QDateTime ReadingAt;
};
