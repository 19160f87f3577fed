#pragma once

#include "storage/file_io.h"

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// "ZTR4.TMP": what is needed to resume a heat after the program stopped in the middle.
struct ResumeState {
    std::int16_t event = 0;
    std::int16_t programa = 0;
    std::int16_t serie = 0;
    std::int16_t heat = 0;
    float heatStart = 0.0f; // the last start-time line
};

std::string encodeResumeState(const ResumeState& state); // the five lines of a heat start
// nullopt when the first five lines are not all numbers.
std::optional<ResumeState> parseResumeState(std::string_view text);
IoResult writeResumeFile(const fs::path& path, const ResumeState& state);
IoResult appendResumeStart(const fs::path& path, float heatStart);

// "ZTR4.INI": the main window's selections at normal close.
struct WindowState {
    int eventIndex = -1;               // -1: none
    std::vector<int> seriesIndexes;    // one per series list
    bool infoShown = false;
};

std::string encodeWindowState(const WindowState& state);
// An empty or unreadable text gives nullopt (the abnormal-end sign).
std::optional<WindowState> parseWindowState(std::string_view text);

} // namespace cronovolta
