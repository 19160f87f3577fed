#pragma once

#include "texts/qt/asker.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
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
// can fill in and close a dialog that a command opens with exec(). The poll belongs to the
// application, so it is freed even when no dialog opens, and it ends with the test function
// that started it, so it never answers a dialog of a later test.
inline void whenModal(std::function<void(QDialog*)> act) {
    auto* timer = new QTimer(qApp);
    auto shared = std::make_shared<std::function<void(QDialog*)>>(std::move(act));
    auto currentTest = [] {
        return QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
    };
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, shared, currentTest, armedIn = currentTest()] {
                         if (currentTest() != armedIn) {
                             timer->stop();
                             timer->deleteLater();
                             return;
                         }
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
