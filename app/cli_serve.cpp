// The serve command: the live-results page over the data folder. The command line links no
// Qt, so the server is a small program of its own beside it, which this command runs.
#include "cli_commands.h"

#include "storage/platform.h"

#include <iostream>

namespace cronovolta::cli {

int cmdServe(const Invocation& inv) {
    const fs::path name = "cronovolta-serve" + std::string(platform::kProgramSuffix);
    // Beside this program in a build, in libexec when installed.
    const fs::path folder = platform::programFolder();
    fs::path server = folder / name;
    std::error_code ec;
    if (!fs::is_regular_file(server, ec)) {
        server = folder.parent_path() / "libexec" / "cronovolta" / name;
    }
    if (!fs::is_regular_file(server, ec)) {
        return fail(inv,
                    "the live-results server is not built in (" + server.string() + " is missing)");
    }
    std::vector<std::string> words{server.string(), "--data", inv.dataDir.string()};
    words.insert(words.end(), inv.args.begin(), inv.args.end());
    inv.out.flush();
    std::cout.flush();
    const std::error_code failed = platform::replaceProcess(words);
    return fail(inv, "cannot run " + server.string() + ": " + failed.message());
}

} // namespace cronovolta::cli
