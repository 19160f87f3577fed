#pragma once

#include "heat/standings_grid.h"
#include "heat/standings_layout.h"
#include "heat/super_pole.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QFont>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QHBoxLayout;
class QLabel;
class QTableView;
class QTableWidget;

namespace cronovolta {

class MessageTable;

// `InfoClass` as a table model: a copy of the texts and colours shown, refreshed row by
// row so that a crossing repaints only the rows that changed or moved.
class StandingsTableModel : public QAbstractTableModel {
public:
    explicit StandingsTableModel(QObject* parent = nullptr);

    void setFonts(const QFont& normal, const QFont& bold, int markerHeight);
    // Per column, the heading's font: the bold font, smaller where the heading would be cut.
    void setHeadingFonts(std::vector<QFont> fonts) { m_headingFonts = std::move(fonts); }
    // Returns the number of rows that changed.
    int sync(const StandingsGrid& grid, const std::vector<std::string>& headings);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    QString text(int row, int column) const; // row from 0
    int colour(int row, int column) const;   // QBColor
    bool marker(int row) const;

private:
    struct RowView {
        std::array<std::string, col::Count> source;
        std::array<QString, col::Count> text;
        std::array<int, col::Count> colour{};
        bool marker = false;
    };

    static bool fill(RowView& view, const StandingsGrid& grid, int row);

    std::vector<RowView> m_rows;
    std::vector<std::string> m_headingSource;
    QStringList m_headings;
    QFont m_font;
    QFont m_bold;
    std::vector<QFont> m_headingFonts;
    QPixmap m_marker;
};

// Paints the cells of the standings grid, each look (column, text, colour, marker, size)
// drawn once and then copied: a crossing moves many rows at once, but the cells they show
// recur. Fonts, alignment and text colour follow from the column; forget() when the fonts
// change.
class StandingsCells : public QStyledItemDelegate {
public:
    StandingsCells(const StandingsTableModel& model, QObject* parent = nullptr);
    void forget();
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    struct Look {
        int column = 0;
        int colour = 0;
        bool marker = false;
        int state = 0;
        QSize size;
        qreal ratio = 1.0;
        QString text;

        bool operator==(const Look&) const = default;
        friend size_t qHash(const Look& look, size_t seed = 0) {
            return qHashMulti(seed, look.column, look.colour, look.marker, look.state,
                              look.size.width(), look.size.height(), look.text);
        }
    };

    static constexpr int kPictureCacheKb = 16 * 1024;
    const StandingsTableModel& m_model;
    mutable QCache<Look, QPixmap> m_pictures;
};

// `Circuit`: the track picture of the Super Pole with the pictures of the sectors drawn
// over it.
class TrackPicture : public QWidget {
public:
    explicit TrackPicture(QWidget* parent = nullptr);
    void setImages(const std::array<fs::path, 4>& images);
    bool hasImage(int i) const { return !m_pixmaps.at(static_cast<std::size_t>(i)).isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<fs::path, 4> m_paths;
    std::array<QPixmap, 4> m_pixmaps;
};

struct StandingsSetup {
    ProgrammeType programmeType = ProgrammeType::Race;
    int participants = 0;
    int language = 0;
    MessageTable* messages = nullptr; // gets the window's column when given
    ColourSlots colours;
    QString title;
    bool infoShown = false;
};

// What the window shows; the heat engine owns it all.
struct StandingsFrame {
    const StandingsGrid* grid = nullptr;
    const std::vector<std::string>* headings = nullptr;
    const AbsoluteFastestLap* absolute = nullptr;
    const SuperPoleModel* superPole = nullptr;
    int heat = 0;
    std::string clock;
    bool heatRunning = false;
};

// `Classificacio`: the big standings display of the series while its heats are run, with
// the colour legend, the information panel and the Super Pole displays. Every key goes to
// the heat keys; the space bar also shows or hides the information panel.
class StandingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit StandingsWindow(QWidget* parent = nullptr);
    ~StandingsWindow() override;

    void open(const StandingsSetup& setup);
    // Shows the frame; only rows and cells that changed are repainted.
    void sync(const StandingsFrame& frame);

    bool infoShown() const;
    void setInfoShown(bool shown);
    // The double-click switch between the last-lap and the fastest-lap column.
    bool showingFastest() const { return m_showFastest; }
    void toggleLapColumns();

    ProgrammeType programmeType() const { return m_setup.programmeType; }
    QTableView* grid() const { return m_grid; } // `InfoClass`
    const StandingsTableModel* gridModel() const { return m_model; }
    int rowHeight() const;
    // Rows repainted by the last sync.
    int lastSyncRows() const { return m_lastSyncRows; }
    QWidget* infoPanel() const { return m_infos; } // `Infos`
    QLabel* legend(int i) const { return m_legend.at(static_cast<std::size_t>(i)); }
    QWidget* superPolePanel() const { return m_superPole; }
    QLabel* nextDriver() const { return m_nextDriver; } // `MarcSPP`
    QLabel* onTrack() const { return m_onTrack; }       // `EnPista`
    QTableWidget* runs() const { return m_runs; }
    QTableWidget* splits() const { return m_splits; } // `LlistaTR`
    QTableWidget* bestSectors() const { return m_best; }
    QTableWidget* reference() const { return m_reference; }             // `Ref`
    QTableWidget* absoluteFastest() const { return m_fastestLapTable; } // `TaulaVR`
    TrackPicture* trackPicture() const { return m_track; }              // `Circuit`

signals:
    void heatKey(int key);
    void infoShownChanged(bool shown);
    // A double click outside the cells while no heat runs.
    void resultsRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The parts of the window; each fills the fields it owns.
    void buildGrid();
    void buildInfoBar();
    QHBoxLayout* buildLegend();
    void buildSuperPolePanel();
    void applyColumns();
    void fitHeadings();
    void applySizes();
    void syncInfo(const StandingsFrame& frame);
    void syncSuperPole(const SuperPoleModel& model);
    QStringList runHeadings() const;
    void gridDoubleClicked(const QPoint& pos);

    StandingsSetup m_setup;
    StandingsTableModel* m_model = nullptr;
    StandingsCells* m_cells = nullptr;
    QTableView* m_grid = nullptr;
    QWidget* m_infos = nullptr;
    QLabel* m_heatLabel = nullptr;
    QLabel* m_clock = nullptr;
    QTableWidget* m_fastestLapTable = nullptr;
    std::array<QLabel*, 3> m_legend{};
    QWidget* m_superPole = nullptr;
    QLabel* m_nextDriver = nullptr;
    QLabel* m_onTrack = nullptr;
    QTableWidget* m_runs = nullptr;
    QTableWidget* m_splits = nullptr;
    QTableWidget* m_best = nullptr;
    QTableWidget* m_reference = nullptr;
    TrackPicture* m_track = nullptr;
    QString m_heatCaption;
    bool m_showFastest = false;
    bool m_heatRunning = false;
    int m_lastSyncRows = 0;
    int m_topRow = 0;
};

} // namespace cronovolta
