#pragma once

#include "storage/file_io.h"

#include <array>
#include <string>
#include <vector>

namespace cronovolta {

// Columns of the Super Pole timing grid: one row per run (a lap of the driver on track).
namespace spcol {
inline constexpr int Run = 0;
inline constexpr int Name = 1;
inline constexpr int Lane = 2;
inline constexpr int Lap = 3; // running time "0.0" while the run lasts, then the lap
inline constexpr int Split1 = 4;
inline constexpr int Split2 = 5;
inline constexpr int Speed = 6;
inline constexpr int Count = 7;
} // namespace spcol

// Split kinds of the sensor records of the journal.
inline constexpr float kSplitFirst = 1.0f;
inline constexpr float kSplitSecond = 2.0f;
inline constexpr float kSplitSpeedStart = 10.0f;
inline constexpr float kSplitSpeed = 13.0f;
inline constexpr float kSplitBothFilled = 100.0f;

struct SplitCell {
    std::string text;
    int colour = -1; // QBColor, -1 none
};

// The Super Pole displays of the standings window.
struct SuperPoleModel {
    bool shown = false;        // the programme is a Super Pole
    bool splitDisplay = false; // split timing is on
    std::string onTrack;       // EnPista: the driver of the running heat
    std::string nextDriver;    // MarcSPP: "E - name" of the next driver
    std::vector<std::array<std::string, spcol::Count>> timing; // row 0: headings
    // LlistaTR: row 0 headings ("Parc.", "Parc.", "km/h"), then one row per run.
    std::vector<std::array<SplitCell, 3>> splits;
    // Ref: rows 1..3 of each column hold the three best values seen ("0.00"); row 0 the
    // headings of the split display.
    std::array<std::array<std::string, 3>, 4> reference;
    // The driver's standing before the run: VR, Participant, n., Pst., Sèr.
    std::array<std::string, 5> driverReference;
    // Track pictures: image 0 the track, 1..3 the sectors; empty when none.
    std::array<fs::path, 4> images;
};

// Rank of a split or speed value against the reference rows (1 the best, 4 none of the
// three): the first row that is empty or that the value equals or beats.
int sectorRank(const SuperPoleModel& model, int column, double value);

// Keeps the three best values of a column, best first.
void rememberSectorValue(SuperPoleModel& model, int column, double value);

// "INFOGRAF/4000.GIF" etc.: the picture of sector `column` (1..3) for a rank.
fs::path sectorPicture(const fs::path& dataDir, int column, int rank);

} // namespace cronovolta
