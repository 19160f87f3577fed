#include "shell/qt/help_window.h"

#include "texts/qt/window_texts.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
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

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
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

namespace {

class HelpKey : public QObject {
public:
    HelpKey(QObject* owner, std::function<void()> open) : QObject(owner), m_open(std::move(open)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) {
            return false;
        }
        // Taking the override keeps the menu's own F1 from opening the help a second time.
        if (event->type() == QEvent::KeyPress && !key->isAutoRepeat()) {
            m_open();
        }
        event->accept();
        return true;
    }

private:
    std::function<void()> m_open;
};

} // namespace

void installHelpKey(QObject* owner, std::function<void()> open) {
    qApp->installEventFilter(new HelpKey(owner, std::move(open)));
}

} // namespace cronovolta
