#pragma once

#include "storage/event_files.h"
#include "storage/file_io.h"

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// Both files are text, one decimal number per line, each printed with a leading blank or
// minus sign and a trailing blank, lines ended by CR LF; readers accept any blanks and
// either line end.

// "ZTR4.TMP": what is needed to resume a heat after the program stopped in the middle.
struct ResumeState {
    std::int16_t event = 0;
    ProgrammeType programmeType = ProgrammeType::Practice;
    std::int16_t seriesNumber = 0;
    std::int16_t heat = 0;
    float heatStart = 0.0f; // the last start-time line
};

std::string encodeResumeState(const ResumeState& state); // the five lines of a heat start
std::string encodeResumeStart(float heatStart);          // one more start-time line
// nullopt when the first four lines are not whole numbers that can name a heat (event and
// series from 1, programme 1..4, heat counter from 0) or no later line holds a start time
// of the day. Of the start-time lines the last sound one counts.
std::optional<ResumeState> parseResumeState(std::string_view text);
// nullopt for a missing or unreadable file.
std::optional<ResumeState> readResumeFile(const fs::path& path);
// Created anew (atomically) at a heat start.
IoResult writeResumeFile(const fs::path& path, const ResumeState& state);
// One more start-time line when a paused heat resumes.
IoResult appendResumeStart(const fs::path& path, float heatStart);

// "ZTR4.INI": the main window's selections at normal close.
struct WindowState {
    int eventIndex = -1;            // -1: none
    std::vector<int> seriesIndexes; // one per series list
    bool infoShown = false;
};

std::string encodeWindowState(const WindowState& state);
// An empty or unreadable text gives nullopt (the abnormal-end sign). The first line is the
// event index, the last the information-frame flag, those between the series indexes.
std::optional<WindowState> parseWindowState(std::string_view text);
// Written anew (atomically) at the main window's normal close.
IoResult writeWindowState(const fs::path& path, const WindowState& state);
// Reads and deletes the file: nullopt when it was missing, empty or unreadable.
std::optional<WindowState> takeWindowState(const fs::path& path);

} // namespace cronovolta
