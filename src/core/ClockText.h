#pragma once
#include <QString>
#include <QTime>

// The display's clock text: 12-hour time with seconds and an AM/PM suffix ("09:05:03 AM"),
// written the same on every locale so the logger's clock-started runs can compare it.
QString LongTimeText(const QTime& time);
// Applies the 11-character rule: any text of another length gets one "0" in front.
QString ElevenCharTime(const QString& text);
