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

} // namespace cronovolta
