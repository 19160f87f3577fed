#pragma once

#include <QString>

class QLabel;
class QStatusBar;
class QWidget;

namespace cronovolta {

class Asker;
struct UiContext;

// What the main window tells the organiser outside its lists: the program and its version
// on the status bar, and the messages for a command not available yet and for an error.
class ShellNotices {
public:
    ShellNotices(QWidget* window, UiContext& ui, Asker& asker);

    // The version's label (`Label1`) at the right of the window's status bar.
    void addVersionTo(QStatusBar* bar);
    void showVersion(const QString& product);

    void notAvailable();
    void showError(const QString& text);

private:
    QWidget* m_window;
    UiContext& m_ui;
    Asker& m_asker;
    QLabel* m_version = nullptr;
};

} // namespace cronovolta
