#include "counter/pseudo_terminal.h"

namespace cronovolta {

// Windows has no pseudo-terminals; a simulated counter there is a capture to replay.
std::expected<PseudoTerminal, std::string> PseudoTerminal::open() {
    return std::unexpected(
        "the simulated serial port needs a pseudo-terminal, which only POSIX systems "
        "have; use --capture FILE and replay it");
}

PseudoTerminal::PseudoTerminal(PseudoTerminal&& other) noexcept
    : m_master(other.m_master), m_path(std::move(other.m_path)) {
    other.m_master = -1;
}

PseudoTerminal& PseudoTerminal::operator=(PseudoTerminal&& other) noexcept {
    m_master = other.m_master;
    m_path = std::move(other.m_path);
    other.m_master = -1;
    return *this;
}

PseudoTerminal::~PseudoTerminal() = default;

void PseudoTerminal::close() {
    m_master = -1;
}

bool PseudoTerminal::peerAttached() const {
    return false;
}

std::expected<std::size_t, std::string> PseudoTerminal::write(std::string_view) {
    return std::unexpected("the pseudo-terminal is closed");
}

std::string PseudoTerminal::drain() {
    return {};
}

} // namespace cronovolta
