#include "shell/qt/shell_commands.h"

namespace cronovolta {

void ShellCommands::set(const QString& command, std::function<void()> handler) {
    m_handlers[command] = std::move(handler);
}

bool ShellCommands::run(const QString& command) {
    auto it = m_handlers.find(command);
    if (it == m_handlers.end()) {
        return false;
    }
    it->second();
    return true;
}

} // namespace cronovolta
