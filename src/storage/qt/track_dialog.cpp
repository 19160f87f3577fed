#include "storage/qt/track_dialog.h"

#include "storage/number_format.h"
#include "storage/qt/localise.h"
#include "storage/track_fields.h"
#include "texts/qt/asker.h"
#include "texts/qt/dialog_parts.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace cronovolta {

namespace {

constexpr int kBoxesPerRow = 4;
constexpr int kRowsShown = 4;

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TrackDialog::TrackDialog(UiContext& ui, Asker& asker, const TrackConfig& config,
                         TrackDialogOptions options, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_asker(asker), m_config(config), m_options(std::move(options)) {
    setObjectName(QStringLiteral("ConfiguracioPista"));
    prepareTrackDialog(m_config);
    deriveTrackConfig(m_config);
    build();
    localiseScreen(this, "ConfiguracioPista", m_ui);
    showCircuits(); // the circuit count list has its items now
    if (!m_options.eventName.isEmpty()) {
        setWindowTitle(m_options.eventName + QStringLiteral(": ") + windowTitle());
    }
    if (m_options.locked) {
        m_lanes->setEnabled(false);
        m_orderLocked = true;
        m_warning->show();
    }
    rebuildOrderBoxes();
}

TrackDialog::~TrackDialog() {
    stopFieldRules(this);
}

void TrackDialog::addField(QGridLayout* grid, int row, int column, const char* labelName,
                           QLineEdit*& field, const char* name) {
    QWidget* owner = grid->parentWidget();
    grid->addWidget(namedLabel(owner, QString::fromLatin1(labelName)), row, 2 * column);
    field = new QLineEdit(owner);
    field->setObjectName(QString::fromLatin1(name));
    grid->addWidget(field, row, 2 * column + 1);
    watchField(field);
}

void TrackDialog::watchField(QLineEdit* field) {
    field->setMaxLength(8);
    fitNumberBox(field);
    connect(field, &QLineEdit::editingFinished, this, [this, field] { applyField(field); });
    connect(field, &QLineEdit::returnPressed, this, [this, field] { fieldReturn(field); });
}

void TrackDialog::build() {
    auto* top = new QVBoxLayout(this);
    auto* upper = new QHBoxLayout;
    top->addLayout(upper);

    auto* fieldsWidget = new QWidget(this);
    auto* fields = new QGridLayout(fieldsWidget);
    fields->setContentsMargins(0, 0, 0, 0);
    addField(fields, 0, 0, "TextNPistes", m_lanes, "CfgNPistes");
    auto* range = namedLabel(fieldsWidget, QStringLiteral("TextRang"));
    range->setText(QStringLiteral("1 - %1").arg(kMaxLanes));
    fields->addWidget(range, 0, 2);
    addField(fields, 1, 0, "TextMinim", m_minimum, "CfgMinim");
    addField(fields, 2, 0, "TextParcial", m_largest, "CfgParcial");
    fields->addWidget(namedLabel(fieldsWidget, QStringLiteral("TextNCircuits")), 3, 0);
    m_circuitCount = new QComboBox(fieldsWidget);
    m_circuitCount->setObjectName(QStringLiteral("CfgNCircuits"));
    fields->addWidget(m_circuitCount, 3, 1);
    fields->setRowStretch(4, 1);
    fields->setColumnStretch(3, 1);
    upper->addWidget(fieldsWidget, 1);

    auto* orderColumn = new QVBoxLayout;
    m_orderLabel = namedLabel(this, QStringLiteral("TextCanvi"));
    orderColumn->addWidget(m_orderLabel);
    m_orderPanel = new QScrollArea(this);
    m_orderPanel->setObjectName(QStringLiteral("MarcCanvi"));
    m_orderPanel->setWidgetResizable(true);
    m_orderPanel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    orderColumn->addWidget(m_orderPanel);
    upper->addLayout(orderColumn);

    top->addWidget(buildCircuits());
    top->addWidget(buildSplit());

    m_warning = namedLabel(this, QStringLiteral("Avis"));
    m_warning->setWordWrap(true);
    m_warning->setFrameShape(QFrame::Box);
    m_warning->setMargin(6);
    m_warning->setCursor(Qt::PointingHandCursor);
    m_warning->setStyleSheet(QStringLiteral("background: rgb(255,255,192); color: black;"));
    m_warning->installEventFilter(this);
    m_warning->hide();
    top->addWidget(m_warning);

    top->addLayout(closeButtons(this, [this] { return save(); }));

    m_rules[m_lanes] = [this](std::string_view t) {
        const int before = m_config.lanes;
        std::string shown = leaveLaneCount(m_config, t);
        if (m_config.lanes != before) {
            rebuildOrderBoxes();
            m_partialLane->setText(QString::number(m_config.partialLane));
            m_speedLane->setText(QString::number(m_config.speedLane));
        }
        return shown;
    };
    m_rules[m_minimum] = [this](std::string_view t) { return leaveMinimumLap(m_config, t); };
    m_rules[m_largest] = [this](std::string_view t) { return leaveLargestPartial(m_config, t); };

    m_lanes->setText(QString::number(m_config.lanes));
    m_minimum->setText(text(formatSingle(m_config.minimumLap, "0.00")));
    m_largest->setText(QString::number(m_config.largestPartial));
    m_circuitCount->setCurrentIndex(static_cast<int>(m_config.circuits.size()) - 1);
    connect(m_circuitCount, &QComboBox::activated, this, [this](int index) {
        chooseCircuitCount(m_config, index + 1);
        showCircuits();
    });
    showCircuits();
    showSplitFields();
}

QWidget* TrackDialog::buildCircuits() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int c = 1; c <= 4; ++c) {
        auto* frame = new QGroupBox(box);
        frame->setObjectName(QStringLiteral("Connexio_%1").arg(c));
        auto* inner = new QGridLayout(frame);
        auto* port = new QComboBox(frame);
        port->setObjectName(QStringLiteral("PortNum_%1").arg(c));
        for (int p = 1; p <= 4; ++p) {
            port->addItem(text(portCaption(p)));
        }
        auto* first = new QLineEdit(frame);
        first->setObjectName(QStringLiteral("PrimeraPista_%1").arg(c));
        first->setReadOnly(!firstLaneEditable(c));
        fitNumberBox(first);
        inner->addWidget(namedLabel(frame, QStringLiteral("TextPort_%1").arg(c)), 0, 0);
        inner->addWidget(port, 0, 1);
        inner->addWidget(namedLabel(frame, QStringLiteral("TextPrimera_%1").arg(c)), 1, 0);
        inner->addWidget(first, 1, 1);
        inner->setColumnStretch(2, 1);
        grid->addWidget(frame, 0, c - 1);
        m_circuitFrames[c - 1] = frame;
        m_ports[c - 1] = port;
        m_firstLanes[c - 1] = first;
        connect(port, &QComboBox::activated, this, [this, c](int index) {
            choosePort(m_config, c, index + 1);
            showCircuits();
        });
        if (firstLaneEditable(c)) {
            m_rules[first] = [this, c](std::string_view t) {
                std::string shown = leaveFirstLane(m_config, c, t);
                showCircuits();
                return shown;
            };
            watchField(first);
        }
    }
    return box;
}

