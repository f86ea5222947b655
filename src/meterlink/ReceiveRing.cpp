#include "meterlink/ReceiveRing.h"

namespace meterlink {

std::optional<QString> ReceiveRing::receive(QChar c) {
    RxRing_[RxWriteIdx_] = c;
    filled_[RxWriteIdx_] = true;
    RxPrevIdx_ = RxWriteIdx_ == 0 ? Slots - 1 : RxWriteIdx_ - 1;
    RxWriteIdx_ = RxWriteIdx_ == Slots - 1 ? 0 : RxWriteIdx_ + 1;

    if (!filled_[RxPrevIdx_])
        return std::nullopt; // nothing was received before c
    const QChar previous = RxRing_[RxPrevIdx_];
    if (previous != u'\r') {
        if (RxLine_.size() < MaxLineLength)
            RxLine_.append(previous);
        return std::nullopt;
    }
    QString line = carried_ ? RxLine_.mid(1) : RxLine_;
    RxLine_.clear();
    // c opens the next line one notification from now, and that line drops it again.
    carried_ = true;
    return line;
}

void ReceiveRing::reset() {
    RxWriteIdx_ = 0;
    RxPrevIdx_ = 0;
    RxLine_.clear();
    carried_ = false;
    // The ring keeps its characters, but the one before the next write position is stale.
    filled_[Slots - 1] = false;
}

} // namespace meterlink
