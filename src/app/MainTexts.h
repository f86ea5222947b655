#pragma once
#include <QString>

// The fixed texts of the main window's message boxes.
namespace maintexts {

inline const QString AboutTitle = QStringLiteral("About Voltrane");
QString AboutText();
inline const QString HelpTitle = QStringLiteral("Voltrane Help");
QString HelpText(); // the meter's setup help, which the silence question shows too

inline const QString WindowCaption = QStringLiteral("Voltrane RS-232 Communications");
inline const QString OpenForGraphTitle = QStringLiteral("Open Data File for Graphing....");
inline const QString LoadingText = QStringLiteral("Loading Data...");

} // namespace maintexts
