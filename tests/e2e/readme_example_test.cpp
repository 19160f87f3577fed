// The README's command-line example, pasted as a newcomer would: into a fresh home folder,
// line by line, each line through the shell.
#include <gtest/gtest.h>

#include "results_cli_output.h"

#include <fstream>
#include <sstream>

using namespace cronovolta;

namespace {

// The first indented block after the heading.
std::vector<std::string> indentedBlockAfter(const std::string& text, const std::string& heading) {
    std::vector<std::string> block;
    auto at = text.find("\n" + heading + "\n");
    if (at == std::string::npos) {
        return block;
    }
    for (const auto& line : test::splitLines(text.substr(at + heading.size() + 2))) {
        if (line.starts_with("## ")) {
            break;
        }
        if (line.starts_with("    ")) {
            block.push_back(line.substr(4));
        } else if (!block.empty()) {
            break;
        }
    }
    return block;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

} // namespace

TEST(ReadmeExampleTest, TheCommandLineExampleRunsAFirstRaceWhereEveryDriverLaps) {
    std::ifstream in(std::string(CRONOVOLTA_SOURCE_DIR) + "/README.md");
    std::stringstream readme;
    readme << in.rdbuf();
    const auto block = indentedBlockAfter(readme.str(), "## The command-line companion");
    ASSERT_GE(block.size(), 5u);

    test::TempDir home;
    test::CliRun last;
    for (const auto& line : block) {
        const std::string command =
            replaced(line, "build/cronovolta-cli", test::shellQuoted(CRONOVOLTA_CLI));
        const auto out = home.path() / "out.txt";
        const auto err = home.path() / "err.txt";
        const std::string shell = "cd " + test::shellQuoted(home.path().string()) +
                                  " && HOME=" + test::shellQuoted(home.path().string()) +
                                  " sh -c " + test::shellQuoted(command) + " >" +
                                  test::shellQuoted(out.string()) + " 2>" +
                                  test::shellQuoted(err.string());
        const int raw = std::system(shell.c_str());
        last = {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readBytes(out), test::readBytes(err)};
        ASSERT_EQ(last.status, 0) << line << "\n" << last.err;
    }

    // The last line classifies: a heading, then one row per driver, each with laps.
    ASSERT_TRUE(block.back().find("classify") != std::string::npos);
    const auto rows = test::splitLines(last.out);
    ASSERT_EQ(rows.size(), 5u) << last.out;
    const auto heading = test::splitCells(rows[0]);
    const auto total = std::find(heading.begin(), heading.end(), "Total V.") - heading.begin();
    ASSERT_LT(total, static_cast<long>(heading.size()));
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto cells = test::splitCells(rows[r]);
        ASSERT_EQ(cells.size(), heading.size());
        EXPECT_GT(std::stod(cells[static_cast<std::size_t>(total)]), 10.0) << rows[r];
    }
}
