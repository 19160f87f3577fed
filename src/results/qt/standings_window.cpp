#include "results/qt/standings_window.h"

#include "heat/qt/screen_support.h"
#include "storage/qt/screen_colours.h"
#include "texts/localiser.h"
#include "texts/qt/screen_text.h"
#include "texts/qt/window_texts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>

namespace cronovolta {
namespace {

constexpr double kDesignWidth = 12000;
constexpr double kDesignHeight = 9000;
// Points to twips, narrowed a little: the designs were drawn with a narrower sans serif.
constexpr double kTwipsPerPoint = 20 * 0.85;
constexpr int kRankBackground = 8; // QBColor grey: the fixed rank column

Qt::Alignment columnAlignment(int column) {
    switch (column) {
    case col::Name:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case col::OrderTime:
    case col::Fastest:
    case col::FastestTime:
    case col::GapLeader:
    case col::GapPrevious:
    case col::LastLap:
    case col::HeatFastest:
    case col::HeatKey1:
    case col::HeatKey2:
        return Qt::AlignRight | Qt::AlignVCenter;
    default:
        return Qt::AlignCenter;
    }
}

// Writes a cell of a small display table only when its text or colour changed; returns
// whether its text changed.
bool setCell(QTableWidget* table, int row, int column, const QString& text,
             const QColor& background = QColor()) {
    if (row >= table->rowCount()) {
        table->setRowCount(row + 1);
    }
    if (column >= table->columnCount()) {
        table->setColumnCount(column + 1);
    }
    QTableWidgetItem* item = table->item(row, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        item->setFlags(Qt::ItemIsEnabled);
        table->setItem(row, column, item);
    }
    const bool newText = item->text() != text;
    if (newText) {
        item->setText(text);
    }
    const QBrush brush = background.isValid() ? QBrush(background) : QBrush();
    if (item->background() != brush) {
        item->setBackground(brush);
    }
    return newText;
}

QTableWidget* displayTable(QWidget* parent, const QString& name, int columns) {
    auto* table = new QTableWidget(0, columns, parent);
    table->setObjectName(name);
    table->setFocusPolicy(Qt::NoFocus);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return table;
}

void fitHeight(QTableWidget* table, int rows) {
    // The heading's size hint, not its height: that is stale until the table is laid out.
    const int rowHeight = table->verticalHeader()->defaultSectionSize();
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() + rows * rowHeight +
                          2 * table->frameWidth() + 2);
}

void fitWidth(QTableWidget* table) {
    table->resizeColumnsToContents();
    int width = 2 * table->frameWidth();
    for (int c = 0; c < table->columnCount(); ++c) {
        width += table->columnWidth(c);
    }
    if (table->minimumWidth() != width) {
        table->setMinimumWidth(width);
    }
}

QString labelStyle(const QColor& background, const QColor& text) {
    return QStringLiteral("background-color: %1; color: %2; border: 1px solid #303030; "
                          "padding: 2px 8px;")
        .arg(background.name(), text.name());
}

} // namespace

// ----- StandingsCells -----

StandingsCells::StandingsCells(const StandingsTableModel& model, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model) {
    m_pictures.setMaxCost(kPictureCacheKb);
}

void StandingsCells::forget() {
    m_pictures.clear();
}

void StandingsCells::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    const int row = index.row();
    const int column = index.column();
    const qreal ratio = painter->device()->devicePixelRatioF();
    const Look look{column,
                    m_model.colour(row, column),
                    column == col::Heats && m_model.marker(row),
                    static_cast<int>(option.state),
                    option.rect.size(),
                    ratio,
                    m_model.text(row, column)};
    if (const QPixmap* picture = m_pictures.object(look)) {
        painter->drawPixmap(option.rect.topLeft(), *picture);
        return;
    }
    auto picture = std::make_unique<QPixmap>(option.rect.size() * ratio);
    picture->setDevicePixelRatio(ratio);
    {
        QPainter cell(picture.get());
        QStyleOptionViewItem local(option);
        local.rect = QRect(QPoint(0, 0), option.rect.size());
        QStyledItemDelegate::paint(&cell, local, index);
    }
    painter->drawPixmap(option.rect.topLeft(), *picture);
    const qsizetype kb = std::max<qsizetype>(1, static_cast<qsizetype>(picture->width()) *
                                                    picture->height() * 4 / 1024);
    m_pictures.insert(look, picture.release(), kb);
}

