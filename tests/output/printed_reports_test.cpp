#include "output/printed_reports.h"

#include <gtest/gtest.h>

#include <map>

#include "results/series_builder.h"

using namespace cronovolta;
using cronovolta::test::Driven;
using cronovolta::test::SeriesBuilder;
using cronovolta::test::trackWith;

namespace {

const ReportEvent kEvent{"Copa de Nadal", "7/12/2026", 0};

// The first item with this text: page, item.
std::pair<int, PrintItem> find(const PrintLayout& p, const std::string& text) {
    for (std::size_t page = 0; page < p.pages().size(); ++page) {
        for (const auto& item : p.pages()[page].items) {
            if (item.text == text) {
                return {static_cast<int>(page), item};
            }
        }
    }
    ADD_FAILURE() << "no item \"" << text << "\"";
    return {-1, {}};
}

int count(const PrintLayout& p, const std::string& text) {
    int n = 0;
    for (const auto& page : p.pages()) {
        for (const auto& item : page.items) {
            n += item.text == text;
        }
    }
    return n;
}

std::vector<PrintItem> onLine(const PrintPage& page, int line) {
    std::vector<PrintItem> out;
    for (const auto& item : page.items) {
        if (item.line == line) {
            out.push_back(item);
        }
    }
    return out;
}

ResultsBrowser openBrowser(const SeriesData& data, int lanes,
                           ProgrammeType programmeType = ProgrammeType::Race) {
    BrowserSetup setup;
    setup.programmeType = programmeType;
    setup.track = trackWith(lanes, 3);
    ResultsBrowser b(setup, [data](int) { return data; });
    b.open();
    return b;
}

// Every participant drives every lane once, one heat per lane: participants == lanes.
SeriesBuilder fullRotation(int lanes, int passes = 1) {
    std::vector<std::string> names;
    for (int i = 1; i <= lanes; ++i) {
        names.push_back("Pilot " + std::to_string(i));
    }
    SeriesBuilder s(1, names);
    std::vector<float> total(static_cast<std::size_t>(lanes) + 1, 0.0f);
    for (int h = 0; h < lanes * passes; ++h) {
        std::vector<Driven> rows;
        for (int d = 1; d <= lanes; ++d) {
            const int lane = (d - 1 + h) % lanes + 1;
            const float laps = static_cast<float>(10 + d) + (lane == 1 ? 0.5f : 0.0f);
            total[static_cast<std::size_t>(d)] += laps;
            rows.push_back({d, total[static_cast<std::size_t>(d)], 100.0f + d, 3.0f, lane, laps,
                            3.0f + 0.01f * d});
        }
        s.heat(rows);
    }
    return s;
}

} // namespace

TEST(QuadrantPrint, LaneCountDecidesOrientationBandsAndPageLength) {
    struct Case {
        int lanes;
        Orientation orientation;
        int perBand;
        int bands;
        int lines;
    };
    const auto P = Orientation::Portrait;
    const auto L = Orientation::Landscape;
    const Case cases[] = {{1, P, 4, 1, 68},  {4, P, 4, 1, 68},  {5, L, 6, 1, 48},
                          {6, L, 6, 1, 48},  {7, P, 4, 2, 68},  {8, P, 4, 2, 68},
                          {9, L, 6, 2, 48},  {12, L, 6, 2, 48}, {13, P, 4, 4, 68},
                          {14, P, 4, 4, 68}, {16, P, 4, 4, 68}, {17, P, 4, 5, 68},
                          {64, P, 4, 16, 68}};
    for (const auto& c : cases) {
        const QuadrantShape s = quadrantShape(c.lanes);
        EXPECT_EQ(s.orientation, c.orientation) << c.lanes;
        EXPECT_EQ(s.lanesPerBand, c.perBand) << c.lanes;
        EXPECT_EQ(s.bands, c.bands) << c.lanes;
        EXPECT_EQ(s.linesPerPage, c.lines) << c.lanes;
    }
}

