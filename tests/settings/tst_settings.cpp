#include "settings/SettingsStore.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

class tst_Settings : public QObject {
    Q_OBJECT

    static QString sep() { return QString(QDir::separator()); }

private slots:
    void init() {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Voltrane", "Voltrane");
        store.clear();
        store.sync();
    }

    void firstRunGivesTheDefaults() {
        QCOMPARE(settings::ReadBackgroundColour(), 0);
        QCOMPARE(settings::ReadForegroundColour(), 65535);
        QCOMPARE(settings::ReadCommPort(), qint16(1));
        QCOMPARE(settings::ReadFontFace(), QString("MSSansserif"));
        QCOMPARE(settings::ReadAlarmWav(), settings::ProgramFolder() + sep() + "attention.wav");
        QCOMPARE(settings::ReadLogFilePath(), settings::ProgramFolder() + sep() + "Test.vtd");
    }

    void programFolderIsTheExecutablesFolder() {
        const QString folder = settings::ProgramFolder();
        QCOMPARE(folder, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
        QVERIFY(!folder.endsWith(sep()));
        QCOMPARE(settings::InProgramFolder("x.wav"), folder + sep() + "x.wav");
    }

    void getReturnsTheDefaultOnlyForAMissingKey() {
        QCOMPARE(settings::GetSetting("Font", "dflt"), QString("dflt"));
        settings::SaveSetting("Font", "");
        QCOMPARE(settings::GetSetting("Font", "dflt"), QString(""));
        settings::SaveSetting("Font", "Courier New");
        QCOMPARE(settings::GetSetting("Font", "dflt"), QString("Courier New"));
        QCOMPARE(settings::ReadFontFace(), QString("Courier New"));
    }

    void aHandEditedValueWithACommaIsOneText() {
        QString fileName;
        {
            QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Voltrane", "Voltrane");
            fileName = store.fileName();
        }
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

    void valuesLiveInTheStartupSection() {
        settings::SaveSetting("CommPort", "3");
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Voltrane", "Voltrane");
        QCOMPARE(store.value("Startup/CommPort").toString(), QString("3"));
    }

    void storedNumbersAreReadBack_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("red background") << "BGColor"
                                        << "255" << qint64(255);
        QTest::newRow("white text") << "FGColor"
                                    << "16777215" << qint64(16777215);
        QTest::newRow("negative colour") << "BGColor"
                                         << "-5" << qint64(-5);
        QTest::newRow("port 5") << "CommPort"
                                << "5" << qint64(5);
        QTest::newRow("port 9 kept") << "CommPort"
                                     << "9" << qint64(9);
        QTest::newRow("port 0 kept") << "CommPort"
                                     << "0" << qint64(0);
        QTest::newRow("colour not a number") << "BGColor"
                                             << "blue" << qint64(0);
        QTest::newRow("empty text colour") << "FGColor"
                                           << "" << qint64(65535);
        QTest::newRow("colour too large") << "FGColor"
                                          << "99999999999" << qint64(65535);
        QTest::newRow("port not a number") << "CommPort"
                                           << "COM3" << qint64(1);
        QTest::newRow("port beyond 16 bits") << "CommPort"
                                             << "70000" << qint64(1);
        QTest::newRow("port with blanks") << "CommPort"
                                          << " 4 " << qint64(4);
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

    void aRememberedFolderGetsTestVtd() {
        const QString folder = QDir::toNativeSeparators("/data/Logs");
        settings::SaveSetting("DataFilePath", folder);
        QCOMPARE(settings::ReadLogFilePath(), folder + sep() + "Test.vtd");
    }

    void theDefaultFilePathIsUsedUnchanged() {
        const QString path = settings::InProgramFolder("Test.vtd");
        settings::SaveSetting("DataFilePath", path);
        QCOMPARE(settings::ReadLogFilePath(), path);
    }

    void theComparisonIsCaseSensitive() {
        const QString path = settings::InProgramFolder("test.vtd");
        settings::SaveSetting("DataFilePath", path);
        QCOMPARE(settings::ReadLogFilePath(), path + sep() + "Test.vtd");
    }

    void closingADataWindowStoresTheFolderOfItsFile() {
        const QString file = QDir::toNativeSeparators("/runs/Run1/a.vtd");
        settings::SaveDataFolderOf(file);
        QCOMPARE(settings::GetSetting("DataFilePath", ""), QDir::toNativeSeparators("/runs/Run1"));
        QCOMPARE(settings::ReadLogFilePath(),
                 QDir::toNativeSeparators("/runs/Run1") + sep() + "Test.vtd");
    }

    void aFileInTheRootFolderStoresAnEmptyFolderAndReadsBackInTheRoot() {
        settings::SaveDataFolderOf(QDir::toNativeSeparators("/a.vtd"));
        QCOMPARE(settings::ReadLogFilePath(), sep() + "Test.vtd");
    }

    void aBareFileNameStoresTheProgramFolder() {
        settings::SaveDataFolderOf("a.vtd");
        QCOMPARE(settings::GetSetting("DataFilePath", ""), settings::ProgramFolder());
        QCOMPARE(settings::ReadLogFilePath(), settings::ProgramFolder() + sep() + "Test.vtd");
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