// ----- StandingsTableModel -----

StandingsTableModel::StandingsTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void StandingsTableModel::setFonts(const QFont& normal, const QFont& bold, int markerHeight) {
    m_font = normal;
    m_bold = bold;
    m_marker = crossingMarker(markerHeight);
    if (!m_rows.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, col::Count - 1));
    }
}

bool StandingsTableModel::fill(RowView& view, const StandingsGrid& grid, int row) {
    bool changed = false;
    for (int c = 0; c < col::Count; ++c) {
        const auto i = static_cast<std::size_t>(c);
        const std::string& text = grid.shownText(row, c);
        if (view.source[i] != text) {
            view.source[i] = text;
            view.text[i] = qstr(text);
            changed = true;
        }
        const int colour = c == col::Rank ? kRankBackground : grid.cellColour(row, c);
        if (view.colour[i] != colour) {
            view.colour[i] = colour;
            changed = true;
        }
    }
    if (view.marker != grid.marker(row)) {
        view.marker = grid.marker(row);
        changed = true;
    }
    return changed;
}

int StandingsTableModel::sync(const StandingsGrid& grid, const std::vector<std::string>& headings) {
    if (headings != m_headingSource) {
        m_headingSource = headings;
        m_headings.clear();
        for (const std::string& h : headings) {
            m_headings << qstr(h);
        }
        emit headerDataChanged(Qt::Horizontal, 0, col::Count - 1);
    }
    if (grid.rowCount() != rowCount()) {
        beginResetModel();
        m_rows.assign(static_cast<std::size_t>(grid.rowCount()), RowView{});
        for (int r = 1; r <= grid.rowCount(); ++r) {
            RowView& view = m_rows[static_cast<std::size_t>(r - 1)];
            view.colour.fill(-2);
            fill(view, grid, r);
        }
        endResetModel();
        return grid.rowCount();
    }
    int changedRows = 0;
    int first = -1;
    auto flush = [&](int last) {
        if (first >= 0) {
            emit dataChanged(index(first, 0), index(last, col::Count - 1));
            first = -1;
        }
    };
    for (int r = 1; r <= grid.rowCount(); ++r) {
        if (fill(m_rows[static_cast<std::size_t>(r - 1)], grid, r)) {
            ++changedRows;
            if (first < 0) {
                first = r - 1;
            }
        } else {
            flush(r - 2);
        }
    }
    flush(rowCount() - 1);
    return changedRows;
}

int StandingsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int StandingsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : col::Count;
}

QString StandingsTableModel::text(int row, int column) const {
    return m_rows.at(static_cast<std::size_t>(row)).text.at(static_cast<std::size_t>(column));
}

int StandingsTableModel::colour(int row, int column) const {
    return m_rows.at(static_cast<std::size_t>(row)).colour.at(static_cast<std::size_t>(column));
}

bool StandingsTableModel::marker(int row) const {
    return m_rows.at(static_cast<std::size_t>(row)).marker;
}

QVariant StandingsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const RowView& row = m_rows[static_cast<std::size_t>(index.row())];
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return row.text[static_cast<std::size_t>(c)];
    case Qt::DecorationRole:
        return c == col::Heats && row.marker ? QVariant(m_marker) : QVariant();
    case Qt::BackgroundRole:
        return qbQColor(row.colour[static_cast<std::size_t>(c)], Qt::white);
    case Qt::ForegroundRole:
        return c == col::Rank ? QColor(Qt::white) : QColor(Qt::black);
    case Qt::FontRole:
        return c == col::Rank || c == col::Name ? m_bold : m_font;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(c));
    default:
        return {};
    }
}

