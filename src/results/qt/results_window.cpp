#include "results/qt/results_window.h"

#include "results/results_texts.h"
#include "storage/program_settings.h"
#include "texts/grid_layout.h"
#include "texts/qt/screen_text.h"

#include <QApplication>
#include <QButtonGroup>
#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

namespace cronovolta {
namespace {

// Column widths are given in twips of the 800 x 600 design; a little wider reads better
// with today's fonts.
int pixels(int twips) {
    return twips * 4 / 45;
}

constexpr int kRowHeight = 250; // twips of a visible row

bool shiftHeld() {
    return QApplication::keyboardModifiers() & Qt::ShiftModifier;
}

} // namespace

ClassificationTableModel::ClassificationTableModel(const ResultsBrowser& browser,
                                                   std::vector<int> colours, QObject* parent)
    : QAbstractTableModel(parent), m_browser(browser), m_colours(std::move(colours)) {
    for (const auto& col : parseGridLayout(resultsTexts(browser.setup().language).listLayout)) {
        m_titles.push_back(qstr(col.title));
        m_alignments.push_back(toQt(col.alignment));
    }
    m_titles.resize(kClassColumnCount);
    m_alignments.resize(kClassColumnCount, Qt::AlignLeft | Qt::AlignVCenter);
    refresh();
}

void ClassificationTableModel::refresh() {
    beginResetModel();
    m_rows = m_browser.visibleRows();
    endResetModel();
}

int ClassificationTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ClassificationTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kClassColumnCount;
}

QVariant ClassificationTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size())) {
        return {};
    }
    const auto& row =
        m_browser.list()
            .rows()[static_cast<std::size_t>(m_rows[static_cast<std::size_t>(index.row())])];
    switch (role) {
    case Qt::DisplayRole:
        return qstr(row.cells[static_cast<std::size_t>(index.column())]);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_alignments[static_cast<std::size_t>(index.column())]);
    case Qt::BackgroundRole:
        if (row.colourSlot > 0 && row.colourSlot <= static_cast<int>(m_colours.size())) {
            const Rgb c = qbColor(m_colours[static_cast<std::size_t>(row.colourSlot - 1)]);
            return QColor(c.r, c.g, c.b);
        }
        return {};
    default:
        return {};
    }
}

QVariant ClassificationTableModel::headerData(int section, Qt::Orientation orientation,
                                              int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kClassColumnCount) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return m_titles[static_cast<std::size_t>(section)];
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(m_alignments[static_cast<std::size_t>(section)]);
    }
    return {};
}

ResultsWindow::ResultsWindow(EventFiles event, const ResultsRequest& request, QWidget* parent)
    : QWidget(parent), m_event(std::move(event)),
      m_fileProblems(std::make_shared<std::vector<std::string>>()) {
    const auto& t = resultsTexts(m_event.language);
    const ProgrammeType programmeType =
        std::clamp(request.programmeType, ProgrammeType::Practice, ProgrammeType::Race);
    setObjectName(QStringLiteral("Resultats"));
    setWindowTitle(qstr(t.resultsCaption + " - " + m_event.eventName + " - " +
                        t.programmeCaptions[static_cast<std::size_t>(index(programmeType))]));
    m_browser = std::make_unique<ResultsBrowser>(makeResultsBrowser(
        m_event, programmeType, request.activeSeriesNumber, m_fileProblems, request.heatPreset));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buildFilters(t));
    layout->addWidget(buildCriteria(t));
    buildTable(layout);
    layout->addLayout(buildButtons(t));

    m_browser->open();
    fillFilters();
    showState();
    resize(900, 560);
}

QGridLayout* ResultsWindow::buildFilters(const ResultsTexts& t) {
    auto* filters = new QGridLayout;
    const std::string labels[] = {t.seriesLabel, t.participantLabel, t.laneLabel, t.passLabel,
                                  t.heatLabel};
    for (int f = 0; f < ResultsBrowser::kFilterCount; ++f) {
        auto* label = new QLabel(qstr(labels[f]), this);
        auto* combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("Filtre_%1").arg(f));
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        filters->addWidget(label, 0, f);
        filters->addWidget(combo, 1, f);
        m_filters[f] = combo;
        if (f == ResultsBrowser::kSeries) {
            m_seriesLabel = label;
        }
        const auto filter = static_cast<ResultsBrowser::Filter>(f);
        connect(combo, &QComboBox::activated, this,
                [this, filter](int index) { filterChosen(filter, index); });
    }
    m_filters[ResultsBrowser::kHeat]->setToolTip(qstr(t.heatTooltip));
    filters->setColumnStretch(1, 1);
    return filters;
}

