// The main window's menus and button bars: every entry and button runs a command by the
// object name of its menu entry.
#include "shell/qt/main_window.h"

#include "texts/qt/window_texts.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>

namespace cronovolta {

namespace {

constexpr const char* kCommandProperty = "cronovoltaCommand";

} // namespace

QAction* MainWindow::addAction(QMenu* menu, std::string_view name, int index) {
    auto* action = new QAction(this);
    action->setObjectName(controlObjectName(name, index));
    const QString command = action->objectName();
    connect(action, &QAction::triggered, this, [this, command] {
        if (!m_commands.run(command)) {
            m_notices.notAvailable();
        }
    });
    menu->addAction(action);
    return action;
}

QMenu* MainWindow::addMenu(QMenu* parent, std::string_view name) {
    QMenu* menu = parent != nullptr ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
    menu->setObjectName(controlObjectName(name, -1));
    return menu;
}

void MainWindow::buildMenus() {
    QMenu* file = addMenu(nullptr, "MnuArxiu");
    addAction(file, "MnuNovaProva");
    QMenu* newSeriesMenu = addMenu(file, "MnuNovaSerie");
    for (int t = 2; t <= 4; ++t) {
        addAction(newSeriesMenu, "MnuNou", t);
    }
    addAction(file, "MnuGestor");
    file->addSeparator();
    QMenu* settings = addMenu(file, "Cnf");
    for (int i = 0; i <= 2; ++i) {
        addAction(settings, "MnuCfg", i);
    }
    file->addSeparator();
    addAction(file, "MnuSortir");

    QMenu* programmes = addMenu(nullptr, "MnuProgrames");
    for (int t = 0; t <= 4; ++t) {
        addAction(programmes, "MnuPrg", t);
    }
    QMenu* data = addMenu(nullptr, "MnuDades");
    addAction(data, "MnuIns100");
    for (int t = 0; t <= 4; ++t) {
        addAction(data, "MnuIns", t);
    }
    data->addSeparator();
    addAction(data, "MnuPen", 4);
    QMenu* results = addMenu(nullptr, "MnuResultats");
    QMenu* classifications = addMenu(results, "MnuAltresRtats");
    for (int t = 2; t <= 4; ++t) {
        addAction(classifications, "MnuCls", t);
    }
    QMenu* lapByLap = addMenu(nullptr, "MnuVltaaVlta");
    for (int t = 2; t <= 4; ++t) {
        addAction(lapByLap, "MnuVaV", t);
    }
    // "Exportar" is a command of the menu bar itself.
    auto* exportAction = new QAction(this);
    exportAction->setObjectName(QStringLiteral("MnuExportar"));
    connect(exportAction, &QAction::triggered, this, [this] { runCommand("MnuExportar"); });
    menuBar()->addAction(exportAction);
    QMenu* windows = addMenu(nullptr, "MnuFinestres");
    addAction(windows, "MnuAlternar");
    QMenu* manual = addMenu(nullptr, "ControlManual");
    for (int lane = 1; lane <= 16; ++lane) {
        addAction(manual, "Manual", lane);
    }
    QMenu* help = addMenu(nullptr, "MnuAjuda");
    QAction* helpAction = addAction(help, "MnuAjd");
    helpAction->setShortcut(QKeySequence(Qt::Key_F1));
    helpAction->setShortcutContext(Qt::ApplicationShortcut);
    addAction(help, "MnuInfo");
}

QPushButton* MainWindow::addButton(QWidget* parent, std::string_view name, int index,
                                   std::string_view command, int commandIndex) {
    auto* button = new QPushButton(parent);
    button->setObjectName(controlObjectName(name, index));
    const QString target = controlObjectName(command, commandIndex);
    button->setProperty(kCommandProperty, target);
    connect(button, &QPushButton::clicked, this, [this, target] {
        if (QAction* a = findChild<QAction*>(target); a != nullptr) {
            a->trigger();
        }
    });
    return button;
}

void MainWindow::buildToolBar() {
    auto makeBar = [this](const char* name) {
        auto* bar = new QToolBar(this);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setMovable(false);
        bar->setFloatable(false);
        addToolBar(Qt::TopToolBarArea, bar);
        return bar;
    };
    m_settingsBar = makeBar("BarraBotons");
    for (int i = 0; i <= 2; ++i) {
        m_settingsBar->addWidget(addButton(m_settingsBar, "BotoCfg", i, "MnuCfg", i));
    }
    m_seriesBar = makeBar("BarraSeries");
    auto* newSeries = new QLabel(m_seriesBar);
    newSeries->setObjectName(QStringLiteral("MarcNovaSerie"));
    newSeries->setContentsMargins(6, 0, 6, 0);
    m_seriesBar->addWidget(newSeries);
    for (int t = 2; t <= 4; ++t) {
        m_seriesBar->addWidget(addButton(m_seriesBar, "BotoNou", t, "MnuNou", t));
    }
    m_seriesBar->addSeparator();
    m_seriesBar->addWidget(addButton(m_seriesBar, "BotoIns", 100, "MnuIns100", -1));
    auto* spacer = new QWidget(m_seriesBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_seriesBar->addWidget(spacer);
    m_seriesBar->addWidget(addButton(m_seriesBar, "BotoSortir", -1, "MnuSortir", -1));
}

void MainWindow::wrapButtonBars() {
    // On a narrow screen the second bar takes a row of its own rather than hiding buttons.
    // Hidden bars (a programme is open) measure nothing: they are placed when they return.
    if (m_settingsBar->isHidden()) {
        return;
    }
    const bool fits =
        m_settingsBar->sizeHint().width() + m_seriesBar->sizeHint().width() <= width();
    if (fits == toolBarBreak(m_seriesBar)) {
        if (fits) {
            removeToolBarBreak(m_seriesBar);
        } else {
            insertToolBarBreak(m_seriesBar);
        }
    }
}

} // namespace cronovolta