QVariant StandingsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= col::Count) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return section < m_headings.size() ? m_headings.at(section) : QString();
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(columnAlignment(section));
    }
    if (role == Qt::FontRole) {
        const auto s = static_cast<std::size_t>(section);
        return s < m_headingFonts.size() ? m_headingFonts[s] : m_bold;
    }
    return {};
}

// ----- TrackPicture -----

TrackPicture::TrackPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Circuit"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TrackPicture::setImages(const std::array<fs::path, 4>& images) {
    bool changed = false;
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (images[i] == m_paths[i]) {
            continue;
        }
        m_paths[i] = images[i];
        m_pixmaps[i] = QPixmap();
        if (!images[i].empty()) {
            // A picture that cannot be read is left out, as a missing one is.
            m_pixmaps[i].load(QString::fromStdString(images[i].string()));
        }
        changed = true;
    }
    if (changed) {
        setVisible(hasImage(0));
        update();
    }
}

void TrackPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const QPixmap& pixmap : m_pixmaps) {
        if (pixmap.isNull()) {
            continue;
        }
        QSize size = pixmap.size().scaled(this->size(), Qt::KeepAspectRatio);
        QRect target(QPoint(0, 0), size);
        target.moveCenter(rect().center());
        p.drawPixmap(target, pixmap);
    }
}

// ----- StandingsWindow -----

StandingsWindow::StandingsWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Classificacio"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(16, 24, 48));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    buildGrid();
    buildInfoBar();
    QHBoxLayout* legendLayout = buildLegend();
    buildSuperPolePanel();

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(m_grid, 1);
    top->addWidget(m_superPole);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addWidget(m_infos, 1);
    bottom->addStretch();
    bottom->addLayout(legendLayout);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    m_infos->hide();
    resize(800, 600);
}

StandingsWindow::~StandingsWindow() = default;

void StandingsWindow::buildGrid() {
    m_model = new StandingsTableModel(this);
    connect(m_model, &QAbstractItemModel::headerDataChanged, this, [this] { fitHeadings(); });
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("InfoClass"));
    m_grid->setModel(m_model);
    m_cells = new StandingsCells(*m_model, m_grid);
    m_grid->setItemDelegate(m_cells);
    m_grid->setFocusPolicy(Qt::NoFocus); // the heat keys reach the window
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setMinimumSectionSize(4);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_grid->setWordWrap(false);
    m_grid->setTextElideMode(Qt::ElideNone); // a cut time still shows its first digits
    QPalette gridPalette = m_grid->palette();
    gridPalette.setColor(QPalette::Base, QColor(16, 24, 48));
    m_grid->setPalette(gridPalette);
    m_grid->viewport()->installEventFilter(this);
    m_grid->installEventFilter(this); // the columns share out the grid's width
}

// The heat, the clock and the table of the lanes' best laps, under the grid.
void StandingsWindow::buildInfoBar() {
    m_infos = new QFrame(this);
    m_infos->setObjectName(QStringLiteral("Infos"));
    auto* infoLayout = new QHBoxLayout(m_infos);
    infoLayout->setContentsMargins(0, 0, 0, 0);
    m_heatLabel = new QLabel(m_infos);
    m_heatLabel->setObjectName(QStringLiteral("TextManiga"));
    m_clock = new QLabel(m_infos);
    m_clock->setObjectName(QStringLiteral("Hora"));
    m_fastestLapTable = displayTable(m_infos, QStringLiteral("TaulaVR"), 5);
    m_fastestLapTable->setRowCount(1);
    m_fastestLapTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Each column as wide as its longest text, the table as wide as its columns: a name
    // or a heading is never cut.
    m_fastestLapTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_fastestLapTable->horizontalHeader()->setStretchLastSection(true);
    infoLayout->addWidget(m_heatLabel);
    infoLayout->addSpacing(12);
    infoLayout->addWidget(m_clock);
    infoLayout->addSpacing(12);
    infoLayout->addWidget(m_fastestLapTable, 1);
}

