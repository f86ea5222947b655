// Linked into every test: a test binary started by hand, outside ctest (which points
// XDG_CONFIG_HOME at the build folder), must not touch the user's own settings either.
#include <QDir>
#include <QFile>
#include <QtGlobal>

namespace {

[[maybe_unused]] const bool settingsKeptPrivate = [] {
    if (!qEnvironmentVariableIsSet("VOLTRANE_BUILD_DIR")) {
        const QString folder = QDir::tempPath() + QStringLiteral("/voltrane-test-config");
        QDir().mkpath(folder);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
    }
    return true;
}();

} // namespace