QWidget* TrackDialog::buildSplit() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_splitLabel = namedLabel(box, QStringLiteral("TextSplit"));
    m_split = new QComboBox(box);
    m_split->setObjectName(QStringLiteral("Split"));
    row->addWidget(m_splitLabel);
    row->addWidget(m_split);
    m_splitFrame = new QGroupBox(box);
    m_splitFrame->setObjectName(QStringLiteral("MarcSplit"));
    auto* grid = new QGridLayout(m_splitFrame);
    grid->setColumnStretch(4, 1);
    addField(grid, 0, 0, "TextNParcials", m_partials, "CfgNParcials");
    addField(grid, 1, 0, "TextPstPar", m_partialLane, "CfgPstPar");
    addField(grid, 0, 1, "TextPstVel", m_speedLane, "CfgPstVel");
    addField(grid, 1, 1, "TextDstVel", m_speedDistance, "CfgDstVel");
    row->addWidget(m_splitFrame, 1);
    m_rules[m_partials] = [this](std::string_view t) { return leavePartials(m_config, t); };
    m_rules[m_partialLane] = [this](std::string_view t) { return leavePartialLane(m_config, t); };
    m_rules[m_speedLane] = [this](std::string_view t) { return leaveSpeedLane(m_config, t); };
    m_rules[m_speedDistance] = [this](std::string_view t) {
        return leaveSpeedDistance(m_config, t);
    };
    m_split->addItems({QStringLiteral("No"), QStringLiteral("Sí")});
    m_split->setCurrentIndex(m_config.splitTiming ? 1 : 0);
    m_partials->setText(QString::number(m_config.partials));
    m_partialLane->setText(QString::number(m_config.partialLane));
    m_speedLane->setText(QString::number(m_config.speedLane));
    m_speedDistance->setText(QString::number(m_config.speedDistance));
    connect(m_split, &QComboBox::activated, this, [this](int index) {
        chooseSplitTiming(m_config, index == 1);
        showSplitFields();
    });
    // The split timing of Super Pole is set up rarely: it shows only when Shift is held
    // while the dialog opens.
    box->setVisible(m_options.showSplit);
    return box;
}

