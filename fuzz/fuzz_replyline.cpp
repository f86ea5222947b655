// Feeds arbitrary bytes to the receive side one character at a time, as the serial port does,
// and parses every line it completes. Nothing may crash, hang or grow without bound.
#include "meterlink/CurrentReading.h"
#include "meterlink/ReceiveRing.h"
#include "meterlink/ReplyParser.h"
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    meterlink::ReceiveRing ring;
    CurrentReading reading;
    for (size_t i = 0; i < size; ++i) {
        // The port delivers Latin-1 characters, one per byte.
        if (auto line = ring.receive(QChar(data[i]))) {
            // The link parses only lines in the form of a reading; here the parser gets every
            // line all the same, so it keeps meeting noise.
            (void)meterlink::IsReadingLine(*line);
            meterlink::ParseReplyLine(*line, reading);
        }
        if (ring.RxLine().size() > meterlink::ReceiveRing::MaxLineLength + 1)
            std::abort();
    }
    return 0;
}
