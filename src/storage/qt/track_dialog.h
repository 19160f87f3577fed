#pragma once

#include "storage/track_config.h"
#include "storage/ui_context.h"

#include <QDialog>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <vector>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QWidget;

namespace cronovolta {

class Asker;

struct TrackDialogOptions {
    fs::path file;          // the "PISTA.CFG" being edited
    QString eventName;      // the event whose copy is edited; empty for the data folder's file
    bool showSplit = false; // Shift was held while the dialog opened
    bool locked = false;    // heats of the event were run
};

// `TrackDialog`: the track configuration. Every field applies its rule when the
// organiser leaves it (or presses Enter), through the rules of storage/track_fields.h, and
// shows the corrected text.
class TrackDialog : public QDialog {
    Q_OBJECT
public:
    TrackDialog(UiContext& ui, Asker& asker, const TrackConfig& config, TrackDialogOptions options,
                QWidget* parent = nullptr);
    ~TrackDialog() override;

    const TrackConfig& workingCopy() const { return m_config; }
    // "&Gravar": applies the field being edited, writes the file; false (with a message)
    // when it cannot be written.
    bool save();
    // The warning was clicked: the order can be changed again, the lane count stays locked.
    void acknowledgeWarning();

    QLineEdit* orderBox(int position) const;
    QScrollArea* orderPanel() const { return m_orderPanel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* buildCircuits();
    QWidget* buildSplit();
    void addField(QGridLayout* grid, int row, int column, const char* label, QLineEdit*& field,
                  const char* name);
    void watchField(QLineEdit* field);
    void rebuildOrderBoxes();
    void showCircuits();
    void showSplitFields();
    void applyField(QLineEdit* field);
    void applyOrderBox(int position);
    void fieldReturn(QLineEdit* field);

    UiContext& m_ui;
    Asker& m_asker;
    TrackConfig m_config;
    TrackDialogOptions m_options;
    bool m_orderLocked = false;
    QLineEdit* m_lanes = nullptr;
    QLineEdit* m_minimum = nullptr;
    QLineEdit* m_largest = nullptr;
    QComboBox* m_circuitCount = nullptr;
    std::array<QGroupBox*, 4> m_circuitFrames{};
    std::array<QComboBox*, 4> m_ports{};
    std::array<QLineEdit*, 4> m_firstLanes{};
    QComboBox* m_split = nullptr;
    QLabel* m_splitLabel = nullptr;
    QGroupBox* m_splitFrame = nullptr;
    QLineEdit* m_partials = nullptr;
    QLineEdit* m_partialLane = nullptr;
    QLineEdit* m_speedLane = nullptr;
    QLineEdit* m_speedDistance = nullptr;
    QLabel* m_orderLabel = nullptr;
    QScrollArea* m_orderPanel = nullptr;
    QWidget* m_orderBoxes = nullptr;
    std::vector<QLineEdit*> m_order; // position 1..N at index 0..N-1
    std::vector<QLabel*> m_orderNumbers;
    QLabel* m_warning = nullptr;
    std::map<QLineEdit*, std::function<std::string(std::string_view)>> m_rules;
    bool m_applying = false;
};

} // namespace cronovolta
