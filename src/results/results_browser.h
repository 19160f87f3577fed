#pragma once

#include "results/classification.h"
#include "storage/event_files.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cronovolta {

// Reads what one series of the browsed programme contributes (its lists and heats).
using SeriesLoader = std::function<SeriesData(int seriesNumber)>;

struct BrowserSetup {
    ProgrammeType programmeType = ProgrammeType::Race;
    int seriesCount = 1;
    int activeSeriesNumber = 1; // its rows are coloured apart when several series are shown
    int language = 0;
    TrackConfig track;
    // The heat count of the running programme when the screen opens while the heat panel
    // is shown: the heat filter starts on that heat, once.
    std::optional<int> heatPreset;
};

// The results browser: the classification of the browsed programme narrowed down by
// series, participant, lane, pass and heat. Every user action filters once.
class ResultsBrowser {
public:
    enum Filter { kSeries = 0, kParticipant, kLane, kPass, kHeat, kFilterCount };

    ResultsBrowser(BrowserSetup setup, SeriesLoader loader);

    // Fills the series filter, checks the default criterion and shows all series.
    void open();

    // `shift`: the Shift key is held, which matches participants by name.
    void selectSeries(int index, bool shift = false);
    void selectParticipant(int index, bool shift = false);
    void selectLane(int index, bool shift = false);
    void selectPass(int index, bool shift = false);
    void selectHeat(int index, bool shift = false);
    // The rows of exactly the participants' heat `heat`, also when it is the filter's last
    // entry: what a report titled with that heat shows.
    void selectExactHeat(int heat, bool shift = false);
    void selectCriterion(int criterion, bool shift = false);

    const std::vector<std::string>& entries(Filter f) const { return m_entries[f]; }
    int selected(Filter f) const { return m_selected[f]; }
    // The hidden series and participant numbers of the participant filter's entries.
    const std::vector<int>& seriesOfEntries() const { return m_seriesOfEntries; }
    const std::vector<int>& numberOfEntries() const { return m_numberOfEntries; }

    bool seriesFilterEnabled() const { return m_setup.seriesCount > 1; }
    int criterion() const { return m_criterion; }
    const Classification& list() const { return m_list; }
    // Indexes into list().rows() of the visible rows, top to bottom.
    std::vector<int> visibleRows() const;
    // "Imprimir Quadrant" applies: the criterion of the programme's quadrant and one heat
    // of every participant.
    bool quadrantEnabled() const { return m_quadrantEnabled; }
    // Heat number shown by the quadrant print (the heat filter's entry).
    int selectedHeat() const;
    int filterRuns() const { return m_filterRuns; }
    const BrowserSetup& setup() const { return m_setup; }

private:
    void load();
    void filter(bool shift);
    bool rowVisible(const ClassificationRow& row, bool shift) const;
    int selectedNumber(Filter f) const;

    BrowserSetup m_setup;
    SeriesLoader m_loader;
    Classification m_list;
    std::vector<std::string> m_entries[kFilterCount];
    int m_selected[kFilterCount] = {0, 0, 0, 0, 0};
    std::vector<int> m_seriesOfEntries;
    std::vector<int> m_numberOfEntries;
    std::vector<int> m_laneNumbers; // entry i (i >= 1) of the lane filter
    std::vector<int> m_passNumbers;
    int m_criterion = kTotalLaps;
    bool m_quadrantEnabled = false;
    bool m_presetUsed = false;
    bool m_exactHeat = false;
    int m_filterRuns = 0;
};

// Names compared as the participant filter does under Shift: ignoring case and the
// blanks around them.
bool sameParticipantName(const std::string& a, const std::string& b);
// The name trimmed and in lower case (Windows-1252 bytes), for comparing and sorting.
std::string foldedName(const std::string& name);

} // namespace cronovolta