QGroupBox* ResultsWindow::buildCriteria(const ResultsTexts& t) {
    auto* criteria = new QGroupBox(qstr(t.criterionLabel), this);
    auto* criteriaLayout = new QHBoxLayout(criteria);
    m_criteria = new QButtonGroup(this);
    for (int c = 1; c <= 4; ++c) {
        auto* option =
            new QRadioButton(qstr(t.criteria[static_cast<std::size_t>(c - 1)]), criteria);
        option->setObjectName(QStringLiteral("CriteriOrdre_%1").arg(c));
        m_criteria->addButton(option, c);
        criteriaLayout->addWidget(option);
    }
    connect(m_criteria, &QButtonGroup::idClicked, this, [this](int c) {
        m_browser->selectCriterion(c, shiftHeld());
        showState();
    });
    return criteria;
}

void ResultsWindow::buildTable(QVBoxLayout* layout) {
    m_model = new ClassificationTableModel(*m_browser, m_event.colours, this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("LlistaVoltes"));
    m_table->setModel(m_model);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(pixels(kRowHeight));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_table, 1);

    m_problems = new QLabel(this);
    m_problems->setWordWrap(true);
    m_problems->setStyleSheet(QStringLiteral("color: #a00000"));
    layout->addWidget(m_problems);
}

QHBoxLayout* ResultsWindow::buildButtons(const ResultsTexts& t) {
    auto* buttons = new QHBoxLayout;
    m_print[0] = new QPushButton(qstr(t.print), this);
    m_print[1] = new QPushButton(qstr(t.printQuadrant), this);
    auto* close = new QPushButton(qstr(t.close), this);
    m_print[0]->setObjectName(QStringLiteral("Imprimir_0"));
    m_print[1]->setObjectName(QStringLiteral("Imprimir_1"));
    close->setObjectName(QStringLiteral("Sortir_0"));
    buttons->addWidget(m_print[0]);
    buttons->addWidget(m_print[1]);
    buttons->addStretch();
    buttons->addWidget(close);
    connect(m_print[0], &QPushButton::clicked, this, &ResultsWindow::printList);
    connect(m_print[1], &QPushButton::clicked, this,
            [this] { emit printQuadrant(m_browser->selectedHeat()); });
    connect(close, &QPushButton::clicked, this, &ResultsWindow::closeScreen);
    return buttons;
}

ResultsWindow* ResultsWindow::open(const ResultsRequest& request, QWidget* parent) {
    auto event = openEventFiles(request.dataDir, request.event);
    if (!event) {
        QMessageBox::warning(parent, QStringLiteral("Error"), qstr(event.error()));
        return nullptr;
    }
    auto* window = new ResultsWindow(std::move(*event), request, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    return window;
}

void ResultsWindow::chooseCriterion(int criterion) {
    if (auto* option = m_criteria->button(criterion)) {
        option->click();
    }
}

void ResultsWindow::filterChosen(ResultsBrowser::Filter f, int index) {
    const bool shift = shiftHeld();
    switch (f) {
    case ResultsBrowser::kSeries:
        m_fileProblems->clear();
        m_browser->selectSeries(index, shift);
        fillFilters();
        break;
    case ResultsBrowser::kParticipant:
        m_browser->selectParticipant(index, shift);
        break;
    case ResultsBrowser::kLane:
        m_browser->selectLane(index, shift);
        break;
    case ResultsBrowser::kPass:
        m_browser->selectPass(index, shift);
        break;
    default:
        m_browser->selectHeat(index, shift);
        break;
    }
    showState();
}

void ResultsWindow::fillFilters() {
    for (int f = 0; f < ResultsBrowser::kFilterCount; ++f) {
        const auto filter = static_cast<ResultsBrowser::Filter>(f);
        QComboBox* combo = m_filters[f];
        const QSignalBlocker block(combo);
        combo->clear();
        for (const auto& entry : m_browser->entries(filter)) {
            combo->addItem(qstr(entry));
        }
        combo->setCurrentIndex(m_browser->selected(filter));
    }
    const bool several = m_browser->seriesFilterEnabled();
    m_filters[ResultsBrowser::kSeries]->setEnabled(several);
    m_seriesLabel->setEnabled(several);
}

void ResultsWindow::showState() {
    m_model->refresh();
    const auto& list = m_browser->list();
    for (int c = 0; c < kClassColumnCount; ++c) {
        const int width = list.columnWidth(c);
        m_table->setColumnHidden(c, width == 0);
        if (width > 0) {
            m_table->setColumnWidth(c, pixels(width));
        }
    }
    if (auto* option = m_criteria->button(m_browser->criterion())) {
        const QSignalBlocker block(m_criteria);
        option->setChecked(true);
    }
    m_print[1]->setEnabled(m_browser->quadrantEnabled());
    QStringList problems;
    for (const auto& p : m_event.problems) {
        problems << qstr(p);
    }
    for (const auto& p : describeProblems(*m_browser, *m_fileProblems, m_event.language)) {
        problems << qstr(p);
    }
    m_problems->setText(problems.join(QLatin1Char('\n')));
    m_problems->setVisible(!problems.isEmpty());
}

// In the main window's document area the frame goes too, not only the screen inside it.
void ResultsWindow::closeScreen() {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        frame->close();
        return;
    }
    close();
}

void ResultsWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        closeScreen();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace cronovolta
