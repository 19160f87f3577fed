#pragma once

#include "heat/lap_lanes.h"
#include "heat/standings_grid.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QScrollBar;

namespace cronovolta {

// `Llista`: one lane's laps under a fixed row with the lap count. Painted by hand: a heat
// of 64 lanes adds hundreds of rows, and a crossing must repaint only its own lane.
class LaneGrid : public QAbstractScrollArea {
public:
    explicit LaneGrid(QWidget* parent = nullptr);

    void setColours(const QColor& background, const QColor& highlight);
    void setMetrics(const QFont& font, int rowHeight);
    // Rows as the model holds them (row 0 the count); returns false when nothing changed.
    bool setRows(const LanePanel& panel);

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    QString rowText(int row) const;
    bool highlighted(int row) const;
    // First lap row (from 1) in view below the count.
    int firstVisibleRow() const;
    int visibleRows() const;
    // The font a row's text is drawn in: the grid's, smaller where the text would not fit.
    QFont fontFor(const QString& text) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateScrollRange();
    void fitLapFont();

    std::vector<std::string> m_source;
    std::vector<QString> m_rows;
    std::vector<bool> m_highlight;
    int m_topRow = 1;
    int m_rowHeight = 20;
    QFont m_lapFont; // fits a lap of up to 99.9999 s
    QColor m_background = Qt::white;
    QColor m_highlightColour = Qt::green;
};

// `VoltaaVolta`: one panel per lane (title, driver, laps, fastest lap), laid out by the
// lane count: up to ten panels a row, two rows in view and a scroll bar beyond. It shows
// the heat engine's lanes model and passes every key to the heat keys.
class LapByLapView : public QWidget {
    Q_OBJECT
public:
    explicit LapByLapView(QWidget* parent = nullptr);

    // Colour slots of the program settings: slot 2 paints the fastest laps.
    void setColourSlots(const ColourSlots& colourSlots);
    // Shows the model: lays the panels out when the lanes changed, otherwise updates only
    // the panels whose content changed.
    void sync(const LapLanes& lanes);

    const LanesLayout& panelLayout() const { return m_layout; }
    int highestLane() const { return static_cast<int>(m_lanes.size()) - 1; }
    int shownPanels() const;
    QLabel* title(int lane) const { return at(lane).title; }        // `Titol`
    QLineEdit* pilot(int lane) const { return at(lane).pilot; }     // `Pilot`
    LaneGrid* laps(int lane) const { return at(lane).grid; }        // `Llista`
    QLabel* fastestLap(int lane) const { return at(lane).fastest; } // `VRapida`
    QLabel* flag() const { return m_flag; }                         // `Bandera`
    QScrollBar* scrollBar() const { return m_bar; }                 // `Barra`
    QWidget* panelArea() const { return m_area; }                   // `RecuadreMobil`
    // Panels repainted by the last sync (a measure of how incremental it was).
    int lastSyncUpdates() const { return m_lastUpdates; }

signals:
    void heatKey(int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct LaneWidgets {
        QLabel* title = nullptr;
        QLineEdit* pilot = nullptr;
        LaneGrid* grid = nullptr;
        QLabel* fastest = nullptr;
        LanePanel shown;
        std::optional<QFont> flaggedTitleFont; // "Pista N" beside the flag
    };

    const LaneWidgets& at(int lane) const { return m_lanes.at(static_cast<std::size_t>(lane)); }
    bool sameArrangement(const LapLanes& lanes) const;
    void rebuild(const LapLanes& lanes);
    void placePanels();
    void placeFlag();
    void moveArea();
    bool syncLane(LaneWidgets& w, const LanePanel& panel);
    void paintDriver(LaneWidgets& w, const LanePanel& panel);
    void fitDriver(LaneWidgets& w) const;

    std::vector<LaneWidgets> m_lanes; // index = lane number, 0 unused
    LanesLayout m_layout;
    QFont m_driverFont; // the names' font before fitting each name into its field
    ColourSlots m_colours;
    QWidget* m_area = nullptr;
    QScrollBar* m_bar = nullptr;
    QLabel* m_flag = nullptr;
    int m_flagLane = 0;
    int m_modelScroll = 1;
    int m_lastUpdates = 0;
};

} // namespace cronovolta
