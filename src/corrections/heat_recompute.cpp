#include "corrections/heat_recompute.h"

#include "heat/series_files.h"
#include "heat/standings_records.h"
#include "storage/event_files.h"
#include "storage/heat_result_record.h"
#include "storage/number_format.h"
#include "storage/participant_list.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace cronovolta {

fs::path SeriesFiles::file(std::string_view extension) const {
    return eventDir / seriesFileName(programmeType, seriesNumber, extension);
}

std::string SeriesFiles::name(int participant) const {
    if (participant < 1 || participant > participants()) {
        return {};
    }
    return names[static_cast<std::size_t>(participant - 1)];
}

std::expected<SeriesFiles, std::string>
openSeriesFiles(const fs::path& eventDir, ProgrammeType programmeType, int seriesNumber) {
    if (programmeType < ProgrammeType::OfficialPractice || programmeType > ProgrammeType::Race) {
        return std::unexpected(
            "only official practice, Super Pole and race series keep heat results");
    }
    SeriesFiles files;
    files.eventDir = eventDir;
    files.programmeType = programmeType;
    files.seriesNumber = seriesNumber;
    auto track = loadTrackConfig(eventDir / kTrackFileName);
    if (!track) {
        return std::unexpected(track.error());
    }
    files.track = std::move(*track);
    auto list = loadSeriesParticipants(eventDir, programmeType, seriesNumber, files.track.lanes);
    if (!list) {
        return std::unexpected(list.error());
    }
    files.names = std::move(list->names);
    files.heats = std::max<int>(list->heatsDone, 0);
    return files;
}

int superPoleDriver(int heat, int participants) {
    return participants < 1 || heat < 1 ? 0 : (heat - 1) % participants + 1;
}

