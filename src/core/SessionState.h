#pragma once
#include "core/DisplayShared.h"
#include "logger/LoggerRunState.h"
#include "meterlink/CurrentReading.h"
#include "meterlink/LinkCounters.h"
#include "platform/ProgramVersion.h"
#include <QString>

// The live session's data that the windows show, grouped by the subsystem that writes it.
// Owned by the meter session.
struct SessionState {
    CurrentReading reading;
    LinkCounters link;
    DisplayShared display;
    LoggerRunState logger;
    QString GraphFilePath;
};
