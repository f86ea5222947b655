#pragma once
#include "platform/Platform.h"
#include "platform/ProgressDialog.h"
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

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
                          platform::Icon icon) override {
        shown.append({text, buttons, title, icon});
        if (onShow)
            onShow();
        if (!answers.isEmpty())
            return answers.dequeue();
        if (buttons == platform::Buttons::OkCancel || buttons == platform::Buttons::RetryCancel)
            return platform::Answer::Cancel;
        return buttons == platform::Buttons::YesNo ? platform::Answer::No : platform::Answer::Ok;
    }
};

class FakeDialogs : public platform::Dialogs {
public:
    QList<platform::FileDialogRequest> fileRequests;
    QQueue<platform::DialogResult> fileResults; // when empty: cancelled
    QStringList fontRequests;
    QQueue<platform::DialogResult> fontResults; // when empty: cancelled
    QList<platform::FileDialogRequest> saveRequests;
    QQueue<platform::DialogResult> saveResults; // when empty: cancelled
    platform::DialogResult openFile(const platform::FileDialogRequest& request) override {
        fileRequests.append(request);
        return fileResults.isEmpty() ? platform::DialogResult{} : fileResults.dequeue();
    }
    platform::DialogResult saveFile(const platform::FileDialogRequest& request) override {
        saveRequests.append(request);
        return saveResults.isEmpty() ? platform::DialogResult{} : saveResults.dequeue();
    }
    platform::DialogResult chooseFontFace(const QString& currentFace) override {
        fontRequests.append(currentFace);
        return fontResults.isEmpty() ? platform::DialogResult{} : fontResults.dequeue();
    }
};

class FakeSound : public platform::SoundPlayer {
public:
    QStringList events; // "play:<path>", "stop", "beep"
    void playLooped(const QString& path) override { events.append("play:" + path); }
    void stop() override { events.append("stop"); }
    void beep() override { events.append("beep"); }
};

// A clock that stands still until moved; pause() moves it on.
class FakeClock : public platform::Clock {
public:
    QDateTime current = QDateTime(QDate(2026, 1, 2), QTime(9, 5, 3, 250));
    QList<int> pauses;
    QDateTime now() const override { return current; }
    void pause(int milliseconds) override {
        pauses.append(milliseconds);
        advance(milliseconds);
    }
    void advance(int milliseconds) { current = current.addMSecs(milliseconds); }
};

class FakeSerialPort : public platform::SerialPort {
public:
    QByteArray written;
    QList<int> opened; // port numbers opened, in order
    int flushCount = 0;
    bool openNow = false;
    int openError = 0;             // answered by the next open()
    QList<int> presentPorts = {1}; // ports that probe() finds
    int open(int portNo) override {
        opened.append(portNo);
        const int error = std::exchange(openError, 0);
        openNow = (error == 0);
        return error;
    }
    void close() override { openNow = false; }
    bool isOpen() const override { return openNow; }
    void write(const QByteArray& bytes) override { written += bytes; }
    void flushInput() override { ++flushCount; }
    bool probe(int portNo) override { return presentPorts.contains(portNo); }
    QString deviceFor(int portNo) const override {
        return presentPorts.contains(portNo) ? QStringLiteral("/dev/fake%1").arg(portNo)
                                             : QString();
    }
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

// Records what a long task reported; the user cancels once cancelWhen says so.
class FakeProgressDialog : public platform::ProgressDialog {
public:
    QStringList begun;
    std::pair<qint64, qint64> shown{-1, -1}; // done, total
    int ended = 0;
    std::function<bool(qint64 done)> cancelWhen;
    void begin(const QString& label) override { begun.append(label); }
    void setProgress(qint64 done, qint64 total) override { shown = {done, total}; }
    bool cancelled() const override { return cancelWhen && cancelWhen(shown.first); }
    void end() override { ++ended; }
};

// All doubles together, with the Platform view the code under test takes.
struct FakePlatform {
    FakeMessageBox messages;
    FakeDialogs dialogs;
    FakeSound sound;
    FakeClock clock;
    FakeSerialPort serial;
    FakeShell shell;
    FakeProgressDialog progress;
    platform::Platform platform{messages, dialogs, sound, clock, serial, shell, progress};
};

} // namespace doubles
