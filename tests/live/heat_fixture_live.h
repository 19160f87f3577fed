#pragma once

// A race of one series in a real event folder, with the heat engine on it.

#include "../heat/heat_fixture.h"

#include "storage/event_manager.h"

namespace cronovolta::test {

struct LiveHeatFixture : HeatFixture {
    void createRace(std::vector<std::string> participants) {
        setTrack({1, 2, 3, 4});
        ASSERT_TRUE(saveTrackConfig(dir.path() / "PISTA.CFG", track));
        ASSERT_TRUE(EventManager(dir.path()).createEvent("Gran Premi", "07-12-2026"));
        auto header = readEventHeader(eventDir() / "PROVA.DAD");
        if (!header || header->header.seriesCounts[3] < 1) {
            ASSERT_TRUE(EventManager(dir.path()).addSeries(1, ProgrammeType::Race));
        }
        writeSeries(ProgrammeType::Race, std::move(participants));
        open();
    }
};

} // namespace cronovolta::test
