#include "output/qt/lap_listing_window.h"

#include "storage/qt/localise.h"
#include "texts/grid_layout.h"
#include "texts/language_tables.h"
#include "texts/qt/asker.h"
#include "texts/qt/dialog_parts.h"
#include "texts/qt/screen_text.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

namespace cronovolta {
namespace {

LapListingSetup withTexts(LapListingSetup setup, int language) {
    setup.all = std::string(messageText(msgkey::kAll, language));
    setup.allLanes = std::string(messageText(msgkey::kAllFeminine, language));
    setup.language = language;
    return setup;
}

constexpr std::array<LapListing::Selector, 4> kSelectors = {
    LapListing::SeriesSelector, LapListing::ParticipantSelector, LapListing::LaneSelector,
    LapListing::HeatSelector};

} // namespace

LapListingTableModel::LapListingTableModel(const LapListing& listing, int language, QObject* parent)
    : QAbstractTableModel(parent), m_listing(listing) {
    const auto layout =
        tableText("LlistarVoltes", "LlistaVoltes", -1, TextProperty::Layout, language);
    for (const auto& column : parseGridLayout(layout)) {
        m_titles.push_back(qstr(column.title));
        m_alignments.push_back(toQt(column.alignment));
    }
    m_titles.resize(lapcol::Count);
    m_alignments.resize(lapcol::Count, Qt::AlignLeft | Qt::AlignVCenter);
}

void LapListingTableModel::refresh() {
    beginResetModel();
    m_rows.clear();
    const auto& rows = m_listing.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].visible) {
            m_rows.push_back(static_cast<int>(i));
        }
    }
    endResetModel();
}

int LapListingTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int LapListingTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : lapcol::Count;
}

QVariant LapListingTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::DisplayRole) {
        return qstr(
            m_listing.rows()[static_cast<std::size_t>(listingRow(index.row()))].cells[column]);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(m_alignments[column]);
    }
    return {};
}

QVariant LapListingTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= lapcol::Count) {
        return {};
    }
    const auto column = static_cast<std::size_t>(section);
    if (role == Qt::DisplayRole) {
        return m_titles[column];
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(m_alignments[column]);
    }
    return {};
}

LapListingWindow::LapListingWindow(LapListingSetup setup, const QString& title, UiContext& ui,
                                   Asker& asker, QWidget* parent)
    : QDialog(parent), m_listing(withTexts(std::move(setup), ui.language())), m_ui(ui),
      m_asker(asker) {
    setObjectName(QStringLiteral("LlistarVoltes"));
    auto* top = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    head->addLayout(buildFilters());
    head->addWidget(buildSortOptions());
    head->addLayout(buildCounters());
    head->addStretch();
    top->addLayout(head);
    buildGrid(top);

    localiseScreen(this, "LlistarVoltes", m_ui);
    setWindowTitle(windowTitle() + title);
    for (int c = 0; c < lapcol::Count; ++c) {
        const int width = kLapListingWidths[static_cast<std::size_t>(c)];
        m_grid->setColumnHidden(c, width == 0);
        m_grid->setColumnWidth(c, width * 4 / 45);
    }

    m_sorts->button(1)->setChecked(true);
    m_listing.load();
    connectControls();
    if (m_listing.onlyLaneSelector()) {
        for (int i : {0, 1, 3, 4}) {
            m_labels[static_cast<std::size_t>(i)]->hide();
            m_selectors[static_cast<std::size_t>(i)]->hide();
        }
    }
    m_labels[0]->setEnabled(m_listing.seriesSelectorEnabled());
    m_selectors[0]->setEnabled(m_listing.seriesSelectorEnabled());
    m_selectors[3]->setEnabled(false);
    showListing();
    resize(680, 600);
}

QGridLayout* LapListingWindow::buildFilters() {
    auto* filters = new QGridLayout;
    for (int i = 0; i <= 4; ++i) {
        m_labels[static_cast<std::size_t>(i)] = namedLabel(this, controlObjectName("Text", i));
        auto* combo = new QComboBox(this);
        combo->setObjectName(controlObjectName("Filtre", i));
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        combo->setMinimumContentsLength(i == 1 ? 18 : i == 2 ? 6 : 3);
        m_selectors[static_cast<std::size_t>(i)] = combo;
        filters->addWidget(m_labels[static_cast<std::size_t>(i)], 0, i);
        filters->addWidget(combo, 1, i);
    }
    return filters;
}

