// Writes the default alarm sound: a short two-tone alert (high, low, high, low, then a pause so
// that looped playback pulses), 16-bit PCM mono. Usage: make-attention-wav <output.wav>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <vector>

namespace {

constexpr int SampleRate = 22050;
constexpr double ToneSeconds = 0.14;
constexpr double PauseSeconds = 0.24;
constexpr double Frequencies[] = {1320.0, 880.0, 1320.0, 880.0};
constexpr double Amplitude = 0.6 * 32767;
constexpr double FadeSeconds = 0.005; // soft edges, so the tones do not click

void appendTone(std::vector<int16_t>& samples, double frequency) {
    const int count = int(ToneSeconds * SampleRate);
    const int fade = int(FadeSeconds * SampleRate);
    for (int i = 0; i < count; ++i) {
        double envelope = 1.0;
        if (i < fade)
            envelope = double(i) / fade;
        else if (i >= count - fade)
            envelope = double(count - 1 - i) / fade;
        const double t = double(i) / SampleRate;
        const double value = Amplitude * envelope * std::sin(2 * std::numbers::pi * frequency * t);
        samples.push_back(int16_t(std::lround(value)));
    }
}

void put16(std::ofstream& out, uint16_t v) {
    const char b[2] = {char(v & 0xFF), char(v >> 8)};
    out.write(b, 2);
}

void put32(std::ofstream& out, uint32_t v) {
    const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                       char(v >> 24)};
    out.write(b, 4);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.wav>\n", argv[0]);
        return 2;
    }
    std::vector<int16_t> samples;
    for (double f : Frequencies)
        appendTone(samples, f);
    samples.resize(samples.size() + size_t(PauseSeconds * SampleRate), 0);

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    const uint32_t dataBytes = uint32_t(samples.size() * sizeof(int16_t));
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);             // format chunk size
    put16(out, 1);              // PCM
    put16(out, 1);              // mono
    put32(out, SampleRate);     // samples per second
    put32(out, SampleRate * 2); // bytes per second
    put16(out, 2);              // bytes per sample frame
    put16(out, 16);             // bits per sample
    out.write("data", 4);
    put32(out, dataBytes);
    for (int16_t s : samples)
        put16(out, uint16_t(s));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make-attention-wav: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
