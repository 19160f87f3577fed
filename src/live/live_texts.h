#pragma once

#include <string>

namespace cronovolta::live {

// The page's own words in the program's language (0 Catalan, 1 Castilian).
struct LiveTexts {
    std::string lang; // the page's language tag
    std::string title;
    std::string heat;
    std::string fastest;
    std::string standings;
    std::string classification;
    std::string noHeat;
    std::string paused;
    std::string offline;
    std::string lane;
    std::string name;
    std::string laps;
    std::string lastLap;
    std::string fastestLap;
    std::string notBuiltIn; // the program was built without the server
    std::string portInUse;  // %1: the address
    std::string serving;    // %1: the address to type
    // The server listens on every network: %1 is how to keep it to this computer.
    std::string openToNetwork;
    std::string wholeNetwork; // the same, in a few words for the status bar
};

const LiveTexts& liveTexts(int language);

} // namespace cronovolta::live
