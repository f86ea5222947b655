#pragma once
#include <QSettings>

// The program's settings store as the code under test opens it; in a test it lives in the
// test's private configuration folder.
namespace testsupport {

inline QSettings store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Voltrane"),
                     QStringLiteral("Voltrane"));
}

// "Ports/Com<n>" names device, as an assignment made in the program does.
inline void mapPort(int n, const QString& device) {
    QSettings s = store();
    s.setValue(QStringLiteral("Ports/Com%1").arg(n), device);
    s.sync();
}

inline void clearSettings() {
    QSettings s = store();
    s.clear();
    s.sync();
}

} // namespace testsupport
