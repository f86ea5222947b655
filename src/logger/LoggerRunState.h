#pragma once
#include <QString>
#include <QtGlobal>

// The logging run as the main window, the logger and the meter control window share it.
struct LoggerRunState {
    QString LogFilePath;
    qint32 LogIntervalMs = 1000;
    qint32 SampleCount = 0;
    bool LoggingActive = false;
    bool LogFileError = false;
    bool LoggerOpen = false;
};