TEST(QuadrantPrint, SixLanesPrintInLandscapeWithEveryLaneUnderItsHeading) {
    auto b = openBrowser(fullRotation(6).data(), 6);
    ASSERT_TRUE(b.quadrantEnabled());
    const PrintLayout p = layoutQuadrantReport(kEvent, b);
    EXPECT_EQ(p.orientation(), Orientation::Landscape);
    EXPECT_EQ(p.linesPerPage(), 48);
    const auto [page, date] = find(p, "7/12/2026");
    EXPECT_DOUBLE_EQ(date.end(), 130);
    EXPECT_EQ(date.line, 2);
    EXPECT_EQ(find(p, "Copa de Nadal").second.column, 5);
    EXPECT_EQ(find(p, "Quadrant de voltes acabada la màniga 6").second.line, 3);

    const auto lane1 = find(p, "Pst. 1").second;
    for (int lane = 1; lane <= 6; ++lane) {
        const auto heading = find(p, "Pst. " + std::to_string(lane)).second;
        EXPECT_EQ(heading.line, lane1.line);
        EXPECT_DOUBLE_EQ(heading.column + heading.width() / 2, 15.0 * lane + 15);
    }
    // "Total" closes the heading at 15 x 6 + 32; pilot 6 leads with 6 x 16 + 0.5 laps.
    EXPECT_DOUBLE_EQ(find(p, "Total").second.end(), 122);
    const auto leader = find(p, "-Pilot 6").second;
    EXPECT_DOUBLE_EQ(leader.column, 4);
    const auto leaderLine = onLine(p.pages()[0], leader.line);
    EXPECT_EQ(leaderLine.front().text, "1");
    EXPECT_DOUBLE_EQ(leaderLine.front().end(), 4);
    EXPECT_DOUBLE_EQ(find(p, "96.500").second.end(), 122);
    // Its laps per lane on the next line, decimal points on the lane's column.
    const auto values = onLine(p.pages()[0], leader.line + 1);
    ASSERT_EQ(values.size(), 6u);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double lane = 15.0 * (i + 1) + 15;
        EXPECT_DOUBLE_EQ(values[i].column, lane - (i == 0 ? 3 : 3)) << values[i].text;
        EXPECT_EQ(values[i].text, i == 0 ? "16.500" : "16");
    }
}

TEST(QuadrantPrint, FourteenLanesMakeFourBandsOfFourInPortrait) {
    auto b = openBrowser(fullRotation(14).data(), 14);
    const PrintLayout p = layoutQuadrantReport(kEvent, b);
    EXPECT_EQ(p.orientation(), Orientation::Portrait);
    EXPECT_EQ(p.linesPerPage(), 68);
    EXPECT_DOUBLE_EQ(find(p, "7/12/2026").second.end(), 90);
    EXPECT_DOUBLE_EQ(find(p, "Total").second.end(), 92);
    const int first = find(p, "Pst. 1").second.line;
    for (int lane = 1; lane <= 14; ++lane) {
        const auto heading = find(p, "Pst. " + std::to_string(lane)).second;
        EXPECT_EQ(heading.line, first + (lane - 1) / 4) << lane;
        EXPECT_DOUBLE_EQ(heading.column + heading.width() / 2, 15.0 * ((lane - 1) % 4 + 1) + 15);
    }
    // A participant: the name line, then one line per band.
    for (const char* pilot : {"-Pilot 14", "-Pilot 1"}) {
        const auto [at, name] = find(p, pilot);
        const auto& page = p.pages()[static_cast<std::size_t>(at)];
        const std::size_t perLine[] = {4, 4, 4, 2};
        for (int band = 0; band < 4; ++band) {
            EXPECT_EQ(onLine(page, name.line + 1 + band).size(), perLine[band]) << band;
        }
    }
}

