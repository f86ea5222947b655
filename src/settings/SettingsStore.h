#pragma once
#include <QString>
#include <QtGlobal>

// The per-user settings store: application "Voltrane", section "Startup".
namespace settings {

QString GetSetting(const QString& key, const QString& defaultText);
void SaveSetting(const QString& key, const QString& text);

// The folder of the executable, native separators, no trailing separator.
QString ProgramFolder();
// ProgramFolder() joined with the file name by the platform's separator.
QString InProgramFolder(const QString& fileName);

// Typed readers with the program's defaults.
qint32 ReadBackgroundColour(); // "BGColor", default 0
qint32 ReadForegroundColour(); // "FGColor", default 65535
qint16 ReadCommPort();         // "CommPort", default 1
QString ReadFontFace();        // "Font", default "MSSansserif"
QString ReadAlarmWav();        // "AlarmWav", default DefaultAlarmWavFor(ProgramFolder())
// attention.wav in the program folder; on Linux, when that folder has none, the one installed
// in the data folder (../share/voltrane from the program's folder, or the system's data
// folders), if any.
QString DefaultAlarmWavFor(const QString& programFolder);
// "DataFilePath" normalised into the log file path: always a file called "Test.vtd". Without a
// stored folder it is in the program folder, or in the user's documents folder when the program
// folder cannot be written (an installed program).
QString ReadLogFilePath();
// Stores the folder part of a file path as "DataFilePath" (used by the data windows).
void SaveDataFolderOf(const QString& filePath);

} // namespace settings
