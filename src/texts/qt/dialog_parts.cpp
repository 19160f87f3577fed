#include "texts/qt/dialog_parts.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace cronovolta {

QHBoxLayout* closeButtons(QDialog* dialog, std::function<bool()> save, bool saveOnEnter) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* saveButton = new QPushButton(dialog);
    saveButton->setObjectName(QStringLiteral("Sortir_1"));
    auto* closeButton = new QPushButton(dialog);
    closeButton->setObjectName(QStringLiteral("Sortir_0"));
    saveButton->setAutoDefault(false);
    saveButton->setDefault(saveOnEnter);
    closeButton->setAutoDefault(false);
    row->addWidget(saveButton);
    row->addWidget(closeButton);
    QObject::connect(saveButton, &QPushButton::clicked, dialog, [dialog, save = std::move(save)] {
        if (save()) {
            dialog->accept();
        }
    });
    QObject::connect(closeButton, &QPushButton::clicked, dialog, &QDialog::reject);
    return row;
}

QLabel* namedLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

void fitNumberBox(QLineEdit* box) {
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 12);
}

bool shiftHeld() {
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

void stopFieldRules(QWidget* dialog) {
    for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
        QObject::disconnect(field, nullptr, dialog, nullptr);
    }
}

} // namespace cronovolta
