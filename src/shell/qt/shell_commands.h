#pragma once

#include <QString>

#include <functional>
#include <map>

namespace cronovolta {

// The main window's command handlers, by the object name of the menu entry that runs them
// ("MnuPrg_2"). Screens built after the window add theirs.
class ShellCommands {
public:
    void set(const QString& command, std::function<void()> handler);
    // Runs the command's handler; false when it has none.
    bool run(const QString& command);

private:
    std::map<QString, std::function<void()>> m_handlers;
};

} // namespace cronovolta
