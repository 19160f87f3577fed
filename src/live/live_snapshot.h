#pragma once

#include <map>
#include <string>
#include <vector>

namespace cronovolta::live {

// A table of the page: headings, one alignment letter per column ('l', 'c', 'r') and the
// rows as the screens show them.
struct LiveTable {
    std::vector<std::string> columns;
    std::string align;
    std::vector<std::vector<std::string>> rows;
    bool operator==(const LiveTable&) const = default;
};

// What the page shows at one moment: the heading fields (event, series, heat, clock, fastest
// lap, the page's own words), the live standings and the series classification.
struct LiveSnapshot {
    std::map<std::string, std::string> head;
    LiveTable standings;
    LiveTable classification;
    bool operator==(const LiveSnapshot&) const = default;
};

// What the page shows that the heat engine does not hold.
struct LiveContext {
    int language = 0;
    std::string eventName;
    LiveTable classification; // of the open or selected series, between heats
};

// The whole snapshot, which a page starts from: {"v":version,"head":{...},"standings":{...},
// "classification":{...}}.
std::string snapshotJson(const LiveSnapshot& snapshot, long long version);

// What changed from `before` (sent as `base`) to `after` (`version`): the head fields that
// differ, the standings rows that differ with the row count, and a table's headings or the
// whole classification only when they changed. Empty when nothing changed. A page that does
// not hold `base` asks for the whole snapshot again.
std::string changeJson(const LiveSnapshot& before, const LiveSnapshot& after, long long base,
                       long long version);

} // namespace cronovolta::live
