#pragma once
#include "grapher/GraphPicture.h"
#include "grapher/LogFileReader.h"
#include "platform/Dialogs.h"
#include "platform/MessageBox.h"
#include "platform/ProgressDialog.h"
#include <QString>
#include <functional>

namespace grapher {

// The wait cursor for the length of a handler.
class Hourglass {
public:
    Hourglass();
    ~Hourglass();
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

// What the grapher writes from a loaded log file: the CSV copy, the database copy and the
// picture, each with its questions, retries and closing message. The window keeps the graph.
class GraphExports {
public:
    GraphExports(platform::MessageBox& messages, platform::Dialogs& dialogs,
                 platform::ProgressDialog& progress);

    enum class CsvOutcome { Written, Cancelled, GaveUp };
    // Writes <file>.csv beside the log file with progress, a failed write offered again.
    // GaveUp after a failure the user did not retry (the window then returns); Cancelled
    // leaves any earlier CSV as it was and says nothing.
    CsvOutcome writeCsv(const QString& logPath, const LoadedLog& log);
    // Copies the log file to <file>.mdb and reads it again, both with progress. A failed copy
    // is told here; it and a cancel (silent) leave keepShown set: the file in memory stays on
    // show. Otherwise the fresh read is returned (its error for the window).
    LoadResult copyDatabase(const QString& logPath, bool& keepShown);
    void copyDone();
    // Asks where, then writes the picture, a failed write offered again; Cancel gives up only
    // the picture.
    void savePicture(const QString& logPath, const std::function<GraphPicture()>& picture);

private:
    platform::MessageBox& messages_;
    platform::Dialogs& dialogs_;
    platform::ProgressDialog& progress_;
};

} // namespace grapher
