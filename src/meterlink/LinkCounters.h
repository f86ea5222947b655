#pragma once
#include <QtGlobal>

// Silence supervision: display ticks since the last received character, and the ticks tolerated.
struct LinkCounters {
    qint16 NoReplyCount = 0;
    qint16 NoReplyLimit = 35;
};