TEST(QuadrantPrint, FortyParticipantsBreakPagesWhereTheNextBlockNoLongerFits) {
    // 40 participants, 4 at a time on 4 lanes, one heat each: a block is 1 + 1 lines.
    std::vector<std::string> names;
    for (int i = 1; i <= 40; ++i) {
        names.push_back("Pilot " + std::to_string(i));
    }
    SeriesBuilder s(1, names);
    for (int h = 0; h < 10; ++h) {
        std::vector<Driven> rows;
        for (int k = 1; k <= 4; ++k) {
            const int d = h * 4 + k;
            rows.push_back({d, static_cast<float>(d), 50.0f - d, 3.0f, k, float(d), 3.0f});
        }
        s.heat(rows);
    }
    auto b = openBrowser(s.data(), 4);
    ASSERT_TRUE(b.quadrantEnabled());
    const PrintLayout p = layoutQuadrantReport(kEvent, b);
    ASSERT_EQ(p.pages().size(), 2u);
    // Page 1: header, title, empty line, heading (2 lines), empty line; rows from line 8,
    // two lines each; the 31st would start at 68.
    // Page 2: header at line 2, empty line, heading, empty line; rows from line 7.
    const int firstRowLine[] = {8, 7};
    const int rowsOnPage[] = {30, 10};
    int seen = 0;
    for (int page = 0; page < 2; ++page) {
        const auto& items = p.pages()[static_cast<std::size_t>(page)].items;
        EXPECT_EQ(onLine(p.pages()[static_cast<std::size_t>(page)], 2).front().text,
                  "Copa de Nadal");
        int rows = 0;
        for (const auto& item : items) {
            if (item.text.starts_with("-Pilot")) {
                EXPECT_EQ(item.line, firstRowLine[page] + 2 * rows) << item.text;
                EXPECT_LE(item.line + 2, 68);
                ++rows;
            }
        }
        EXPECT_EQ(rows, rowsOnPage[page]);
        seen += rows;
    }
    EXPECT_EQ(seen, 40);
    EXPECT_EQ(count(p, "Participant"), 2);
}

TEST(QuadrantPrint, PassesGetALineEachAndFastestLapsForOtherProgrammes) {
    auto b = openBrowser(fullRotation(2, 2).data(), 2, ProgrammeType::OfficialPractice);
    ASSERT_TRUE(b.quadrantEnabled());
    const PrintLayout p = layoutQuadrantReport(kEvent, b);
    EXPECT_EQ(count(p, "Quadrant de voltes ràpides acabada la màniga 4"), 1);
    EXPECT_DOUBLE_EQ(find(p, "Millor").second.end(), 92);
    const auto name = find(p, "-Pilot 1").second;
    const auto& page = p.pages()[0];
    for (int pass = 1; pass <= 2; ++pass) {
        const auto line = onLine(page, name.line + pass);
        ASSERT_EQ(line.size(), 3u);
        EXPECT_EQ(line[0].text, "Psd. " + std::to_string(pass));
        EXPECT_EQ(line[1].text, "3.0100");
        EXPECT_DOUBLE_EQ(line[1].column, 30 - 2);
    }
}

TEST(ResultsPrint, PenaltyCellsPrintOnlyWhileTheColumnIsShown) {
    for (bool penalised : {false, true}) {
        SeriesBuilder s = fullRotation(2);
        if (penalised) {
            s.penalty(1, 2);
        }
        auto b = openBrowser(s.data(), 2);
        const PrintLayout p = layoutResultsReport(kEvent, b);
        EXPECT_EQ(count(p, "Pen."), penalised ? 1 : 0);
        EXPECT_EQ(count(p, "-2"), penalised ? 1 : 0);
        if (penalised) {
            EXPECT_DOUBLE_EQ(find(p, "Pen.").second.end(), 92);
            EXPECT_DOUBLE_EQ(find(p, "-2").second.fontSize, 6);
        }
        for (const auto& item : p.pages()[0].items) {
            EXPECT_LE(item.end(), 92 + 1e-9) << item.text;
        }
    }
}

