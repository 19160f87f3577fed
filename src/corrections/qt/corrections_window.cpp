#include "corrections/qt/corrections_window.h"

#include "storage/qt/localise.h"
#include "texts/qt/asker.h"
#include "texts/qt/dialog_parts.h"
#include "texts/qt/screen_text.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace cronovolta {
namespace {

QLineEdit* field(QWidget* parent, const QString& name, int row) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(controlObjectName(name.toStdString(), row));
    return edit;
}

} // namespace

CorrectionsWindow::CorrectionsWindow(CorrectionModel model, UiContext& ui, Asker& asker,
                                     QWidget* parent)
    : QDialog(parent), m_model(std::move(model)), m_ui(ui), m_asker(asker) {
    setObjectName(QStringLiteral("Corregir"));
    const bool lapFraction = m_model.mode() == CorrectionMode::LapFraction;
    auto* top = new QVBoxLayout(this);
    auto* heatRow = new QHBoxLayout;
    heatRow->addWidget(namedLabel(this, QStringLiteral("TextManiga")));
    m_heats = new QComboBox(this);
    m_heats->setObjectName(QStringLiteral("SelManiga"));
    for (int h = 1; h <= m_model.heatCount(); ++h) {
        m_heats->addItem(QString::number(h));
    }
    m_heats->setCurrentIndex(m_model.selectedHeat() - 1);
    heatRow->addWidget(m_heats);
    heatRow->addStretch();
    top->addLayout(heatRow);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* panel = new QWidget(scroll);
    auto* grid = new QGridLayout(panel);
    grid->setAlignment(Qt::AlignTop);
    grid->addWidget(namedLabel(panel, QStringLiteral("TextNP")), 0, 0);
    grid->addWidget(namedLabel(panel, QStringLiteral("TextEQ")), 0, 1);
    grid->addWidget(namedLabel(panel, QStringLiteral("TextNV")), 0, 2);
    grid->addWidget(
        namedLabel(panel, lapFraction ? QStringLiteral("TextComes") : QStringLiteral("TextVR")), 0,
        3);
    for (int k = 1; k <= m_model.rowCount(); ++k) {
        auto* lane = new QLabel(panel);
        lane->setObjectName(controlObjectName("NP", k));
        lane->setAlignment(Qt::AlignCenter);
        m_lanes.push_back(lane);
        m_names.push_back(field(panel, QStringLiteral("EQ"), k));
        m_names.back()->setReadOnly(true);
        m_names.back()->setFocusPolicy(Qt::NoFocus);
        m_laps.push_back(field(panel, QStringLiteral("NV"), k));
        m_laps.back()->setReadOnly(!m_model.lapsEditable());
        m_laps.back()->setAlignment(Qt::AlignRight);
        fitNumberBox(m_laps.back());
        m_second.push_back(field(panel, QStringLiteral("VR"), k));
        m_second.back()->setAlignment(Qt::AlignRight);
        fitNumberBox(m_second.back());
        grid->addWidget(lane, k, 0);
        grid->addWidget(m_names.back(), k, 1);
        grid->addWidget(m_laps.back(), k, 2);
        grid->addWidget(m_second.back(), k, 3);
        for (QLineEdit* edit : {m_laps.back(), m_second.back()}) {
            edit->installEventFilter(this);
        }
        connect(m_laps.back(), &QLineEdit::editingFinished, this, [this, k] {
            m_model.setLaps(k, m_laps[static_cast<std::size_t>(k - 1)]->text().toStdString());
            m_model.leaveLaps(k);
            m_laps[static_cast<std::size_t>(k - 1)]->setText(qstr(m_model.row(k).laps));
        });
        connect(m_second.back(), &QLineEdit::editingFinished, this, [this, k] {
            m_model.setSecond(k, m_second[static_cast<std::size_t>(k - 1)]->text().toStdString());
            m_model.leaveSecond(k);
            m_second[static_cast<std::size_t>(k - 1)]->setText(qstr(m_model.row(k).second));
        });
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30);
    scroll->setWidget(panel);
    top->addWidget(scroll);
    top->addLayout(closeButtons(this, [this] { return save(); }));

    connect(m_heats, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_model.selectHeat(index + 1);
        showRows();
    });
    localiseScreen(this, "Corregir", m_ui);
    showRows();
    resize(560, std::min(150 + 28 * m_model.rowCount(), 700));
}

CorrectionsWindow::~CorrectionsWindow() {
    stopFieldRules(this);
}

void CorrectionsWindow::showRows() {
    for (int k = 1; k <= m_model.rowCount(); ++k) {
        const CorrectionRow& r = m_model.row(k);
        const auto i = static_cast<std::size_t>(k - 1);
        m_lanes[i]->setText(r.lane > 0 ? QString::number(r.lane) : QString());
        m_names[i]->setText(qstr(r.name));
        m_laps[i]->setText(qstr(r.laps));
        m_second[i]->setText(qstr(r.second));
        const bool on = r.enabled && r.participant != 0;
        m_laps[i]->setEnabled(on);
        m_second[i]->setEnabled(on);
    }
    if (!m_model.problem().empty()) {
        m_asker.message(this, message(m_ui, 0, msg::kErrorTitle), qstr(m_model.problem()));
    }
    for (int k = 1; k <= m_model.rowCount(); ++k) {
        QLineEdit* first = m_model.lapsEditable() ? lapsField(k) : secondField(k);
        if (first->isEnabled()) {
            first->setFocus();
            first->selectAll();
            break;
        }
    }
}

void CorrectionsWindow::enableOnlyLastRow() {
    m_model.enableOnlyLastRow();
    showRows();
}

void CorrectionsWindow::nextField(QLineEdit* from) {
    std::vector<QLineEdit*> order;
    for (std::size_t i = 0; i < m_laps.size(); ++i) {
        for (QLineEdit* edit : {m_laps[i], m_second[i]}) {
            if (edit->isEnabled() && !edit->isReadOnly()) {
                order.push_back(edit);
            }
        }
    }
    auto it = std::find(order.begin(), order.end(), from);
    if (it != order.end() && ++it != order.end()) {
        (*it)->setFocus();
        (*it)->selectAll();
    } else {
        from->clearFocus(); // the field rule runs on the last field as well
        from->setFocus();
    }
}

bool CorrectionsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
                emit edit->editingFinished();
                nextField(edit);
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool CorrectionsWindow::save() {
    for (int k = 1; k <= m_model.rowCount(); ++k) {
        m_model.setLaps(k, lapsField(k)->text().toStdString());
        m_model.setSecond(k, secondField(k)->text().toStdString());
    }
    auto result = m_model.save();
    if (!result) {
        m_asker.message(this, message(m_ui, 0, msg::kErrorTitle), qstr(result.error()));
        return false;
    }
    emit saved();
    return true;
}

} // namespace cronovolta
