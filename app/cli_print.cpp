// The print command: the printed reports written as PDF files, without any window.
#include "cli_commands.h"
#include "cli_results.h"

#include "heat/heat_engine.h"
#include "output/pdf_writer.h"
#include "output/printed_reports.h"

#include <iostream>

namespace cronovolta::cli {
namespace {

constexpr const char* kPrintUsage =
    "print classification|results|quadrant EVENT TYPE SERIES [--criterion 1-4] "
    "[--participant [S:]N] [--lane L] [--pass P] [--heat H] --pdf FILE  "
    "(TYPE: 2..4 or OFC, SPP, CRS; SERIES may be \"all\" for results and quadrant)";

class ProblemWriter : public HeatObserver {
public:
    explicit ProblemWriter(std::ostream& err) : m_err(err) {}
    void problem(const std::string& message) override {
        m_err << "cronovolta-cli: warning: " << message << "\n";
    }

private:
    std::ostream& m_err;
};

// The standings after the series' last heat, as the heat panel prints them.
std::expected<PrintLayout, int> heatClassification(const Invocation& inv,
                                                   const std::vector<std::string>& words) {
    if (words.size() != 3) {
        return std::unexpected(usage(inv, kPrintUsage));
    }
    auto event = parsePositive(words[0]);
    auto type = parseProgramType(words[1], ProgrammeType::OfficialPractice);
    auto seriesNumber = parsePositive(words[2]);
    if (!event || !type || !seriesNumber) {
        return std::unexpected(usage(inv, kPrintUsage));
    }
    auto files = openEventFiles(inv.dataDir, *event);
    if (!files) {
        return std::unexpected(fail(inv, files.error()));
    }
    const int count = files->seriesCounts[static_cast<std::size_t>(index(*type))];
    if (*seriesNumber > count) {
        return std::unexpected(fail(inv, "event " + std::to_string(*event) + " has no series " +
                                             std::to_string(*seriesNumber) + " of type " +
                                             std::string(seriesPrefix(*type))));
    }
    ProgramSettings settings = defaultProgramSettings();
    settings.language = static_cast<std::int16_t>(files->language);
    HeatEngine engine(settings);
    ProblemWriter problems(inv.err);
    engine.setObserver(&problems);
    ProgrammeRequest request{inv.dataDir, *event, *type, *seriesNumber, count, {}};
    if (auto opened = engine.openProgramme(request); !opened) {
        return std::unexpected(fail(inv, opened.error().text));
    }
    if (engine.heatNumber() < 1) {
        return std::unexpected(
            fail(inv, "series " + std::to_string(*seriesNumber) + " has no heat to print yet"));
    }
    const ReportEvent header{files->eventName, files->eventDate, files->language};
    const HeatReport heat{*type, count, std::to_string(*seriesNumber), engine.heatNumber()};
    return layoutClassificationReport(header, heat, engine.standings(), engine.standingsHeadings());
}

std::expected<PrintLayout, int> browserReport(const Invocation& inv, bool quadrant,
                                              const std::vector<std::string>& words) {
    auto browsed = browseResults(inv, words, kPrintUsage);
    if (!browsed) {
        return std::unexpected(browsed.error());
    }
    if (!browsed->anyRow) {
        return std::unexpected(fail(inv, "no row matches the filters"));
    }
    const ReportEvent header{browsed->event.eventName, browsed->event.eventDate,
                             browsed->event.language};
    if (!quadrant) {
        return layoutResultsReport(header, browsed->browser);
    }
    if (!browsed->browser.quadrantEnabled()) {
        return std::unexpected(
            fail(inv, "the quadrant prints one heat of every participant on every lane, ranked "
                      "by total laps in a race and by fastest lap otherwise"));
    }
    return layoutQuadrantReport(header, browsed->browser);
}

} // namespace

int cmdPrint(const Invocation& inv) {
    std::vector<std::string> words;
    std::optional<fs::path> pdf;
    for (std::size_t i = 0; i < inv.args.size(); ++i) {
        if (inv.args[i] == "--pdf" && i + 1 < inv.args.size() && !pdf) {
            pdf = platform::pathFromUtf8(inv.args[++i]);
        } else {
            words.push_back(inv.args[i]);
        }
    }
    if (!pdf || pdf->empty() || words.empty()) {
        return usage(inv, kPrintUsage);
    }
    const std::string report = words.front();
    words.erase(words.begin());
    std::expected<PrintLayout, int> layout = std::unexpected(kUsage);
    if (report == "classification") {
        layout = heatClassification(inv, words);
    } else if (report == "results" || report == "quadrant") {
        layout = browserReport(inv, report == "quadrant", words);
    } else {
        return usage(inv, kPrintUsage);
    }
    if (!layout) {
        return layout.error();
    }
    if (auto written = writePdf(*pdf, *layout); !written) {
        return fail(inv, written.error());
    }
    return kOk;
}

} // namespace cronovolta::cli
