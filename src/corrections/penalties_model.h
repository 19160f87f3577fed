#pragma once

#include "storage/file_io.h"

#include <expected>
#include <map>
#include <string>
#include <vector>

namespace cronovolta {

// One row of the penalties table (`Quadre`): row p is participant p.
struct PenaltyRow {
    std::string name;
    std::string penalty; // Str of the laps, empty without a penalty
    std::string reasons;
};

// `PenaltiesWindow`: the penalty laps and reasons of the participants of a race series. The
// table is the working copy of the ".PEN" file. What is typed for a participant is kept
// when another one is selected, until "&Gravar" stores every typed entry and writes the
// whole file, or the screen is closed. Participants are 1-based.
class PenaltiesModel {
public:
    static std::expected<PenaltiesModel, std::string> open(const fs::path& eventDir,
                                                           int seriesNumber);

    const fs::path& file() const { return m_file; }
    int participants() const { return static_cast<int>(m_rows.size()); }
    const PenaltyRow& row(int participant) const {
        return m_rows[static_cast<std::size_t>(participant - 1)];
    }
    // What the organiser should know about the file as it was read.
    const std::vector<std::string>& notes() const { return m_notes; }

    void select(int participant);
    int selected() const { return m_selected; }
    bool saveEnabled() const { return m_selected >= 1; }

    // `Valor` and `Concepte` of the selected participant.
    const std::string& value() const { return m_value; }
    const std::string& reasons() const { return m_reasons; }
    void setValue(std::string text) { m_value = std::move(text); }
    void setReasons(std::string text) { m_reasons = std::move(text); }
    // Leaving `Valor`: its absolute value; 0 clears the penalty and its reasons.
    void leaveValue();

    // Button 1: every typed entry into the table, then the whole file. When the file
    // cannot be written the table and the typed entries stay as they were.
    IoResult save();

    // Participants whose typed entry differs from the table (the selected one included).
    std::vector<int> unsavedParticipants() const;
    bool unsaved(int participant) const;
    // What row p shows: its typed entry while one is kept, else the table's.
    PenaltyRow shown(int participant) const;

private:
    struct TypedEntry {
        std::string value;
        std::string reasons;
    };
    void keepTyped();
    static bool differs(const PenaltyRow& row, const std::string& value,
                        const std::string& reasons);

    std::map<int, TypedEntry> m_typed;
    fs::path m_file;
    std::vector<PenaltyRow> m_rows;
    std::vector<std::string> m_notes;
    int m_selected = 0;
    std::string m_value;
    std::string m_reasons;
};

} // namespace cronovolta
