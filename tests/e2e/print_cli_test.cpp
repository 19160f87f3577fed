#include "storage/event_files.h"

#include <gtest/gtest.h>

#include "results/event_folder.h"
#include "support/cli_run.h"
#include "support/pdf_text.h"

using namespace cronovolta;

namespace {

class PrintCliTest : public ::testing::Test {
protected:
    PrintCliTest() {
        m_folder.writeOneHeat(ProgrammeType::Race, 1, {"Anna Puig", "Bernat Roca", "Carles Vidal"},
                              {12.0f, 14.0f, 9.0f}, {3.1f, 3.0f, 3.3f}, 4);
    }
    test::CliRun print(std::vector<std::string> args) {
        args.insert(args.begin(), "print");
        return test::runCli(m_folder.data(), args, m_scratch.path());
    }
    fs::path pdf() const { return m_scratch.path() / "report.pdf"; }

    // The line of the first page that holds `needle`.
    static std::string lineWith(const std::vector<std::string>& page, const std::string& needle) {
        for (const auto& line : page) {
            if (line.find(needle) != std::string::npos) {
                return line;
            }
        }
        ADD_FAILURE() << "no line with \"" << needle << "\"";
        return {};
    }

    // The column after the word that starts with `start` (a blank, then its text).
    static int tokenEnd(const std::string& line, const std::string& start) {
        const int at = test::textColumn(line, start);
        if (at < 0) {
            return -1;
        }
        const auto from = line.find(start) + 1;
        const auto end = line.find(' ', from);
        return at + 1 + static_cast<int>((end == std::string::npos ? line.size() : end) - from);
    }

    test::EventFolder m_folder{4};
    test::TempDir m_scratch;
};

} // namespace

TEST_F(PrintCliTest, EachReportReadsBackWithItsTextWhereTheLayoutPutIt) {
    struct Case {
        std::string report;
        std::string title;
        std::vector<std::string> filters;
    };
    const Case cases[] = {
        {"results", "Classificació Cursa", {}},
        {"classification", "Classificació cursa", {}},
        {"quadrant", "Quadrant de voltes acabada la màniga 1", {"--heat", "1"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {c.report, "1", "CRS", "1", "--pdf", pdf().string()};
        args.insert(args.end(), c.filters.begin(), c.filters.end());
        const auto run = print(args);
        ASSERT_EQ(run.status, 0) << c.report << ": " << run.err;
        const auto pages = test::pdfTextPages(pdf());
        ASSERT_EQ(pages.size(), 1u) << c.report;
        const auto& page = pages[0];
        // The header: the event at the left, its date further right on the same line.
        const std::string header = lineWith(page, "Open Sabadell");
        EXPECT_GT(test::textColumn(header, "01-02-2026"), 40) << c.report;
        EXPECT_FALSE(lineWith(page, c.title).empty()) << c.report;
        // The leader first, the names under each other, the laps right-aligned.
        const std::string first = lineWith(page, "Bernat Roca");
        const std::string second = lineWith(page, "Anna Puig");
        const std::string third = lineWith(page, "Carles Vidal");
        EXPECT_EQ(test::textColumn(first, "Bernat"), test::textColumn(second, "Anna"));
        EXPECT_EQ(test::textColumn(first, "Bernat"), test::textColumn(third, "Carles"));
        if (c.report == "quadrant") {
            // Laps on the lane's column, decimal points under each other.
            const std::string laps = page[static_cast<std::size_t>(
                std::find(page.begin(), page.end(), second) - page.begin() + 1)];
            EXPECT_NE(laps.find(" 12"), std::string::npos) << laps;
        } else {
            EXPECT_EQ(tokenEnd(first, " 14"), tokenEnd(second, " 12")) << first << "\n" << second;
        }
    }
}

TEST_F(PrintCliTest, RefusesWhatCannotBePrintedAndSaysWhy) {
    const std::string out = pdf().string();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"results", "7", "CRS", "1", "--pdf", out}, 1, "does not exist"},
        {{"classification", "1", "CRS", "3", "--pdf", out}, 1, "no series 3"},
        {{"results", "1", "SPP", "4", "--pdf", out}, 1, "no series 4"},
        {{"quadrant", "1", "CRS", "1", "--participant", "1", "--pdf", out}, 1, "quadrant"},
        {{"results", "1", "CRS", "1", "--lane", "9", "--pdf", out}, 1, "no row"},
        {{"results", "1", "CRS", "1", "--pdf", (m_scratch.path() / "no" / "x.pdf").string()},
         1,
         "x.pdf"},
        {{"results", "1", "CRS", "1"}, 2, "usage"},
        {{"summary", "1", "CRS", "1", "--pdf", out}, 2, "usage"},
        {{"classification", "1", "CRS", "1", "--heat", "1", "--pdf", out}, 2, "usage"},
    };
    for (const auto& c : cases) {
        const auto run = print(c.args);
        EXPECT_EQ(run.status, c.status) << c.args[0] << " " << c.args[2] << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(pdf()));
    }
}