namespace {

struct Block {
    std::size_t header = 0;
    std::size_t count = 0;
};

std::expected<Block, std::string> findBlock(const std::vector<HeatResultRecord>& records, int heat,
                                            const std::string& fileName) {
    auto header = resultHeaderIndex(records, heat);
    if (!header) {
        return std::unexpected("the results file " + fileName + " holds no heat " +
                               std::to_string(heat));
    }
    const int count = records[*header].headerRecordCount();
    if (count < 0 || *header + static_cast<std::size_t>(count) >= records.size()) {
        return std::unexpected("the results file " + fileName + " ends inside heat " +
                               std::to_string(heat));
    }
    Block block{*header, static_cast<std::size_t>(count)};
    for (std::size_t i = 1; i <= block.count; ++i) {
        if (records[block.header + i].isHeader()) {
            return std::unexpected("the block of heat " + std::to_string(heat) + " in " + fileName +
                                   " is damaged: it holds a heat header");
        }
    }
    return block;
}

// The working tables of a participant as the heats accumulate them.
struct Totals {
    float laps = 0.0f;
    float fastest = 0.0f;
    std::int16_t fastestLane = 0;
};

// Replaces the heat values of a record of the corrected heat; true when they changed.
bool applyValues(HeatResultRecord& record, const SeriesFiles& series, int heat,
                 const std::vector<LaneValues>& values) {
    const LaneValues* row = nullptr;
    if (series.programmeType == ProgrammeType::SuperPole) {
        if (record.participant == superPoleDriver(heat, series.participants()) && !values.empty()) {
            row = &values.front();
        }
    } else {
        auto it = std::find_if(values.begin(), values.end(),
                               [&](const LaneValues& v) { return v.lane == record.lane; });
        row = it != values.end() && record.lane != 0 ? &*it : nullptr;
    }
    const HeatResultRecord before = record;
    if (row == nullptr) {
        record.heatLaps = 0.0f;
        record.heatFastestLap = 0.0f;
    } else {
        record.heatLaps = row->laps;
        record.heatFastestLap = row->fastest.value_or(record.heatFastestLap);
    }
    // Values that went through their texts and back may differ in the last bit.
    auto moved = [](float a, float b) { return std::fabs(a - b) > 5e-5f; };
    if (!moved(before.heatLaps, record.heatLaps) &&
        !moved(before.heatFastestLap, record.heatFastestLap)) {
        record = before;
        return false;
    }
    return true;
}

// The heat keys of a row whose heat values were corrected, as the end of the heat leaves
// them. The heat time (column 18) is the heat's own and no correction knows a better one,
// so it stays unless the row no longer has the two crossings that make a heat time.
void heatKeys(StandingsGrid& grid, int row, ProgrammeType programmeType) {
    grid.setText(row, col::HeatRank, "");
    if (programmeType == ProgrammeType::OfficialPractice) {
        grid.setText(row, col::HeatKey1,
                     grid.blank(row, col::HeatFastest) ? std::string()
                                                       : grid.text(row, col::HeatFastest));
    } else if (programmeType == ProgrammeType::Race) {
        const bool timed = grid.value(row, col::HeatLaps) >= 2.0;
        grid.setText(row, col::HeatKey1,
                     timed ? singleToText(static_cast<float>(1.0 - grid.value(row, col::HeatLaps)))
                           : std::string());
        if (!timed) {
            grid.setText(row, col::HeatKey2, "");
        }
    }
}

// Every block from the heat before `heat` to the last one, found and checked.
std::expected<std::map<int, Block>, std::string>
findBlocks(const std::vector<HeatResultRecord>& records, int heat, int heats,
           const std::string& fileName) {
    std::map<int, Block> blocks;
    for (int h = std::max(heat - 1, 1); h <= heats; ++h) {
        auto block = findBlock(records, h, fileName);
        if (!block) {
            return std::unexpected(block.error());
        }
        blocks[h] = *block;
    }
    for (int h = std::max(heat - 1, 1); h < heats; ++h) {
        if (blocks[h + 1].header <= blocks[h].header + blocks[h].count) {
            return std::unexpected("the blocks of heats " + std::to_string(h) + " and " +
                                   std::to_string(h + 1) + " in " + fileName + " overlap");
        }
    }
    return blocks;
}

// The participants' totals as the heat before `heat` left them.
std::vector<Totals> totalsBefore(const std::vector<HeatResultRecord>& records,
                                 std::map<int, Block>& blocks, int heat, int participants) {
    std::vector<Totals> totals(static_cast<std::size_t>(participants) + 1);
    if (heat >= 2) {
        const Block& previous = blocks[heat - 1];
        for (std::size_t i = 1; i <= previous.count; ++i) {
            const HeatResultRecord& r = records[previous.header + i];
            if (r.participant >= 1 && r.participant <= participants) {
                totals[static_cast<std::size_t>(r.participant)] = {r.seriesLaps, r.fastestLap,
                                                                   r.fastestLane};
            }
        }
    }
    return totals;
}

bool changesAnyValue(const std::vector<HeatResultRecord>& records, const Block& block,
                     const SeriesFiles& series, int heat, const std::vector<LaneValues>& values) {
    bool changes = false;
    for (std::size_t i = 1; i <= block.count; ++i) {
        HeatResultRecord r = records[block.header + i];
        changes = applyValues(r, series, heat, values) || changes;
    }
    return changes;
}

// The correction being made: the heat and its new values.
struct Correction {
    const SeriesFiles& series;
    int heat = 0;
    const std::vector<LaneValues>& values;
};

// Recomputes the block of heat `h`: the corrected values when it is the corrected heat, the
// totals carried from the heats before, its ranks.
void recomputeBlock(std::vector<HeatResultRecord>& records, const Block& block, int h,
                    const Correction& correction, std::vector<Totals>& totals) {
    const SeriesFiles& series = correction.series;
    const int n = series.participants();
    StandingsGrid grid;
    grid.reset(static_cast<int>(block.count));
    int lastLane = 0;
    // The stored keys by participant: the grid's texts round them, the file keeps them
    // as they were unless the correction changed them.
    struct StoredKeys {
        bool corrected;
        float key1;
        float key2;
    };
    std::map<int, StoredKeys> storedKeys;
    for (std::size_t i = 1; i <= block.count; ++i) {
        HeatResultRecord r = records[block.header + i];
        const bool corrected =
            h == correction.heat && applyValues(r, series, correction.heat, correction.values);
        storedKeys.emplace(r.participant, StoredKeys{corrected, r.sortKey1, r.sortKey2});
        if (r.participant >= 1 && r.participant <= n) {
            Totals& t = totals[static_cast<std::size_t>(r.participant)];
            t.laps += r.heatLaps;
            r.seriesLaps = t.laps;
            if (r.heatFastestLap > 0.0f && (t.fastest == 0.0f || r.heatFastestLap < t.fastest)) {
                t.fastest = r.heatFastestLap;
                t.fastestLane = r.lane;
            }
            r.fastestLap = t.fastest;
            r.fastestLane = t.fastestLane;
        }
        if (r.lastLaneRank < 0) {
            lastLane = r.lane;
        }
        const int row = static_cast<int>(i);
        fillStandingsRow(grid, row, r, series.name(r.participant), series.programmeType,
                         series.track);
        // The heat ranks compare the whole keys, as when the heat was run.
        for (auto [column, key] :
             {std::pair{col::HeatKey1, r.sortKey1}, std::pair{col::HeatKey2, r.sortKey2}}) {
            grid.setText(row, column, key != 0.0f ? singleToText(key) : std::string());
        }
        if (corrected) {
            heatKeys(grid, row, series.programmeType);
        }
    }
    grid.resort({series.programmeType, &series.track, {}, 0});
    for (int row = 1; row <= grid.rowCount(); ++row) {
        HeatResultRecord rec = recordFromStandingsRow(grid, row, series.programmeType, lastLane);
        if (auto kept = storedKeys.find(rec.participant); kept != storedKeys.end()) {
            if (!kept->second.corrected) {
                rec.sortKey1 = kept->second.key1;
            }
            if (!kept->second.corrected || rec.sortKey2 != 0.0f) {
                rec.sortKey2 = kept->second.key2;
            }
        }
        records[block.header + static_cast<std::size_t>(row)] = rec;
    }
}

} // namespace

