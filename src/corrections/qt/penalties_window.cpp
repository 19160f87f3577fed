#include "corrections/qt/penalties_window.h"

#include "storage/qt/localise.h"
#include "texts/qt/asker.h"
#include "texts/qt/dialog_parts.h"
#include "texts/qt/screen_text.h"

#include <QColor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace cronovolta {
namespace {

// Column widths of the table, from twips of the 800 x 600 design.
constexpr int kWidths[] = {1500, 500, 4500};

} // namespace

PenaltiesWindow::PenaltiesWindow(PenaltiesModel model, const QString& title, UiContext& ui,
                                 Asker& asker, QWidget* parent)
    : QDialog(parent), m_model(std::move(model)), m_ui(ui), m_asker(asker) {
    setObjectName(QStringLiteral("Penalitzacions"));
    auto* top = new QVBoxLayout(this);
    top->addLayout(buildFields());
    top->addWidget(buildTable(), 1);
    // Saving keeps the screen open: the close button stays, "&Gravar" only writes.
    QHBoxLayout* buttons = closeButtons(this, [this] {
        save();
        return false;
    });
    top->addLayout(buttons);

    localiseScreen(this, "Penalitzacions", m_ui);
    setWindowTitle(windowTitle() + title);
    sizeColumns();
    fillTable();
    if (auto* saveButton = findChild<QPushButton*>(QStringLiteral("Sortir_1"))) {
        saveButton->setEnabled(m_model.saveEnabled());
    }
    m_value->setText(qstr(m_model.value()));
    m_reasons->setText(qstr(m_model.reasons()));
    connectFields();
    if (m_model.selected() >= 1) {
        m_list->setCurrentRow(m_model.selected() - 1);
    }
    resize(760, 560);
    if (!m_model.notes().empty()) {
        QStringList lines;
        for (const auto& note : m_model.notes()) {
            lines << qstr(note);
        }
        m_asker.message(this, windowTitle(), lines.join(QLatin1Char('\n')));
    }
}

QGridLayout* PenaltiesWindow::buildFields() {
    auto* fields = new QGridLayout;
    fields->addWidget(namedLabel(this, QStringLiteral("TextParticipant")), 0, 0);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("Participant"));
    for (int p = 1; p <= m_model.participants(); ++p) {
        m_list->addItem(qstr(m_model.row(p).name));
    }
    fields->addWidget(m_list, 1, 0, 4, 1);
    fields->addWidget(namedLabel(this, QStringLiteral("TextValor")), 0, 1);
    m_value = new QLineEdit(this);
    m_value->setObjectName(QStringLiteral("Valor"));
    fitNumberBox(m_value);
    fields->addWidget(m_value, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    fields->addWidget(namedLabel(this, QStringLiteral("TextConcepte")), 2, 1);
    m_reasons = new QLineEdit(this);
    m_reasons->setObjectName(QStringLiteral("Concepte"));
    m_reasons->setMaxLength(32767);
    fields->addWidget(m_reasons, 3, 1, Qt::AlignTop);
    fields->setColumnStretch(1, 1);
    fields->setRowStretch(4, 1);
    return fields;
}

QTableWidget* PenaltiesWindow::buildTable() {
    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("Quadre"));
    m_table->setColumnCount(3);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_table->horizontalHeader()->setStretchLastSection(true);
    return m_table;
}

void PenaltiesWindow::sizeColumns() {
    // The design's widths, but never narrower than a heading.
    for (int c = 0; c < 3; ++c) {
        const QTableWidgetItem* heading = m_table->horizontalHeaderItem(c);
        const int text =
            heading != nullptr ? fontMetrics().horizontalAdvance(heading->text()) + 24 : 0;
        m_table->setColumnWidth(c, std::max(kWidths[c] * 4 / 45, text));
    }
}

void PenaltiesWindow::connectFields() {
    connect(m_list, &QListWidget::currentRowChanged, this,
            [this](int row) { selectParticipant(row + 1); });
    connect(m_table, &QTableWidget::cellClicked, this,
            [this](int row, int) { m_list->setCurrentRow(row); });
    connect(m_value, &QLineEdit::editingFinished, this, [this] {
        m_model.setValue(m_value->text().toStdString());
        m_model.setReasons(m_reasons->text().toStdString());
        m_model.leaveValue();
        m_value->setText(qstr(m_model.value()));
        m_reasons->setText(qstr(m_model.reasons()));
    });
    // Enter moves on from the laps to the reasons, as in the other entry screens.
    connect(m_value, &QLineEdit::returnPressed, this, [this] {
        m_reasons->setFocus();
        m_reasons->selectAll();
    });
}

PenaltiesWindow::~PenaltiesWindow() {
    stopFieldRules(this);
}

void PenaltiesWindow::fillTable() {
    m_table->setRowCount(m_model.participants());
    QFont typedFont = m_table->font();
    typedFont.setItalic(true);
    for (int p = 1; p <= m_model.participants(); ++p) {
        const PenaltyRow r = m_model.shown(p);
        const bool typed = m_model.unsaved(p) && p != m_model.selected();
        const QString cells[] = {qstr(r.name), qstr(r.penalty), qstr(r.reasons)};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 1) {
                item->setTextAlignment(Qt::AlignCenter);
            }
            if (typed) {
                item->setFont(typedFont);
                item->setBackground(QColor(255, 250, 200)); // seen at a glance: not saved yet
            }
            m_table->setItem(p - 1, c, item);
        }
    }
}

void PenaltiesWindow::takeFields() {
    m_model.setValue(m_value->text().toStdString());
    m_model.setReasons(m_reasons->text().toStdString());
}

void PenaltiesWindow::selectParticipant(int participant) {
    const int before = m_model.selected();
    takeFields();
    m_model.select(participant);
    if (before != participant) {
        fillTable(); // the entry left behind shows as typed
    }
    m_value->setText(qstr(m_model.value()));
    m_reasons->setText(qstr(m_model.reasons()));
    if (auto* saveButton = findChild<QPushButton*>(QStringLiteral("Sortir_1"))) {
        saveButton->setEnabled(m_model.saveEnabled());
    }
    QSignalBlocker block(m_table);
    m_table->selectRow(participant - 1);
}

bool PenaltiesWindow::save() {
    takeFields();
    auto written = m_model.save();
    m_value->setText(qstr(m_model.value()));
    m_reasons->setText(qstr(m_model.reasons()));
    fillTable();
    m_table->selectRow(m_model.selected() - 1);
    if (!written) {
        m_asker.message(this, message(m_ui, 0, msg::kErrorTitle), qstr(written.error()));
        return false;
    }
    return true;
}

void PenaltiesWindow::reject() {
    takeFields();
    const std::vector<int> unsaved = m_model.unsavedParticipants();
    if (!unsaved.empty()) {
        QStringList names;
        for (int p : unsaved) {
            names << qstr(m_model.row(p).name).trimmed();
        }
        const QString question =
            message(m_ui, 0, msg::kUnsavedPenalties).arg(names.join(QStringLiteral(", ")));
        // Yes is the default: what was typed is kept unless the organiser says otherwise.
        if (m_asker.yesNo(this, windowTitle(), question, true) && !save()) {
            return; // the file could not be written: the screen stays, with what was typed
        }
    }
    QDialog::reject();
}

} // namespace cronovolta
