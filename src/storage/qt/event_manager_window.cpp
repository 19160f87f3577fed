#include "storage/qt/event_manager_window.h"

#include "storage/event_manager.h"
#include "storage/participant_list.h"
#include "storage/qt/event_lists.h"
#include "storage/qt/localise.h"
#include "storage/qt/new_event_dialog.h"
#include "texts/qt/asker.h"
#include "texts/qt/dialog_parts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace cronovolta {

namespace {

QListWidget* list(QWidget* parent, const char* name) {
    auto* l = new QListWidget(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    return l;
}

QLabel* label(QWidget* parent, int index) {
    return namedLabel(parent, QStringLiteral("Text_%1").arg(index));
}

} // namespace

EventManagerWindow::EventManagerWindow(UiContext& ui, Asker& asker, QWidget* parent,
                                       FileScreen fileScreen)
    : QDialog(parent), m_ui(ui), m_asker(asker), m_fileScreen(std::move(fileScreen)) {
    setObjectName(QStringLiteral("GestorProves"));
    build();
    localiseScreen(this, "GestorProves", m_ui);
    // The programme names must show whole.
    m_programmes->setMinimumWidth(m_programmes->sizeHintForColumn(0) +
                                  2 * m_programmes->frameWidth() + 8);
    m_programmes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_series->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 30);
    loadEvents();
    const int active = m_ui.app.activeSelection.event - 1;
    selectEvent(active >= 0 && active < m_events->count() ? active : m_events->count() - 1);
}

void EventManagerWindow::build() {
    auto* grid = new QGridLayout(this);
    grid->addWidget(label(this, 0), 0, 0);
    grid->addWidget(label(this, 4), 0, 1);
    m_events = list(this, "LlProves");
    m_dates = list(this, "Data");
    grid->addWidget(m_events, 1, 0);
    grid->addWidget(m_dates, 1, 1);

    auto* middle = new QGridLayout;
    middle->addWidget(label(this, 6), 0, 0);
    m_programmes = list(this, "NPrgr");
    m_programmes->addItems({QString(), QString(), QString()});
    middle->addWidget(m_programmes, 1, 0);
    middle->addWidget(label(this, 1), 0, 1);
    m_series = list(this, "LlSeries");
    middle->addWidget(m_series, 1, 1);
    m_seriesCount = label(this, 2);
    m_heatCount = label(this, 3);
    middle->addWidget(m_seriesCount, 2, 0);
    middle->addWidget(m_heatCount, 2, 1);
    grid->addLayout(middle, 1, 2);
    grid->addWidget(label(this, 5), 0, 3);
    m_files = list(this, "Fitxers");
    m_files->setSelectionMode(QAbstractItemView::NoSelection);
    grid->addWidget(m_files, 1, 3);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(3, 2);

    auto* buttons = new QHBoxLayout;
    for (int i : {2, 3, 4, 5, 7, 0}) {
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("Sortir_%1").arg(i));
        b->setAutoDefault(false);
        m_buttons[i] = b;
        if (i == 0) {
            buttons->addStretch();
        }
        buttons->addWidget(b);
    }
    grid->addLayout(buttons, 2, 0, 1, 4);

    connect(m_buttons[0], &QPushButton::clicked, this, &QDialog::reject);
    connect(m_buttons[2], &QPushButton::clicked, this, &EventManagerWindow::deleteEvent);
    connect(m_buttons[3], &QPushButton::clicked, this, &EventManagerWindow::modifyEvent);
    connect(m_buttons[4], &QPushButton::clicked, this, &EventManagerWindow::deleteSeries);
    connect(m_buttons[5], &QPushButton::clicked, this,
            [this] { archive(FileScreenMode::Archive); });
    connect(m_buttons[7], &QPushButton::clicked, this,
            [this] { archive(FileScreenMode::Unarchive); });
    pairEventLists(m_events, m_dates, [this](int row) { selectEvent(row); });
    connect(m_programmes, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_syncing) {
            selectProgramme(row);
        }
    });
    connect(m_series, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_syncing) {
            selectSeries(row);
        }
    });
}

void EventManagerWindow::loadEvents() {
    fillEventLists(m_events, m_dates, {});
    auto catalog = loadCatalog(m_ui.app.dataDir);
    if (!catalog) {
        showError(QString::fromStdString(catalog.error()));
        return;
    }
    fillEventLists(m_events, m_dates, catalog->entries);
}

void EventManagerWindow::showError(const QString& text) {
    m_asker.message(this, message(m_ui, 0, msg::kErrorTitle),
                    problemText(m_ui, text.toStdString()));
}

void EventManagerWindow::refreshButtons() {
    const bool any = m_events->count() > 0;
    for (QWidget* w : {static_cast<QWidget*>(m_events), static_cast<QWidget*>(m_dates),
                       static_cast<QWidget*>(m_programmes)}) {
        w->setEnabled(any);
    }
    for (int i = 2; i <= 5; ++i) {
        m_buttons[i]->setEnabled(any);
    }
    if (!any) {
        m_series->clear();
        m_series->setEnabled(false);
        m_seriesCount->clear();
        m_heatCount->clear();
        m_files->clear();
    }
}

