#pragma once
#include <QString>

// The grapher's fixed texts: captions, titles and the message boxes' lines.
namespace grapher::texts {

inline const QString Caption = QStringLiteral("Voltrane Data Graphing Module");
inline const QString LoadTitle = QStringLiteral("Cannot Start Graphing Program!");

// Lines joined by CR LF, then two more line breaks.
QString Lines(std::initializer_list<QString> lines);

QString NotValidFile();       // the file has no Info row or no LogData rows
QString NotCreatedQuitting(); // a table is missing, opened from the main window
QString UnknownError();
QString DataIncompatible(); // a column is missing

// What a long task shows while it runs.
inline const QString ReadingLog = QStringLiteral("Reading the log file...");
inline const QString WritingCsv = QStringLiteral("Writing the CSV file...");
inline const QString CopyingDatabase = QStringLiteral("Copying the database...");

// CSV export.
inline const QString CsvDoneTitle = QStringLiteral(".CSV File Creation Successful!");
QString CsvDone();
inline const QString CsvErrorTitle = QStringLiteral("CSV File Creation Error!");
// The failure lines of a file the grapher writes, with Retry and Cancel.
QString CsvError(int number);

// Picture of the graph.
inline const QString PictureErrorTitle = QStringLiteral("Picture File Creation Error!");
// A picture named into a folder that is not there (a typed path), with Retry and Cancel.
QString FolderMissing(const QString& folder);

// Database copy.
inline const QString CopyDoneTitle = QStringLiteral("Access Database File Creation Successful!");
QString CopyDone();
inline const QString CopyFailedTitle = QStringLiteral("Copy to Access File Failed!");
QString CopyFailed();

// Comment write-back.
inline const QString CommentErrorTitle = QStringLiteral("Comment Not Saved!");
QString CommentError(const QString& path, const QString& reason);

// About and Help.
inline const QString AboutTitle = QStringLiteral("About Voltrane Graphing");
QString About(const QString& version);
inline const QString HelpTitle = QStringLiteral("Voltrane Graphing Help");
QString Help(const QString& version);

// Tooltips.
inline const QString CursorTip =
    QStringLiteral("Use Mouse or Left/Right Keyboard Buttons to Move Cursor");
inline const QString TitleTip = QStringLiteral("Use Mouse or Left/Right Keyboard Buttons to Move "
                                               "Cursor, Click to toggle between Primary and "
                                               "Secondary");

} // namespace grapher::texts
