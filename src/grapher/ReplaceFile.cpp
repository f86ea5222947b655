#include "grapher/ReplaceFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace grapher {

namespace {

// A target the user marked read-only stays untouched, even for a user whom the system would
// let write it anyway (the administrator).
bool markedReadOnly(const QFileInfo& info) {
    return info.exists() && !(info.permissions() & QFileDevice::WriteOwner);
}

} // namespace

int FileErrorNumber(int systemError) {
    switch (systemError) {
    case ENOENT:
    case ENOTDIR:
        return 53;
    case EIO:
        return 57;
    case ENOSPC:
    case EFBIG: // the file size limit: to the user, no more room
#ifdef EDQUOT
    case EDQUOT:
#endif
        return 61;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return 70;
    case ENXIO:
    case ENODEV:
        return 71;
    case 0:
        return 57; // a failure the system gave no reason for: treat as input/output
    default:
        return systemError;
    }
}

int WriteReplacing(const QString& path, const QString& logFilePath,
                   const std::function<int(QIODevice&)>& write) {
    const QFileInfo target(path);
    if (markedReadOnly(target))
        return 70;
    if (!logFilePath.isEmpty() && target.exists() &&
        target.canonicalFilePath() == QFileInfo(logFilePath).canonicalFilePath())
        return 70;
    if (target.exists() && !target.isFile()) {
        // A device or similar in place of a file: written directly, nothing to replace.
        QFile out(path);
        errno = 0;
        if (!out.open(QIODevice::WriteOnly))
            return FileErrorNumber(errno);
        const int error = write(out);
        if (error == 0 && !out.flush())
            return FileErrorNumber(errno);
        return error;
    }
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    errno = 0;
    if (!out.open(QIODevice::WriteOnly))
        return FileErrorNumber(errno);
    const int error = write(out);
    if (error != 0) {
        out.cancelWriting();
        return error;
    }
    errno = 0;
    if (!out.commit())
        return FileErrorNumber(errno);
    return 0;
}

} // namespace grapher
