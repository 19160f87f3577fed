#include "shell/qt/main_window.h"

#include "heat/qt/heat_panel.h"
#include "shell/qt/cover.h"
#include "shell/qt/help_window.h"
#include "storage/qt/event_lists.h"
#include "storage/qt/localise.h"
#include "texts/qt/asker.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace cronovolta {

namespace {

QListWidget* makeList(QWidget* parent, const QString& name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

} // namespace

MainWindow::MainWindow(UiContext& ui, Asker& asker, QWidget* parent)
    : QMainWindow(parent), m_ui(ui), m_asker(asker), m_notices(this, ui, asker) {
    setObjectName(QStringLiteral("Portada"));
    m_cover = new Cover(this);
    m_cover->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_cover->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_heatPanel = new HeatPanel(this);
    buildMenus();
    buildToolBar();
    buildSideBar();
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    // One of the two shows at a time; the narrow heat panel leaves the child windows room.
    layout->addWidget(m_sideBar);
    layout->addWidget(m_heatPanel);
    m_heatPanel->hide();
    layout->addWidget(m_cover, 1);
    setCentralWidget(central);
    m_notices.addVersionTo(statusBar());

    setCommand("MnuNovaProva", [this] { newEvent(); });
    for (ProgrammeType t :
         {ProgrammeType::OfficialPractice, ProgrammeType::SuperPole, ProgrammeType::Race}) {
        setCommand("MnuNou", index(t), [this, t] { newSeries(t); });
    }
    setCommand("MnuGestor", [this] { eventManager(); });
    setCommand("MnuCfg", 0, [this] { programSettings(); });
    setCommand("MnuCfg", 1, [this] { trackSettings(false); });
    setCommand("MnuCfg", 2, [this] { trackSettings(true); });
    setCommand("MnuSortir", [this] { close(); });
    setCommand("MnuAlternar", [this] { m_cover->activateNextSubWindow(); });
    setCommand("MnuAjd", [this] { showHelp(); });
    installHelpKey(this, [this] { showHelp(); });
    setCommand("MnuInfo", [this] { showAbout(); });
    for (int lane = 1; lane <= 16; ++lane) {
        setCommand("Manual", lane, [this, lane] {
            if (manualCrossing) {
                manualCrossing(lane);
            }
        });
    }

    loadLogo();
    relocalise();
    m_heatPanel->reset();
    applyCommandStates();
    resize(QSize(800, 600) * std::max(1.0, std::min(m_ui.scale.sx, m_ui.scale.sy)) * 0.9);
}

MainWindow::~MainWindow() = default;

QMdiArea* MainWindow::mdiArea() const {
    return m_cover;
}

QListWidget* MainWindow::seriesList(ProgrammeType programmeType) const {
    return m_lists.series(programmeType);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    wrapButtonBars();
}

void MainWindow::buildSideBar() {
    auto* content = new QWidget(this);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(2, 2, 2, 2);

    auto* eventFrame = new QGroupBox(content);
    eventFrame->setObjectName(QStringLiteral("Marc_0"));
    auto* eventGrid = new QGridLayout(eventFrame);
    m_lists.setEventLists(makeList(eventFrame, QStringLiteral("LlProves")),
                          makeList(eventFrame, QStringLiteral("Data")));
    QListWidget* events = m_lists.events();
    auto* dateLabel = new QLabel(eventFrame);
    dateLabel->setObjectName(QStringLiteral("Text_0"));
    eventGrid->addWidget(dateLabel, 0, 1);
    eventGrid->addWidget(events, 1, 0);
    eventGrid->addWidget(m_lists.dates(), 1, 1);
    eventGrid->setColumnStretch(0, 3);
    eventGrid->setColumnStretch(1, 1);
    eventGrid->setRowStretch(1, 1);
    auto* eventButtons = new QHBoxLayout;
    eventButtons->addWidget(addButton(eventFrame, "BotoPrg", 0, "MnuPrg", 0));
    eventButtons->addWidget(addButton(eventFrame, "BotoIns", 0, "MnuIns", 0));
    eventGrid->addLayout(eventButtons, 2, 0, 1, 2);
    // Four events show even on the smallest screen.
    events->setMinimumHeight(4 * events->fontMetrics().lineSpacing() + 2 * events->frameWidth() +
                             4);
    column->addWidget(eventFrame, 1);

    for (int t = 1; t <= 4; ++t) {
        auto* frame = new QGroupBox(content);
        frame->setObjectName(QStringLiteral("Marc_%1").arg(t));
        auto* grid = new QGridLayout(frame);
        grid->setContentsMargins(6, 2, 6, 4);
        grid->setVerticalSpacing(3);
        auto* label = new QLabel(frame);
        label->setObjectName(QStringLiteral("TextSerie_%1").arg(t));
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        QListWidget* series = makeList(frame, QStringLiteral("LlSeries_%1").arg(t));
        m_lists.setSeriesList(static_cast<ProgrammeType>(t), series);
        series->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 24);
        grid->addWidget(label, 0, 0);
        grid->addWidget(series, 0, 1, 2, 1);
        grid->addWidget(addButton(frame, "BotoPrg", t, "MnuPrg", t), 0, 2, 1, t >= 2 ? 1 : 2);
        if (t >= 2) {
            grid->addWidget(addButton(frame, "BotoCls", t, "MnuCls", t), 0, 3);
        }
        if (t == 4) {
            grid->addWidget(addButton(frame, "BotoIns", t, "MnuIns", t), 1, 2);
            grid->addWidget(addButton(frame, "BotoPen", 4, "MnuPen", 4), 1, 3);
        } else {
            grid->addWidget(addButton(frame, "BotoIns", t, "MnuIns", t), 1, 2, 1, 2);
        }
        grid->setColumnStretch(2, 1);
        grid->setColumnStretch(3, 1);
        const int buttonHeight = frame->findChild<QPushButton*>()->sizeHint().height();
        // As tall as the two rows of buttons, and never less than three series.
        series->addItem(QStringLiteral("0"));
        const int threeSeries = 3 * series->sizeHintForRow(0) + 2 * series->frameWidth();
        series->clear();
        series->setFixedHeight(std::max(2 * buttonHeight + grid->verticalSpacing(), threeSeries));
        column->addWidget(frame);
    }