QHBoxLayout* StandingsWindow::buildLegend() {
    auto* legendLayout = new QHBoxLayout;
    legendLayout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Legenda_%1").arg(i));
        label->setAlignment(Qt::AlignCenter);
        m_legend[static_cast<std::size_t>(i)] = label;
        legendLayout->addWidget(label);
    }
    return legendLayout;
}

void StandingsWindow::buildSuperPolePanel() {
    m_superPole = new QWidget(this);
    m_superPole->setObjectName(QStringLiteral("SuperPole"));
    auto* column = new QVBoxLayout(m_superPole);
    column->setContentsMargins(6, 0, 0, 0);
    m_nextDriver = new QLabel(m_superPole);
    m_nextDriver->setObjectName(QStringLiteral("MarcSPP"));
    m_onTrack = new QLabel(m_superPole);
    m_onTrack->setObjectName(QStringLiteral("EnPista"));
    m_onTrack->setAlignment(Qt::AlignCenter);
    m_onTrack->setStyleSheet(labelStyle(QColor(255, 255, 255), Qt::black));
    m_runs = displayTable(m_superPole, QStringLiteral("TempsSPP"), spcol::Count);
    m_runs->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_runs->horizontalHeader()->setSectionResizeMode(spcol::Name, QHeaderView::Stretch);
    m_splits = displayTable(m_superPole, QStringLiteral("LlistaTR"), 3);
    m_best = displayTable(m_superPole, QStringLiteral("RefParcials"), 3);
    m_best->horizontalHeader()->hide();
    m_best->setRowCount(3);
    m_reference = displayTable(m_superPole, QStringLiteral("Ref"), 5);
    m_reference->setRowCount(1);
    m_reference->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_reference->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_track = new TrackPicture(m_superPole);
    m_track->hide();
    column->addWidget(m_nextDriver);
    column->addWidget(m_onTrack);
    column->addWidget(m_runs, 2);
    column->addWidget(m_splits, 1);
    column->addWidget(m_best);
    column->addWidget(m_reference);
    column->addWidget(m_track, 2);
    m_superPole->hide();
}

void StandingsWindow::open(const StandingsSetup& setup) {
    m_setup = setup;
    m_showFastest = false;
    m_topRow = 0;
    MessageTable local;
    MessageTable& messages = setup.messages != nullptr ? *setup.messages : local;
    applyWindowTexts(this, localiseWindow("Classificacio", setup.language, messages));
    m_heatCaption = qstr(messages.text(msgkey::kHeatCaption));
    setWindowTitle(setup.title);
    for (int c = 0; c < m_reference->columnCount(); ++c) {
        if (QTableWidgetItem* heading = m_reference->horizontalHeaderItem(c)) {
            m_fastestLapTable->setHorizontalHeaderItem(c, heading->clone());
        }
    }
    const std::array<int, 3> legendSlots{1, 5, 2};
    for (std::size_t i = 0; i < legendSlots.size(); ++i) {
        m_legend[i]->setStyleSheet(labelStyle(
            qbQColor(setup.colours.slot[static_cast<std::size_t>(legendSlots[i])], Qt::white),
            Qt::black));
    }
    m_superPole->setVisible(setup.programmeType == ProgrammeType::SuperPole);
    m_splits->hide();
    m_best->hide();
    setInfoShown(setup.infoShown);
    applyColumns();
    applySizes();
}

