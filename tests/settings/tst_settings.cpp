#include "TestSettings.h"
#include "settings/SettingsStore.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString sep = QDir::separator();
const auto native = [](const QString& path) { return QDir::toNativeSeparators(path); };
} // namespace

class tst_Settings : public QObject {
    Q_OBJECT

private slots:
    void init() { testsupport::clearSettings(); }

    // First run: everything beside the program; an installed program finds its sound in its
    // data folder. A saved text reads back even when empty; a hand-edited value with a comma is
    // one text, and no number.
    void defaultsAndHandEditedTexts() {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("bin") && QDir(root.path()).mkpath("share/voltrane"));
        const QString bin = root.filePath("bin"), beside = native(bin + "/attention.wav");
        QCOMPARE(settings::DefaultAlarmWavFor(bin), beside); // nowhere: where the chooser starts
#ifdef Q_OS_LINUX
        const QString installed = root.filePath("share/voltrane/attention.wav");
        QVERIFY(QFile(installed).open(QIODevice::WriteOnly));
        QCOMPARE(settings::DefaultAlarmWavFor(bin), installed);
#endif
        QVERIFY(QFile(beside).open(QIODevice::WriteOnly));
        QCOMPARE(settings::DefaultAlarmWavFor(bin), beside);
        const QString folder = native(QCoreApplication::applicationDirPath()) + sep;
        QCOMPARE(settings::ReadFontFace(), QString("MSSansserif"));
        QCOMPARE(settings::ReadAlarmWav(), folder + "attention.wav");
        QCOMPARE(settings::ReadLogFilePath(), folder + "Test.vtd");
        settings::SaveSetting("Font", "");
        QCOMPARE(settings::ReadFontFace(), QString(""));
        QFile file(testsupport::store().fileName());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Startup]\nFont=Courier, New\nBGColor=12,5\n");
        file.close();
        QCOMPARE(settings::ReadFontFace(), QString("Courier, New"));
        QCOMPARE(settings::ReadBackgroundColour(), 0);
    }

    // Text that is not a number, or a number too large for its type, gives the default.
    void storedNumbersAreReadBack_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected");
        auto row = [](const char* key, const char* text, qint64 expected) {
            QTest::addRow("%s=%s", key, text) << QString(key) << QString(text) << expected;
        };
        row("BGColor", "-5", -5);
        row("CommPort", "0", 0);
        row("CommPort", " 4 ", 4);
        row("FGColor", "99999999999", 65535);
        row("CommPort", "COM3", 1);
        row("CommPort", "70000", 1);
    }
    void storedNumbersAreReadBack() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        settings::SaveSetting(key, text);
        const qint64 read = key == "BGColor"   ? settings::ReadBackgroundColour()
                            : key == "FGColor" ? settings::ReadForegroundColour()
                                               : settings::ReadCommPort();
        QTEST(read, "expected");
    }

    // The log file is always Test.vtd in the remembered folder, stored as typed or as the
    // folder of the last file closed; only the exact default path (compared case-sensitively)
    // is used unchanged.
    void logFilePathNamesTestVtd() {
        const QString vtd = sep + "Test.vtd";
        const auto read = [](bool closedFile, const QString& text) {
            closedFile ? settings::SaveDataFolderOf(text)
                       : settings::SaveSetting("DataFilePath", text);
            return settings::ReadLogFilePath();
        };
        QCOMPARE(read(false, native("/data/Logs")), native("/data/Logs") + vtd);
        QCOMPARE(read(false, settings::InProgramFolder("Test.vtd")),
                 settings::InProgramFolder("Test.vtd"));
        QCOMPARE(read(false, settings::InProgramFolder("test.vtd")),
                 settings::InProgramFolder("test.vtd") + vtd);
        QCOMPARE(read(true, native("/runs/Run1/a.vtd")), native("/runs/Run1") + vtd);
        QCOMPARE(read(true, native("/a.vtd")), vtd);
        QCOMPARE(read(true, "a.vtd"), settings::ProgramFolder() + vtd);
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
