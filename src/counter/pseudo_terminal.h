#pragma once

#include <expected>
#include <string>
#include <string_view>

namespace cronovolta {

// The master side of a pseudo-terminal in raw mode: what a simulated counter writes into,
// while a program opens the slave device as if it were a serial port.
class PseudoTerminal {
public:
    static std::expected<PseudoTerminal, std::string> open();

    PseudoTerminal(PseudoTerminal&& other) noexcept;
    PseudoTerminal& operator=(PseudoTerminal&& other) noexcept;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    // The device path to open, such as /dev/pts/3.
    const std::string& devicePath() const { return m_path; }
    int masterFd() const { return m_master; }

    // True while some program holds the device open.
    bool peerAttached() const;
    // Writes what fits without blocking; returns the number of bytes taken.
    std::expected<std::size_t, std::string> write(std::string_view bytes);
    // Bytes the peer wrote, without waiting; the counter ignores them.
    std::string drain();
    // Closes the master: the device disappears, as a pulled-out adapter does.
    void close();

private:
    PseudoTerminal(int master, std::string path) : m_master(master), m_path(std::move(path)) {}

    int m_master = -1;
    std::string m_path;
};

} // namespace cronovolta
