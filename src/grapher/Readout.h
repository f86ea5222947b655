#pragma once
#include "grapher/LogColumns.h"

#include <QString>
#include <optional>

namespace grapher {

// The readout labels for one row: "TimeStamp:", "+MSec:", "Units:", "Value:" and "dBu:".
struct Readout {
    QString timeStamp;              // lblTS
    QString milliSeconds;           // lblType
    QString units;                  // lblUnits
    QString value;                  // lblValue
    std::optional<QString> dBu;     // lbldBu; empty optional: the label keeps its text
    std::optional<float> plotValue; // the y of the marker; empty for a NULL value
};

// "#0.00 dBu" for the number at the start of valueText; empty optional for 0 or less
// (0 dBu is 0.77459667 V).
std::optional<QString> ShowDbu(const QString& valueText);

// The readouts of row pos of the given data set (1 primary, 2 secondary).
Readout ReadoutFor(const LogColumns& columns, qint32 pos, int dataSet);

} // namespace grapher
