#include "shell/qt/help_window.h"

#include "texts/qt/window_texts.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

static void initHelpResources() {
    Q_INIT_RESOURCE(help);
}

namespace cronovolta {

QString helpResourceFor(std::string_view helpFileName) {
    QString name = qs(helpFileName);
    while (name.startsWith(QLatin1Char('\\')) || name.startsWith(QLatin1Char('/'))) {
        name.remove(0, 1);
    }
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        name.truncate(dot);
    }
    return QStringLiteral(":/help/%1.html").arg(name.toLower());
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    initHelpResources();
    setObjectName(QStringLiteral("Ajuda"));
    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
}

bool HelpWindow::showHelp(std::string_view helpFileName) {
    QFile file(helpResourceFor(helpFileName));
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    m_browser->setHtml(QString::fromUtf8(file.readAll()));
    setWindowTitle(m_browser->documentTitle());
    return true;
}

} // namespace cronovolta
