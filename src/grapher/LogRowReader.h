#pragma once
#include "grapher/LogColumns.h"
#include "grapher/Progress.h"

#include "logger/Db.h"

namespace grapher {

// Reads every LogData row of an open log file into columns, in stored order. When Sample is
// the table's row id and numbers the rows without gaps, ranges of it are read in parallel,
// each thread over its own read-only connection to path; otherwise one ordered scan reads them.
// Throws db::Error as the file's faults are numbered (the first in stored order wins), or
// Cancelled when progress asks to stop.
void ReadLogRows(db::Connection& file, const QString& path, LogColumns& columns,
                 Progress* progress);

} // namespace grapher
