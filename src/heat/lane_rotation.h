#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cronovolta {

// Which participant drives which lane in a heat. Participants enter at the first position
// of the lane-change order, move one position on per heat and leave after the last one.

struct LanePlacement {
    int position = 0; // 1..N in the lane-change order
    int lane = 0;     // laneChangeOrder(position)
    int participant = 0;
};

// Heat h (>= 1) of a series of P participants on the N positions of `order` (order[0] is
// the derived highest lane, order[1..N] the lanes). In the order of the set-up: position
// N first. Super Pole puts the single participant ((h - 1) mod P) + 1 on every lane.
std::vector<LanePlacement> heatPlacements(int heat, int participants,
                                          const std::vector<std::int16_t>& order, bool superPole);

struct EntryMark {
    int participant = 0;
    std::string text; // "E" followed by the start lane, or "E" alone for the Super Pole
};

// The marks of who enters the track next, after heat H (0: before the first heat).
std::vector<EntryMark> entryMarks(int heat, int participants,
                                  const std::vector<std::int16_t>& order, bool superPole,
                                  const std::string& mark);

// Heats 1..H driven by participant r under the rotation; only meaningful for N < P.
int heatsDriven(int participant, int heat, int lanes, int participants);

// When the comes are asked for after a race heat.
enum class LapFractionEntry {
    None,
    Full,         // every lane
    LastLaneOnly, // only the lane of the last position of the order
};

// Comes policy of the program settings: 0 never, -1 every heat, n >= 1 at the end of pass n.
LapFractionEntry lapFractionEntryAfterHeat(int lapFractionPolicy, int heat, int participants,
                                           int lanes);

// A race whose comes policy is a pass number n holds n x P heats.
bool raceHeatAllowed(int lapFractionPolicy, int heat, int participants);

} // namespace cronovolta
