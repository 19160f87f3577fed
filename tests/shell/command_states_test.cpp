#include "shell/command_states.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

namespace cronovolta {
namespace {

// The final state of every command after applying the list in order.
std::map<std::pair<std::string, int>, CommandState> finalStates(const ShellSelection& s) {
    std::map<std::pair<std::string, int>, CommandState> out;
    for (const CommandState& c : commandStates(s)) {
        out[{std::string(c.name), c.index}] = c;
    }
    return out;
}

bool enabled(const ShellSelection& s, const std::string& name, int index = -1) {
    const auto states = finalStates(s);
    const auto it = states.find({name, index});
    EXPECT_NE(it, states.end()) << name << " " << index;
    return it != states.end() && it->second.enabled;
}

TEST(CommandStates, NoEventDisablesEventCommandsAndHidesTheLists) {
    const ShellSelection none;
    EXPECT_FALSE(enabled(none, "MnuDades"));
    EXPECT_FALSE(enabled(none, "MnuCfg", 2));
    EXPECT_FALSE(enabled(none, "BotoIns", 0));
    EXPECT_FALSE(enabled(none, "MnuNou", 4));
    EXPECT_FALSE(enabled(none, "MnuExportar"));
    EXPECT_TRUE(enabled(none, "MnuPrg", 0)); // practice needs no event
    EXPECT_TRUE(enabled(none, "BotoPrg", 0));
    EXPECT_TRUE(enabled(none, "MnuArxiu"));
    EXPECT_TRUE(enabled(none, "MnuAjuda"));
    const auto states = finalStates(none);
    EXPECT_FALSE(states.at({"LlProves", -1}).visible);
    EXPECT_FALSE(states.at({"Marc", 4}).visible);
}

TEST(CommandStates, EventWithoutRaceSeriesDisablesTheRaceCommands) {
    ShellSelection s;
    s.eventActive = true;
    s.seriesListed = {0, 1, 2, 1, 0};
    EXPECT_TRUE(enabled(s, "MnuNou", 4)); // a first race series can still be added
    EXPECT_TRUE(enabled(s, "MnuPrg", 1));
    EXPECT_TRUE(enabled(s, "MnuCls", 2));
    EXPECT_TRUE(enabled(s, "MnuExportar"));
    EXPECT_FALSE(enabled(s, "MnuPrg", 4));
    EXPECT_FALSE(enabled(s, "BotoPrg", 4));
    EXPECT_FALSE(enabled(s, "MnuPen", 4));
    EXPECT_FALSE(enabled(s, "LlSeries", 4));
    EXPECT_FALSE(enabled(s, "MnuVaV", 4));
    EXPECT_TRUE(finalStates(s).at({"Marc", 4}).visible);
}

TEST(CommandStates, ExportNeedsSomeSeries) {
    ShellSelection s;
    s.eventActive = true;
    EXPECT_FALSE(enabled(s, "MnuExportar"));
    s.seriesListed[4] = 1;
    EXPECT_TRUE(enabled(s, "MnuExportar"));
    EXPECT_TRUE(enabled(s, "BotoPen", 4));
}

TEST(CommandStates, LapListingAndExportNeedASeriesTheyWorkOn) {
    ShellSelection s;
    s.eventActive = true;
    s.seriesListed = {0, 2, 0, 0, 0}; // free practice only
    EXPECT_FALSE(enabled(s, "MnuVltaaVlta"));
    EXPECT_FALSE(enabled(s, "MnuExportar"));
    EXPECT_FALSE(enabled(s, "MnuFinestres"));
    for (int t = 2; t <= 4; ++t) {
        ShellSelection one = s;
        one.seriesListed[static_cast<std::size_t>(t)] = 1;
        EXPECT_TRUE(enabled(one, "MnuVltaaVlta")) << t;
        EXPECT_TRUE(enabled(one, "MnuExportar")) << t;
        one.programmeOpen = true;
        EXPECT_FALSE(enabled(one, "MnuVltaaVlta")) << t;
        EXPECT_FALSE(enabled(one, "MnuExportar")) << t;
        EXPECT_TRUE(enabled(one, "MnuFinestres")) << t;
    }
}

TEST(CommandStates, OpenProgrammeAndRunningHeatLockMenus) {
    ShellSelection s;
    s.eventActive = true;
    s.seriesListed = {0, 1, 1, 1, 1};
    s.programmeOpen = true;
    EXPECT_FALSE(enabled(s, "MnuArxiu"));
    EXPECT_FALSE(enabled(s, "MnuProgrames"));
    EXPECT_FALSE(enabled(s, "MnuDades"));
    EXPECT_FALSE(enabled(s, "MnuResultats"));
    EXPECT_TRUE(enabled(s, "MnuAjuda"));
    for (int i = 0; i <= 2; ++i) {
        EXPECT_FALSE(enabled(s, "BotoCfg", i));
    }
    EXPECT_FALSE(enabled(s, "BotoNou", 4));
    EXPECT_FALSE(enabled(s, "BotoIns", 100));
    EXPECT_FALSE(enabled(s, "BotoSortir"));
    s.programmeOpen = false;
    EXPECT_TRUE(enabled(s, "BotoCfg", 0));
    EXPECT_TRUE(enabled(s, "BotoNou", 4));
    s.programmeOpen = true;
    s.heatRunning = true;
    EXPECT_FALSE(enabled(s, "MnuAjuda"));
}

} // namespace
} // namespace cronovolta
