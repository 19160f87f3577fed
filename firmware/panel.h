// Lights, lane relays and buttons: the outputs go through two 74HC595, the
// buttons partly to pins and partly through a 74HC165.
#pragma once
#include <stdint.h>

namespace panel {

void init();

// light 1..5 start lights, 6 GO, 7 STOP, 8 CAUTION.
void set_light(uint8_t light, bool on);
// lane 1..6; 0 = every lane.
void set_power(uint8_t lane, bool on);
// A lane cut for a false start stays cut, whatever the PC says, until the time.
void cut_lane(uint8_t lane, uint32_t until_ms);

struct Press {
    char kind;    // 'B' for BTnn, 'S' for SGnn, 0 = none
    uint8_t code; // 1..9 for buttons, lane for stop-and-go
};

// Refreshes the outputs, samples the buttons and returns one new press.
// Call it once a millisecond.
Press tick(uint32_t now_ms);

} // namespace panel
