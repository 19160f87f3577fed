#include "output/qt/lap_by_lap_view.h"

#include "heat/qt/screen_support.h"
#include "storage/qt/screen_colours.h"
#include "texts/qt/screen_text.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmapCache>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>

namespace cronovolta {
namespace {

// The panels are placed in twips of the 800 x 600 design screen (15 twips a pixel) and
// the whole design is stretched over the window.
constexpr double kDesignWidth = 12000;
constexpr double kDesignHeight = 9000;
constexpr double kMargin = 120;
constexpr double kTitleHeight = 285;
constexpr double kDriverHeight = 315;
constexpr double kDriverGap = 10;
constexpr double kFastestGap = 25;
constexpr double kFastestHeight = 330;
constexpr double kGridWidth = 1400;
constexpr double kGridRowHeight = 325;
constexpr double kFlagWidth = 360;
constexpr double kFlagHeight = 240;
constexpr double kBarWidth = 255;
constexpr double kBarFromEdge = 50;
constexpr double kBarShorter = 700;
// Points to twips, narrowed a little: the designs were drawn with a narrower sans serif.
constexpr double kTwipsPerPoint = 20 * 0.85;

const QColor kWindowColour(16, 24, 48);
const QColor kHeaderColour(64, 64, 64);

struct Scale {
    double fx = 1.0;
    double fy = 1.0;
    int x(double twips) const { return static_cast<int>(std::lround(twips * fx)); }
    int y(double twips) const { return static_cast<int>(std::lround(twips * fy)); }
    // Text must fit both ways: fonts follow the smaller of the two factors.
    int font(double twips) const { return static_cast<int>(std::lround(twips * std::min(fx, fy))); }
};

Scale scaleFor(const QSize& size) {
    return {std::max(size.width(), 100) / kDesignWidth,
            std::max(size.height(), 100) / kDesignHeight};
}

QString labelStyle(const QColor& background, const QColor& text) {
    return QStringLiteral("background-color: %1; color: %2; border: 1px solid #202020;")
        .arg(background.name(), text.name());
}

// The font shrunk so that `text` takes at most `room` pixels.
QFont shrunkToFit(QFont font, const QString& text, int room) {
    const int needed = QFontMetrics(font).horizontalAdvance(text);
    if (needed > room && room > 0) {
        if (font.pixelSize() > 0) {
            font.setPixelSize(std::max(6, font.pixelSize() * room / needed));
        } else {
            font.setPointSizeF(std::max(5.0, font.pointSizeF() * room / needed));
        }
    }
    return font;
}

// A lane's scroll bar. Each lap appended moves its range: it repaints only when what it
// shows has changed, and at rest it is drawn from a picture shared by the bars of the same
// look, as the lanes of a heat mostly have similar lap counts.
class LapScrollBar : public QScrollBar {
public:
    explicit LapScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {}

protected:
    void sliderChange(SliderChange change) override {
        if ((change == SliderRangeChange || change == SliderValueChange) && look() == m_painted) {
            return;
        }
        QScrollBar::sliderChange(change);
    }

    void paintEvent(QPaintEvent* event) override {
        m_painted = look();
        if (underMouse() || isSliderDown()) {
            QScrollBar::paintEvent(event); // hovered or pressed parts have their own looks
            return;
        }
        QStyleOptionSlider option = restingOption();
        const qreal ratio = devicePixelRatioF();
        const QRect& h = m_painted.handle;
        const QString key = QStringLiteral("cronovolta-lap-bar:%1x%2:%3,%4,%5x%6:%7:%8%9:%10:%11")
                                .arg(width())
                                .arg(height())
                                .arg(h.x())
                                .arg(h.y())
                                .arg(h.width())
                                .arg(h.height())
                                .arg(int(option.state))
                                .arg(int(m_painted.atMinimum))
                                .arg(int(m_painted.atMaximum))
                                .arg(option.palette.cacheKey())
                                .arg(ratio);
        QPixmap picture;
        if (!QPixmapCache::find(key, &picture)) {
            picture = QPixmap(size() * ratio);
            picture.setDevicePixelRatio(ratio);
            picture.fill(Qt::transparent);
            QPainter p(&picture);
            style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &p, this);
            p.end();
            QPixmapCache::insert(key, picture);
        }
        QPainter p(this);
        p.drawPixmap(0, 0, picture);
    }

private:
    struct Look {
        QRect handle;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Look&) const = default;
    };