QGroupBox* LapListingWindow::buildSortOptions() {
    auto* order = new QGroupBox(this);
    order->setObjectName(QStringLiteral("Ordre"));
    auto* orderLayout = new QVBoxLayout(order);
    m_sorts = new QButtonGroup(this);
    for (int k = 1; k <= 3; ++k) {
        auto* option = new QRadioButton(order);
        option->setObjectName(controlObjectName("CriteriOrdre", k));
        m_sorts->addButton(option, k);
        orderLayout->addWidget(option);
    }
    return order;
}

QGridLayout* LapListingWindow::buildCounters() {
    auto* counters = new QGridLayout;
    for (int i = 0; i <= 3; ++i) {
        m_counters[static_cast<std::size_t>(i)] =
            namedLabel(this, controlObjectName("Contador", i));
    }
    counters->addWidget(m_counters[0], 0, 0);
    counters->addWidget(m_counters[1], 0, 1);
    counters->addWidget(m_counters[3], 1, 0);
    counters->addWidget(m_counters[2], 1, 1);
    m_counters[3]->installEventFilter(this);
    return counters;
}

void LapListingWindow::buildGrid(QVBoxLayout* top) {
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("LlistaVoltes"));
    m_model = new LapListingTableModel(m_listing, m_ui.language(), this);
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(250 / 15 + 4);
    top->addWidget(m_grid, 1);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    auto* close = new QPushButton(this);
    close->setObjectName(QStringLiteral("Sortir_0"));
    close->setAutoDefault(false);
    closeRow->addWidget(close);
    top->addLayout(closeRow);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void LapListingWindow::connectControls() {
    for (LapListing::Selector s : kSelectors) {
        connect(m_selectors[s], &QComboBox::activated, this, [this, s](int index) {
            m_listing.choose(s, index);
            showListing();
        });
    }
    connect(m_sorts, &QButtonGroup::idClicked, this, &LapListingWindow::chooseSort);
    connect(m_grid, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { assignFastest(index.row()); });
}

void LapListingWindow::chooseSort(int option) {
    m_listing.sortBy(option);
    showListing();
}

void LapListingWindow::showListing() {
    for (LapListing::Selector s : kSelectors) {
        QComboBox* combo = m_selectors[s];
        QSignalBlocker block(combo);
        combo->clear();
        for (const auto& entry : m_listing.entries(s)) {
            combo->addItem(qstr(entry));
        }
        combo->setCurrentIndex(m_listing.position(s));
    }
    m_sorts->button(m_listing.sortOption())->setChecked(true);
    m_counters[1]->setText(QString::number(m_listing.visibleCount()));
    m_counters[2]->setText(qstr(m_listing.startTime()));
    m_counters[2]->setVisible(m_listing.startTimeShown());

    m_model->refresh();

    // Damage of the lap file is told once, not again at every choice of the selectors.
    QStringList damage;
    for (const auto& problem : m_listing.problems()) {
        damage << qstr(problem);
    }
    const QString text = damage.join(QLatin1Char('\n'));
    if (!text.isEmpty() && text != m_damageTold) {
        m_damageTold = text;
        m_asker.message(this, message(m_ui, 0, msg::kErrorTitle), text);
    }
}

void LapListingWindow::assignFastest(int visibleRow) {
    if (!m_listing.canAssignFastest() || visibleRow < 0 || visibleRow >= m_model->rowCount()) {
        return;
    }
    const int row = m_model->listingRow(visibleRow);
    const auto& c = m_listing.rows()[static_cast<std::size_t>(row)].cells;
    const QString question = message(m_ui, msgkey::kAssignFastestStart) + qstr(c[lapcol::LapTime]) +
                             message(m_ui, msgkey::kAssignFastestAsLapOf) + qstr(c[lapcol::Name]) +
                             message(m_ui, msgkey::kAssignFastestOnLane) + qstr(c[lapcol::Lane]) +
                             QStringLiteral("?");
    if (!m_asker.yesNo(this, message(m_ui, msgkey::kAssignFastestTitle), question)) {
        return;
    }
    auto result = m_listing.assignFastest(row);
    if (!result) {
        m_asker.message(this, message(m_ui, 0, msg::kErrorTitle), qstr(result.error()));
        return;
    }
    emit corrected();
}

void LapListingWindow::writeDump() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto written = m_listing.writeDump();
    showListing();
    QApplication::restoreOverrideCursor();
    if (!written) {
        m_asker.message(this, message(m_ui, 0, msg::kErrorTitle), qstr(written.error()));
    }
}

bool LapListingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_counters[3] && event->type() == QEvent::MouseButtonDblClick) {
        writeDump();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace cronovolta
