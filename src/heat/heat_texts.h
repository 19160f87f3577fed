#pragma once

#include <array>
#include <string>

namespace cronovolta {

// The texts the heat screens show, in the active language, taken from the program's text
// tables.
struct HeatTexts {
    // Heat-panel buttons Menu 0..5; a letter alone between parentheses is its key.
    std::array<std::string, 6> buttons;
    std::string elapsedLabel; // TextHora
    std::string pauseLabel;   // TextPausa
    std::string cancelQuestion;
    std::string cancelTitle;
    std::string entryMark; // "E"
    std::string lapLetter; // gap texts
    std::string secondsLetter;
    std::string partialHeading;
    std::string speedHeading;
    std::string standingsLayout; // InfoClass heading line
    std::string referenceLayout; // Super Pole reference table heading
    std::array<std::string, 5> programmeCaptions;
    std::string lanePrefix; // "Pista": lap-by-lap panel titles
    // S while a counter's heat still has crossings coming in; a counter's start soon after.
    std::string endWhileCrossingQuestion;
    std::string endHeatTitle;
    std::string counterStartNotice; // %1 new heat, %2 seconds, %3 ended heat
};

// 0 Catalan, 1 Castilian; any other value gives Catalan.
const HeatTexts& heatTexts(int language);

// A journal left by an interrupted recovery of another heat, kept aside under `file`.
std::string abandonedJournalText(int language, int heat, float start, const std::string& file);

// What the heat engine tells the organiser about the heat journal and the series files, in
// the language of the settings (0 Catalan, 1 Castilian). `file` is a file name of the event
// folder.
namespace heatnote {
// Heat `heat` could not be stored; its journal is kept whole as `file`.
std::string keptText(int language, int heat, const std::string& file);
// Heat `heat` could be neither stored nor kept: the program holds its laps and starts no heat.
std::string heldText(int language, int heat);
// The held heat has been stored now / kept now as `file`.
std::string storedLateText(int language, int heat);
// A heat start refused while heat `heat` is held.
std::string startRefusedText(int language, int heat);
// The programme closes while heat `heat` is held: its laps stay in the journal (`whole`), or
// only a part of them does.
std::string heldAtCloseText(int language, int heat, bool whole);
// A heat start found the journal of heat `heat` (started at `start`), interrupted and not
// recovered: it is kept as `file`.
std::string interruptedKeptText(int language, int heat, float start, const std::string& file);
// The same journal could not be kept aside: the heat does not start.
std::string interruptedNotKeptText(int language, int heat, float start);
// Appended to the journal's write error: the laps are held in memory.
std::string journalInMemoryText(int language);
std::string seriesFullText(int language);
std::string namesCutText(int language);
std::string negativeCounterText(int language, const std::string& file, int counter);
std::string foreignJournalText(int language, int journalHeat, int heat, const std::string& file);
std::string headerlessJournalText(int language);
std::string unreadableJournalText(int language, const std::string& file);
std::string missingResultsText(int language, const std::string& file, int heat);
} // namespace heatnote

} // namespace cronovolta
