#include "cli/FunctionGate.h"
#include <QStringList>

namespace cli {
namespace {

// The unit a function's readings carry in format 2: diode and continuity read volts DC.
QString unitOfFunction(const QString& name) {
    if (name == QLatin1String("FREQ"))
        return QStringLiteral("HZ");
    if (name == QLatin1String("DIODE") || name == QLatin1String("CONT"))
        return QStringLiteral("VDC");
    return name;
}

} // namespace

FunctionGate::FunctionGate(meterlink::ReadingSource& source, const QString& functionCommand)
    : source_(source), expected_(unitsOf(functionCommand)) {
    arm();
}

FunctionGate::Units FunctionGate::unitsOf(const QString& functionCommand) {
    Units units;
    for (QString word : functionCommand.toUpper().split(u';', Qt::SkipEmptyParts)) {
        word = word.trimmed();
        if (word == QLatin1String("DB"))
            units.primary = word;
        else if (word.endsWith(u'2'))
            units.secondary = unitOfFunction(word.chopped(1));
        else
            units.primary = unitOfFunction(word);
    }
    return units;
}

bool FunctionGate::matches(const meterlink::ReadingValues& reading) const {
    const QString units = reading.units.toUpper();
    const bool primary = expected_.primary == QLatin1String("DB")
                             ? units.startsWith(QLatin1String("DB"))
                             : units == expected_.primary;
    // A single function is judged by its primary reading alone, so a meter that keeps its
    // secondary display on is still logged.
    return primary && (!expected_.secondary || reading.units2.toUpper() == *expected_.secondary);
}

std::optional<meterlink::ReadingValues> FunctionGate::sampleReading() {
    std::optional<meterlink::ReadingValues> reading = source_.sampleReading();
    if (!reading || (!open_ && !matches(*reading)))
        return std::nullopt;
    open_ = true;
    return reading;
}

} // namespace cli
