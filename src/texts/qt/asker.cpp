#include "texts/qt/asker.h"

#include <QMessageBox>

namespace cronovolta {

namespace {

QString lines(const QString& text) {
    return QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace

bool MessageBoxAsker::yesNo(QWidget* parent, const QString& title, const QString& text,
                            bool yesIsDefault) {
    const auto answer =
        QMessageBox::question(parent, title, lines(text), QMessageBox::Yes | QMessageBox::No,
                              yesIsDefault ? QMessageBox::Yes : QMessageBox::No);
    return answer == QMessageBox::Yes;
}

bool MessageBoxAsker::okCancel(QWidget* parent, const QString& title, const QString& text) {
    const auto answer = QMessageBox::question(
        parent, title, lines(text), QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    return answer == QMessageBox::Ok;
}

void MessageBoxAsker::message(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, lines(text));
}

} // namespace cronovolta
