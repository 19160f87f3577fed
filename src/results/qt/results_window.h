#pragma once

#include "results/results_source.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableView;
class QVBoxLayout;

namespace cronovolta {

struct ResultsTexts;

// The visible rows of the classification list, with the row colours of the series.
class ClassificationTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ClassificationTableModel(const ResultsBrowser& browser, std::vector<int> colours,
                             QObject* parent = nullptr);

    // Re-reads the visible rows after a filtering.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const ResultsBrowser& m_browser;
    std::vector<int> m_colours;
    std::vector<int> m_rows;
    std::vector<QString> m_titles;
    std::vector<Qt::Alignment> m_alignments;
};

// What the results screen is opened on.
struct ResultsRequest {
    fs::path dataDir;
    int event = 0;
    ProgrammeType programmeType = ProgrammeType::Race;
    int activeSeriesNumber = 1;
    // The heat count of the running programme when opened while the heat panel shows.
    std::optional<int> heatPreset;
};

// `Resultats`: the classification of one programme of the open event, narrowed down by
// series, participant, lane, pass and heat, ranked by the chosen criterion.
class ResultsWindow : public QWidget {
    Q_OBJECT
public:
    ResultsWindow(EventFiles event, const ResultsRequest& request, QWidget* parent = nullptr);

    // Reads the event and opens the screen; a missing event is reported and gives nullptr.
    static ResultsWindow* open(const ResultsRequest& request, QWidget* parent = nullptr);

    const ResultsBrowser& browser() const { return *m_browser; }
    const EventFiles& event() const { return m_event; }
    QComboBox* filter(ResultsBrowser::Filter f) const { return m_filters[f]; }
    QTableView* list() const { return m_table; } // `LlistaVoltes`
    QPushButton* printButton(int index) const { return m_print[index]; }
    QLabel* problemsLabel() const { return m_problems; }
    void chooseCriterion(int criterion);
    // "(Esc) Tancar" and Escape.
    void closeScreen();

signals:
    // "&Imprimir" and "Imprimir &Quadrant": the printed reports take them.
    void printList();
    void printQuadrant(int heat);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The parts of the window; each fills the fields it owns.
    QGridLayout* buildFilters(const ResultsTexts& t);
    QGroupBox* buildCriteria(const ResultsTexts& t);
    void buildTable(QVBoxLayout* layout); // the list and the problems' line below it
    QHBoxLayout* buildButtons(const ResultsTexts& t);
    void filterChosen(ResultsBrowser::Filter f, int index);
    void showState();
    void fillFilters();

    EventFiles m_event;
    FileProblems m_fileProblems;
    std::unique_ptr<ResultsBrowser> m_browser;
    ClassificationTableModel* m_model = nullptr;
    QComboBox* m_filters[ResultsBrowser::kFilterCount] = {};
    QLabel* m_seriesLabel = nullptr;
    QButtonGroup* m_criteria = nullptr;
    QTableView* m_table = nullptr;
    QPushButton* m_print[2] = {};
    QLabel* m_problems = nullptr;
};

} // namespace cronovolta
