#include "Doubles.h"
#include "MeterSimProcess.h"
#include "app/frmMain.h"
#include "platform/QtSerialPort.h"
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>

// The main window on a real serial port, talking to the meter simulator.
class TestMainWithSim : public QObject {
    Q_OBJECT

    struct Program {
        doubles::FakePlatform fake;
        platform::QtSerialPort serial;
        platform::Platform services{fake.messages, fake.dialogs, fake.sound,
                                    fake.clock,    serial,       fake.shell};
        frmMain main{services};

        QLabel* label(const char* name) { return main.findChild<QLabel*>(name); }
    };

private slots:
    void init() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Voltrane", "Voltrane").clear();
    }

    void readingsReachTheDisplay() {
        testsupport::MeterSimProcess sim;
        QVERIFY2(sim.start({"--reading", "+1.2345E+3 OHMS", "--interval", "100"}),
                 qPrintable(sim.error()));
        sim.mapToPort(1);
        Program program;
        QVERIFY(program.main.openWindow());
        QVERIFY(sim.waitForLogged("FORMAT 2; RATE F\r\nRATE F\rVAC\rRATE F\rVAC\r"));
        QTRY_COMPARE_WITH_TIMEOUT(program.label("Label1")->text(), QString(" 1.2345 kOHMS"), 10000);
        QVERIFY(program.main.findChild<QPushButton*>("cmdLogger")->isEnabled());
        QVERIFY(program.fake.messages.shown.isEmpty());
        program.main.quitProgram();
        QVERIFY(!program.serial.isOpen());
    }

    void dualReadingsGrowTheWindow() {
        testsupport::MeterSimProcess sim;
        QVERIFY2(sim.start({"--reading", "+1.2345E+0 VAC,+6.0000E+1 HZ", "--interval", "100"}),
                 qPrintable(sim.error()));
        sim.mapToPort(1);
        Program program;
        QVERIFY(program.main.openWindow());
        QTRY_COMPARE_WITH_TIMEOUT(program.label("Label2")->text(), QString(" 60 HZ"), 10000);
        QVERIFY(program.main.dualLayoutShown());
        QVERIFY(!program.label("Label2")->isHidden());
        QCOMPARE(program.label("Label1")->text(), QString(" 1.2345 VAC"));
        program.main.quitProgram();
    }

    void missingPortEndsWithItsMessage() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Voltrane", "Voltrane")
            .setValue("Ports/Com1", "/dev/voltrane-no-such-device");
        Program program;
        QVERIFY(!program.main.openWindow());
        QCOMPARE(program.fake.messages.shown.size(), 1);
        QCOMPARE(program.fake.messages.shown.first().title,
                 QString("Cannot Start Fluke 45 Serial Comm!"));
        QVERIFY(program.fake.messages.shown.first().text.contains("No Comm Port Available!"));
        QVERIFY(program.main.hasEnded());
    }
};

QTEST_MAIN(TestMainWithSim)
#include "tst_mainwithsim.moc"
