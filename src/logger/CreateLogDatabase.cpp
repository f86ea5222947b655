#include "CreateLogDatabase.h"

namespace logger {

namespace {
const QString NewLine = QStringLiteral("\r\n");
const QString BlankLine = QStringLiteral("\r\n\r\n");
} // namespace

QString fileErrorLines(int number, const QString& path) {
    QString text;
    switch (number) {
    case db::ErrorNumber::AlreadyExists:
        text = QStringLiteral("Database Already Exists!") + BlankLine + QStringLiteral("Remove ") +
               path + QStringLiteral(",") + NewLine + QStringLiteral("or choose another Name....") +
               BlankLine;
        break;
    case db::ErrorNumber::Unspecified:
        text = QStringLiteral("Path Doesn't Exist! - ") + path + BlankLine +
               QStringLiteral("Check Path, and/or create the Parent Folder manually....") +
               BlankLine;
        break;
    case db::ErrorNumber::FileNotFound:
        text = QStringLiteral("File was not found. Check spelling or") + NewLine +
               QStringLiteral("ask for assistance.") + BlankLine;
        break;
    case db::ErrorNumber::DeviceIo:
        text = QStringLiteral("Hardware Problem, seek assistance.") + BlankLine;
        break;
    case db::ErrorNumber::DiskFull:
        text = QStringLiteral("Disk Full!") + NewLine + QStringLiteral("Free up some space...") +
               BlankLine;
        break;
    case db::ErrorNumber::PermissionDenied:
        text = QStringLiteral("File or Media is Write Protected...") + BlankLine;
        break;
    case db::ErrorNumber::DiskNotReady:
        text = QStringLiteral("Drive door seems to be open - check...") + BlankLine;
        break;
    case db::ErrorNumber::DiskMediaError:
        text = QStringLiteral("Disk Hardware Error!") + BlankLine;
        break;
    default:
        text = QStringLiteral("Error #") + QString::number(number) + QStringLiteral(" occurred!") +
               NewLine + QStringLiteral("Please report to Program Author.") + BlankLine;
        break;
    }
    return text;
}

QString creationErrorText(int number, const QString& path) {
    return NewLine + fileErrorLines(number, path) +
           QStringLiteral("If the error has been corrected, click 'Retry',") + NewLine +
           QStringLiteral("otherwise click 'Cancel' to Exit Program.");
}

std::optional<db::Connection> CreateLogDatabase(LoggerRunState& state,
                                                platform::MessageBox& messages, const QString& path,
                                                const logfile::RunInfo& info,
                                                const std::function<void()>& endProgram) {
    for (;;) {
        try {
            db::Connection file = logfile::createLogFile(path, info);
            state.LogFileError = false;
            return file;
        } catch (const db::Error& error) {
            state.LogFileError = true;
            const platform::Answer answer = messages.show(
                creationErrorText(error.number(), path), platform::Buttons::RetryCancel,
                QStringLiteral("Database Creation Error!"), platform::Icon::None);
            if (answer == platform::Answer::Retry)
                continue;
            state.LoggerOpen = false;
            if (endProgram)
                endProgram();
            return std::nullopt;
        }
    }
}

} // namespace logger
