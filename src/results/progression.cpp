#include "results/progression.h"

#include "results/results_browser.h"

#include <algorithm>
#include <charconv>

namespace cronovolta {
namespace {

std::optional<int> parseInt(std::string_view word) {
    if (!word.empty() && word[0] == '+') {
        word.remove_prefix(1);
    }
    int v = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
    if (ec != std::errc() || end != word.data() + word.size() || word.empty()) {
        return std::nullopt;
    }
    return v;
}

// Names already placed in the stage: a driver never takes two places.
class TakenNames {
public:
    bool contains(const std::string& name) const {
        return std::any_of(m_names.begin(), m_names.end(),
                           [&](const std::string& n) { return sameParticipantName(n, name); });
    }
    void add(const std::string& name) { m_names.push_back(name); }

private:
    std::vector<std::string> m_names;
};

} // namespace

DistributionTable parseDistributionTable(std::string_view text) {
    DistributionTable table;
    while (!text.empty()) {
        auto eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        std::vector<std::string_view> words;
        std::size_t i = 0;
        while (i < line.size()) {
            auto isSep = [](char c) {
                return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\r';
            };
            while (i < line.size() && isSep(line[i])) {
                ++i;
            }
            std::size_t start = i;
            while (i < line.size() && !isSep(line[i])) {
                ++i;
            }
            if (i > start) {
                words.push_back(line.substr(start, i - start));
            }
        }
        if (words.empty()) {
            continue;
        }
        auto x = words.size() == 2 ? parseInt(words[0]) : std::nullopt;
        auto y = words.size() == 2 ? parseInt(words[1]) : std::nullopt;
        // A negative count would ask for a thousand repechages: such a line is not sound.
        if (!x || !y || *x < 1 || *y < 0) {
            ++table.skippedLines;
            continue;
        }
        table.lines.push_back({*x, *y});
    }
    return table;
}

std::optional<Distribution> lookupDistribution(const DistributionTable& table, int participants) {
    for (const auto& line : table.lines) {
        if (line.participants == participants) {
            return Distribution{line.direct, std::max(0, 8 - line.direct)};
        }
    }
    return std::nullopt;
}

ProgressionStage stageForNewSeries(int raceSeriesBefore, const Distribution& d) {
    const int c = raceSeriesBefore;
    if (c == 0) {
        return kQualifyingRace;
    }
    if (c == d.repechages + 3) {
        return kFinal;
    }
    if (c == d.repechages + 1) {
        return kSemiFinals;
    }
    if (c == 1) {
        return kRepechages;
    }
    return kNoProgression;
}

Serpentine::Serpentine(int columns) : m_columns(static_cast<std::size_t>(std::max(columns, 1))) {}

void Serpentine::place(std::string name) {
    const int last = static_cast<int>(m_columns.size()) - 1;
    if (m_column == 0) {
        if (m_direction == -1) {
            m_direction = 0; // next row
        } else if (m_direction == 0) {
            m_direction = 1;
        }
    } else if (m_column == last) {
        if (m_direction == 0) {
            m_direction = -1;
        } else if (m_direction == 1) {
            m_direction = 0; // next row
        }
    }
    if (last < 1) {
        m_direction = -1;
    } else {
        m_column += m_direction;
    }
    // Every row visits every column once, so a column's next name is its next row.
    m_columns[static_cast<std::size_t>(m_column)].push_back(std::move(name));
}

std::vector<std::string> qualifyingStartOrder(const std::vector<RankedEntry>& ranked) {
    std::vector<std::string> names;
    TakenNames taken;
    for (const auto& e : ranked) {
        if (!taken.contains(e.name)) {
            taken.add(e.name);
            names.push_back(e.name);
        }
    }
    const std::size_t m = names.size();
    std::vector<std::string> order(m);
    std::size_t i = 0;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        ++i;
        std::size_t position = i % 2 == 1 ? (i + 1) / 2 : m - (i - 2) / 2;
        order[position - 1] = *it;
    }
    return order;
}

std::vector<std::vector<std::string>> repechageLists(const std::vector<RankedEntry>& qualifying,
                                                     int lanes, int repechages) {
    if (repechages < 1) {
        return {};
    }
    Serpentine table(repechages);
    const auto direct = static_cast<std::size_t>(std::max(0, 2 * lanes - repechages));
    for (std::size_t i = direct; i < qualifying.size(); ++i) {
        table.place(qualifying[i].name);
    }
    return table.columns();
}

std::array<std::vector<std::string>, 2> semiFinalLists(const std::vector<RankedEntry>& qualifying,
                                                       const std::vector<RankedEntry>& combined,
                                                       int lanes, int repechages, int direct) {
    const int places = std::max(2 * lanes, direct);
    const int fromQualifying = std::max(0, places - repechages);
    Serpentine table(2);
    TakenNames taken;
    std::size_t next = 0;
    for (int k = 0; k < fromQualifying && next < qualifying.size(); ++next) {
        if (!taken.contains(qualifying[next].name)) {
            taken.add(qualifying[next].name);
            table.place(qualifying[next].name);
            ++k;
        }
    }
    std::vector<int> quota(static_cast<std::size_t>(std::max(repechages, 0)) + 1, 1);
    next = 0;
    for (int k = fromQualifying; k < places && next < combined.size(); ++next) {
        const auto& e = combined[next];
        const int rep = e.seriesNumber - 1;
        if (rep < 1 || rep > repechages || quota[static_cast<std::size_t>(rep)] < 1 ||
            taken.contains(e.name)) {
            continue;
        }
        --quota[static_cast<std::size_t>(rep)];
        taken.add(e.name);
        table.place(e.name);
        ++k;
    }
    const auto& cols = table.columns();
    return {cols[0], cols[1]};
}

std::vector<std::string> finalList(const std::vector<RankedEntry>& combined, int lanes,
                                   int repechages) {
    // Half the lanes for each semi-final; with an odd lane count the better ranked
    // semi-finalist takes the extra place.
    double quota[3] = {0.0, lanes / 2.0, lanes / 2.0};
    std::vector<std::string> names;
    TakenNames taken;
    std::size_t next = 0;
    for (int k = 0; k < lanes && next < combined.size(); ++next) {
        const auto& e = combined[next];
        const int semi = e.seriesNumber - 1 - repechages;
        if (semi < 1 || semi > 2 || quota[semi] <= 0.0 || taken.contains(e.name)) {
            continue;
        }
        quota[semi] -= 1.0;
        taken.add(e.name);
        names.push_back(e.name);
        ++k;
    }
    return names;
}

} // namespace cronovolta