std::expected<std::vector<int>, std::string>
recomputeSeries(const SeriesFiles& series, int heat, const std::vector<LaneValues>& values) {
    const fs::path path = series.file(".DAD");
    const std::string fileName = path.filename().string();
    if (heat < 1 || heat > series.heats) {
        return std::unexpected("heat " + std::to_string(heat) + " has not been run in " +
                               seriesBaseName(series.programmeType, series.seriesNumber) +
                               " (heats 1 to " + std::to_string(series.heats) + ")");
    }
    auto bytes = readOptionalFile(path);
    if (!bytes) {
        return std::unexpected(bytes.error());
    }
    HeatResultFile file = decodeHeatResultFile(*bytes);
    auto& records = file.records;

    // Every block is found and checked before anything changes.
    auto found = findBlocks(records, heat, series.heats, fileName);
    if (!found) {
        return std::unexpected(found.error());
    }
    std::map<int, Block>& blocks = *found;
    std::vector<Totals> totals = totalsBefore(records, blocks, heat, series.participants());

    // A correction that changes no heat value leaves the file as it is.
    if (!changesAnyValue(records, blocks[heat], series, heat, values)) {
        return std::vector<int>{};
    }

    std::vector<int> rewritten;
    for (int h = heat; h <= series.heats; ++h) {
        recomputeBlock(records, blocks[h], h, {series, heat, values}, totals);
        rewritten.push_back(h);
    }

    // Only the used bytes of the rewritten records change: the rest of the file, a short
    // last record included, stays as it was.
    std::string out = std::move(*bytes);
    for (int h : rewritten) {
        const Block& block = blocks[h];
        for (std::size_t i = 1; i <= block.count; ++i) {
            const std::size_t index = block.header + i;
            out.replace(index * kHeatResultRecordSize, kHeatResultUsedBytes,
                        encodeHeatResultRecord(records[index]).substr(0, kHeatResultUsedBytes));
        }
    }
    if (auto written = writeFileAtomic(path, out); !written) {
        return std::unexpected(written.error());
    }
    return rewritten;
}

} // namespace cronovolta
