#pragma once
#include <optional>
#include <random>
#include <string>
#include <string_view>

// The heart of the Fluke 45 simulator, free of any terminal: the meter's settings, its command
// interpreter and the reading lines it sends. The pseudo-terminal front end (main.cpp) and the
// tests drive it alike.
namespace metersim {

enum class Function { VDC, VAC, ADC, AAC, OHMS, FREQ, DIODE, CONT };

std::string functionName(Function f);
// The function a command word names ("VDC", "FREQ"...); nothing for any other word.
std::optional<Function> functionFromName(std::string_view name);
// The unit a reading of this function carries in format 2 (diode and continuity report VDC).
std::string unitOf(Function f);

struct MeterState {
    Function primary = Function::VDC;
    std::optional<Function> secondary; // the secondary display, off when empty
    bool db = false;                   // primary volts shown in decibels
    char rate = 'S';                   // S, M or F
    int format = 2;                    // 1: numbers only, 2: number, blank, unit
};

// A reading as the meter writes it: five significant digits in engineering notation
// ("+1.2345E+0", "-12.345E-3", "+1.5000E+6"); overload (|v| >= 1E+9) as "+1E+9".
std::string formatNumber(double value);

// One reading line with its CR LF: "+1.2345E+0 VAC" or "+1.2345E+0 VAC,+6.0000E+1 HZ" (a blank
// after the comma when blankAfterComma), numbers only in format 1.
std::string formatReadingLine(const MeterState& state, double primary,
                              std::optional<double> secondary, bool blankAfterComma = false);

// Interprets what the computer sends. Command lines end with CR, LF or CR LF; several commands
// can share a line joined by ";"; case does not matter. Each line is answered by the query
// results it asked for, each with CR LF, then one prompt: "=>" done, "?>" not understood (the
// rest of the line is ignored), "!>" understood but not possible (DB outside volts, a wrong
// RATE or FORMAT argument). Ctrl-C clears the device: CR LF, then "=>".
class CommandInterpreter {
public:
    static constexpr std::size_t InputBufferSize = 350;

    explicit CommandInterpreter(MeterState& state) : state_(state) {}

    // Feeds received bytes; returns the bytes the meter sends back.
    std::string feed(std::string_view bytes);
    // Executes one command line (without its line end) and returns the answer.
    std::string executeLine(std::string_view line);

    // The answer of VAL? (what the displays show); set by the front end with every reading.
    void setLastReading(std::string line) { lastReading_ = std::move(line); }

private:
    enum class Result { Done, Unknown, Failed };
    Result execute(const std::string& command, std::string& answer);

    MeterState& state_;
    std::string pending_;
    bool overflow_ = false;
    bool lastWasCr_ = false;
    std::string lastReading_;
};

// Plausible readings for the meter's functions, with noise, and an overload now and then.
class ReadingGenerator {
public:
    explicit ReadingGenerator(unsigned seed = 45) : random_(seed) {}
    // Every n-th reading is an overload (0: never).
    void setOverloadEvery(int n) { overloadEvery_ = n; }
    double next(Function f, bool db);

private:
    std::mt19937 random_;
    int overloadEvery_ = 0;
    long count_ = 0;
};

// Readings a second over RS-232: 2.5 slow, 4.5 medium and fast, fewer with two displays.
double readingsPerSecond(const MeterState& state);

} // namespace metersim
