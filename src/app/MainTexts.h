#pragma once
#include <QString>

// The fixed texts of the main window's message boxes.
namespace maintexts {

inline const QString AboutTitle = QStringLiteral("About Voltrane");
QString AboutText();
inline const QString HelpTitle = QStringLiteral("Voltrane Help");
QString HelpText();

// The shared message for dialog failures other than cancelling (OK only, no icon).
inline const QString UnexpectedErrorTitle = QStringLiteral("Unexpected Error!");
QString UnexpectedErrorText(int errorNumber);

inline const QString WindowCaption = QStringLiteral("Voltrane RS-232 Communications");
inline const QString OpenForGraphTitle = QStringLiteral("Open Data File for Graphing....");
inline const QString LoadingText = QStringLiteral("Loading Data...");

} // namespace maintexts
