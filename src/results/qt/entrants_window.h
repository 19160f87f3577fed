#pragma once

#include "results/entrants_model.h"

#include <QDialog>

#include <array>
#include <vector>

class QLabel;
class QLineEdit;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;
class QGridLayout;

namespace cronovolta {

// `EntrantsWindow` (the `Inscrits` screen): edits the general participant list, an event's entrants
// or a series' participants. "&Gravar" saves and closes; "(Esc) Tancar" and Escape close without
// saving.
class EntrantsWindow : public QDialog {
    Q_OBJECT
public:
    explicit EntrantsWindow(EntrantsModel model, QWidget* parent = nullptr);
    ~EntrantsWindow() override;

    // Opens the screen on the files of `ctx`; a list that cannot be read is reported in
    // a message box and nullptr comes back.
    static EntrantsWindow* open(const EntrantsContext& ctx, QWidget* parent = nullptr);

    const EntrantsModel& model() const { return m_model; }
    QLineEdit* countField() const { return m_count; } // `NPilots`
    QLabel* rangeLabel() const { return m_range; }
    QLabel* countLabel() const { return m_countLabel; }
    QLineEdit* nameField(int row) const; // `NomPista`(row), 1-based
    QLabel* orderLabel(int row) const;   // `NOrdre`(row)
    QTreeWidget* sourceList() const { return m_source; }

    // "&Gravar": true when saved (the screen then closes).
    bool save();

signals:
    void saved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSource(QGridLayout* grid);
    void fillSource();
    void syncRows();
    void addRowWidgets(int row);
    void applyCount();
    void focusRow(int row);
    void copySource(QTreeWidgetItem* item);

    EntrantsModel m_model;
    QLabel* m_countLabel = nullptr;
    QLineEdit* m_count = nullptr;
    QLabel* m_range = nullptr;
    QWidget* m_rowsPanel = nullptr;
    QGridLayout* m_rowsGrid = nullptr;
    std::vector<QLineEdit*> m_names;
    std::vector<std::array<QWidget*, 3>> m_rowWidgets; // order label, name, start lane label
    QLabel* m_sourceCaption = nullptr;
    QTreeWidget* m_source = nullptr;
    QRadioButton* m_byNumber = nullptr;
    QRadioButton* m_byName = nullptr;
};

} // namespace cronovolta
