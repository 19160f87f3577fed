#pragma once

#include "storage/event_files.h"
#include "storage/program_settings.h"
#include "storage/track_config.h"
#include "storage/ui_context.h"
#include "support/qt/qt_test_support.h"
#include "support/temp_dir.h"
#include "texts/language_tables.h"

#include <cstdint>

namespace cronovolta::test {

// An empty data folder with the default program settings in `language`, and what a screen
// needs beside it: the context and a scripted asker.
struct ScreenFixture {
    TempDir dir;
    UiContext ui;
    ScriptedAsker asker;

    explicit ScreenFixture(int language = kLanguageCatalan) {
        ui.app.dataDir = dir.path();
        ui.app.programConfig = defaultProgramSettings();
        ui.app.programConfig.language = static_cast<std::int16_t>(language);
        ui.messages.fill("Portada", language);
    }

    // The data folder's track template with `lanes` lanes.
    void saveTrack(int lanes) const {
        TrackConfig track = defaultTrackConfig();
        track.lanes = static_cast<std::int16_t>(lanes);
        deriveTrackConfig(track);
        saveTrackConfig(dir.path() / "PISTA.CFG", track);
    }

    fs::path event(int n) const { return eventFolder(dir.path(), n); }
};

} // namespace cronovolta::test
