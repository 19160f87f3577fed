// The README's command-line blocks, pasted as a newcomer would: in order, into a fresh home
// folder, line by line, each line through the shell.
#include <gtest/gtest.h>

#include "results_cli_output.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

using namespace cronovolta;
namespace fs = std::filesystem;

namespace {

// Every indented block of the README that runs the command line, in reading order.
std::vector<std::vector<std::string>> commandLineBlocks(const std::string& text) {
    std::vector<std::vector<std::string>> blocks;
    std::vector<std::string> block;
    auto close = [&] {
        const bool runsCli = std::ranges::any_of(
            block, [](const std::string& l) { return l.starts_with("build/cronovolta-cli"); });
        if (runsCli) {
            blocks.push_back(block);
        }
        block.clear();
    };
    for (const auto& line : test::splitLines(text)) {
        if (line.starts_with("    ")) {
            block.push_back(line.substr(4));
        } else if (!line.empty() || !block.empty()) {
            close();
        }
    }
    close();
    return blocks;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

bool hasProgram(const char* name) {
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

TEST(ReadmeExampleTest, EveryCommandLineBlockRunsInOrderInAFreshHome) {
    std::ifstream in(std::string(CRONOVOLTA_SOURCE_DIR) + "/README.md");
    std::stringstream readme;
    readme << in.rdbuf();
    const auto blocks = commandLineBlocks(readme.str());
    ASSERT_GE(blocks.size(), 5u);

    test::TempDir home;
    const fs::path demo = home.path() / "cronovolta-cli-demo";
    const bool speech = hasProgram("espeak-ng");
    std::map<std::string, std::string> outputs; // by command word
    for (const auto& block : blocks) {
        for (const auto& line : block) {
            std::string command =
                replaced(line, "build/cronovolta-cli", test::shellQuoted(CRONOVOLTA_CLI));
            if (line.find(" serve ") != std::string::npos) {
                // A server runs until it is stopped: its folder must be one made above.
                EXPECT_NE(line.find("--data ~/cronovolta-cli-demo "), std::string::npos) << line;
                continue;
            }
            if (!speech && command.find(" --wav ") != std::string::npos) {
                command = command.substr(0, command.find(" --wav "));
            }
            const auto out = home.path() / "out.txt";
            const auto err = home.path() / "err.txt";
            const std::string shell = "cd " + test::shellQuoted(home.path().string()) +
                                      " && HOME=" + test::shellQuoted(home.path().string()) +
                                      " sh -c " + test::shellQuoted(command) + " >" +
                                      test::shellQuoted(out.string()) + " 2>" +
                                      test::shellQuoted(err.string());
            const int raw = std::system(shell.c_str());
            const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            ASSERT_EQ(status, 0) << line << "\n" << test::readBytes(err);
            std::istringstream words(line);
            std::string word;
            while (words >> word &&
                   (word.starts_with("build/") || word.starts_with("-") || word.starts_with("~"))) {
            }
            outputs[word] = test::readBytes(out);
        }
    }

    // The first race classifies every driver, each with laps.
    const auto rows = test::splitLines(outputs["classify"]);
    ASSERT_EQ(rows.size(), 5u) << outputs["classify"];
    const auto heading = test::splitCells(rows[0]);
    const auto total = std::find(heading.begin(), heading.end(), "Total V.") - heading.begin();
    ASSERT_LT(total, static_cast<long>(heading.size()));
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto cells = test::splitCells(rows[r]);
        ASSERT_EQ(cells.size(), heading.size());
        EXPECT_GT(std::stod(cells[static_cast<std::size_t>(total)]), 10.0) << rows[r];
    }
    // The later blocks worked on that race.
    EXPECT_TRUE(fs::exists(demo / "open.txt"));
    EXPECT_TRUE(fs::exists(home.path() / "cronovolta-other" / "PROVA001" / "CRS001.DAD"));
    EXPECT_TRUE(fs::exists(demo / "quadrant.pdf"));
    EXPECT_NE(outputs["penalty"].find("Sortida avançada"), std::string::npos) << outputs["penalty"];
    EXPECT_TRUE(fs::exists(demo / "PROVA001" / "VLTAVLT.TXT"));
    if (speech) {
        EXPECT_TRUE(fs::exists(demo / "race.wav"));
    }
}
