#include "results/qt/entrants_window.h"

#include "results/entrants_files.h"
#include "results/results_texts.h"
#include "texts/qt/screen_text.h"

#include "texts/qt/dialog_parts.h"
#include "texts/system_errors.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cronovolta {
namespace {

QString joinNotes(const std::vector<std::string>& notes) {
    QStringList lines;
    for (const auto& n : notes) {
        lines << qstr(n);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

EntrantsWindow::~EntrantsWindow() {
    stopFieldRules(this);
}

EntrantsWindow::EntrantsWindow(EntrantsModel model, QWidget* parent)
    : QDialog(parent), m_model(std::move(model)) {
    const auto& t = resultsTexts(m_model.context().language);
    setObjectName(QStringLiteral("Inscrits"));
    setWindowTitle(qstr(m_model.title()));

    auto* grid = new QGridLayout(this);
    auto* countRow = new QHBoxLayout;
    m_countLabel = new QLabel(qstr(m_model.countLabel()), this);
    m_count = new QLineEdit(this);
    m_count->setObjectName(QStringLiteral("NPilots"));
    m_count->setMaximumWidth(60);
    m_range = new QLabel(this);
    countRow->addWidget(m_countLabel);
    countRow->addWidget(m_count);
    countRow->addWidget(m_range);
    countRow->addStretch();
    grid->addLayout(countRow, 0, 0);

    auto* rowsBox = new QGroupBox(this);
    auto* rowsLayout = new QVBoxLayout(rowsBox);
    auto* header = new QGridLayout;
    header->setColumnMinimumWidth(2, 90);
    QStringList heads = {qstr(m_model.numberHeader()), qstr(m_model.nameHeader()),
                         m_model.showsStartLanes() ? qstr(t.startLaneHeader) : QString()};
    for (int c = 0; c < heads.size(); ++c) {
        auto* label = new QLabel(heads[c], rowsBox);
        label->installEventFilter(this);
        header->addWidget(label, 0, c);
    }
    header->setColumnStretch(1, 1);
    rowsLayout->addLayout(header);
    auto* scroll = new QScrollArea(rowsBox);
    scroll->setWidgetResizable(true);
    m_rowsPanel = new QWidget(scroll);
    m_rowsGrid = new QGridLayout(m_rowsPanel);
    m_rowsGrid->setColumnStretch(1, 1);
    m_rowsGrid->setColumnMinimumWidth(2, 90);
    m_rowsGrid->setAlignment(Qt::AlignTop);
    scroll->setWidget(m_rowsPanel);
    rowsLayout->addWidget(scroll);
    grid->addWidget(rowsBox, 1, 0);
    buildSource(grid);

    auto* buttons = new QHBoxLayout;
    auto* saveButton = new QPushButton(qstr(t.save), this);
    saveButton->setObjectName(QStringLiteral("Sortir_1"));
    saveButton->setAutoDefault(false);
    auto* closeButton = new QPushButton(qstr(t.close), this);
    closeButton->setObjectName(QStringLiteral("Sortir_0"));
    closeButton->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);

    for (auto* label : {m_countLabel, m_range}) {
        label->installEventFilter(this);
    }
    const bool enabled = m_model.countEnabled();
    m_count->setEnabled(enabled);
    m_countLabel->setEnabled(enabled);
    m_range->setText(qstr(m_model.rangeLabel()));
    m_count->setText(QString::number(m_model.count()));
    connect(m_count, &QLineEdit::editingFinished, this, &EntrantsWindow::applyCount);
    connect(saveButton, &QPushButton::clicked, this, &EntrantsWindow::save);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    syncRows();
    resize(640, 480);
}

void EntrantsWindow::buildSource(QGridLayout* grid) {
    const auto& t = resultsTexts(m_model.context().language);
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    m_sourceCaption = new QLabel(qstr(m_model.sourceCaption()), box);
    m_sourceCaption->installEventFilter(this);
    m_source = new QTreeWidget(box);
    m_source->setObjectName(QStringLiteral("LlistaInscrits"));
    m_source->setRootIsDecorated(false);
    m_source->setColumnCount(2);
    m_source->setHeaderLabels(
        {qstr(m_model.sourceNumberHeader()), qstr(m_model.sourceNameHeader())});
    m_source->setToolTip(qstr(t.sourceTooltip));
    m_source->header()->setStretchLastSection(true);
    auto* order = new QGroupBox(qstr(t.sortBy), box);
    auto* orderLayout = new QHBoxLayout(order);
    m_byNumber = new QRadioButton(qstr(m_model.sourceNumberHeader()), order);
    m_byName = new QRadioButton(qstr(m_model.sourceNameHeader()), order);
    m_byNumber->setChecked(true);
    orderLayout->addWidget(m_byNumber);
    orderLayout->addWidget(m_byName);
    layout->addWidget(m_sourceCaption);
    layout->addWidget(m_source);
    layout->addWidget(order);
    grid->addWidget(box, 0, 1, 2, 1);
    box->setVisible(m_model.hasSource());

    connect(m_byNumber, &QRadioButton::toggled, this, [this](bool on) {
        m_model.sortSource(on ? 0 : 1);
        fillSource();
    });
    connect(m_source, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { copySource(item); });
    fillSource();
}

void EntrantsWindow::fillSource() {
    m_source->clear();
    for (const auto& row : m_model.source()) {
        m_source->addTopLevelItem(
            new QTreeWidgetItem({QString::number(row.number), qstr(row.name)}));
    }
}

// Rows are added or removed at the end: the rows kept keep their widgets, their texts and
// the focus.
void EntrantsWindow::syncRows() {
    while (static_cast<int>(m_names.size()) > m_model.count()) {
        for (QWidget* w : m_rowWidgets.back()) {
            w->deleteLater();
        }
        m_rowWidgets.pop_back();
        m_names.pop_back();
    }
    for (int i = static_cast<int>(m_names.size()) + 1; i <= m_model.count(); ++i) {
        addRowWidgets(i);
    }
}

void EntrantsWindow::addRowWidgets(int i) {
    auto* order = new QLabel(qstr(m_model.orderText(i)), m_rowsPanel);
    order->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* name = new QLineEdit(qstr(m_model.names()[static_cast<std::size_t>(i - 1)]), m_rowsPanel);
    name->setObjectName(QStringLiteral("NomPista_%1").arg(i));
    auto* lane = new QLabel(qstr(m_model.startLaneText(i)), m_rowsPanel);
    lane->setAlignment(Qt::AlignCenter);
    m_rowsGrid->addWidget(order, i, 0);
    m_rowsGrid->addWidget(name, i, 1);
    m_rowsGrid->addWidget(lane, i, 2);
    for (QWidget* w :
         {static_cast<QWidget*>(order), static_cast<QWidget*>(name), static_cast<QWidget*>(lane)}) {
        w->installEventFilter(this);
        w->show();
    }
    connect(name, &QLineEdit::textEdited, this,
            [this, i](const QString& text) { m_model.setName(i, text.toStdString()); });
    connect(name, &QLineEdit::returnPressed, this, [this] {
        m_model.nextRow();
        focusRow(m_model.currentRow());
    });
    m_names.push_back(name);
    m_rowWidgets.push_back({order, name, lane});
}

QLineEdit* EntrantsWindow::nameField(int row) const {
    if (row < 1 || row > static_cast<int>(m_names.size())) {
        return nullptr;
    }
    return m_names[static_cast<std::size_t>(row - 1)];
}

QLabel* EntrantsWindow::orderLabel(int row) const {
    if (row < 1 || row > static_cast<int>(m_rowWidgets.size())) {
        return nullptr;
    }
    return static_cast<QLabel*>(m_rowWidgets[static_cast<std::size_t>(row - 1)][0]);
}

void EntrantsWindow::applyCount() {
    if (!m_model.countEnabled()) {
        return;
    }
    const int before = m_model.count();
    const int count = m_model.applyCount(m_count->text().toStdString());
    m_count->setText(QString::number(count));
    if (count != before) {
        syncRows();
    }
    // Applied by Enter: the typing goes on in the first row.
    if (m_count->hasFocus()) {
        focusRow(1);
    }
}

void EntrantsWindow::focusRow(int row) {
    if (auto* field = nameField(row)) {
        field->setFocus();
        if (auto* scroll =
                qobject_cast<QScrollArea*>(m_rowsPanel->parentWidget()->parentWidget())) {
            scroll->ensureWidgetVisible(field);
        }
    }
}

void EntrantsWindow::copySource(QTreeWidgetItem* item) {
    const int index = m_source->indexOfTopLevelItem(item);
    const int row = m_model.currentRow();
    const bool shift = QApplication::keyboardModifiers() & Qt::ShiftModifier;
    m_model.copyFromSource(index, shift);
    if (auto* field = nameField(row)) {
        field->setText(qstr(m_model.names()[static_cast<std::size_t>(row - 1)]));
    }
    // After the mouse events of the double-click, which leave the focus on the list.
    QTimer::singleShot(0, this, [this] { focusRow(m_model.currentRow()); });
}

bool EntrantsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && qobject_cast<QLabel*>(watched) &&
        m_count->isEnabled()) {
        m_model.addRow();
        m_count->setText(QString::number(m_model.count()));
        syncRows();
        focusRow(m_model.count());
        return true;
    }
    if (event->type() == QEvent::FocusIn) {
        for (std::size_t i = 0; i < m_names.size(); ++i) {
            if (m_names[i] == watched) {
                m_model.setCurrentRow(static_cast<int>(i) + 1);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool EntrantsWindow::save() {
    applyCount();
    auto saved = saveEntrants(m_model);
    if (!saved) {
        QMessageBox::warning(this, QStringLiteral("Error"),
                             qstr(localiseProblems(saved.error(), m_model.context().language)));
        return false;
    }
    if (!saved->notes.empty()) {
        QMessageBox::information(this, windowTitle(), joinNotes(saved->notes));
    }
    emit this->saved();
    accept();
    return true;
}

EntrantsWindow* EntrantsWindow::open(const EntrantsContext& ctx, QWidget* parent) {
    auto opened = openEntrants(ctx);
    if (!opened) {
        QMessageBox::warning(parent, QStringLiteral("Error"),
                             qstr(localiseProblems(opened.error(), ctx.language)));
        return nullptr;
    }
    auto* window = new EntrantsWindow(std::move(opened->model), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!opened->notes.empty()) {
        QMessageBox::warning(parent, QStringLiteral("Error"), joinNotes(opened->notes));
    }
    return window;
}

} // namespace cronovolta
