#pragma once
#include <QString>

// The version shown in the About, Help and recovery texts and by the command-line logger.
inline constexpr float ProgramVersion = 1.82f;
inline const QString ProgramVersionText = QStringLiteral("1.82");