void StandingsWindow::applyColumns() {
    std::array<int, col::Count> widths = standingsColumnWidths(m_setup.programmeType);
    if (m_showFastest) {
        switch (m_setup.programmeType) {
        case ProgrammeType::SuperPole:
            widths[col::LastLap] = widths[col::Fastest];
            widths[col::Fastest] = 0;
            break;
        case ProgrammeType::Race:
            widths[col::Fastest] = widths[col::HeatFastest];
            widths[col::HeatFastest] = 0;
            widths[col::LastLap] = 0;
            break;
        default:
            widths[col::LastLap] = 0;
            break;
        }
    }
    int total = 0;
    for (int w : widths) {
        total += w;
    }
    // Room for the scroll bar is kept so that columns do not jump when it appears.
    const int available = std::max(100, m_grid->width() - 2 * m_grid->frameWidth() -
                                            m_grid->verticalScrollBar()->sizeHint().width());
    const double factor = double(available) / std::max(total, 1);
    int used = 0;
    int last = -1;
    for (int c = 0; c < col::Count; ++c) {
        const int w = widths[static_cast<std::size_t>(c)];
        m_grid->setColumnHidden(c, w == 0);
        if (w > 0) {
            const int px = static_cast<int>(std::floor(w * factor));
            m_grid->setColumnWidth(c, px);
            used += px;
            last = c;
        }
    }
    if (last >= 0 && used < available) {
        m_grid->setColumnWidth(last, m_grid->columnWidth(last) + available - used - 1);
    }
    fitHeadings();
}

void StandingsWindow::fitHeadings() {
    // Each heading takes the rows' bold font, smaller only where it would be cut off.
    QFont bold = m_grid->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    QHeaderView* header = m_grid->horizontalHeader();
    const int margins =
        2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 2;
    std::vector<QFont> fonts(col::Count, bold);
    for (int c = 0; c < col::Count; ++c) {
        const QString heading = m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const int text = metrics.horizontalAdvance(heading);
        const int room = m_grid->columnWidth(c) - margins;
        if (!heading.isEmpty() && text > room && bold.pixelSize() > 0) {
            QFont& f = fonts[static_cast<std::size_t>(c)];
            f.setPixelSize(std::max(7, bold.pixelSize() * std::max(room, 1) / text));
        }
    }
    m_model->setHeadingFonts(std::move(fonts));
    header->setFont(bold);
    header->viewport()->update();
}

void StandingsWindow::applySizes() {
    layout()->activate(); // the column widths follow the grid's width, even before showing
    const double fy = std::max(height(), 200) / kDesignHeight;
    const double fx = std::max(width(), 200) / kDesignWidth;
    const double f = std::min(fx, fy); // text must fit both ways
    const StandingsRowSize size = standingsRowSize(m_setup.participants);
    const int fontPx =
        std::max(8, static_cast<int>(std::lround(size.fontSize * kTwipsPerPoint * f)));
    const int rowPx = std::max(fontPx + 6, static_cast<int>(std::lround(size.height * fy)));
    const QFont font = screenFont(fontPx);
    const QFont bold = screenFont(fontPx, true);
    m_cells->forget();
    m_model->setFonts(font, bold, rowPx / 2);
    m_grid->verticalHeader()->setDefaultSectionSize(rowPx);
    m_grid->verticalHeader()->setMinimumSectionSize(rowPx);
    m_grid->horizontalHeader()->setFont(bold);
    m_grid->horizontalHeader()->setFixedHeight(rowPx);
    m_grid->setFont(font);
    m_grid->setIconSize(QSize(rowPx / 2, rowPx / 2));

    const QFont small = screenFont(std::max(8, static_cast<int>(std::lround(200 * f))));
    const QFont smallBold = screenFont(small.pixelSize(), true);
    for (QLabel* label : m_legend) {
        label->setFont(smallBold);
    }
    m_heatLabel->setFont(smallBold);
    m_clock->setFont(screenFont(small.pixelSize() * 3 / 2, true));
    m_fastestLapTable->setFont(small);
    m_fastestLapTable->horizontalHeader()->setFont(smallBold);
    m_fastestLapTable->verticalHeader()->setDefaultSectionSize(small.pixelSize() + 8);
    fitHeight(m_fastestLapTable, 1);
    fitWidth(m_fastestLapTable);

    if (m_setup.programmeType == ProgrammeType::SuperPole) {
        m_superPole->setFixedWidth(static_cast<int>(std::lround((kDesignWidth - 7495) * fx)));
        m_grid->setMaximumWidth(static_cast<int>(std::lround(7495 * fx)));
        const QFont big = screenFont(static_cast<int>(std::lround(360 * f)), true);
        m_nextDriver->setFont(big);
        m_onTrack->setFont(screenFont(static_cast<int>(std::lround(480 * f)), true));
        for (QTableWidget* t : {m_runs, m_splits, m_best, m_reference}) {
            t->setFont(small);
            t->horizontalHeader()->setFont(smallBold);
            t->verticalHeader()->setDefaultSectionSize(
                static_cast<int>(std::lround(410 * f * 0.75)));
        }
        fitHeight(m_best, 3);
        fitHeight(m_reference, 1);
    } else {
        m_grid->setMaximumWidth(QWIDGETSIZE_MAX);
    }
    applyColumns();
}

