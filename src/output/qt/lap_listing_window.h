#pragma once

#include "output/lap_listing.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <array>

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QTableView;
class QVBoxLayout;

namespace cronovolta {

class Asker;
struct UiContext;

// The visible rows of the lap listing, in its order.
class LapListingTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    LapListingTableModel(const LapListing& listing, int language, QObject* parent = nullptr);

    // Re-reads the visible rows; the listing row of a model row.
    void refresh();
    int listingRow(int row) const { return m_rows[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const LapListing& m_listing;
    std::vector<int> m_rows;
    std::vector<QString> m_titles;
    std::vector<Qt::Alignment> m_alignments;
};

// `LapListingWindow`: the lap listing of one heat. A double-click on a row makes its lap the
// fastest lap of its lane (while a programme is open); a double-click on the start-time
// caption writes "VLTAVLT.TXT". Escape or "(Esc) Tancar" closes it.
class LapListingWindow : public QDialog {
    Q_OBJECT
public:
    // `title`: what follows the window caption, " - event - Cursa".
    LapListingWindow(LapListingSetup setup, const QString& title, UiContext& ui, Asker& asker,
                     QWidget* parent = nullptr);

    const LapListing& listing() const { return m_listing; }
    QComboBox* selector(LapListing::Selector s) const { return m_selectors[s]; } // `Filtre`
    QTableView* grid() const { return m_grid; }                                  // `LlistaVoltes`
    const LapListingTableModel& rows() const { return *m_model; }
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
    // The parts of the window; each fills the fields it owns.
    QGridLayout* buildFilters();
    QGroupBox* buildSortOptions();
    QGridLayout* buildCounters();
    void buildGrid(QVBoxLayout* top); // the listing and the close button below it
    void connectControls();
    void showListing();

    LapListing m_listing;
    UiContext& m_ui;
    Asker& m_asker;
    std::array<QComboBox*, 5> m_selectors{};
    std::array<QLabel*, 5> m_labels{};
    std::array<QLabel*, 4> m_counters{};
    QButtonGroup* m_sorts = nullptr;
    QTableView* m_grid = nullptr;
    LapListingTableModel* m_model = nullptr;
    QString m_damageTold;
};

} // namespace cronovolta
