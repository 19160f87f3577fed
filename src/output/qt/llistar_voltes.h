#pragma once

#include "output/lap_listing.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QComboBox;
class QLabel;
class QTableWidget;

namespace cronovolta {

class Asker;
struct UiContext;

// `LlistarVoltes`: the lap listing of one heat. A double-click on a row makes its lap the
// fastest lap of its lane (while a programme is open); a double-click on the start-time
// caption writes "VLTAVLT.TXT". Escape or "(Esc) Tancar" closes it.
class LlistarVoltes : public QDialog {
    Q_OBJECT
public:
    // `title`: what follows the window caption, " - event - Cursa".
    LlistarVoltes(LapListingSetup setup, const QString& title, UiContext& ui, Asker& asker,
                  QWidget* parent = nullptr);

    const LapListing& listing() const { return m_listing; }
    QComboBox* selector(LapListing::Selector s) const { return m_selectors[s]; } // `Filtre`
    QTableWidget* grid() const { return m_grid; }                                // `LlistaVoltes`
    QLabel* counter(int index) const { return m_counters[static_cast<std::size_t>(index)]; }
    void chooseSort(int option);
    // Double-click on a visible row (0-based among the rows shown).
    void assignFastest(int visibleRow);
    // Double-click on `Contador` 3.
    void writeDump();

signals:
    // A lap became a fastest lap: the series' heats were recomputed.
    void corrected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showListing();

    LapListing m_listing;
    UiContext& m_ui;
    Asker& m_asker;
    std::array<QComboBox*, 5> m_selectors{};
    std::array<QLabel*, 5> m_labels{};
    std::array<QLabel*, 4> m_counters{};
    QButtonGroup* m_sorts = nullptr;
    QTableWidget* m_grid = nullptr;
    std::vector<int> m_shown; // grid row -> listing row
};

} // namespace cronovolta