    QStyleOptionSlider restingOption() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        option.subControls = QStyle::SC_All;
        option.activeSubControls = QStyle::SC_None;
        return option;
    }

    Look look() const {
        const QStyleOptionSlider option = restingOption();
        return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                        this),
                value() == minimum(), value() == maximum()};
    }

    Look m_painted{QRect(-1, -1, 0, 0)};
};

} // namespace

// ----- LaneGrid -----

LaneGrid::LaneGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("Llista"));
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::Box);
    setVerticalScrollBar(new LapScrollBar(this));
    verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    m_rows.assign(2, QString());
    m_highlight.assign(2, false);
}

void LaneGrid::setColours(const QColor& background, const QColor& highlight) {
    if (background == m_background && highlight == m_highlightColour) {
        return;
    }
    m_background = background;
    m_highlightColour = highlight;
    viewport()->update();
}

void LaneGrid::setMetrics(const QFont& font, int rowHeight) {
    setFont(font);
    m_rowHeight = std::max(rowHeight, 8);
    updateScrollRange();
    fitLapFont();
    viewport()->update();
}

void LaneGrid::fitLapFont() {
    // On a busy track the columns are narrow: a lap of ten seconds or more needs its two
    // digits as much as a short one.
    m_lapFont = shrunkToFit(font(), QStringLiteral("00.0000"), viewport()->width() - 4);
}

QFont LaneGrid::fontFor(const QString& text) const {
    const int room = viewport()->width() - 4;
    if (text.size() <= 7) {
        return m_lapFont;
    }
    return shrunkToFit(m_lapFont, text, room);
}

bool LaneGrid::setRows(const LanePanel& panel) {
    // Usually a lap was appended: only the rows that are new or changed are taken over.
    bool changed = panel.rows.size() != m_source.size();
    m_source.resize(panel.rows.size());
    m_rows.resize(panel.rows.size());
    for (std::size_t i = 0; i < panel.rows.size(); ++i) {
        if (m_source[i] != panel.rows[i]) {
            m_source[i] = panel.rows[i];
            m_rows[i] = qstr(panel.rows[i]);
            changed = true;
        }
    }
    std::vector<bool> marks(panel.highlighted.begin(), panel.highlighted.end());
    marks.resize(m_rows.size(), false);
    changed = changed || marks != m_highlight || panel.topRow != m_topRow;
    if (!changed) {
        return false;
    }
    m_highlight = std::move(marks);
    m_topRow = panel.topRow;
    updateScrollRange();
    viewport()->update();
    return true;
}

QString LaneGrid::rowText(int row) const {
    return row >= 0 && row < rowCount() ? m_rows[static_cast<std::size_t>(row)] : QString();
}

bool LaneGrid::highlighted(int row) const {
    return row >= 0 && row < static_cast<int>(m_highlight.size()) &&
           m_highlight[static_cast<std::size_t>(row)];
}

int LaneGrid::visibleRows() const {
    return std::max(1, viewport()->height() / m_rowHeight - 1);
}

int LaneGrid::firstVisibleRow() const {
    return 1 + verticalScrollBar()->value();
}

void LaneGrid::updateScrollRange() {
    const int lapRows = std::max(0, rowCount() - 1);
    const int maximum = std::max(0, lapRows - visibleRows());
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, maximum);
    bar->setPageStep(visibleRows());
    // The model's top row is the newest lap; the bar stops where the last row is in view.
    bar->setValue(std::clamp(m_topRow - 1, 0, maximum));
}

void LaneGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
    fitLapFont();
}

