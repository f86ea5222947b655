#pragma once
#include "platform/Platform.h"
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <functional>

// Test doubles for the platform services: each records what the code asked of it and answers
// from a script the test sets up.
namespace doubles {

class FakeMessageBox : public platform::MessageBox {
public:
    struct Shown {
        QString text;
        platform::Buttons buttons;
        QString title;
        platform::Icon icon;
    };
    QList<Shown> shown;
    QQueue<platform::Answer> answers; // in order; when empty: Cancel, No (YesNo) or Ok
    std::function<void()> onShow;     // called while the box would be up
    platform::Answer show(const QString& text, platform::Buttons buttons, const QString& title,
                          platform::Icon icon) override;
};

class FakeDialogs : public platform::Dialogs {
public:
    QList<platform::FileDialogRequest> fileRequests;
    QQueue<platform::DialogResult> fileResults; // when empty: cancelled
    QStringList fontRequests;
    QQueue<platform::DialogResult> fontResults; // when empty: cancelled
    QList<platform::FileDialogRequest> saveRequests;
    QQueue<platform::DialogResult> saveResults; // when empty: cancelled
    platform::DialogResult openFile(const platform::FileDialogRequest& request) override;
    platform::DialogResult saveFile(const platform::FileDialogRequest& request) override;
    platform::DialogResult chooseFontFace(const QString& currentFace) override;
};

class FakeSound : public platform::SoundPlayer {
public:
    QStringList events; // "play:<path>", "stop", "beep"
    QString playing;
    void playLooped(const QString& path) override;
    void stop() override;
    void beep() override;
};

// A clock that stands still until moved; pause() moves it on.
class FakeClock : public platform::Clock {
public:
    QDateTime current = QDateTime(QDate(2026, 1, 2), QTime(9, 5, 3, 250));
    QList<int> pauses;
    QDateTime now() const override { return current; }
    void pause(int milliseconds) override;
    void advance(int milliseconds) { current = current.addMSecs(milliseconds); }
};

class FakeSerialPort : public platform::SerialPort {
public:
    QByteArray written;
    QList<int> opened; // port numbers opened, in order
    int closeCount = 0;
    int flushCount = 0;
    bool openNow = false;
    int openError = 0;             // answered by the next open()
    QList<int> presentPorts = {1}; // ports that probe() finds
    int open(int portNo) override;
    void close() override;
    bool isOpen() const override { return openNow; }
    void write(const QByteArray& bytes) override;
    void flushInput() override { ++flushCount; }
    bool probe(int portNo) override { return presentPorts.contains(portNo); }
    QString deviceFor(int portNo) const override;
    // Delivers bytes as if the meter had sent them.
    void inject(const QByteArray& bytes) { emit received(bytes); }
};

class FakeShell : public platform::Shell {
public:
    QList<QUrl> opened;
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return true;
    }
};

// All doubles together, with the Platform view the code under test takes.
struct FakePlatform {
    FakeMessageBox messages;
    FakeDialogs dialogs;
    FakeSound sound;
    FakeClock clock;
    FakeSerialPort serial;
    FakeShell shell;
    platform::Platform platform{messages, dialogs, sound, clock, serial, shell};
};

} // namespace doubles
