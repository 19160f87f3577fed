// The serve command: the live-results page over the data folder. The command line links no
// Qt, so the server is a small program of its own beside it, which this command runs.
#include "cli_commands.h"

#include "storage/platform.h"

#include <iostream>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace cronovolta::cli {

int cmdServe(const Invocation& inv) {
#ifdef _WIN32
    const fs::path name = "cronovolta-serve.exe";
#else
    const fs::path name = "cronovolta-serve";
#endif
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
    std::vector<char*> argv;
    for (auto& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    inv.out.flush();
    std::cout.flush();
#ifdef _WIN32
    const auto status = _spawnv(_P_WAIT, argv[0], argv.data());
    return status < 0 ? fail(inv, "cannot run " + server.string()) : static_cast<int>(status);
#else
    execv(argv[0], argv.data());
    return fail(inv, "cannot run " + server.string());
#endif
}

} // namespace cronovolta::cli