void LaneGrid::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QRect area = viewport()->rect();
    p.fillRect(area, m_background);
    p.setFont(font());

    QRect header(0, 0, area.width(), m_rowHeight);
    p.fillRect(header, kHeaderColour);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(Qt::white);
    p.drawText(header, Qt::AlignCenter, rowText(0));
    p.setFont(m_lapFont);

    p.setPen(Qt::black);
    int y = m_rowHeight;
    for (int row = firstVisibleRow(); row < rowCount() && y < area.height(); ++row) {
        QRect cell(0, y, area.width(), m_rowHeight);
        if (highlighted(row)) {
            p.fillRect(cell, m_highlightColour);
        }
        const QString& text = m_rows[static_cast<std::size_t>(row)];
        if (text.size() > 7) {
            p.setFont(fontFor(text));
        }
        p.drawText(cell, Qt::AlignCenter, text);
        if (text.size() > 7) {
            p.setFont(m_lapFont);
        }
        y += m_rowHeight;
    }
}

// ----- LapByLapView -----

LapByLapView::LapByLapView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("VoltaaVolta"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kWindowColour);
    setPalette(pal);
    m_area = new QWidget(this);
    m_area->setObjectName(QStringLiteral("RecuadreMobil"));
    m_bar = new QScrollBar(Qt::Vertical, this);
    m_bar->setObjectName(QStringLiteral("Barra"));
    m_bar->setFocusPolicy(Qt::NoFocus);
    m_bar->setRange(1, 1);
    m_bar->hide();
    connect(m_bar, &QScrollBar::valueChanged, this, [this] { moveArea(); });
    m_flag = new QLabel(m_area);
    m_flag->setObjectName(QStringLiteral("Bandera"));
    m_flag->hide();
    resize(800, 600);
}

void LapByLapView::setColourSlots(const ColourSlots& colourSlots) {
    m_colours = colourSlots;
    for (LaneWidgets& w : m_lanes) {
        w.shown = LanePanel{};
        w.shown.rows.clear(); // forces a full repaint at the next sync
    }
}

int LapByLapView::shownPanels() const {
    int n = 0;
    for (std::size_t lane = 1; lane < m_lanes.size(); ++lane) {
        n += m_lanes[lane].shown.takesPart ? 1 : 0;
    }
    return n;
}

bool LapByLapView::sameArrangement(const LapLanes& lanes) const {
    if (lanes.highestLane() != highestLane()) {
        return false;
    }
    const LanesLayout& l = lanes.layout();
    if (l.panelRows != m_layout.panelRows || l.panelsPerRow != m_layout.panelsPerRow ||
        l.gridHeight != m_layout.gridHeight || l.fontSize != m_layout.fontSize) {
        return false;
    }
    for (int lane = 1; lane <= highestLane(); ++lane) {
        const LanePanel& p = lanes.panel(lane);
        const LanePanel& s = at(lane).shown;
        if (p.takesPart != s.takesPart || p.position != s.position || p.title != s.title) {
            return false;
        }
    }
    return true;
}

void LapByLapView::rebuild(const LapLanes& lanes) {
    for (LaneWidgets& w : m_lanes) {
        delete w.title;
        delete w.pilot;
        delete w.grid;
        delete w.fastest;
    }
    m_lanes.assign(static_cast<std::size_t>(std::max(lanes.highestLane(), 0)) + 1, LaneWidgets{});
    m_layout = lanes.layout();
    for (int lane = 1; lane <= lanes.highestLane(); ++lane) {
        LaneWidgets& w = m_lanes[static_cast<std::size_t>(lane)];
        const LanePanel& panel = lanes.panel(lane);
        w.title = new QLabel(m_area);
        w.title->setObjectName(QStringLiteral("Titol_%1").arg(lane));
        w.title->setAlignment(Qt::AlignCenter);
        w.title->setStyleSheet(QStringLiteral("color: white;"));
        w.pilot = new QLineEdit(m_area);
        w.pilot->setObjectName(QStringLiteral("Pilot_%1").arg(lane));
        w.pilot->setReadOnly(true);
        w.pilot->setFocusPolicy(Qt::NoFocus); // the name fields never hold the keyboard
        w.pilot->setAlignment(Qt::AlignCenter);
        w.grid = new LaneGrid(m_area);
        w.grid->setObjectName(QStringLiteral("Llista_%1").arg(lane));
        w.fastest = new QLabel(m_area);
        w.fastest->setObjectName(QStringLiteral("VRapida_%1").arg(lane));
        w.fastest->setAlignment(Qt::AlignCenter);
        w.title->setText(qstr(panel.title));
        w.shown.takesPart = panel.takesPart;
        w.shown.position = panel.position;
        w.shown.title = panel.title;
        w.shown.rows.clear(); // nothing shown yet: the first sync fills every part
        w.shown.pilot = "\x01";
        w.shown.fastestLap = "\x01";
        w.shown.gridColour = -2;
        for (QWidget* part : std::initializer_list<QWidget*>{w.title, w.pilot, w.grid, w.fastest}) {
            part->setVisible(panel.takesPart);
        }
    }
    m_flag->raise();
    m_bar->setRange(1, std::max(1, m_layout.scrollMax));
    m_bar->setPageStep(1);
    m_bar->setVisible(m_layout.scrollBarVisible);
    m_modelScroll = 0;
    placePanels();
}

