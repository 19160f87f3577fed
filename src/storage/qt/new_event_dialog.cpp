#include "storage/qt/new_event_dialog.h"

#include "storage/event_manager.h"
#include "storage/qt/localise.h"
#include "texts/qt/asker.h"
#include "texts/qt/dialog_parts.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cronovolta {

namespace {

// The longest text a 16-bit length can announce; the storage refuses longer ones, the
// field does not let them be typed.
constexpr int kMaxTextLength = 32767;

QString trimmedEnd(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace()) {
        --end;
    }
    return text.left(end);
}

} // namespace

NewEventDialog::NewEventDialog(UiContext& ui, Asker& asker, QWidget* parent, int modifyEvent,
                               const QString& name, const QString& date)
    : QDialog(parent), m_ui(ui), m_asker(asker), m_modify(modifyEvent) {
    setObjectName(QStringLiteral("NovaProva"));
    auto* top = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    top->addLayout(grid);
    QLabel* nameLabel = namedLabel(this, QStringLiteral("Etiqueta_0"));
    m_nameField = new QLineEdit(name, this);
    m_nameField->setObjectName(QStringLiteral("TextProva"));
    m_nameField->setMaxLength(kMaxTextLength);
    QLabel* dateLabel = namedLabel(this, QStringLiteral("Etiqueta_1"));
    m_dateField = new QLineEdit(this);
    m_dateField->setObjectName(QStringLiteral("TextData"));
    m_dateField->setMaxLength(kMaxTextLength);
    m_dateField->setText(
        modifyEvent == 0 ? QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")) : date);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_nameField, 0, 1);
    grid->addWidget(dateLabel, 1, 0);
    grid->addWidget(m_dateField, 1, 1);
    grid->setColumnMinimumWidth(1, fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);

    top->addLayout(closeButtons(
        this, [this] { return save(); }, true)); // Enter saves

    LocaliseContext context;
    context.exportMode = modifyEvent;
    localiseScreen(this, "NovaProva", m_ui, context);
    m_nameField->setFocus();
}

void NewEventDialog::showError(const QString& text) {
    m_asker.message(this, message(m_ui, 0, msg::kErrorTitle),
                    problemText(m_ui, text.toStdString()));
}

bool NewEventDialog::save() {
    const QString name = m_nameField->text().trimmed();
    const QString date = m_dateField->text().trimmed();
    if (name.isEmpty()) {
        showError(message(m_ui, 2, msg::kMissingEventName));
        return false;
    }
    const auto checked = EventManager::checkEventText(name.toStdString(), date.toStdString());
    if (!checked) {
        showError(checked.error().kind == EventError::InvalidText
                      ? message(m_ui, 2, msg::kInvalidEventText)
                      : QString::fromStdString(checked.error().message));
        return false;
    }
    if (m_modify == 0) {
        const QString confirmation = trimmedEnd(m_nameField->text()) + QStringLiteral("\r\r") +
                                     trimmedEnd(m_dateField->text());
        if (!m_asker.okCancel(this, message(m_ui, 2, msg::kNewEventTitle), confirmation)) {
            return false;
        }
        EventManager manager(m_ui.app.dataDir);
        const auto created = manager.createEvent(name.toStdString(), date.toStdString());
        if (!created) {
            showError(message(m_ui, 2, msg::kEventNotCreated) + QStringLiteral("\n") +
                      QString::fromStdString(created.error().message));
            return false;
        }
        m_created = *created;
        m_ui.app.activeSelection.event = static_cast<std::int16_t>(m_created);
    }
    m_name = name;
    m_date = date;
    return true;
}

} // namespace cronovolta
