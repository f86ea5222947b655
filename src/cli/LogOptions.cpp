#include "cli/LogOptions.h"
#include "core/MeterOptions.h"
#include "logger/LoggerRules.h"
#include "platform/ProgramVersion.h"
#include <QCommandLineParser>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace cli {
namespace {

// Command texts compare without blanks and case: "vac;db" names "VAC; DB".
QString commandKey(const QString& text) {
    return QString(text).remove(u' ').toUpper();
}

const core::MeterOption* findOption(core::MeterOption::Kind kind, const QString& command) {
    for (const core::MeterOption& option : core::MeterOptions())
        if (option.kind == kind && commandKey(option.command) == commandKey(command))
            return &option;
    return nullptr;
}

std::optional<QTime> clockTime(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2}):(\\d{2}):(\\d{2})$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QTime time(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

QString functionList() {
    QStringList names;
    for (const core::MeterOption& option : core::MeterOptions())
        if (option.kind == core::MeterOption::Kind::Function)
            names << QLatin1Char('"') + option.command + QLatin1Char('"');
    return names.join(QStringLiteral(", "));
}

} // namespace

ParsedArguments parseArguments(const QStringList& arguments, int storedPort) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Logs the readings of a Fluke 45 into a log file that the Voltrane "
                       "grapher opens, without a display."));
    const QCommandLineOption port({"p", "port"},
                                  "Port number 1-8 (or 0/9), mapped to a device as the windowed "
                                  "program maps Com<n>, or a device path. Default: the stored "
                                  "CommPort.",
                                  "PORT");
    const QCommandLineOption period({"i", "period"}, "Sampling period, 0.25 to 60 (default 1).",
                                    "SECONDS");
    const QCommandLineOption comment(
        {"c", "comment"},
        QStringLiteral("The run's comment (at most %1 characters).").arg(logger::CommentMaxLength),
        "TEXT");
    const QCommandLineOption start("start",
                                   "Begin at this clock time (24-hour; today, or tomorrow "
                                   "if already past).",
                                   "HH:MM:SS");
    const QCommandLineOption stop("stop", "End at this clock time.", "HH:MM:SS");
    const QCommandLineOption duration({"d", "duration"}, "End after this long.", "SECONDS");
    const QCommandLineOption samples({"n", "samples"}, "End after N samples.", "N");
    const QCommandLineOption function(
        "function", "First set the meter's function: one of " + functionList() + ".", "F");
    const QCommandLineOption rate("rate", "First set the reading rate: S, M or F.", "S|M|F");
    const QCommandLineOption csv("csv", "Also write each sample to standard output as a CSV line.");
    const QCommandLineOption quiet({"q", "quiet"}, "No status line.");
    parser.addOptions(
        {port, period, comment, start, stop, duration, samples, function, rate, csv, quiet});
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The log file to create (never overwritten)."));

    ParsedArguments result;
    auto usage = [&](const QString& message) {
        result.text = message + QStringLiteral("\nTry 'voltrane-log --help'.\n");
        result.exitCode = ExitUsage;
        return result;
    };
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        result.text = parser.helpText() +
                      QStringLiteral("\nExit status: 0 the run ended as asked, 1 the run failed, "
                                     "2 usage error, 3 the port cannot be opened.\n");
        return result;
    }
    if (parser.isSet(version)) {
        result.text = QStringLiteral("voltrane-log ") + ProgramVersionText + QLatin1Char('\n');
        return result;
    }
    if (parser.positionalArguments().size() != 1)
        return usage(QStringLiteral("Exactly one log FILE is needed."));

    LogOptions options;
    options.file = parser.positionalArguments().constFirst();
    if (options.file.isEmpty())
        return usage(QStringLiteral("The log FILE is empty."));
    options.portNo = storedPort;
    if (parser.isSet(port)) {
        const QString value = parser.value(port).trimmed();
        bool number = false;
        const int n = value.toInt(&number);
        if (number) {
            if (n < 0 || n > 9)
                return usage(QStringLiteral("The port number must be 1 to 8 (or 0 or 9)."));
            options.portNo = n;
        } else if (value.isEmpty()) {
            return usage(QStringLiteral("The port is empty."));
        } else {
            options.device = value;
        }
    }
    if (parser.isSet(period)) {
        bool ok = false;
        const double seconds = QLocale::c().toDouble(parser.value(period).trimmed(), &ok);
        if (!ok || !(seconds >= logger::MinPeriodSeconds && seconds <= logger::MaxPeriodSeconds))
            return usage(QStringLiteral("The period must be 0.25 to 60 seconds."));
        options.intervalMs = logger::periodIntervalMs(QString::number(seconds, 'g', 17));
    }
    options.comment = parser.value(comment);
    // The logger window's limit, so a comment typed there fits here too.
    if (options.comment.size() > logger::CommentMaxLength)
        return usage(QStringLiteral("The comment is longer than %1 characters.")
                         .arg(logger::CommentMaxLength));
    for (const auto& [option, target] :
         {std::pair{&start, &options.start}, std::pair{&stop, &options.stop}}) {
        if (!parser.isSet(*option))
            continue;
        *target = clockTime(parser.value(*option));
        if (!*target)
            return usage("--" + option->names().constFirst() +
                         QStringLiteral(" needs a clock time HH:MM:SS (24-hour)."));
    }
    // The same time twice would be a run of a whole day; the logger window refuses it too.
    if (options.start && options.stop && *options.start == *options.stop)
        return usage(QStringLiteral("The start and stop times are the same."));
    if (parser.isSet(duration)) {
        bool ok = false;
        const double seconds = QLocale::c().toDouble(parser.value(duration).trimmed(), &ok);
        if (!ok || !(seconds > 0) || seconds > 1e9)
            return usage(QStringLiteral("The duration must be a positive number of seconds."));
        options.durationMs = qint64(std::llround(seconds * 1000));
    }
    if (parser.isSet(samples)) {
        bool ok = false;
        const qint64 n = parser.value(samples).trimmed().toLongLong(&ok);
        if (!ok || n < 1)
            return usage(QStringLiteral("The sample count must be a whole number of at least 1."));
        options.samples = n;
    }
    // The silence tolerated follows the link watchdog: 35 ticks until a rate is chosen, then the
    // rate's limit; the pairs of AC volts and frequency set their own.
    if (parser.isSet(rate)) {
        const core::MeterOption* option =
            findOption(core::MeterOption::Kind::Rate, QStringLiteral("RATE ") + parser.value(rate));
        if (!option)
            return usage(QStringLiteral("The rate must be S, M or F."));
        options.rateCommand = option->command;
        options.silenceLimit = option->silenceLimit;
    }
    if (parser.isSet(function)) {
        const core::MeterOption* option =
            findOption(core::MeterOption::Kind::Function, parser.value(function));
        if (!option)
            return usage(QStringLiteral("Unknown function; use one of ") + functionList() +
                         QLatin1Char('.'));
        options.functionCommand = option->command;
        if (option->silenceLimit != 0)
            options.silenceLimit = option->silenceLimit;
    }
    options.csv = parser.isSet(csv);
    options.quiet = parser.isSet(quiet);
    result.options = options;
    return result;
}

} // namespace cli