void LapByLapView::placePanels() {
    const Scale s = scaleFor(size());
    const LanesLayout& l = m_layout;
    const double barRoom = l.scrollBarVisible ? kBarWidth + kBarFromEdge : 0.0;
    const double columnStep = (kDesignWidth - 2 * kMargin - barRoom) / l.panelsPerRow;
    const double gridWidth = std::min(kGridWidth * l.scale, columnStep * 0.94);
    const double driverWidth = std::min(gridWidth * l.nameFieldFactor, columnStep * 0.96);
    const double fastestHeight = kFastestHeight * l.scale;
    const QFont font = screenFont(s.font(l.fontSize * kTwipsPerPoint));
    const QFont bold = screenFont(s.font(l.fontSize * kTwipsPerPoint), true);
    m_driverFont = bold;

    for (std::size_t lane = 1; lane < m_lanes.size(); ++lane) {
        LaneWidgets& w = m_lanes[lane];
        w.flaggedTitleFont.reset();
        if (w.shown.position < 1) {
            continue;
        }
        const int p = w.shown.position - 1;
        const double left = kMargin + (p % l.panelsPerRow) * columnStep;
        const double centre = left + columnStep / 2;
        const double top = kMargin + (p / l.panelsPerRow) * double(l.rowStep);
        const double gridTop = top + kTitleHeight + kDriverHeight + kDriverGap;
        w.title->setFont(bold);
        w.title->setGeometry(s.x(centre - gridWidth / 2), s.y(top), s.x(gridWidth),
                             s.y(kTitleHeight));
        w.pilot->setGeometry(s.x(centre - driverWidth / 2), s.y(top + kTitleHeight),
                             s.x(driverWidth), s.y(kDriverHeight));
        fitDriver(w);
        w.grid->setGeometry(s.x(centre - gridWidth / 2), s.y(gridTop), s.x(gridWidth),
                            s.y(l.gridHeight));
        w.grid->setMetrics(font, s.y(kGridRowHeight * l.scale));
        w.fastest->setFont(bold);
        w.fastest->setGeometry(s.x(centre - gridWidth / 2),
                               s.y(gridTop + l.gridHeight + kFastestGap), s.x(gridWidth),
                               s.y(fastestHeight));
    }
    const double areaHeight = kMargin + l.panelRows * double(l.rowStep);
    m_area->resize(width() - (l.scrollBarVisible ? s.x(barRoom) : 0),
                   std::max(s.y(areaHeight), height()));
    m_bar->setGeometry(width() - s.x(kBarFromEdge + kBarWidth), s.y(kBarShorter / 2),
                       s.x(kBarWidth), height() - s.y(kBarShorter));
    m_flag->setPixmap(chequeredFlag(QSize(s.x(kFlagWidth * l.scale), s.y(kFlagHeight * l.scale))));
    m_flag->adjustSize();
    placeFlag();
    moveArea();
}

