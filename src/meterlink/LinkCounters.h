#pragma once
#include <QtGlobal>

// The display tick that counts the silence.
inline constexpr int DisplayTickMs = 200;

// Silence supervision: display ticks since the last received character, and the ticks tolerated.
struct LinkCounters {
    qint16 NoReplyCount = 0;
    qint16 NoReplyLimit = 35;
    // Set when the watchdog declares the link lost, cleared by the next complete reply line:
    // until then the displayed numbers are stale and no sample may be logged from them.
    bool LinkLost = false;
};

// The shortest silence after which the watchdog takes the link as lost with a given limit: more
// ticks than the limit must have passed.
inline constexpr int SilenceToleratedMs(qint16 noReplyLimit) {
    return (noReplyLimit + 1) * DisplayTickMs;
}