int StandingsWindow::rowHeight() const {
    return m_grid->verticalHeader()->defaultSectionSize();
}

bool StandingsWindow::infoShown() const {
    return !m_infos->isHidden();
}

void StandingsWindow::setInfoShown(bool shown) {
    if (shown == infoShown()) {
        return;
    }
    m_infos->setVisible(shown);
    emit infoShownChanged(shown);
}

void StandingsWindow::toggleLapColumns() {
    m_showFastest = !m_showFastest;
    applyColumns();
}

void StandingsWindow::sync(const StandingsFrame& frame) {
    m_heatRunning = frame.heatRunning;
    m_lastSyncRows = 0;
    if (frame.grid != nullptr) {
        static const std::vector<std::string> kNoHeadings(col::Count);
        m_lastSyncRows =
            m_model->sync(*frame.grid, frame.headings != nullptr ? *frame.headings : kNoHeadings);
        if (frame.grid->topRow() != m_topRow) {
            // Auto-scroll and the last crossing move the top row; the organiser's own
            // scrolling stays until then.
            m_topRow = frame.grid->topRow();
            m_grid->verticalScrollBar()->setValue(m_topRow - 1);
        }
    }
    syncInfo(frame);
    if (frame.superPole != nullptr && m_setup.programmeType == ProgrammeType::SuperPole) {
        syncSuperPole(*frame.superPole);
    }
}

void StandingsWindow::syncInfo(const StandingsFrame& frame) {
    const QString heat = m_heatCaption + QLatin1Char(' ') + QString::number(frame.heat);
    if (m_heatLabel->text() != heat) {
        m_heatLabel->setText(heat);
    }
    const QString clock = qstr(frame.clock);
    if (m_clock->text() != clock) {
        m_clock->setText(clock);
    }
    if (frame.absolute != nullptr) {
        const AbsoluteFastestLap& a = *frame.absolute;
        const QColor best = qbQColor(m_setup.colours.slot[1], Qt::white);
        bool newText =
            setCell(m_fastestLapTable, 0, 0, qstr(a.time), a.time.empty() ? QColor() : best);
        newText = setCell(m_fastestLapTable, 0, 1, qstr(a.name)) || newText;
        newText = setCell(m_fastestLapTable, 0, 2, qstr(a.participant)) || newText;
        newText = setCell(m_fastestLapTable, 0, 3, qstr(a.lane)) || newText;
        newText = setCell(m_fastestLapTable, 0, 4, qstr(a.series)) || newText;
        if (newText) {
            fitWidth(m_fastestLapTable); // measures every text: only when one changed
        }
    }
}

QStringList StandingsWindow::runHeadings() const {
    auto heading = [](const QTableWidget* table, int column) {
        const QTableWidgetItem* item = table->horizontalHeaderItem(column);
        return item != nullptr ? item->text() : QString();
    };
    return {heading(m_reference, 2),
            heading(m_reference, 1),
            heading(m_reference, 3),
            m_model->headerData(col::LastLap, Qt::Horizontal, Qt::DisplayRole).toString(),
            heading(m_splits, 0),
            heading(m_splits, 1),
            heading(m_splits, 2)};
}

