// voltrane-meter-sim: a Fluke 45 on a pseudo-terminal, for the program's tests and demo and for
// anyone without a meter. Prints the terminal's device path as its first line on stdout, then
// answers commands and sends readings until it is stopped (SIGTERM, SIGINT, --duration).
#include "MeterSimCore.h"
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t silenceRequested = 0; // 1: go silent, 2: come back
void onStop(int) {
    stopRequested = 1;
}
void onSilence(int) {
    silenceRequested = 1;
}
void onSpeak(int) {
    silenceRequested = 2;
}

const char* Usage =
    "usage: voltrane-meter-sim [options]\n"
    "  Simulates a Fluke 45 (9600 baud, echo off, format 2) on a pseudo-terminal and prints\n"
    "  the terminal's path as the first line on stdout.\n"
    "  --function F        primary function at start: VDC VAC ADC AAC OHMS FREQ DIODE CONT\n"
    "  --secondary F       secondary display at start: VDC VAC ADC AAC OHMS FREQ\n"
    "  --rate S|M|F        reading rate at start (default S)\n"
    "  --format 1|2        output format at start (default 2)\n"
    "  --interval MS       fixed time between readings instead of the RS-232 pace\n"
    "  --blank-after-comma write dual readings as \"..VAC, +6.0000E+1 HZ\"\n"
    "  --overload-every N  every N-th reading is the overload +1E+9\n"
    "  --garbage-every N   every N-th line is random bytes (NUL included) ended by CR LF\n"
    "  --reading TEXT      a scripted reading line (repeatable); sent in turn, CR LF added\n"
    "  --script FILE       scripted reading lines from a file, one a line\n"
    "  --script-once       send the script once, then generated readings (default: repeat)\n"
    "  --silent-after S    go silent S seconds after start (no readings, no answers)\n"
    "  --silent-for S      stay silent S seconds, then come back (default 5)\n"
    "  --log FILE          write every byte received from the computer to FILE\n"
    "  --duration S        end after S seconds\n"
    "  --seed N            seed of the noise\n"
    "  Signals: SIGUSR1 goes silent, SIGUSR2 comes back, SIGTERM/SIGINT end.\n";

struct Options {
    metersim::MeterState state;
    int intervalMs = 0;
    bool blankAfterComma = false;
    int overloadEvery = 0;
    int garbageEvery = 0;
    std::vector<std::string> script;
    bool scriptOnce = false;
    double silentAfter = -1;
    double silentFor = 5;
    std::string logPath;
    double duration = 0;
    unsigned seed = 45;
};

[[noreturn]] void fail(const std::string& message) {
    std::cerr << "voltrane-meter-sim: " << message << "\n" << Usage;
    std::exit(2);
}

Options parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                fail(arg + " needs a value");
            return argv[++i];
        };
        auto number = [&]() -> double {
            const std::string text = value();
            char* end = nullptr;
            const double v = std::strtod(text.c_str(), &end);
            if (end == text.c_str() || *end != '\0' || v < 0)
                fail(arg + ": not a number: " + text);
            return v;
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << Usage;
            std::exit(0);
        } else if (arg == "--function") {
            const auto f = metersim::functionFromName(value());
            if (!f)
                fail("unknown function");
            o.state.primary = *f;
        } else if (arg == "--secondary") {
            const auto f = metersim::functionFromName(value());
            if (!f || *f == metersim::Function::DIODE || *f == metersim::Function::CONT)
                fail("unknown secondary function");
            o.state.secondary = *f;
        } else if (arg == "--rate") {
            const std::string r = value();
            if (r != "S" && r != "M" && r != "F")
                fail("rate must be S, M or F");
            o.state.rate = r[0];
        } else if (arg == "--format") {
            const std::string f = value();
            if (f != "1" && f != "2")
                fail("format must be 1 or 2");
            o.state.format = f[0] - '0';
        } else if (arg == "--interval") {
            o.intervalMs = int(number());
        } else if (arg == "--blank-after-comma") {
            o.blankAfterComma = true;
        } else if (arg == "--overload-every") {
            o.overloadEvery = int(number());
        } else if (arg == "--garbage-every") {
            o.garbageEvery = int(number());
        } else if (arg == "--reading") {
            o.script.push_back(value());
        } else if (arg == "--script") {
            std::ifstream file(value());
            if (!file)
                fail("cannot read the script file");
            for (std::string line; std::getline(file, line);) {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                if (!line.empty())
                    o.script.push_back(line);
            }
        } else if (arg == "--script-once") {
            o.scriptOnce = true;
        } else if (arg == "--silent-after") {
            o.silentAfter = number();
        } else if (arg == "--silent-for") {
            o.silentFor = number();
        } else if (arg == "--log") {
            o.logPath = value();
        } else if (arg == "--duration") {
            o.duration = number();
        } else if (arg == "--seed") {
            o.seed = unsigned(number());
        } else {
            fail("unknown option " + arg);
        }
    }
    return o;
}

