#include "Doubles.h"

namespace doubles {

platform::Answer FakeMessageBox::show(const QString& text, platform::Buttons buttons,
                                      const QString& title, platform::Icon icon) {
    shown.append({text, buttons, title, icon});
    if (onShow)
        onShow();
    if (!answers.isEmpty())
        return answers.dequeue();
    switch (buttons) {
    case platform::Buttons::OkCancel:
    case platform::Buttons::RetryCancel:
        return platform::Answer::Cancel;
    case platform::Buttons::YesNo:
        return platform::Answer::No;
    case platform::Buttons::OkOnly:
        break;
    }
    return platform::Answer::Ok;
}

platform::DialogResult FakeDialogs::openFile(const platform::FileDialogRequest& request) {
    fileRequests.append(request);
    return fileResults.isEmpty() ? platform::DialogResult{} : fileResults.dequeue();
}

platform::DialogResult FakeDialogs::saveFile(const platform::FileDialogRequest& request) {
    saveRequests.append(request);
    return saveResults.isEmpty() ? platform::DialogResult{} : saveResults.dequeue();
}

platform::DialogResult FakeDialogs::chooseFontFace(const QString& currentFace) {
    fontRequests.append(currentFace);
    return fontResults.isEmpty() ? platform::DialogResult{} : fontResults.dequeue();
}

void FakeSound::playLooped(const QString& path) {
    events.append("play:" + path);
    playing = path;
}

void FakeSound::stop() {
    events.append("stop");
    playing.clear();
}

void FakeSound::beep() {
    events.append("beep");
}

void FakeClock::pause(int milliseconds) {
    pauses.append(milliseconds);
    advance(milliseconds);
}

int FakeSerialPort::open(int portNo) {
    opened.append(portNo);
    const int error = openError;
    openError = 0;
    openNow = (error == 0);
    return error;
}

void FakeSerialPort::close() {
    ++closeCount;
    openNow = false;
}

void FakeSerialPort::write(const QByteArray& bytes) {
    written += bytes;
}

QString FakeSerialPort::deviceFor(int portNo) const {
    return presentPorts.contains(portNo) ? QStringLiteral("/dev/fake%1").arg(portNo) : QString();
}

} // namespace doubles