void EventManagerWindow::selectEvent(int index) {
    selectEventRow(m_events, m_dates, index);
    m_files->clear();
    m_counts = {};
    if (index >= 0 && index < m_events->count()) {
        const fs::path folder = eventFolder(m_ui.app.dataDir, index + 1);
        if (auto read = readEventHeader(folder / kEventHeaderFileName); read) {
            m_counts = read->header.seriesCounts;
        } else {
            showError(QString::fromStdString(read.error()));
        }
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(folder, ec)) {
            if (entry.is_regular_file(ec)) {
                names.push_back(entry.path().filename().string());
            }
        }
        std::ranges::sort(names);
        for (const std::string& name : names) {
            m_files->addItem(QString::fromStdString(name));
        }
        m_syncing = true;
        m_programmes->setCurrentRow(2);
        m_syncing = false;
        selectProgramme(2);
    }
    refreshButtons();
}

ProgrammeType EventManagerWindow::selectedProgramme() const {
    return static_cast<ProgrammeType>(m_programmes->currentRow() + 2);
}

void EventManagerWindow::selectProgramme(int row) {
    if (row < 0 || row > 2) {
        return;
    }
    const int count = std::max<int>(0, m_counts[static_cast<std::size_t>(row + 1)]);
    m_syncing = true;
    m_series->clear();
    for (int s = 1; s <= count; ++s) {
        m_series->addItem(QString::number(s));
    }
    m_syncing = false;
    m_seriesCount->setText(
        QStringLiteral("%1 %2").arg(count).arg(message(m_ui, 3, msg::kSeriesWord)));
    const bool any = count >= 1;
    m_series->setEnabled(any);
    findChild<QLabel*>(QStringLiteral("Text_1"))->setEnabled(any);
    m_heatCount->setEnabled(any);
    m_buttons[4]->setEnabled(any);
    if (any) {
        m_series->setCurrentRow(0);
        selectSeries(0);
    } else {
        m_heatCount->clear();
    }
}

void EventManagerWindow::selectSeries(int row) {
    const int event = m_events->currentRow() + 1;
    if (row < 0 || event < 1) {
        return;
    }
    const fs::path file =
        eventFolder(m_ui.app.dataDir, event) / seriesFileName(selectedProgramme(), row + 1, ".PAR");
    int heats = 0;
    if (auto participants = readParticipantList(file); participants) {
        heats = participants->heatsDone;
    }
    m_heatCount->setText(QStringLiteral("%1 %2").arg(heats).arg(message(m_ui, 3, msg::kHeatsWord)));
}

void EventManagerWindow::deleteEvent() {
    const int index = m_events->currentRow();
    if (index < 0) {
        return;
    }
    if (!m_asker.yesNo(this, m_events->item(index)->text().trimmed(),
                       message(m_ui, 3, msg::kDeleteEventQuestion))) {
        return;
    }
    EventManager manager(m_ui.app.dataDir);
    const auto deleted = manager.deleteEvent(index + 1);
    if (!deleted) {
        showError(QString::fromStdString(deleted.error().message));
        return;
    }
    if (!deleted->empty()) {
        showError(QString::fromStdString(*deleted));
    }
    removeEventRow(m_events, m_dates, index);
    selectEvent(std::min(index, m_events->count() - 1));
}

void EventManagerWindow::modifyEvent() {
    const int index = m_events->currentRow();
    if (index < 0) {
        return;
    }
    const int seriesRow = m_series->currentRow();
    const int programmeRow = m_programmes->currentRow();
    NewEventDialog dialog(m_ui, m_asker, this, index + 1, m_events->item(index)->text(),
                          m_dates->item(index)->text());
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (!accepted) {
        return;
    }
    EventManager manager(m_ui.app.dataDir);
    if (auto changed = manager.modifyEvent(index + 1, dialog.name().toStdString(),
                                           dialog.date().toStdString());
        !changed) {
        showError(QString::fromStdString(changed.error().message));
        return;
    }
    m_events->item(index)->setText(dialog.name());
    m_dates->item(index)->setText(dialog.date());
    selectEvent(index);
    m_programmes->setCurrentRow(programmeRow);
    m_series->setCurrentRow(seriesRow);
}

void EventManagerWindow::deleteSeries() {
    const int event = m_events->currentRow() + 1;
    const int row = m_series->currentRow();
    if (event < 1 || row < 0) {
        return;
    }
    const ProgrammeType programmeType = selectedProgramme();
    const QString title =
        tableString(m_ui, "Portada", "TextSerie", 1) + QLatin1Char(' ') + QString::number(row + 1);
    if (!m_asker.yesNo(this, title, message(m_ui, 3, msg::kDeleteSeriesQuestion))) {
        return;
    }
    EventManager manager(m_ui.app.dataDir);
    const auto deleted = manager.deleteSeries(event, programmeType, row + 1);
    if (!deleted) {
        showError(QString::fromStdString(deleted.error().message));
        return;
    }
    if (!deleted->empty()) {
        showError(QString::fromStdString(*deleted));
    }
    const int programmeRow = m_programmes->currentRow();
    selectEvent(event - 1);
    m_programmes->setCurrentRow(programmeRow);
}

void EventManagerWindow::archive(FileScreenMode mode) {
    if (!m_fileScreen) {
        m_asker.message(this, windowTitle(), message(m_ui, 0, msg::kNotAvailableYet));
        return;
    }
    const int before = m_events->count();
    const bool done = m_fileScreen(this, mode);
    const bool unarchived = mode == FileScreenMode::Unarchive && done;
    if (!unarchived) {
        return;
    }
    const fs::path folder = eventFolder(m_ui.app.dataDir, before + 1);
    if (auto read = readEventHeader(folder / kEventHeaderFileName); read) {
        appendEventRow(m_events, m_dates, {read->header.name, read->header.date});
        selectEvent(m_events->count() - 1);
    } else {
        showError(QString::fromStdString(read.error()));
    }
}

} // namespace cronovolta