// Writes what fits; a line the terminal cannot take now is lost, as on a real line.
void writeOut(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += std::size_t(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options = parseOptions(argc, argv);
#ifdef __linux__
    prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive the test or demo that started us
#endif

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("voltrane-meter-sim: pseudo-terminal");
        return 1;
    }
    const char* name = ptsname(master);
    if (!name) {
        std::perror("voltrane-meter-sim: ptsname");
        return 1;
    }
    const std::string path = name;
    // Holding the terminal side open keeps the line up while the program closes and reopens
    // it, and raw mode keeps the terminal from echoing the readings back to us.
    const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        std::perror("voltrane-meter-sim: open terminal");
        return 1;
    }
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    tcsetattr(slave, TCSANOW, &raw);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    int logFd = -1;
    if (!options.logPath.empty()) {
        logFd = ::open(options.logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
        if (logFd < 0) {
            std::perror("voltrane-meter-sim: log file");
            return 1;
        }
    }

    std::signal(SIGTERM, onStop);
    std::signal(SIGINT, onStop);
    std::signal(SIGHUP, onStop);
    std::signal(SIGUSR1, onSilence);
    std::signal(SIGUSR2, onSpeak);
    std::signal(SIGPIPE, SIG_IGN);

    std::printf("%s\n", path.c_str());
    std::fflush(stdout);

    metersim::MeterState& state = options.state;
    metersim::CommandInterpreter interpreter(state);
    metersim::ReadingGenerator generator(options.seed);
    generator.setOverloadEvery(options.overloadEvery);
    std::mt19937 garbageRandom(options.seed + 1);

    const auto start = Clock::now();
    auto nextReading = start + 300ms;
    auto nextPause = start + 5s;
    bool silent = false;
    bool timedSilenceDone = false;
    auto silentUntil = Clock::time_point::max();
    std::size_t scriptIndex = 0;
    long lineCount = 0;

    while (!stopRequested) {
        const auto now = Clock::now();
        if (options.duration > 0 && now - start >= std::chrono::duration<double>(options.duration))
            break;
        if (silenceRequested) {
            silent = silenceRequested == 1;
            silenceRequested = 0;
            silentUntil = Clock::time_point::max();
            if (!silent)
                nextReading = now;
        }
        if (!timedSilenceDone && options.silentAfter >= 0 &&
            now - start >= std::chrono::duration<double>(options.silentAfter)) {
            timedSilenceDone = true;
            silent = true;
            silentUntil = now + std::chrono::duration_cast<Clock::duration>(
                                    std::chrono::duration<double>(options.silentFor));
        }
        if (silent && now >= silentUntil) {
            silent = false;
            silentUntil = Clock::time_point::max();
            nextReading = now;
        }

        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextReading - now);
        pollfd fds{master, POLLIN, 0};
        const int ready = ::poll(&fds, 1, int(std::clamp<long long>(wait.count(), 0, 50)));
        if (ready > 0 && (fds.revents & POLLIN)) {
            char buffer[512];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0) {
                if (logFd >= 0)
                    writeOut(logFd, std::string(buffer, std::size_t(n)));
                const std::string answer =
                    interpreter.feed(std::string_view(buffer, std::size_t(n)));
                if (!silent)
                    writeOut(master, answer);
            }
        } else if (ready > 0 && (fds.revents & (POLLHUP | POLLERR))) {
            ::usleep(20000);
        }

        if (Clock::now() < nextReading)
            continue;
        if (silent) {
            nextReading = Clock::now() + 100ms;
            continue;
        }

        // Bytes nobody reads are lost, as on a line without a listener: keep no stale backlog.
        int waiting = 0;
        if (::ioctl(slave, FIONREAD, &waiting) == 0 && waiting > 1024)
            tcflush(slave, TCIFLUSH);

        ++lineCount;
        std::string line;
        if (options.garbageEvery > 0 && lineCount % options.garbageEvery == 0) {
            std::uniform_int_distribution<int> length(1, 60), byte(0, 255);
            for (int i = length(garbageRandom); i > 0; --i)
                line += char(byte(garbageRandom));
            line += "\r\n";
        } else if (!options.script.empty() &&
                   (!options.scriptOnce || scriptIndex < options.script.size())) {
            line = options.script[scriptIndex % options.script.size()] + "\r\n";
            ++scriptIndex;
            interpreter.setLastReading(line);
        } else {
            const double primary = generator.next(state.primary, state.db);
            std::optional<double> secondary;
            if (state.secondary)
                secondary = generator.next(*state.secondary, false);
            line = metersim::formatReadingLine(state, primary, secondary, options.blankAfterComma);
            interpreter.setLastReading(line);
        }
        writeOut(master, line);

        auto interval = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(1.0 / metersim::readingsPerSecond(state)));
        if (options.intervalMs > 0) {
            interval = std::chrono::milliseconds(options.intervalMs);
        } else if (Clock::now() >= nextPause) {
            interval += 240ms; // the meter's own pause every few seconds
            nextPause = Clock::now() + 5s;
        }
        nextReading += interval;
        if (nextReading < Clock::now())
            nextReading = Clock::now();
    }
    if (logFd >= 0)
        ::close(logFd);
    ::close(slave);
    ::close(master);
    return 0;
}
