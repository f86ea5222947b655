#pragma once
#include <QString>
#include <QTime>
#include <QtGlobal>
#include <optional>

// The logger window's rules that need no window: period box, time boxes and fixed texts.
namespace logger {

inline constexpr double MinPeriodSeconds = 0.25;
inline constexpr double MaxPeriodSeconds = 60.0;
inline constexpr int CommentMaxLength = 254;
// The time boxes' mask: "##:##:## ??", the letters upper-cased as they are typed.
inline const QString TimeBoxMask = QStringLiteral("99:99:99 >AA;_");

// The number at the start of a text, 0 when it starts with none ("2.5 s" gives 2.5); beyond the
// double range it is an infinity of its sign.
double leadingNumber(const QString& text);
// The period box's correction on leaving it: below 0.25 (or no number) gives "0.25", above 60
// gives "60.00"; a text within the range stays as typed.
QString correctedPeriodText(const QString& text);
// Milliseconds for a period text: the corrected period x 1000, a half rounding to even.
qint32 periodIntervalMs(const QString& text);
// LogIntervalMs / 1000 as the period box shows it: "1" for 1000, "0.25" for 250.
QString periodText(qint32 intervalMs);

// A time of day without a date ("10:00:00 AM", "14:30:15"); nothing for any other text.
std::optional<QTime> timeOfDay(const QString& text);
bool IsTimeOfDay(const QString& text);
// The current time for the time boxes: "hh:mm:ss AM", always 11 characters.
QString timeBoxText(const QTime& time);

// True when the moment `target` was reached in the interval (previous, now] of the window
// clock, also across midnight. A tick that comes late still sees the moment it skipped.
bool timeReached(const QTime& target, const QTime& previous, const QTime& now);

enum class TimedStep { None, Start, Stop };
// What a window clock tick at `now` does to a timed run, the tick before having been at
// `previous`: a start time reached starts an idle run (start and stop times differ), a stop
// time reached stops a running one.
TimedStep timedStep(const QString& startText, const QString& stopText, const QTime& previous,
                    const QTime& now, bool running);

// The log file a Data File box text names: blanks around it dropped, a relative name taken in
// the folder of `current`. Nothing when the text names no file (empty, or a folder).
std::optional<QString> logPathFromBox(const QString& text, const QString& current);

QString aboutText();
// The same for a given version; the grapher's About box starts with it.
QString aboutText(const QString& version);
inline const QString AboutTitle = QStringLiteral("About Voltrane Log Control");
QString helpText();
inline const QString HelpTitle = QStringLiteral("Voltrane Logging Control Help");
QString completionText(const QString& path, int samples);
QString fileExistsText(const QString& path);
QString noLogFileText(const QString& boxText);
inline const QString FileExistsTitle = QStringLiteral("Logging File Error!");
inline const QString ApplicationTitle = QStringLiteral("Voltrane");

} // namespace logger
