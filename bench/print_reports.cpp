// Laying out and writing the printed reports of the largest track.
// Target: under 50 ms for the quadrant of 64 lanes and 64 participants over two passes
// (128 heats), and as much again for its PDF.
#include "output/pdf_writer.h"
#include "output/printed_reports.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

using namespace cronovolta;

namespace {

constexpr int kLanes = 64;
constexpr int kPasses = 2;

// Every participant drives every lane once per pass, one heat per lane.
SeriesData fullRotation() {
    SeriesData data;
    data.seriesNumber = 1;
    data.heatFileMissing = false;
    for (int p = 1; p <= kLanes; ++p) {
        data.participants.names.push_back("Participant " + std::to_string(p));
    }
    std::vector<float> total(kLanes + 1, 0.0f);
    for (int h = 0; h < kLanes * kPasses; ++h) {
        HeatResultRecord header;
        header.lane = static_cast<std::int16_t>(++data.participants.heatsDone);
        header.adjustments = kLanes;
        data.heats.push_back(header);
        for (int p = 1; p <= kLanes; ++p) {
            HeatResultRecord r;
            const float laps = 20.0f + static_cast<float>((p * 7 + h) % 5);
            total[static_cast<std::size_t>(p)] += laps;
            r.participant = static_cast<std::int16_t>(p);
            r.seriesLaps = total[static_cast<std::size_t>(p)];
            r.crossingTime = 100.0f + static_cast<float>(p);
            r.fastestLap = 3.0f;
            r.lane = static_cast<std::int16_t>((p - 1 + h) % kLanes + 1);
            r.heatLaps = laps;
            r.heatFastestLap = 3.0f + static_cast<float>((p * 31 + h) % 97) / 1000.0f;
            data.heats.push_back(r);
        }
    }
    return data;
}

ResultsBrowser openBrowser() {
    BrowserSetup setup;
    setup.programmeType = ProgrammeType::Race;
    setup.track.lanes = kLanes;
    const SeriesData data = fullRotation();
    ResultsBrowser browser(setup, [data](int) { return data; });
    browser.open();
    if (!browser.quadrantEnabled()) {
        throw std::runtime_error("the quadrant does not apply");
    }
    return browser;
}

const ReportEvent kEvent{"Campionat", "07-12-2026", 0};

void quadrantLayout(benchmark::State& state) {
    const ResultsBrowser browser = openBrowser();
    for (auto _ : state) {
        benchmark::DoNotOptimize(layoutQuadrantReport(kEvent, browser));
    }
}
BENCHMARK(quadrantLayout)->Unit(benchmark::kMillisecond);

void quadrantPdf(benchmark::State& state) {
    const PrintLayout layout = layoutQuadrantReport(kEvent, openBrowser());
    state.counters["pages"] = static_cast<double>(layout.pages().size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(pdfDocument(layout));
    }
}
BENCHMARK(quadrantPdf)->Unit(benchmark::kMillisecond);

} // namespace
