#pragma once

#include "texts/qt/asker.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace cronovolta::test {

// Answers the windows' questions from a script and keeps what was asked.
class ScriptedAsker final : public Asker {
public:
    struct Question {
        QString kind; // "yesNo", "okCancel", "message"
        QString title;
        QString text;
        bool yesIsDefault = false;
    };

    bool yesNo(QWidget*, const QString& title, const QString& text, bool yesIsDefault) override {
        asked.push_back({QStringLiteral("yesNo"), title, text, yesIsDefault});
        return next();
    }
    bool okCancel(QWidget*, const QString& title, const QString& text) override {
        asked.push_back({QStringLiteral("okCancel"), title, text});
        return next();
    }
    void message(QWidget*, const QString& title, const QString& text) override {
        asked.push_back({QStringLiteral("message"), title, text});
    }

    std::deque<bool> answers; // unanswered questions get No / Cancel
    std::vector<Question> asked;

private:
    bool next() {
        if (answers.empty()) {
            return false;
        }
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Runs `act` on the next modal dialog that opens (polling the event loop), so that a test
// can fill in and close a dialog that a command opens with exec().
inline void whenModal(std::function<void(QDialog*)> act) {
    auto* timer = new QTimer;
    auto shared = std::make_shared<std::function<void(QDialog*)>>(std::move(act));
    QObject::connect(timer, &QTimer::timeout, timer, [timer, shared] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            (*shared)(dialog);
        }
    });
    timer->start(10);
}

inline void clickButton(QWidget* window, const QString& name) {
    if (auto* b = window->findChild<QPushButton*>(name)) {
        b->click();
    }
}

} // namespace cronovolta::test
