#include "storage/rename_journal.h"

#include "storage/event_files.h"

#include <charconv>
#include <utility>

namespace cronovolta {
namespace {

constexpr std::string_view kEnd = "END";

std::vector<std::string_view> splitTabs(std::string_view line) {
    std::vector<std::string_view> parts;
    for (std::size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t')) {
        parts.push_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    parts.push_back(line);
    return parts;
}

std::optional<long> number(std::string_view text) {
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<RenameStep> decodeStep(std::string_view line) {
    auto parts = splitTabs(line);
    RenameStep step;
    if (parts[0] == "R" && parts.size() == 3) {
        step.from = std::string(parts[1]);
        step.to = std::string(parts[2]);
    } else if (parts[0] == "X" && parts.size() == 2) {
        step.kind = RenameStep::Remove;
        step.from = std::string(parts[1]);
    } else if (parts[0] == "C" && parts.size() == 6) {
        step.kind = RenameStep::WriteCounts;
        step.from = std::string(parts[1]);
        for (std::size_t i = 0; i < 4; ++i) {
            auto n = number(parts[i + 2]);
            if (!n || *n < -32768 || *n > 32767) {
                return std::nullopt;
            }
            step.counts[i] = static_cast<std::int16_t>(*n);
        }
    } else {
        return std::nullopt;
    }
    // Only names inside the data folder: a journal is never followed out of it.
    for (const fs::path* p : {&step.from, &step.to}) {
        if (p->is_absolute()) {
            return std::nullopt;
        }
        for (const auto& part : *p) {
            if (part == "..") {
                return std::nullopt;
            }
        }
    }
    if (step.from.empty() || (step.kind == RenameStep::Rename && step.to.empty())) {
        return std::nullopt;
    }
    return step;
}

struct JournalText {
    std::vector<RenameStep> plan;
    std::size_t stepsDone = 0;
};

std::optional<JournalText> decodeJournal(std::string_view text) {
    JournalText journal;
    bool ended = false;
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        if (eol == std::string_view::npos) {
            break; // a progress line cut short by the stop
        }
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol + 1);
        if (!ended) {
            if (line == kEnd) {
                ended = true;
            } else if (auto step = decodeStep(line)) {
                journal.plan.push_back(std::move(*step));
            } else {
                return std::nullopt;
            }
        } else if (line.starts_with('+')) {
            auto n = number(line.substr(1));
            if (n && *n >= 0 && static_cast<std::size_t>(*n) < journal.plan.size()) {
                journal.stepsDone = std::max(journal.stepsDone, static_cast<std::size_t>(*n) + 1);
            }
        }
    }
    if (!ended) {
        return std::nullopt;
    }
    return journal;
}

} // namespace

std::string encodeRenamePlan(const std::vector<RenameStep>& plan) {
    std::string text;
    for (const auto& step : plan) {
        switch (step.kind) {
        case RenameStep::Rename:
            text += "R\t" + step.from.generic_string() + "\t" + step.to.generic_string();
            break;
        case RenameStep::Remove:
            text += "X\t" + step.from.generic_string();
            break;
        case RenameStep::WriteCounts:
            text += "C\t" + step.from.generic_string();
            for (auto c : step.counts) {
                text += "\t" + std::to_string(c);
            }
            break;
        }
        text += '\n';
    }
    return text + std::string(kEnd) + "\n";
}

std::optional<std::vector<RenameStep>> decodeRenamePlan(std::string_view text) {
    auto journal = decodeJournal(text);
    if (!journal) {
        return std::nullopt;
    }
    return std::move(journal->plan);
}

RenameJournal::RenameJournal(fs::path dataDir, RenameFunction rename, StepGate gate)
    : m_dataDir(std::move(dataDir)), m_rename(std::move(rename)), m_gate(std::move(gate)) {
    if (!m_rename) {
        m_rename = [](const fs::path& from, const fs::path& to, std::error_code& ec) {
            fs::rename(from, to, ec);
        };
    }
}

bool RenameJournal::stepDone(const RenameStep& step) const {
    std::error_code ec;
    return step.kind == RenameStep::Rename && !fs::exists(at(step.from), ec) &&
           fs::exists(at(step.to), ec);
}

RenameOutcome RenameJournal::run(const std::vector<RenameStep>& plan) {
    if (auto written = writeFileAtomic(file(), encodeRenamePlan(plan)); !written) {
        return {false, written.error()};
    }
    return runFrom(plan, 0);
}

std::optional<RenameOutcome> RenameJournal::finishInterrupted() {
    std::error_code ec;
    if (!fs::exists(file(), ec)) {
        return std::nullopt;
    }
    auto text = readFileBytes(file());
    auto journal = text ? decodeJournal(*text) : std::nullopt;
    if (!journal) {
        // Written atomically, so a journal that does not read was never one of ours, or
        // was written before any step ran.
        fs::remove(file(), ec);
        return RenameOutcome{false, text ? "" : text.error()};
    }
    return runFrom(journal->plan, journal->stepsDone);
}

RenameOutcome RenameJournal::runFrom(const std::vector<RenameStep>& plan, std::size_t first) {
    RenameOutcome outcome{true, ""};
    auto fail = [&](std::size_t i, std::string reason) {
        outcome.done = false;
        outcome.problem = std::move(reason) + undo(plan, i);
        std::error_code ec;
        fs::remove(file(), ec);
        return outcome;
    };
    for (std::size_t i = first; i < plan.size(); ++i) {
        if (m_gate) {
            m_gate(i);
        }
        const RenameStep& step = plan[i];
        std::error_code ec;
        switch (step.kind) {
        case RenameStep::Rename:
            if (stepDone(step)) {
                break;
            }
            if (!fs::exists(at(step.from), ec)) {
                return fail(i, "cannot rename " + step.from.generic_string() + " to " +
                                   step.to.generic_string() + ": it does not exist");
            }
            if (fs::exists(at(step.to), ec)) {
                return fail(i, "cannot rename " + step.from.generic_string() + " to " +
                                   step.to.generic_string() + ": something of that name exists");
            }
            if (inLinkedEventFolder(at(step.from)) || inLinkedEventFolder(at(step.to))) {
                return fail(i, "cannot rename " + step.from.generic_string() + " to " +
                                   step.to.generic_string() + ": " +
                                   std::string(kLinkedEventFolderRefusal));
            }
            m_rename(at(step.from), at(step.to), ec);
            if (ec) {
                return fail(i, "cannot rename " + step.from.generic_string() + " to " +
                                   step.to.generic_string() + ": " + reasonOf(ec));
            }
            break;
        case RenameStep::WriteCounts:
            if (auto written = writeSeriesCounts(at(step.from), step.counts); !written) {
                return fail(i, written.error());
            }
            break;
        case RenameStep::Remove:
            fs::remove_all(at(step.from), ec);
            if (ec) {
                outcome.problem +=
                    (outcome.problem.empty() ? "" : "; ") +
                    ("cannot delete " + at(step.from).string() + ": " + reasonOf(ec));
            }
            break;
        }
        if (auto noted = appendToFile(file(), "+" + std::to_string(i) + "\n"); !noted) {
            return fail(i + 1, noted.error());
        }
    }
    if (m_gate) {
        m_gate(plan.size());
    }
    std::error_code ec;
    fs::remove(file(), ec);
    return outcome;
}

// Last first, so that every name is free again when the rename before it is put back.
std::string RenameJournal::undo(const std::vector<RenameStep>& plan, std::size_t last) {
    std::string failures;
    for (std::size_t i = last; i-- > 0;) {
        const RenameStep& step = plan[i];
        if (!stepDone(step)) {
            continue;
        }
        std::error_code ec;
        m_rename(at(step.to), at(step.from), ec);
        if (ec) {
            failures +=
                "; " + step.from.generic_string() + " is still named " + step.to.generic_string();
        }
    }
    return failures;
}

} // namespace cronovolta
