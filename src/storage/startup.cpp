#include "storage/startup.h"

#include "storage/user_folders.h"

#include <algorithm>
#include <system_error>

namespace cronovolta {

namespace {

// Even root must not scatter race data among the system's programs.
bool isSystemFolder(const fs::path& dir) {
    const std::string path = dir.lexically_normal().generic_string();
    for (std::string_view top : {"/usr", "/bin", "/sbin", "/lib", "/lib64"}) {
        if (path == top || (path.starts_with(top) && path[top.size()] == '/')) {
            return true;
        }
    }
    return false;
}

} // namespace

fs::path defaultDataFolder(const fs::path& programDir, const fs::path& homeDir) {
    if (homeDir.empty() || (!isSystemFolder(programDir) && platform::canWriteIn(programDir))) {
        return programDir;
    }
    return homeDir / kUserDataFolderName;
}

std::expected<CommandLine, std::string> parseCommandLine(const std::vector<std::string>& args,
                                                         const fs::path& programDir) {
    CommandLine line;
    line.dataDir = programDir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--data") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return std::unexpected("--data needs a folder");
            }
            line.dataDir = args[++i];
        } else if (arg.starts_with("--data=")) {
            if (arg.size() == 7) {
                return std::unexpected("--data needs a folder");
            }
            line.dataDir = arg.substr(7);
        } else {
            return std::unexpected("unknown argument: " + arg);
        }
    }
    return line;
}

std::string commandLineUsage() {
    return "usage: cronovolta [--data DIR] [--version]\n"
           "  --data DIR  the data folder (default: the program's folder, or ~/Cronovolta\n"
           "              when the program's folder cannot hold data)\n"
           "  --version   print the version and end\n";
}

double interfaceFontScale(int widthPixels, int heightPixels) {
    if (widthPixels <= 0 || heightPixels <= 0) {
        return 1.0;
    }
    const double scale = std::min(widthPixels / 1366.0, heightPixels / 768.0);
    return std::clamp(scale, 1.0, 2.0);
}

std::expected<fs::path, std::string> prepareDataFolder(const fs::path& dir) {
    std::error_code ec;
    fs::path absolute = fs::absolute(dir, ec);
    if (ec) {
        return std::unexpected(describeIoError(dir, reasonOf(ec)));
    }
    if (!fs::is_directory(absolute, ec)) {
        fs::create_directories(absolute, ec);
        if (ec || !fs::is_directory(absolute)) {
            return std::unexpected("cannot create the folder " + absolute.string() + ": " +
                                   (ec ? reasonOf(ec) : "something of that name exists"));
        }
    }
    return absolute.lexically_normal();
}

ResumeAtStart takeResumeFile(const fs::path& dataDir, bool abnormalEnd) {
    ResumeAtStart result;
    const fs::path file = dataDir / kResumeFileName;
    std::error_code ec;
    if (!abnormalEnd || !fs::exists(file, ec)) {
        return result;
    }
    result.state = readResumeFile(file);
    result.invalidFile = !result.state.has_value();
    if (result.invalidFile) {
        fs::remove(file, ec);
    }
    return result;
}

void dropResumeFile(const fs::path& dataDir) {
    std::error_code ec;
    fs::remove(dataDir / kResumeFileName, ec);
}

std::string recoveryQuestionText(const RecoveryTexts& t, std::string_view eventName,
                                 int seriesNumber, int heat) {
    std::string text = t.question + "\r\r";
    text += t.eventCaption + ": " + std::string(eventName) + "\r";
    text += t.modeLabel + " " + t.programme + "\r";
    text += t.seriesLabel + " " + std::to_string(seriesNumber) + "\r";
    text += t.heatLabel + " " + std::to_string(heat) + "\r";
    return text;
}

std::string newSeriesQuestionText(std::string_view question, int newSeriesNumber) {
    return std::string(question) + " " + std::to_string(newSeriesNumber) + "?";
}

} // namespace cronovolta
