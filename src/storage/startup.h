#pragma once

#include "storage/file_io.h"
#include "storage/resume_file.h"

#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

inline constexpr std::string_view kSettingsFileName = "ZENTOR.CFG";
inline constexpr std::string_view kResumeFileName = "ZTR4.TMP";
inline constexpr std::string_view kWindowStateFileName = "ZTR4.INI";
inline constexpr std::string_view kAutorunsFileName = "AUTORUNS.INI";

// Where a program installed for the whole system keeps its data when --data names no folder:
// ~/Cronovolta.
inline constexpr std::string_view kUserDataFolderName = "Cronovolta";

// The data folder when --data names none: the program's folder, so that a copy unpacked
// anywhere keeps its data beside it, unless a user cannot keep data there (a system folder
// such as /usr/bin, or no write access); then the user's own folder in homeDir.
fs::path defaultDataFolder(const fs::path& programDir, const fs::path& homeDir);

struct CommandLine {
    fs::path dataDir; // the program's folder unless --data names another
    bool help = false;
};

// `--data DIR` or `--data=DIR`; anything else is refused with a message.
std::expected<CommandLine, std::string> parseCommandLine(const std::vector<std::string>& args,
                                                         const fs::path& programDir);
std::string commandLineUsage();

// The factor by which the interface font grows on screens larger than 1366 x 768, so that
// the windows keep the proportions of their design there (at most twice the size).
double interfaceFontScale(int widthPixels, int heightPixels);

// Makes the data folder exist and returns its absolute path.
std::expected<fs::path, std::string> prepareDataFolder(const fs::path& dir);

// The resume file as start-up finds it after an abnormal end. A file that names no heat is
// reported, never obeyed, and deleted. One that names a heat stays until the heat's recovery
// writes it anew or the organiser declines (dropResumeFile): a program killed during the
// recovery asks again at its next start.
struct ResumeAtStart {
    std::optional<ResumeState> state;
    bool invalidFile = false;
};
ResumeAtStart takeResumeFile(const fs::path& dataDir, bool abnormalEnd);
void dropResumeFile(const fs::path& dataDir);

// The question that offers to resume an interrupted heat: "Vols recuperar?", two carriage
// returns, then event, programme, series and heat, each line ended by a carriage return.
struct RecoveryTexts {
    std::string question;     // message 0, 11
    std::string eventCaption; // the event frame, "Prova"
    std::string modeLabel;    // message 0, 13
    std::string programme;    // the programme's menu caption
    std::string seriesLabel;  // "Sèrie:"
    std::string heatLabel;    // message 0, 12
};
std::string recoveryQuestionText(const RecoveryTexts& texts, std::string_view eventName,
                                 int seriesNumber, int heat);

// "Vols crear la sèrie n. 3?".
std::string newSeriesQuestionText(std::string_view question, int newSeriesNumber);

} // namespace cronovolta
