#include "QtMessageBox.h"
#include <QApplication>
#include <QMessageBox>

namespace platform {

namespace {

QMessageBox::Icon toQt(Icon icon) {
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Buttons buttons) {
    switch (buttons) {
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::OkOnly:
        break;
    }
    return QMessageBox::Ok;
}

Answer fromQt(int button) {
    switch (button) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}

} // namespace

Answer QtMessageBox::show(const QString& text, Buttons buttons, const QString& title, Icon icon) {
    // Texts end in line breaks that a plain-text box would show as empty lines.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (shown.endsWith(QLatin1Char('\n')) || shown.endsWith(QLatin1Char('\r')))
        shown.chop(1);
    QMessageBox box(toQt(icon), title.isEmpty() ? QStringLiteral("Voltrane") : title, shown,
                    toQt(buttons), QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    const int pressed = box.exec();
    // Closing the box by its frame counts as its escape button.
    if (buttons == Buttons::OkCancel || buttons == Buttons::RetryCancel)
        if (pressed != QMessageBox::Ok && pressed != QMessageBox::Retry)
            return Answer::Cancel;
    return fromQt(pressed);
}

} // namespace platform