void StandingsWindow::syncSuperPole(const SuperPoleModel& model) {
    const QString next = qstr(model.nextDriver);
    if (m_nextDriver->text() != next) {
        m_nextDriver->setText(next);
    }
    const QString onTrack = qstr(model.onTrack);
    if (m_onTrack->text() != onTrack) {
        m_onTrack->setText(onTrack);
    }
    const int runs = std::max(0, static_cast<int>(model.timing.size()) - 1);
    if (!model.timing.empty()) {
        QStringList headings;
        for (const std::string& h : model.timing.front()) {
            headings << qstr(h);
        }
        // Without headings of its own the runs take those of the reference table, the
        // standings' last lap and the split display.
        const QStringList fallback = runHeadings();
        for (int c = 0; c < spcol::Count && c < headings.size(); ++c) {
            if (headings[c].trimmed().isEmpty()) {
                headings[c] = fallback.value(c);
            }
        }
        for (int c = 0; c < spcol::Count; ++c) {
            QTableWidgetItem* item = m_runs->horizontalHeaderItem(c);
            if (item == nullptr || item->text() != headings.at(c)) {
                m_runs->setHorizontalHeaderItem(c, new QTableWidgetItem(headings.at(c)));
            }
        }
    }
    m_runs->setRowCount(runs);
    for (int r = 0; r < runs; ++r) {
        const auto& row = model.timing[static_cast<std::size_t>(r + 1)];
        for (int c = 0; c < spcol::Count; ++c) {
            setCell(m_runs, r, c, qstr(row[static_cast<std::size_t>(c)]));
        }
    }
    for (int c = spcol::Split1; c <= spcol::Speed; ++c) {
        m_runs->setColumnHidden(c, !model.splitDisplay);
    }
    if (runs > 0) {
        m_runs->scrollToBottom();
    }

    m_splits->setVisible(model.splitDisplay);
    m_best->setVisible(model.splitDisplay);
    if (model.splitDisplay) {
        const int splitRows = std::max(0, static_cast<int>(model.splits.size()) - 1);
        m_splits->setRowCount(splitRows);
        for (int r = 0; r < splitRows; ++r) {
            const auto& row = model.splits[static_cast<std::size_t>(r + 1)];
            for (int c = 0; c < 3; ++c) {
                const SplitCell& cell = row[static_cast<std::size_t>(c)];
                setCell(m_splits, r, c, qstr(cell.text), qbQColor(cell.colour));
            }
        }
        if (splitRows > 0) {
            m_splits->scrollToBottom();
        }
        const std::array<int, 3> rankSlots{1, 5, 2};
        for (int r = 1; r <= 3; ++r) {
            const QColor colour =
                qbQColor(m_setup.colours.slot[static_cast<std::size_t>(rankSlots[r - 1])]);
            for (int c = 0; c < 3; ++c) {
                const std::string& text =
                    model.reference[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
                setCell(m_best, r - 1, c, qstr(text), text.empty() ? QColor() : colour);
            }
        }
    }
    for (int c = 0; c < 5; ++c) {
        setCell(m_reference, 0, c, qstr(model.driverReference[static_cast<std::size_t>(c)]));
    }
    m_track->setImages(model.images);
}

void StandingsWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        setInfoShown(!infoShown());
    }
    if (passHeatKeys(*event, [this](int code) { emit heatKey(code); })) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void StandingsWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applySizes();
}

void StandingsWindow::gridDoubleClicked(const QPoint& pos) {
    if (m_setup.programmeType < ProgrammeType::OfficialPractice ||
        m_setup.programmeType > ProgrammeType::Race) {
        return;
    }
    if (m_grid->indexAt(pos).isValid()) {
        toggleLapColumns();
    } else if (!m_heatRunning) {
        emit resultsRequested();
    }
}

void StandingsWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_setup.programmeType >= ProgrammeType::OfficialPractice &&
        m_setup.programmeType <= ProgrammeType::Race && !m_heatRunning) {
        emit resultsRequested();
    }
    event->accept();
}

bool StandingsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::Resize) {
        applyColumns();
        return false;
    }
    if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        gridDoubleClicked(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace cronovolta