TEST(ResultsPrint, SelectorsHeadingAndRowsStandOnTheirColumns) {
    auto b = openBrowser(fullRotation(2).data(), 2);
    b.selectCriterion(kFastestLap);
    const PrintLayout p = layoutResultsReport(kEvent, b);
    EXPECT_EQ(find(p, "Classificació Cursa").second.column, 5);
    struct Label {
        std::string text;
        double end;
        std::string value;
    };
    for (const Label& l :
         {Label{"Sèrie:", 20, "Totes"}, Label{"Participant:", 50, "Tots"},
          Label{"Passada:", 20, "Totes"}, Label{"Pista:", 50, "Totes"}, Label{"Màniga:", 80, "2"},
          Label{"Classificació per:", 20, "Volta ràpida"}}) {
        const auto label = find(p, l.text).second;
        EXPECT_DOUBLE_EQ(label.end(), l.end) << l.text;
        const auto line = onLine(p.pages()[0], label.line);
        const auto value = std::find_if(line.begin(), line.end(),
                                        [&](const PrintItem& i) { return i.column == l.end + 1; });
        ASSERT_NE(value, line.end()) << l.text;
        EXPECT_EQ(value->text, l.value);
    }
    // The heading row once, an empty line, then the rows with their positions.
    const auto heading = find(p, "Participant").second;
    EXPECT_EQ(count(p, "Participant"), 1);
    EXPECT_TRUE(onLine(p.pages()[0], heading.line + 1).empty());
    EXPECT_DOUBLE_EQ(find(p, "V. Ràpida").second.end(), 65);
    EXPECT_EQ(count(p, "Total V."), 0);
    const auto first = onLine(p.pages()[0], heading.line + 2);
    ASSERT_GE(first.size(), 4u);
    EXPECT_EQ(first[0].text, "1");
    EXPECT_DOUBLE_EQ(first[0].end(), 8);
    EXPECT_EQ(first[1].text, ".-");
    EXPECT_EQ(first[2].text, "Pilot 1");
    EXPECT_DOUBLE_EQ(first[2].column, 10);
    for (const auto& item : first) {
        if (item.text == "3.0100") {
            EXPECT_DOUBLE_EQ(item.end(), 65);
            EXPECT_DOUBLE_EQ(item.fontSize, 10);
        }
    }
    const auto ser = find(p, "Ser.").second;
    EXPECT_DOUBLE_EQ(ser.fontSize, 6);
    EXPECT_DOUBLE_EQ(ser.column + ser.width() / 2, 35);
}

TEST(ClassificationPrint, HeadingRowOnceWithoutPositionThenNumberedRows) {
    StandingsGrid grid;
    grid.reset(3);
    const char* names[] = {"Anna", "Bernat", "Carles"};
    for (int r = 1; r <= 3; ++r) {
        grid.setText(r, col::Name, names[r - 1]);
        grid.setText(r, col::SeriesLaps, std::to_string(40 - r));
        grid.setText(r, col::Fastest, "4.12" + std::to_string(r) + "0");
        grid.setText(r, col::FastestLane, std::to_string(r));
        grid.setText(r, col::Lane, std::to_string(4 - r));
        grid.setText(r, col::HeatLaps, std::to_string(20 - r));
        grid.setText(r, col::HeatFastest, "4.5000");
    }
    grid.setText(2, col::GapLeader, "-1v");
    std::vector<std::string> headings = {
        "",         "Dorsal",   "Participant", "Voltes", "HoraPas", "VRàpida", "HoraPas", "Pst.",
        "Dif.Prm.", "Dif.Ant.", "nm",          "Pst.",   "Voltes",  "+/-",     "Última",  "Millor"};
    for (ProgrammeType programmeType : {ProgrammeType::Race, ProgrammeType::OfficialPractice}) {
        HeatReport heat{programmeType, programmeType == ProgrammeType::Race ? 2 : 1, "2", 3};
        const PrintLayout p = layoutClassificationReport(kEvent, heat, grid, headings);
        ASSERT_EQ(p.pages().size(), 1u);
        const auto& page = p.pages()[0];
        EXPECT_EQ(count(p, programmeType == ProgrammeType::Race
                               ? "Classificació cursa - Sèrie:2"
                               : "Classificació entrenaments oficials"),
                  1);
        const auto finished = find(p, "Acabada la màniga: 3").second;
        const auto heading = find(p, "Participant").second;
        EXPECT_EQ(heading.line, finished.line + 3);
        EXPECT_EQ(count(p, "Participant"), 1);
        for (const auto& item : onLine(page, heading.line)) {
            EXPECT_NE(item.text, ".-");
        }
        EXPECT_DOUBLE_EQ(find(p, "[Pst.]").second.column + 3, 45);
        EXPECT_DOUBLE_EQ(find(p, "Millor").second.end(), 95);
        EXPECT_TRUE(onLine(page, heading.line + 1).empty());
        for (int r = 1; r <= 3; ++r) {
            const auto row = onLine(page, heading.line + 1 + r);
            ASSERT_GE(row.size(), 3u);
            EXPECT_EQ(row[0].text, std::to_string(r));
            EXPECT_DOUBLE_EQ(row[0].end(), 8);
            EXPECT_EQ(row[1].text, ".-");
            EXPECT_EQ(row[2].text, names[r - 1]);
            // Laps for the race, the fastest lap otherwise.
            EXPECT_EQ(row[3].text, programmeType == ProgrammeType::Race
                                       ? std::to_string(40 - r)
                                       : "4.12" + std::to_string(r) + "0");
            EXPECT_DOUBLE_EQ(row[3].end(), programmeType == ProgrammeType::Race ? 40 : 38);
        }
        EXPECT_DOUBLE_EQ(find(p, "-1v").second.end(), 55);
    }
}

