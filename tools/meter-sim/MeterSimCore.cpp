#include "MeterSimCore.h"
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

namespace metersim {
namespace {

const std::string CrLf = "\r\n";

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

std::string trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

bool isVolts(Function f) {
    return f == Function::VDC || f == Function::VAC;
}

// Each function's name in commands and the unit its readings carry in format 2 (diode and
// continuity report VDC).
struct FunctionInfo {
    Function function;
    const char* name;
    const char* unit;
};
constexpr FunctionInfo Functions[] = {
    {Function::VDC, "VDC", "VDC"},     {Function::VAC, "VAC", "VAC"},
    {Function::ADC, "ADC", "ADC"},     {Function::AAC, "AAC", "AAC"},
    {Function::OHMS, "OHMS", "OHMS"},  {Function::FREQ, "FREQ", "HZ"},
    {Function::DIODE, "DIODE", "VDC"}, {Function::CONT, "CONT", "VDC"},
};

const FunctionInfo& infoOf(Function f) {
    for (const FunctionInfo& info : Functions)
        if (info.function == f)
            return info;
    return Functions[0];
}

} // namespace

std::string functionName(Function f) {
    return infoOf(f).name;
}

std::string unitOf(Function f) {
    return infoOf(f).unit;
}

std::optional<Function> functionFromName(std::string_view name) {
    for (const FunctionInfo& info : Functions)
        if (name == info.name)
            return info.function;
    return std::nullopt;
}

std::string formatNumber(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e9)
        return "+1E+9";
    const char sign = value < 0 ? '-' : '+';
    double magnitude = std::fabs(value);
    int exponent = 0;
    if (magnitude > 0) {
        exponent = int(std::floor(std::log10(magnitude) / 3.0)) * 3;
        // Rounding to five digits may carry into the next group (999.996 -> 1.0000E+3).
        double mantissa = magnitude / std::pow(10.0, exponent);
        const int digitsBefore = mantissa >= 100 ? 3 : mantissa >= 10 ? 2 : 1;
        const double step = std::pow(10.0, 5 - digitsBefore);
        if (std::round(mantissa * step) / step >= 1000.0)
            exponent += 3;
    }
    const double mantissa = magnitude / std::pow(10.0, exponent);
    const int decimals = mantissa >= 100 ? 2 : mantissa >= 10 ? 3 : 4;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%c%.*fE%c%d", sign, decimals, mantissa,
                  exponent < 0 ? '-' : '+', std::abs(exponent));
    return buffer;
}

std::string formatReadingLine(const MeterState& state, double primary,
                              std::optional<double> secondary, bool blankAfterComma) {
    auto one = [&](double value, const std::string& unit) {
        return state.format == 1 ? formatNumber(value) : formatNumber(value) + " " + unit;
    };
    std::string line = one(primary, state.db ? std::string("DB") : unitOf(state.primary));
    if (secondary && state.secondary)
        line += (blankAfterComma ? ", " : ",") + one(*secondary, unitOf(*state.secondary));
    return line + CrLf;
}

std::string CommandInterpreter::feed(std::string_view bytes) {
    std::string answer;
    for (const char c : bytes) {
        if (c == '\x03') {
            pending_.clear();
            overflow_ = false;
            lastWasCr_ = false;
            answer += CrLf + "=>" + CrLf;
            continue;
        }
        if (c == '\r' || c == '\n') {
            const bool secondHalf = c == '\n' && lastWasCr_;
            lastWasCr_ = c == '\r';
            if (secondHalf)
                continue; // the LF of a CR LF
            answer += overflow_ ? "?>" + CrLf : executeLine(pending_);
            pending_.clear();
            overflow_ = false;
            continue;
        }
        lastWasCr_ = false;
        if (pending_.size() < InputBufferSize)
            pending_ += c;
        else
            overflow_ = true;
    }
    return answer;
}

std::string CommandInterpreter::executeLine(std::string_view line) {
    std::string answer;
    std::size_t start = 0;
    const std::string text(line);
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        const std::string command = upper(trim(text.substr(start, end - start)));
        start = end + 1;
        if (command.empty())
            continue;
        switch (execute(command, answer)) {
        case Result::Done:
            break;
        case Result::Unknown:
            return answer + "?>" + CrLf;
        case Result::Failed:
            return answer + "!>" + CrLf;
        }
    }
    return answer + "=>" + CrLf;
}

