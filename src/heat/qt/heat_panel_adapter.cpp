#include "heat/qt/heat_panel_adapter.h"

#include "heat/qt/heat_panel.h"
#include "storage/qt/screen_colours.h"
#include "texts/qt/screen_text.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace cronovolta {
namespace {

void paintBackground(QWidget* widget, int qbColour) {
    QPalette pal = widget->palette();
    const QColor colour = qbQColor(qbColour);
    if (colour.isValid()) {
        pal.setColor(widget->backgroundRole(), colour);
        widget->setAutoFillBackground(true);
    } else {
        pal.setColor(widget->backgroundRole(),
                     widget->parentWidget() != nullptr
                         ? widget->parentWidget()->palette().color(QPalette::Window)
                         : QPalette().color(QPalette::Window));
        widget->setAutoFillBackground(false);
    }
    widget->setPalette(pal);
}

void setLabel(QLabel* label, bool visible, const std::string& text) {
    const QString t = qstr(text);
    if (label->text() != t) {
        label->setText(t);
    }
    if (label->isHidden() == visible) {
        label->setVisible(visible);
    }
}

QColor lightColour(StartLight light) {
    switch (light) {
    case StartLight::Red:
        return qbQColor(kQbBrightRed);
    case StartLight::Green:
        return qbQColor(kQbBrightGreen);
    case StartLight::Normal:
        break;
    }
    return {};
}

} // namespace

void HeatPanelAdapter::syncColours(const HeatPanelModel& model) {
    if (!m_valid || model.background != m_shown.background) {
        // The start lights colour the whole panel; without them it takes the buttons'.
        QPalette pal = m_panel.palette();
        const QColor light = lightColour(model.background);
        pal.setColor(QPalette::Window, light.isValid()
                                           ? light
                                           : m_panel.button(0)->palette().color(QPalette::Button));
        m_panel.setPalette(pal);
        m_panel.setAutoFillBackground(true);
        m_shown.background = model.background;
        m_valid = false; // the labels that follow the panel's colour are repainted below
    }
    if (!m_valid || model.clockColour != m_shown.clockColour) {
        paintBackground(m_panel.clock(), model.clockColour);
    }
    if (!m_valid || model.pauseColour != m_shown.pauseColour) {
        paintBackground(m_panel.pauseLabel(), model.pauseColour);
    }
}

void HeatPanelAdapter::syncErrors(const HeatPanelModel& model) {
    QListWidget* list = m_panel.rejectedCrossings();
    const bool appended =
        m_valid && model.errors.size() >= m_shown.errors.size() &&
        std::equal(m_shown.errors.begin(), m_shown.errors.end(), model.errors.begin());
    if (!appended) {
        list->clear();
    }
    for (std::size_t i = appended ? m_shown.errors.size() : 0; i < model.errors.size(); ++i) {
        list->addItem(qstr(model.errors[i]));
    }
    if (list->currentRow() != model.selectedError) {
        list->setCurrentRow(model.selectedError);
        if (model.selectedError >= 0) {
            list->scrollToItem(list->item(model.selectedError));
        }
    }
    if (list->isHidden() == model.errorsVisible) {
        list->setVisible(model.errorsVisible);
    }
}

void HeatPanelAdapter::sync(const HeatPanelModel& model) {
    syncColours(model);
    for (int i = 0; i < 6; ++i) {
        const auto b = static_cast<std::size_t>(i);
        QPushButton* button = m_panel.button(i);
        if (!m_valid || model.captions[b] != m_shown.captions[b]) {
            button->setText(qstr(model.captions[b]));
        }
        if (button->isHidden() == model.buttonVisible[b]) {
            button->setVisible(model.buttonVisible[b]);
        }
        if (button->isEnabled() != model.buttonEnabled[b]) {
            button->setEnabled(model.buttonEnabled[b]);
        }
    }
    setLabel(m_panel.clockCaption(), model.elapsedLabelVisible, model.elapsedLabel);
    setLabel(m_panel.clock(), model.clockVisible, model.clock);
    setLabel(m_panel.pauseLabel(), model.pauseLabelVisible, model.pauseLabel);
    setLabel(m_panel.lapAdjustment(), model.adjustmentVisible, model.adjustment);
    setLabel(m_panel.notice(), !model.notice.empty(), model.notice);
    syncErrors(model);
    m_shown = model;
    m_valid = true;
}

} // namespace cronovolta
