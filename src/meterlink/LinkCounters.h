#pragma once
#include <QtGlobal>

// Silence supervision: display ticks since the last received character, and the ticks tolerated.
struct LinkCounters {
    qint16 NoReplyCount = 0;
    qint16 NoReplyLimit = 35;
    // Set when the watchdog declares the link lost, cleared by the next complete reply line:
    // until then the displayed numbers are stale and no sample may be logged from them.
    bool LinkLost = false;
};
