#include "TestSettings.h"
#include "settings/SettingsStore.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString sep = QDir::separator();
const auto native = [](const QString& path) { return QDir::toNativeSeparators(path); };
using testsupport::store;
} // namespace

class tst_Settings : public QObject {
    Q_OBJECT

private slots:
    void init() { testsupport::clearSettings(); }

    void firstRunGivesTheDefaults() {
        const QString folder = settings::ProgramFolder();
        QCOMPARE(folder, native(QCoreApplication::applicationDirPath()));
        QVERIFY(!folder.endsWith(sep));
        QCOMPARE(settings::ReadFontFace(), QString("MSSansserif"));
        QCOMPARE(settings::ReadAlarmWav(), folder + sep + "attention.wav");
        QCOMPARE(settings::ReadLogFilePath(), folder + sep + "Test.vtd");
    }

    void getReturnsTheDefaultOnlyForAMissingKeyAndCommasStayText() {
        QCOMPARE(settings::GetSetting("Font", "dflt"), QString("dflt"));
        settings::SaveSetting("Font", "");
        QCOMPARE(settings::GetSetting("Font", "dflt"), QString(""));
        settings::SaveSetting("Font", "Courier New");
        QCOMPARE(store().value("Startup/Font").toString(), QString("Courier New"));
        // A hand-edited value with a comma is one text.
        const QString fileName = store().fileName();
        QDir().mkpath(QFileInfo(fileName).path());
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Startup]\nFont=Courier, New\nBGColor=12,5\n");
        file.close();
        QCOMPARE(settings::ReadFontFace(), QString("Courier, New"));
        QCOMPARE(settings::ReadBackgroundColour(), 0);
        settings::SaveSetting("Font", "A, B");
        QCOMPARE(settings::ReadFontFace(), QString("A, B"));
    }

    // Text that is not a number, or a number too large for its type, gives the default.
    void storedNumbersAreReadBack_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected");
        auto row = [](const char* key, const char* text, qint64 expected) {
            QTest::addRow("%s=%s", key, text) << QString(key) << QString(text) << expected;
        };
        row("FGColor", "16777215", 16777215);
        row("BGColor", "-5", -5);
        row("CommPort", "0", 0);
        row("CommPort", " 4 ", 4);
        row("BGColor", "blue", 0);
        row("FGColor", "", 65535);
        row("FGColor", "99999999999", 65535);
        row("CommPort", "COM3", 1);
        row("CommPort", "70000", 1);
    }
    void storedNumbersAreReadBack() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(qint64, expected);
        settings::SaveSetting(key, text);
        const qint64 read = key == "BGColor"   ? settings::ReadBackgroundColour()
                            : key == "FGColor" ? settings::ReadForegroundColour()
                                               : settings::ReadCommPort();
        QCOMPARE(read, expected);
    }

    // The log file is always Test.vtd in the remembered folder; only the exact default path
    // (compared case-sensitively) is used unchanged.
    void logFilePathNamesTestVtd() {
        const QString vtd = sep + "Test.vtd";
        auto stored = [](const QString& text) {
            settings::SaveSetting("DataFilePath", text);
            return settings::ReadLogFilePath();
        };
        auto dataFileClosed = [](const QString& file) {
            settings::SaveDataFolderOf(file);
            return settings::ReadLogFilePath();
        };
        QCOMPARE(stored(native("/data/Logs")), native("/data/Logs") + vtd);
        QCOMPARE(stored(settings::InProgramFolder("Test.vtd")),
                 settings::InProgramFolder("Test.vtd"));
        QCOMPARE(stored(settings::InProgramFolder("test.vtd")),
                 settings::InProgramFolder("test.vtd") + vtd);
        QCOMPARE(dataFileClosed(native("/runs/Run1/a.vtd")), native("/runs/Run1") + vtd);
        QCOMPARE(settings::GetSetting("DataFilePath", ""), native("/runs/Run1"));
        QCOMPARE(dataFileClosed(native("/a.vtd")), vtd);
        QCOMPARE(dataFileClosed("a.vtd"), settings::ProgramFolder() + vtd);
    }

    void theAlarmSoundBesideTheProgramComesFirst() {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("bin") && QDir(root.path()).mkpath("share/voltrane"));
        const QString bin = root.filePath("bin");
        const auto touch = [](const QString& path) {
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        };
        const QString beside = native(bin + "/attention.wav");
        QCOMPARE(settings::DefaultAlarmWavFor(bin), beside); // nowhere: where the chooser starts
#ifdef Q_OS_LINUX
        const QString installed = root.filePath("share/voltrane/attention.wav");
        touch(installed);
        QCOMPARE(settings::DefaultAlarmWavFor(bin), installed);
#endif
        touch(beside);
        QCOMPARE(settings::DefaultAlarmWavFor(bin), beside);
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
