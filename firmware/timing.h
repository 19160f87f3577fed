// Millisecond clock and lane crossings. Crossings are time-stamped in the
// pin-change interrupt and confirmed by the clock's tick after the debounce time.
#pragma once
#include <stdint.h>

namespace timing {

void init();
uint32_t now_ms();

// Lanes forget their previous crossing; the next report is the time since reset.
void reset_lanes();

// Lets a crossing before GO count as a false start until GO.
void arm_false_start(bool armed);

struct Crossing {
    uint8_t lane; // 1..6; 0 = none
    uint32_t ms;  // since the lane's previous crossing, or since reset
    bool false_start;
};

// Returns a confirmed crossing not yet returned, if any. A lane keeps only
// one: a board that cannot send within the blackout time loses the older.
Crossing poll();

} // namespace timing
