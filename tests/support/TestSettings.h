#pragma once
#include <QSettings>

// The program's settings store as the code under test opens it; in a test it lives in the
// test's private configuration folder.
namespace testsupport {

inline QSettings store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Voltrane"),
                     QStringLiteral("Voltrane"));
}

inline void clearSettings() {
    QSettings s = store();
    s.clear();
    s.sync();
}

} // namespace testsupport
