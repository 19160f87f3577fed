#include "shell/qt/shell_notices.h"

#include "storage/qt/localise.h"
#include "texts/qt/asker.h"

#include <QLabel>
#include <QStatusBar>

namespace cronovolta {

ShellNotices::ShellNotices(QWidget* window, UiContext& ui, Asker& asker)
    : m_window(window), m_ui(ui), m_asker(asker) {}

void ShellNotices::addVersionTo(QStatusBar* bar) {
    m_version = new QLabel(m_window);
    m_version->setObjectName(QStringLiteral("Label1"));
    bar->addPermanentWidget(m_version);
}

void ShellNotices::showVersion(const QString& product) {
    m_version->setText(product + QLatin1Char(' ') + QStringLiteral(CRONOVOLTA_VERSION));
}

void ShellNotices::notAvailable() {
    m_asker.message(m_window, qs(tableCaption("Portada", "", -1, m_ui.language())),
                    message(m_ui, 0, msg::kNotAvailableYet));
}

void ShellNotices::showError(const QString& text) {
    m_asker.message(m_window, message(m_ui, 0, msg::kErrorTitle),
                    problemText(m_ui, text.toStdString()));
}

} // namespace cronovolta
