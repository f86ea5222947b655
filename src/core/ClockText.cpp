#include "ClockText.h"
#include <QLocale>

QString LongTimeText(const QTime& time) {
    return QLocale::c().toString(time, QStringLiteral("hh:mm:ss AP"));
}

QString ElevenCharTime(const QString& text) {
    return text.size() == 11 ? text : QStringLiteral("0") + text;
}
