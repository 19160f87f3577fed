#pragma once

#include "storage/track_config.h"

#include <string>
#include <string_view>

namespace cronovolta {

// The field rules of the track configuration dialog. Each works on the dialog's working
// copy of the configuration, applies the rule that runs when the organiser leaves the
// field (or presses Enter in it) and returns the text the field shows afterwards.
// Texts are read with numericValue: what does not parse counts as 0.

// On opening: a loaded lane count above kMaxLanes becomes kMaxLanes with the order 1..64.
void prepareTrackDialog(TrackConfig& config);

// "N. de pistes:": 1..64. A new count resets the order to 1..N, the speed lane to N and
// the partial lane to N - 1.
std::string leaveLaneCount(TrackConfig& config, std::string_view text);

struct OrderBoxChange {
    std::string text;
    int swappedPosition = 0; // the other box that changed, 0 when none did
};

// Order box of a position 1..N: a lane 1..64. A lane that another box holds moves there
// in exchange, so the order stays a set of distinct lanes.
OrderBoxChange leaveOrderBox(TrackConfig& config, int position, std::string_view text);
// Enter moves to the next box, from the last back to the first.
int nextOrderBox(int position, int lanes);

// "Temps mínim per volta:": "00.00" for a negative time, at most "99.99", two decimals.
std::string leaveMinimumLap(TrackConfig& config, std::string_view text);
// "Parcial més gran:": 0..9999, whole numbers; the lap-total format follows it.
std::string leaveLargestPartial(TrackConfig& config, std::string_view text);

// "N. de connexions:" 1..4: circuit c gets port c and first lane N / C x (c - 1) + 1.
void chooseCircuitCount(TrackConfig& config, int count);
// A port 1..4 for circuit 1..C. Returns the circuit that gave it up and took this
// circuit's previous port in exchange, 0 when no other circuit had it.
int choosePort(TrackConfig& config, int circuit, int port);
// "COM1" .. "COM4".
std::string portCaption(int port);
// "Primera pista:" of circuit 2..C (circuit 1 cannot be edited): each circuit starts at
// least where its predecessor does, the following circuits are pushed on to keep that.
std::string leaveFirstLane(TrackConfig& config, int circuit, std::string_view text);
inline bool firstLaneEditable(int circuit) {
    return circuit >= 2;
}
// The first circuit whose first lane lies beyond the lane count (such a counter would
// report no lane of the track); 0 when every circuit starts on the track.
int circuitBeyondLanes(const TrackConfig& config);

// "Superpole amb parcials:".
void chooseSplitTiming(TrackConfig& config, bool on);
// Number of partials: taken as typed; the file keeps it, loading reads 3 again.
std::string leavePartials(TrackConfig& config, std::string_view text);
// "Pista dels parcials:" and "Pista de velocitat:": 1..N.
std::string leavePartialLane(TrackConfig& config, std::string_view text);
std::string leaveSpeedLane(TrackConfig& config, std::string_view text);
// "Distància entre sensors (cm):": absolute value, 0 gives 40.
std::string leaveSpeedDistance(TrackConfig& config, std::string_view text);

// Whether heats of official practice (series 1), Super Pole (series 1) or any race
// series of the event were run: then the lane count is locked and the order is locked
// until the organiser acknowledges the warning. Missing files count as no heats.
bool heatsAlreadyRun(const fs::path& eventFolder);

} // namespace cronovolta
