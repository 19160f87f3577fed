#pragma once

#include "storage/file_io.h"

#include <array>
#include <cstdint>
#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cronovolta {

// Kept in the data folder while an event or a series is deleted, so that a run stopped
// half-way is finished at the next start instead of leaving a gap in the numbers.
inline constexpr const char* kRenameJournalFileName = "RENAMES.LOG";

// One step of a deletion. Paths are relative to the data folder.
struct RenameStep {
    enum Kind { Rename, Remove, WriteCounts };
    Kind kind = Rename;
    fs::path from; // Rename: the old name; Remove: what goes; WriteCounts: the PROVA.DAD
    fs::path to;
    std::array<std::int16_t, 4> counts{};

    bool operator==(const RenameStep&) const = default;
};

// How folders and files are renamed; tests put a failing one in.
using RenameFunction =
    std::function<void(const fs::path& from, const fs::path& to, std::error_code& ec)>;
// Called before each step and once after the last one (with the step count); tests stop
// the run there as a killed process would stop.
using StepGate = std::function<void(std::size_t step)>;

std::string encodeRenamePlan(const std::vector<RenameStep>& plan);
// nullopt when the text is not a whole plan (a journal that was never completely written).
std::optional<std::vector<RenameStep>> decodeRenamePlan(std::string_view text);

struct RenameOutcome {
    bool done = false;   // false: the renames were undone
    std::string problem; // what failed ("" when nothing did), or files left behind
};

class RenameJournal {
public:
    RenameJournal(fs::path dataDir, RenameFunction rename = {}, StepGate gate = {});

    // Writes the plan, runs it and removes it. Renames and count writes are all or
    // nothing: when one fails the renames already done are put back. Removals come last
    // and a failed one is only reported.
    RenameOutcome run(const std::vector<RenameStep>& plan);

    // A journal left by a stopped run: finished when every step can still be taken, else
    // undone. nullopt when there was none.
    std::optional<RenameOutcome> finishInterrupted();

private:
    RenameOutcome runFrom(const std::vector<RenameStep>& plan, std::size_t first);
    std::string undo(const std::vector<RenameStep>& plan, std::size_t last);
    bool stepDone(const RenameStep& step) const;
    fs::path file() const { return m_dataDir / kRenameJournalFileName; }
    fs::path at(const fs::path& relative) const { return m_dataDir / relative; }

    fs::path m_dataDir;
    RenameFunction m_rename;
    StepGate m_gate;
};

} // namespace cronovolta