void TrackDialog::showCircuits() {
    const int count = static_cast<int>(m_config.circuits.size());
    m_circuitCount->setCurrentIndex(count - 1);
    for (int c = 1; c <= 4; ++c) {
        const bool shown = c <= count;
        m_circuitFrames[c - 1]->setVisible(shown);
        if (shown) {
            const CircuitConfig& circuit = m_config.circuits[static_cast<std::size_t>(c - 1)];
            m_ports[c - 1]->setCurrentIndex(std::clamp<int>(circuit.port, 1, 4) - 1);
            m_firstLanes[c - 1]->setText(QString::number(circuit.firstLane));
        }
    }
}

void TrackDialog::showSplitFields() {
    const bool on = m_split->currentIndex() == 1;
    m_splitFrame->setEnabled(on);
}

void TrackDialog::rebuildOrderBoxes() {
    delete m_orderBoxes;
    m_order.clear();
    m_orderNumbers.clear();
    m_orderBoxes = new QWidget;
    auto* grid = new QGridLayout(m_orderBoxes);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setVerticalSpacing(4);
    deriveTrackConfig(m_config);
    for (int i = 1; i <= m_config.lanes; ++i) {
        auto* number = new QLabel(QString::number(i), m_orderBoxes);
        number->setObjectName(QStringLiteral("Posicio_%1").arg(i));
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* box = new QLineEdit(m_orderBoxes);
        box->setObjectName(QStringLiteral("CfgCanvi_%1").arg(i));
        box->setMaxLength(6);
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
        box->setText(QString::number(m_config.laneChangeOrder[static_cast<std::size_t>(i)]));
        box->installEventFilter(this);
        const int row = (i - 1) / kBoxesPerRow;
        const int col = (i - 1) % kBoxesPerRow;
        grid->addWidget(number, row, 2 * col);
        grid->addWidget(box, row, 2 * col + 1);
        connect(box, &QLineEdit::editingFinished, this, [this, i] { applyOrderBox(i); });
        connect(box, &QLineEdit::returnPressed, this, [this, i] {
            applyOrderBox(i);
            if (QLineEdit* next = orderBox(nextOrderBox(i, m_config.lanes))) {
                next->setFocus();
                next->selectAll();
            }
        });
        box->setEnabled(!m_orderLocked);
        number->setEnabled(!m_orderLocked);
        m_order.push_back(box);
        m_orderNumbers.push_back(number);
    }
    m_orderLabel->setEnabled(!m_orderLocked);
    // A short order keeps its rows together at the top of the panel.
    grid->setRowStretch((m_config.lanes - 1) / kBoxesPerRow + 1, 1);
    m_orderPanel->setWidget(m_orderBoxes);
    // The four boxes of a row always show whole, beside room for the scroll bar.
    m_orderPanel->setFixedWidth(m_orderBoxes->sizeHint().width() +
                                m_orderPanel->verticalScrollBar()->sizeHint().width() +
                                2 * m_orderPanel->frameWidth());
    // Four rows show; beyond 16 lanes the bar moves the boxes one row per step.
    const int rowHeight = m_order.front()->sizeHint().height() + grid->verticalSpacing();
    m_orderPanel->setFixedHeight(kRowsShown * rowHeight - grid->verticalSpacing() + 4 +
                                 2 * m_orderPanel->frameWidth());
    m_orderPanel->verticalScrollBar()->setSingleStep(rowHeight);
    m_orderPanel->verticalScrollBar()->setPageStep(rowHeight * kRowsShown);
}

