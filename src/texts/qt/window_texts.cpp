#include "texts/qt/window_texts.h"

#include "texts/grid_layout.h"
#include "texts/qt/screen_text.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVariant>
#include <QWidget>

namespace cronovolta {

namespace {

constexpr const char* kAlignmentsProperty = "cronovoltaColumnAlignments";

QObject* findControl(QWidget* window, const WindowText& text) {
    if (text.control.empty()) {
        return window;
    }
    return window->findChild<QObject*>(controlObjectName(text.control, text.index));
}

bool setCaption(QObject* object, const QString& text) {
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setText(text);
    } else if (auto* menu = qobject_cast<QMenu*>(object)) {
        menu->setTitle(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(object)) {
        label->setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    } else if (auto* frame = qobject_cast<QGroupBox*>(object)) {
        frame->setTitle(text);
    } else if (auto* widget = qobject_cast<QWidget*>(object); widget && widget->isWindow()) {
        widget->setWindowTitle(text);
    } else {
        return false;
    }
    return true;
}

bool setItems(QObject* object, const std::vector<std::string>& items) {
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        const int selected = combo->currentIndex();
        for (int i = 0; i < static_cast<int>(items.size()); ++i) {
            if (i < combo->count()) {
                combo->setItemText(i, qs(items[i]));
            } else {
                combo->addItem(qs(items[i]));
            }
        }
        if (selected >= 0 && selected < combo->count()) {
            combo->setCurrentIndex(selected);
        }
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(object)) {
        for (int i = 0; i < static_cast<int>(items.size()); ++i) {
            if (i < list->count()) {
                list->item(i)->setText(qs(items[i]));
            } else {
                list->addItem(qs(items[i]));
            }
        }
        return true;
    }
    return false;
}

bool setLayout(QObject* object, const std::vector<GridColumn>& columns) {
    QVariantList alignments;
    for (const GridColumn& c : columns) {
        alignments.append(static_cast<int>(toQt(c.alignment)));
    }
    const int n = static_cast<int>(columns.size());
    if (auto* table = qobject_cast<QTableWidget*>(object)) {
        if (table->columnCount() < n) {
            table->setColumnCount(n);
        }
        for (int i = 0; i < n; ++i) {
            auto* item = new QTableWidgetItem(qs(columns[i].title));
            item->setTextAlignment(toQt(columns[i].alignment));
            table->setHorizontalHeaderItem(i, item);
        }
    } else if (auto* tree = qobject_cast<QTreeWidget*>(object)) {
        if (tree->columnCount() < n) {
            tree->setColumnCount(n);
        }
        QTreeWidgetItem* header = tree->headerItem();
        for (int i = 0; i < n; ++i) {
            header->setText(i, qs(columns[i].title));
            header->setTextAlignment(i, toQt(columns[i].alignment));
        }
    } else {
        return false;
    }
    object->setProperty(kAlignmentsProperty, alignments);
    return true;
}

} // namespace

QString controlObjectName(std::string_view control, int index) {
    QString name = qs(control);
    if (index >= 0) {
        name += QLatin1Char('_') + QString::number(index);
    }
    return name;
}

int applyWindowTexts(QWidget* window, const std::vector<WindowText>& texts) {
    int applied = 0;
    for (const WindowText& text : texts) {
        QObject* object = findControl(window, text);
        if (object == nullptr) {
            continue;
        }
        bool done = false;
        switch (text.property) {
        case TextProperty::Caption:
            done = setCaption(object, qs(text.text));
            break;
        case TextProperty::ToolTip:
            if (auto* widget = qobject_cast<QWidget*>(object)) {
                widget->setToolTip(qs(text.text));
                done = true;
            }
            break;
        case TextProperty::Items:
            done = setItems(object, splitItems(text.text));
            break;
        case TextProperty::Layout:
            done = setLayout(object, parseGridLayout(text.text));
            break;
        }
        applied += done ? 1 : 0;
    }
    return applied;
}

std::vector<int> gridColumnAlignments(const QObject* grid) {
    std::vector<int> out;
    for (const QVariant& v : grid->property(kAlignmentsProperty).toList()) {
        out.push_back(v.toInt());
    }
    return out;
}

} // namespace cronovolta
