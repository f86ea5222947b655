#include "LoggerRules.h"
#include "platform/MessageText.h"
#include "platform/ProgramVersion.h"
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <limits>

namespace logger {

using platform::CrLf;

double leadingNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    bool ok = false;
    const double value = match.captured(0).trimmed().toDouble(&ok);
    if (ok && std::isfinite(value))
        return value;
    // Only an exponent can put a matched number out of range: a huge one reads as an infinity of
    // its sign (so "1e999" is corrected to the longest period), a tiny one as 0.
    const QString exponent = match.captured(2);
    if (exponent.isEmpty() || exponent.contains(QLatin1Char('-')))
        return 0;
    return match.captured(0).trimmed().startsWith(QLatin1Char('-'))
               ? -std::numeric_limits<double>::infinity()
               : std::numeric_limits<double>::infinity();
}

QString correctedPeriodText(const QString& text) {
    QString corrected = text;
    if (leadingNumber(corrected) < MinPeriodSeconds)
        corrected = QStringLiteral("0.25");
    if (leadingNumber(corrected) > MaxPeriodSeconds)
        corrected = QStringLiteral("60.00");
    return corrected;
}

qint32 periodIntervalMs(const QString& text) {
    return qint32(std::nearbyint(leadingNumber(correctedPeriodText(text)) * 1000.0));
}

QString periodText(qint32 intervalMs) {
    return QString::number(intervalMs / 1000.0, 'g', 15);
}

std::optional<QTime> timeOfDay(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    static const QStringList formats = {
        QStringLiteral("h:m:s AP"), QStringLiteral("h:m:sAP"), QStringLiteral("h:m AP"),
        QStringLiteral("H:m:s"),    QStringLiteral("H:m"),
    };
    const QLocale c = QLocale::c();
    for (const QString& format : formats) {
        const QTime time = c.toTime(trimmed.toUpper(), format);
        if (time.isValid())
            return time;
    }
    return std::nullopt;
}

bool IsTimeOfDay(const QString& text) {
    return timeOfDay(text).has_value();
}

QString timeBoxText(const QTime& time) {
    QString text = QLocale::c().toString(time, QStringLiteral("h:mm:ss AP"));
    if (text.size() != 11)
        text.prepend(QLatin1Char('0'));
    return text;
}

bool timeReached(const QTime& target, const QTime& previous, const QTime& now) {
    const int t = target.msecsSinceStartOfDay() / 1000;
    const int p = previous.msecsSinceStartOfDay() / 1000;
    const int n = now.msecsSinceStartOfDay() / 1000;
    if (p == n)
        return t == n;
    if (p < n)
        return t > p && t <= n;
    if (p - n < 12 * 60 * 60)
        return t == n;      // a clock set back a little: only the exact second counts
    return t > p || t <= n; // the clock passed midnight
}

TimedStep timedStep(const QString& startText, const QString& stopText, const QTime& previous,
                    const QTime& now, bool running) {
    auto reached = [&](const QString& text) {
        const std::optional<QTime> target = timeOfDay(text);
        return target && timeReached(*target, previous, now);
    };
    if (!running)
        return startText != stopText && reached(startText) ? TimedStep::Start : TimedStep::None;
    return reached(stopText) ? TimedStep::Stop : TimedStep::None;
}

std::optional<QString> logPathFromBox(const QString& text, const QString& current) {
    const QString typed = QDir::fromNativeSeparators(text.trimmed());
    if (typed.isEmpty() || typed.endsWith(QLatin1Char('/')))
        return std::nullopt;
    const QString path = QDir::cleanPath(QFileInfo(current).dir().absoluteFilePath(typed));
    if (QFileInfo(path).isDir())
        return std::nullopt;
    return QDir::toNativeSeparators(path);
}

QString aboutText() {
    return aboutText(ProgramVersionText);
}

QString aboutText(const QString& version) {
    return platform::EachLine({
        QStringLiteral("Voltrane Multimeter Communications"),
        QStringLiteral("Application and Data Logger"),
        QString(),
        QStringLiteral("Version ") + version,
        QString(),
        QStringLiteral("Uses Serial Communication at 9600 baud,"),
        QStringLiteral("no parity, 8 data bits, and 1 stop bit."),
        QString(),
        QStringLiteral("Connect the Fluke 45 using a null-modem 9 pin serial"),
        QStringLiteral("cable, not a normal serial cable."),
        QString(),
    });
}

QString helpText() {
    const QStringList lines = {
        QStringLiteral("Voltrane Multimeter Communications Application and Data Logger"),
        QString(),
        QStringLiteral("Version ") + ProgramVersionText,
        QString(),
        QStringLiteral("The 'Logger' form controls logging of received meter values to a database"),
        QStringLiteral("either manually, or started and stopped by the real-time clock."),
        QStringLiteral("Sampling times are from 1/4 second (meter limitation) to 60 seconds."),
        QString(),
        QStringLiteral("Note that this fastest sampling rate is supported only when the meter"),
        QStringLiteral("is in both 'Fast' and Single Display modes, and even then there is"),
        QStringLiteral("a 240 ms asynchronous pause in meter output every three seconds"),
        QStringLiteral("(meter limitation). See Meter Manual."),
        QString(),
        QStringLiteral("When in Dual Display Mode, clicking on the 'Units' Display above the"),
        QStringLiteral("Graph, or on the Graph itself,  will switch between Primary and"),
        QStringLiteral("Secondary Values."),
    };
    return lines.join(CrLf);
}

QString completionText(const QString& path, int samples) {
    return QStringLiteral("Your Timed Sampling Session Completed Successfully!") + CrLf + CrLf +
           QStringLiteral("Your Data can be found in the following file:") + CrLf + path + CrLf +
           CrLf + QStringLiteral("It contains ") + QString::number(samples) +
           QStringLiteral(" samples.") + CrLf + CrLf;
}

QString noLogFileText(const QString& boxText) {
    return QStringLiteral("Data File: '") + boxText.trimmed() +
           QStringLiteral("' names no file to log into.") + CrLf + CrLf +
           QStringLiteral("Type the file's name or choose it with Browse...");
}

QString fileExistsText(const QString& path) {
    return QStringLiteral("File ") + path + QStringLiteral(" exists already.") + CrLf + CrLf +
           QStringLiteral("Cannot OverWrite! Create another file or delete this one...");
}

} // namespace logger
