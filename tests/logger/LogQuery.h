#pragma once
#include "logger/Db.h"
#include <QStringList>

// Reads a log file back with plain SQL, read-only, so a test sees what another program would.
namespace logquery {

// Each result row as its columns' text joined by '|'.
inline QStringList rows(const QString& path, const QString& sql) {
    db::Connection file = db::Connection::open(path, db::Connection::Mode::ReadOnly);
    db::Statement query = file.prepare(sql);
    QStringList out;
    while (query.step()) {
        QStringList columns;
        for (int c = 0; c < query.columnCount(); ++c)
            columns << query.columnText(c);
        out << columns.join(u'|');
    }
    return out;
}

} // namespace logquery
