#include "settings/SettingsStore.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <limits>

namespace settings {
namespace {

const QString Group = QStringLiteral("Startup");

QSettings openStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Voltrane"),
                     QStringLiteral("Voltrane"));
}

// Stored numbers are decimal text; anything else (an empty or hand-edited value, or a number
// out of range) gives the default rather than a surprise value.
qint64 readInteger(const QString& key, qint64 defaultValue, qint64 low, qint64 high) {
    bool ok = false;
    const qint64 value =
        GetSetting(key, QString::number(defaultValue)).trimmed().toLongLong(&ok, 10);
    return ok && value >= low && value <= high ? value : defaultValue;
}

} // namespace

QString GetSetting(const QString& key, const QString& defaultText) {
    QSettings store = openStore();
    store.beginGroup(Group);
    const QVariant value = store.value(key);
    if (!value.isValid())
        return defaultText;
    // A hand-edited value with an unquoted comma reads back as a list; it is still one text.
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void SaveSetting(const QString& key, const QString& text) {
    QSettings store = openStore();
    store.beginGroup(Group);
    store.setValue(key, text);
    store.sync();
}

QString ProgramFolder() {
    QString folder = QCoreApplication::applicationDirPath();
    if (folder.isEmpty())
        folder = QDir::currentPath();
    folder = QDir::toNativeSeparators(QDir::cleanPath(folder));
    // The root folder keeps its separator ("/"); every other folder has none at its end.
    if (folder.size() > 1 && folder.endsWith(QDir::separator()))
        folder.chop(1);
    return folder;
}

QString InProgramFolder(const QString& fileName) {
    const QString folder = ProgramFolder();
    if (folder.endsWith(QDir::separator()))
        return folder + fileName;
    return folder + QDir::separator() + fileName;
}

qint32 ReadBackgroundColour() {
    return qint32(readInteger(QStringLiteral("BGColor"), 0, std::numeric_limits<qint32>::min(),
                              std::numeric_limits<qint32>::max()));
}

qint32 ReadForegroundColour() {
    return qint32(readInteger(QStringLiteral("FGColor"), 65535, std::numeric_limits<qint32>::min(),
                              std::numeric_limits<qint32>::max()));
}

qint16 ReadCommPort() {
    return qint16(readInteger(QStringLiteral("CommPort"), 1, std::numeric_limits<qint16>::min(),
                              std::numeric_limits<qint16>::max()));
}

QString ReadFontFace() {
    return GetSetting(QStringLiteral("Font"), QStringLiteral("MSSansserif"));
}

QString DefaultAlarmWavFor(const QString& programFolder) {
    const QString name = QStringLiteral("attention.wav");
    const QString beside = QDir::toNativeSeparators(QDir(programFolder).filePath(name));
#ifdef Q_OS_LINUX
    // An installed program keeps its data apart from its executable (/usr/bin and
    // /usr/share/voltrane); a build or copied-in folder has the sound beside the program.
    if (!QFileInfo::exists(beside)) {
        const QString installed =
            QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral(VOLTRANE_DATA_FROM_BIN)));
        if (QFileInfo::exists(installed + QLatin1Char('/') + name))
            return installed + QLatin1Char('/') + name;
        const QString shared = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                      QStringLiteral("voltrane/") + name);
        if (!shared.isEmpty())
            return shared;
    }
#endif
    return beside;
}

QString ReadAlarmWav() {
    return GetSetting(QStringLiteral("AlarmWav"), DefaultAlarmWavFor(ProgramFolder()));
}

namespace {

// Log files go beside the program, as users of a copied-in program folder expect; an installed
// program's folder cannot be written by its user, so there the user's documents folder serves.
QString defaultLogFilePath() {
    const QString name = QStringLiteral("Test.vtd");
    if (QFileInfo(ProgramFolder()).isWritable())
        return InProgramFolder(name);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        return InProgramFolder(name);
    return QDir::toNativeSeparators(documents) + QDir::separator() + name;
}

} // namespace

QString ReadLogFilePath() {
    const QString defaultPath = defaultLogFilePath();
    const QString stored = GetSetting(QStringLiteral("DataFilePath"), defaultPath);
    if (stored == defaultPath)
        return stored;
    // A remembered folder; the root folder already ends in its separator.
    if (stored.endsWith(QDir::separator()))
        return stored + QStringLiteral("Test.vtd");
    return stored + QDir::separator() + QStringLiteral("Test.vtd");
}

void SaveDataFolderOf(const QString& filePath) {
    const QString native = QDir::toNativeSeparators(filePath);
    const qsizetype last = native.lastIndexOf(QDir::separator());
    // A bare file name has no folder part: it would be found relative to the program, so the
    // program folder is what is remembered.
    const QString folder = last < 0 ? ProgramFolder() : native.left(last);
    SaveSetting(QStringLiteral("DataFilePath"), folder);
}

} // namespace settings