    m_sideBar = new QScrollArea(this);
    m_sideBar->setObjectName(QStringLiteral("BarraLateral"));
    m_sideBar->setWidgetResizable(true);
    m_sideBar->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_sideBar->setFrameShape(QFrame::NoFrame);
    m_sideBar->setWidget(content);

    pairEventLists(events, m_lists.dates(), [this](int row) { selectEvent(row); });
}

void MainWindow::setCommand(std::string_view name, int index, std::function<void()> handler) {
    m_commands.set(controlObjectName(name, index), std::move(handler));
}

QAction* MainWindow::action(std::string_view name, int index) const {
    return findChild<QAction*>(controlObjectName(name, index));
}

void MainWindow::runCommand(std::string_view name, int index) {
    if (QAction* a = action(name, index); a != nullptr && a->isEnabled()) {
        if (!m_commands.run(controlObjectName(name, index))) {
            m_notices.notAvailable();
        }
    }
}

void MainWindow::relocalise() {
    localiseScreen(this, "Portada", m_ui);
    const QString product = tableString(m_ui, "Portada", "");
    m_notices.showVersion(product);
    m_cover->setTitle(m_cover->hasLogo() ? QString() : product,
                      m_cover->hasLogo() ? QString() : QStringLiteral(CRONOVOLTA_VERSION));
    if (m_help != nullptr && m_help->isVisible()) {
        m_help->showHelp(tableCaption("Portada", "HelpFile", -1, m_ui.language()));
    }
    fitSideBar();
    wrapButtonBars();
    emit relocalised();
}

