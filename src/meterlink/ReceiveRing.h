#pragma once
#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

namespace meterlink {

// Collects received characters into reply lines through a 32-slot ring. Each character enters
// the line one character late, the CR never does, and a line is complete only when the
// character after its CR arrives (normally the LF, which then opens the next line and is
// dropped when that line is taken). The first line after construction or reset() has no such
// carried-over character and is kept whole.
class ReceiveRing {
public:
    static constexpr int Slots = 32;
    // Longest line collected: the meter's lines are about 30 characters and its own input
    // buffer holds 350, so anything longer is noise; further characters are dropped until the
    // line ends, which keeps memory bounded whatever arrives.
    static constexpr int MaxLineLength = 400;

    // Feeds one character. Returns the completed line's text (without the carried-over
    // character) when this character completed one.
    std::optional<QString> receive(QChar c);

    // The watchdog's link reset: both indices to 0, the line emptied; the ring's contents stay
    // but the slot before the first write position counts as empty.
    void reset();

    const std::array<QChar, Slots>& RxRing() const { return RxRing_; }
    qint16 RxWriteIdx() const { return RxWriteIdx_; }
    qint16 RxPrevIdx() const { return RxPrevIdx_; }
    // The line being collected, including the carried-over character when there is one.
    const QString& RxLine() const { return RxLine_; }

private:
    std::array<QChar, Slots> RxRing_{};
    std::array<bool, Slots> filled_{};
    qint16 RxWriteIdx_ = 0;
    qint16 RxPrevIdx_ = 0;
    QString RxLine_;
    bool carried_ = false; // RxLine_ starts with the character that followed the last CR
};

} // namespace meterlink