TEST(ClassificationPrint, LongListsRepeatTheHeaderAndHeadingsOnEveryPage) {
    StandingsGrid grid;
    grid.reset(150);
    for (int r = 1; r <= 150; ++r) {
        grid.setText(r, col::Name, "Pilot " + std::to_string(r));
    }
    std::vector<std::string> headings(col::Count);
    headings[col::Name] = "Participant";
    const PrintLayout p = layoutClassificationReport(
        kEvent, HeatReport{ProgrammeType::Race, 1, "1", 1}, grid, headings);
    ASSERT_EQ(p.pages().size(), 3u);
    int rows = 0;
    for (const auto& page : p.pages()) {
        EXPECT_EQ(onLine(page, 2).front().text, "Copa de Nadal");
        EXPECT_EQ(std::count_if(page.items.begin(), page.items.end(),
                                [](const PrintItem& i) { return i.text == "Participant"; }),
                  1);
        for (const auto& item : page.items) {
            EXPECT_LT(item.line, 68);
            rows += item.text.starts_with("Pilot ");
        }
    }
    EXPECT_EQ(rows, 150);
}

TEST(PrintTitles, FollowTheLanguageOfTheProgram) {
    struct Case {
        int language;
        ProgrammeType programmeType;
        int seriesCount;
        std::string heatTitle;
        std::string finished;
        std::string resultsTitle;
        std::string quadrantTitle;
    };
    const Case cases[] = {
        {0, ProgrammeType::Race, 2, "Classificació cursa - Sèrie:2", "Acabada la màniga: 3",
         "Classificació Cursa", "Quadrant de voltes acabada la màniga 2"},
        {1, ProgrammeType::Race, 2, "Clasificación carrera - Serie:2", "Completada la manga: 3",
         "Clasificación Carrera", "Cuadrante de vueltas finalizada la manga 2"},
        {1, ProgrammeType::OfficialPractice, 1, "Clasificación entrenamientos oficiales",
         "Completada la manga: 3", "Clasificación Entrenamientos oficiales",
         "Cuadrante de vueltas rápidas finalizada la manga 2"},
    };
    StandingsGrid grid;
    for (const auto& c : cases) {
        const ReportEvent event{"Copa", "1-1-2027", c.language};
        const PrintLayout heat = layoutClassificationReport(
            event, HeatReport{c.programmeType, c.seriesCount, "2", 3}, grid, {});
        EXPECT_EQ(count(heat, c.heatTitle), 1) << c.heatTitle;
        EXPECT_EQ(count(heat, c.finished), 1) << c.finished;
        auto b = openBrowser(fullRotation(2).data(), 2, c.programmeType);
        EXPECT_EQ(count(layoutResultsReport(event, b), c.resultsTitle), 1) << c.resultsTitle;
        EXPECT_EQ(count(layoutQuadrantReport(event, b), c.quadrantTitle), 1) << c.quadrantTitle;
    }
}