void MainWindow::fitSideBar() {
    // The bar keeps the width of its widest frame, shown or not, so that no caption is cut
    // while the event controls are hidden.
    QWidget* content = m_sideBar->widget();
    int width = 0;
    for (const QGroupBox* frame : content->findChildren<QGroupBox*>()) {
        width = std::max(width, frame->sizeHint().width());
    }
    const QMargins margins = content->layout()->contentsMargins();
    m_sideBar->setMinimumWidth(width + margins.left() + margins.right() +
                               m_sideBar->verticalScrollBar()->sizeHint().width());
}

void MainWindow::applyCommandStates() {
    for (const CommandState& state : commandStates(m_selection)) {
        QObject* object = findChild<QObject*>(controlObjectName(state.name, state.index));
        if (auto* menu = qobject_cast<QMenu*>(object)) {
            menu->menuAction()->setEnabled(state.enabled);
        } else if (auto* act = qobject_cast<QAction*>(object)) {
            act->setEnabled(state.enabled);
        } else if (auto* widget = qobject_cast<QWidget*>(object)) {
            widget->setEnabled(state.enabled);
            widget->setVisible(state.visible);
        }
    }
}

void MainWindow::refreshCommands() {
    m_selection.eventActive = m_ui.app.activeSelection.event > 0;
    m_selection.seriesListed = m_lists.seriesListed();
    applyCommandStates();
}

void MainWindow::setProgrammeOpen(bool open) {
    m_selection.programmeOpen = open;
    // The heat panel stands in for the side bar and the button bar.
    m_sideBar->setVisible(!open);
    m_settingsBar->setVisible(!open);
    m_seriesBar->setVisible(!open);
    m_heatPanel->setVisible(open);
    m_cover->setPictureShown(!open);
    if (open) {
        m_heatPanel->reset();
    } else {
        wrapButtonBars();
        // Once the programme's windows have gone, which held the window wide while it closed.
        QTimer::singleShot(0, this, &MainWindow::fitScreen);
    }
    applyCommandStates();
}

void MainWindow::fitScreen() {
    layout()->activate();
    if (const QScreen* s = screen()) {
        const QSize room = s->availableGeometry().size();
        if (width() > room.width() || height() > room.height()) {
            resize(size().boundedTo(room));
        }
    }
}

void MainWindow::setHeatRunning(bool running) {
    m_selection.heatRunning = running;
    applyCommandStates();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (mayClose && !mayClose()) {
        event->ignore();
        return;
    }
    saveWindowState();
    if (m_help != nullptr) {
        m_help->close();
    }
    event->accept();
}

void MainWindow::showAbout() {
    auto* box = new QMessageBox(this);
    box->setObjectName(QStringLiteral("SobreElPrograma"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(tableString(m_ui, "Portada", "MnuInfo"));
    box->setIconPixmap(QPixmap());
    box->setText(QStringLiteral("<h2>%1</h2><p>%2 %3</p><p>%4</p>")
                     .arg(tableString(m_ui, "Portada", ""), message(m_ui, 0, msg::kVersion),
                          QStringLiteral(CRONOVOLTA_VERSION), message(m_ui, 0, msg::kAboutText)));
    box->setStandardButtons(QMessageBox::Ok);
    box->open();
}

void MainWindow::showHelp() {
    if (m_selection.heatRunning) {
        return;
    }
    if (m_help == nullptr) {
        m_help = new HelpWindow(this);
        m_help->resize(size() * 0.6);
    }
    if (!m_help->showHelp(tableCaption("Portada", "HelpFile", -1, m_ui.language()))) {
        m_notices.showError(message(m_ui, 0, msg::kHelpMissing));
        return;
    }
    // In front of a modal dialog the help must be modal as well, or the dialog blocks it.
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality modality =
        modal != nullptr && modal != m_help ? Qt::ApplicationModal : Qt::NonModal;
    if (m_help->windowModality() != modality && modal != m_help) {
        m_help->hide();
        m_help->setWindowModality(modality);
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

} // namespace cronovolta
