#include "grapher/GrapherTexts.h"
#include "logger/LoggerRules.h"
#include "platform/MessageText.h"

namespace grapher::texts {

using platform::CrLf;
using platform::EachLine;

QString Lines(std::initializer_list<QString> lines) {
    QString text;
    bool first = true;
    for (const QString& line : lines) {
        if (!first)
            text += CrLf;
        text += line;
        first = false;
    }
    return text + CrLf + CrLf;
}

QString NotValidFile() {
    return Lines({"Database is not a valid .vtd file,", "or may be corrupted!", "",
                  "Cannot continue....", "", "Press 'OK' to Exit."});
}

QString NotCreatedQuitting() {
    return Lines({"Database not created with this program!", "",
                  "Data Incompatible, Fatal Error, Quitting Now...", "", "Press 'OK' to Exit."});
}

QString UnknownError() {
    return Lines({"Unknown Error!", "", "Cannot continue....", "", "Press 'OK' to Exit."});
}

QString DataIncompatible() {
    return Lines({"Database not created with this program!", "",
                  "Data Incompatible, Cannot continue....", "", "Press 'OK' to Exit."});
}

namespace {
// A conversion's success: its first line, then where the new file is.
QString SavedBesideLog(const QString& done) {
    return done + CrLf + "File is in the same Folder as the .vtd File" + CrLf + CrLf +
           "Press 'OK' to Continue..." + CrLf + CrLf;
}

QString RetryOrCancel(const QString& lines) {
    return lines + "If the error has been corrected, click 'Retry'," + CrLf +
           "otherwise click 'Cancel'";
}
} // namespace

QString CsvDone() {
    return SavedBesideLog(QStringLiteral("Comma Separated Values File Creation Successful!"));
}

QString CsvError(int number) {
    QString lines;
    switch (number) {
    case 53:
        lines = Lines({"File was not found. Check spelling or", "ask for assistance."});
        break;
    case 57:
        lines = Lines({"Hardware Problem, seek assistance."});
        break;
    case 61:
        lines = Lines({"Disk Full!", "Free up some space..."});
        break;
    case 70:
        lines = Lines({"File or Media is Write Protected..."});
        break;
    case 71:
        lines = Lines({"Drive door seems to be open - check..."});
        break;
    case 72:
        lines = Lines({"Disk Hardware Error!"});
        break;
    default:
        lines = Lines({"Error #" + QString::number(number) + " occurred!",
                       "Please report to Program Author."});
        break;
    }
    return RetryOrCancel(lines);
}

QString FolderMissing(const QString& folder) {
    return RetryOrCancel(Lines({"The folder does not exist:", folder}));
}

QString CopyDone() {
    return SavedBesideLog(QStringLiteral("Access File Created Successfully!"));
}

QString CopyFailed() {
    return "Convert Operation Failed!" + CrLf + CrLf + "Cannot continue...." + CrLf + CrLf +
           "Press 'OK' to Exit." + CrLf + CrLf;
}

QString CommentError(const QString& path, const QString& reason) {
    return Lines({"The Descriptive Comment could not be saved in", path, "", reason, "",
                  "If the error has been corrected, click 'Retry',",
                  "otherwise click 'Cancel' to close without saving it."});
}

QString About(const QString& version) {
    // The program's own lines are the logger's About text; the window's follow.
    const QString windowLines = EachLine({
        "This Window allows Graphing and Analysis of",
        "a full logged Data Set, and Conversion to",
        "MS Access or Comma Separated Values Files.",
        "",
        "The Converted Files are stored in the same directory",
        "as the original .vtd File, which remains intact.",
        "",
        "The Descriptive Comment may be Edited (255",
        "Characters Maximum, Saved on Exit).",
        "",
    });
    return logger::aboutText(version) + windowLines;
}

QString Help(const QString& version) {
    return EachLine({"Voltrane Multimeter Communications Application",
                     "and Data Logger",
                     "",
                     "Version " + version,
                     "",
                     "The 'Grapher' form allows Graphing and Analysis of",
                     "a full logged Data Set, and Conversion to",
                     "MS Access or Comma Separated Values Files,",
                     "stored as Time, ms Offset, Units1, Val1, Units2, Val2.",
                     "",
                     "The Converted Files are stored in the same directory",
                     "as the original .vtd File, which remains unchanged.",
                     "",
                     "The Descriptive Comment may be Edited (255",
                     "Characters Maximum, Saved on Exit).",
                     "",
                     "If you are Graphing Dual-Display Data, clicking the",
                     "'Units' label above the Graph will switch between",
                     "Primary and Secondary Data Sets.",
                     ""});
}

} // namespace grapher::texts