QLineEdit* TrackDialog::orderBox(int position) const {
    if (position < 1 || position > static_cast<int>(m_order.size())) {
        return nullptr;
    }
    return m_order[static_cast<std::size_t>(position - 1)];
}

void TrackDialog::applyOrderBox(int position) {
    QLineEdit* box = orderBox(position);
    if (box == nullptr || m_applying || !box->isModified()) {
        return;
    }
    m_applying = true;
    const OrderBoxChange change = leaveOrderBox(m_config, position, box->text().toStdString());
    box->setText(text(change.text));
    if (QLineEdit* other = orderBox(change.swappedPosition)) {
        other->setText(QString::number(
            m_config.laneChangeOrder[static_cast<std::size_t>(change.swappedPosition)]));
    }
    m_applying = false;
}

void TrackDialog::applyField(QLineEdit* field) {
    const auto rule = m_rules.find(field);
    // Only what the organiser typed is corrected: a text the dialog wrote stays as shown.
    if (rule == m_rules.end() || m_applying || !field->isModified()) {
        return;
    }
    m_applying = true;
    field->setText(text(rule->second(field->text().toStdString())));
    m_applying = false;
}

void TrackDialog::fieldReturn(QLineEdit* field) {
    applyField(field);
    focusNextChild();
}

void TrackDialog::acknowledgeWarning() {
    m_warning->hide();
    m_orderLocked = false;
    m_orderLabel->setEnabled(true);
    for (QLineEdit* box : m_order) {
        box->setEnabled(true);
    }
    for (QLabel* number : m_orderNumbers) {
        number->setEnabled(true);
    }
}

bool TrackDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_warning && event->type() == QEvent::MouseButtonRelease) {
        acknowledgeWarning();
        return true;
    }
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched)) {
            m_orderPanel->ensureWidgetVisible(box, 0, 4);
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TrackDialog::save() {
    if (auto* field = qobject_cast<QLineEdit*>(focusWidget())) {
        applyField(field);
        for (int i = 1; i <= static_cast<int>(m_order.size()); ++i) {
            if (orderBox(i) == field) {
                applyOrderBox(i);
            }
        }
    }
    if (const int circuit = circuitBeyondLanes(m_config)) {
        const auto& c = m_config.circuits[static_cast<std::size_t>(circuit - 1)];
        m_asker.message(this, message(m_ui, 0, msg::kErrorTitle),
                        message(m_ui, 0, msg::kCircuitBeyondLanes)
                            .arg(circuit)
                            .arg(c.firstLane)
                            .arg(m_config.lanes));
        m_firstLanes[static_cast<std::size_t>(circuit - 1)]->setFocus();
        return false;
    }
    deriveTrackConfig(m_config);
    if (auto written = saveTrackConfig(m_options.file, m_config); !written) {
        m_asker.message(this, message(m_ui, 0, msg::kErrorTitle),
                        problemText(m_ui, written.error(), msg::kCannotWrite));
        return false;
    }
    if (m_options.eventName.isEmpty()) {
        m_ui.app.trackConfig = m_config;
    }
    return true;
}

} // namespace cronovolta
