#pragma once

namespace cronovolta {

// One message of the language tables: the column that its window fills, and its row.
struct MessageKey {
    int column;
    int row;
};

// The messages read by column and row together. A column holds the texts of the window that
// filled it last, so two windows can give one key different texts.
namespace msgkey {
// Column 5, Classificacio.
inline constexpr MessageKey kEntryMark{5, 0};
inline constexpr MessageKey kHeatCaption{5, 1};
inline constexpr MessageKey kPartialHeading{5, 2};
inline constexpr MessageKey kSpeedHeading{5, 3};
inline constexpr MessageKey kClassificationTitle{5, 8};
inline constexpr MessageKey kFinishedHeat{5, 9};
// Column 7, Resultats (and the first two of LapListingWindow, the same words).
inline constexpr MessageKey kAll{7, 0};
inline constexpr MessageKey kAllFeminine{7, 1};
inline constexpr MessageKey kQuadrantTitle{7, 2};
inline constexpr MessageKey kQuadrantColumn{7, 3};
// Column 7, LapListingWindow: "assign LAP as fastest lap of NAME on lane LANE?"
inline constexpr MessageKey kAssignFastestStart{7, 3};
inline constexpr MessageKey kAssignFastestAsLapOf{7, 4};
inline constexpr MessageKey kAssignFastestOnLane{7, 5};
inline constexpr MessageKey kAssignFastestTitle{7, 6};
// Column 9, Exportar.
inline constexpr MessageKey kFileExists{9, 10};
inline constexpr MessageKey kOverwriteQuestion{9, 11};
inline constexpr MessageKey kMissingFileName{9, 12};
inline constexpr MessageKey kArchiving{9, 13};
inline constexpr MessageKey kUnarchiving{9, 14};
inline constexpr MessageKey kExportingText{9, 15};
inline constexpr MessageKey kWrongArchiveFormat{9, 16};
} // namespace msgkey

} // namespace cronovolta