void LapByLapView::placeFlag() {
    for (std::size_t lane = 1; lane < m_lanes.size(); ++lane) {
        QLabel* title = m_lanes[lane].title;
        if (static_cast<int>(lane) != m_flagLane && title->contentsMargins().left() != 0) {
            title->setContentsMargins(0, 0, 0, 0);
            title->setFont(m_driverFont);
        }
    }
    if (m_flagLane < 1 || m_flagLane > highestLane() || !at(m_flagLane).shown.takesPart) {
        m_flag->hide();
        return;
    }
    // The flag takes the left of the title; "Pista N" moves beside it, smaller if need be.
    LaneWidgets& w = m_lanes[static_cast<std::size_t>(m_flagLane)];
    QLabel* title = w.title;
    const int room = m_flag->width() + 2;
    if (!w.flaggedTitleFont) {
        w.flaggedTitleFont = shrunkToFit(m_driverFont, title->text(), title->width() - room - 2);
    }
    title->setContentsMargins(room, 0, 0, 0);
    title->setFont(*w.flaggedTitleFont);
    m_flag->move(title->pos());
    m_flag->show();
    m_flag->raise();
}

void LapByLapView::moveArea() {
    const Scale s = scaleFor(size());
    const int v = m_layout.scrollBarVisible ? m_bar->value() : 1;
    m_area->move(0, -s.y((v - 1) * double(m_layout.rowStep)));
}

void LapByLapView::fitDriver(LaneWidgets& w) const {
    // With many panels per row a long name takes a smaller font rather than losing its end.
    // 8: the field's frame and text margins.
    const QFont font = shrunkToFit(m_driverFont, w.pilot->text(), w.pilot->width() - 8);
    if (w.pilot->font() != font) {
        w.pilot->setFont(font);
    }
}

void LapByLapView::paintDriver(LaneWidgets& w, const LanePanel& panel) {
    const QColor background = qbQColor(panel.driverColour, Qt::white);
    w.pilot->setStyleSheet(QStringLiteral("QLineEdit { background-color: %1; color: black; "
                                          "border: 1px solid #202020; }")
                               .arg(background.name()));
}

bool LapByLapView::syncLane(LaneWidgets& w, const LanePanel& panel) {
    bool changed = false;
    if (panel.pilot != w.shown.pilot) {
        w.pilot->setText(qstr(panel.pilot));
        w.pilot->setCursorPosition(0);
        w.shown.pilot = panel.pilot;
        fitDriver(w);
        changed = true;
    }
    if (panel.driverColour != w.shown.driverColour || w.pilot->styleSheet().isEmpty()) {
        paintDriver(w, panel);
        w.shown.driverColour = panel.driverColour;
        changed = true;
    }
    if (panel.gridColour != w.shown.gridColour) {
        w.grid->setColours(qbQColor(panel.gridColour, Qt::white),
                           qbQColor(m_colours.slot[2], Qt::green));
        w.shown.gridColour = panel.gridColour;
        changed = true;
    }
    if (panel.fastestLap != w.shown.fastestLap) {
        w.fastest->setText(qstr(panel.fastestLap));
        // A style sheet set again, even unchanged, polishes the label anew.
        const QString style = labelStyle(qbQColor(m_colours.slot[2], Qt::green), Qt::black);
        if (w.fastest->styleSheet() != style) {
            w.fastest->setStyleSheet(style);
        }
        w.shown.fastestLap = panel.fastestLap;
        changed = true;
    }
    changed = w.grid->setRows(panel) || changed;
    return changed;
}

void LapByLapView::sync(const LapLanes& lanes) {
    m_lastUpdates = 0;
    if (!sameArrangement(lanes) || m_lanes.empty()) {
        rebuild(lanes);
    }
    for (int lane = 1; lane <= highestLane(); ++lane) {
        LaneWidgets& w = m_lanes[static_cast<std::size_t>(lane)];
        if (w.shown.takesPart && syncLane(w, lanes.panel(lane))) {
            ++m_lastUpdates;
        }
    }
    if (lanes.flagLane() != m_flagLane) {
        m_flagLane = lanes.flagLane();
        placeFlag();
    }
    if (lanes.scrollValue() != m_modelScroll) {
        // The heat clock's auto-scroll moved the model; the organiser's own scrolling
        // stays until the next step.
        m_modelScroll = lanes.scrollValue();
        m_bar->setValue(m_modelScroll);
    }
}

void LapByLapView::keyPressEvent(QKeyEvent* event) {
    if (passHeatKeys(*event, [this](int code) { emit heatKey(code); })) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void LapByLapView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placePanels();
}

} // namespace cronovolta