CommandInterpreter::Result CommandInterpreter::execute(const std::string& command,
                                                       std::string& answer) {
    std::string word = command;
    std::string argument;
    if (const auto blank = command.find(' '); blank != std::string::npos) {
        word = command.substr(0, blank);
        argument = trim(command.substr(blank + 1));
    }

    if (const std::optional<Function> f = functionFromName(word); f && argument.empty()) {
        // A new primary function turns the secondary display and decibels off.
        state_.primary = *f;
        state_.secondary.reset();
        state_.db = false;
        return Result::Done;
    }
    if (word.size() > 1 && word.back() == '2' && argument.empty()) {
        const std::optional<Function> f = functionFromName(word.substr(0, word.size() - 1));
        if (f && *f != Function::DIODE && *f != Function::CONT) {
            state_.secondary = *f;
            return Result::Done;
        }
        return Result::Unknown;
    }
    if (word == "DB" && argument.empty()) {
        if (!isVolts(state_.primary))
            return Result::Failed;
        state_.db = true;
        return Result::Done;
    }
    if (word == "RATE") {
        if (argument == "S" || argument == "M" || argument == "F") {
            state_.rate = argument[0];
            return Result::Done;
        }
        return Result::Failed;
    }
    if (word == "FORMAT") {
        if (argument == "1" || argument == "2") {
            state_.format = argument[0] - '0';
            return Result::Done;
        }
        return Result::Failed;
    }
    if (!argument.empty())
        return Result::Unknown;
    if (word == "VAL?" || word == "VAL1?" || word == "MEAS?" || word == "MEAS1?" ||
        word == "VAL2?" || word == "MEAS2?") {
        if (lastReading_.empty())
            return Result::Failed;
        std::string line = lastReading_;
        if (line.size() >= 2 && line.compare(line.size() - 2, 2, CrLf) == 0)
            line.resize(line.size() - 2);
        const auto comma = line.find(',');
        if (word.find('1') != std::string::npos)
            line = line.substr(0, comma);
        else if (word.find('2') != std::string::npos) {
            if (comma == std::string::npos)
                return Result::Failed;
            line = trim(line.substr(comma + 1));
        }
        answer += line + CrLf;
        return Result::Done;
    }
    if (word == "FUNC1?") {
        answer += functionName(state_.primary) + CrLf;
        return Result::Done;
    }
    if (word == "FUNC2?") {
        if (!state_.secondary)
            return Result::Failed;
        answer += functionName(*state_.secondary) + CrLf;
        return Result::Done;
    }
    if (word == "RATE?") {
        answer += std::string(1, state_.rate) + CrLf;
        return Result::Done;
    }
    if (word == "FORMAT?") {
        answer += std::to_string(state_.format) + CrLf;
        return Result::Done;
    }
    if (word == "*IDN?") {
        answer += "FLUKE, 45, 4511023, 1.6 D1.0" + CrLf;
        return Result::Done;
    }
    if (word == "*RST") {
        state_ = MeterState{};
        return Result::Done;
    }
    return Result::Unknown;
}

double ReadingGenerator::next(Function f, bool db) {
    ++count_;
    if (overloadEvery_ > 0 && count_ % overloadEvery_ == 0)
        return 1e9;
    std::normal_distribution<double> noise(0.0, 1.0);
    const double n = noise(random_);
    if (db)
        return 4.0 + 0.02 * n; // dBm of a line-level signal
    switch (f) {
    case Function::VDC:
        return 1.2345 + 0.0004 * n;
    case Function::VAC:
        return 120.12 + 0.05 * n;
    case Function::ADC:
        return -0.012345 + 0.000004 * n;
    case Function::AAC:
        return 0.51234 + 0.0003 * n;
    case Function::OHMS:
        return 1234.5 + 0.4 * n;
    case Function::FREQ:
        return 60.000 + 0.002 * n;
    case Function::DIODE:
        return 0.6123 + 0.0002 * n;
    case Function::CONT:
        return 0.0123 + 0.0005 * std::fabs(n);
    }
    return 0;
}

double readingsPerSecond(const MeterState& state) {
    const double single = state.rate == 'S' ? 2.5 : 4.5;
    return state.secondary ? single * 0.6 : single;
}

} // namespace metersim
