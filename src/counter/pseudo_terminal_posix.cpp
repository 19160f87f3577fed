#include "counter/pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace cronovolta {
namespace {

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Raw mode is set once through the slave and outlives its closing; the slave is then left
// closed so that the master reports a hang-up until a peer opens it.
bool makeRaw(const char* path) {
    const int slave = ::open(path, O_RDWR | O_NOCTTY);
    if (slave < 0) {
        return false;
    }
    termios mode{};
    bool ok = ::tcgetattr(slave, &mode) == 0;
    if (ok) {
        ::cfmakeraw(&mode);
        ok = ::tcsetattr(slave, TCSANOW, &mode) == 0;
    }
    ::close(slave);
    return ok;
}

} // namespace

std::expected<PseudoTerminal, std::string> PseudoTerminal::open() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0) {
        return std::unexpected(systemError("cannot open a pseudo-terminal"));
    }
    char name[128];
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        std::string message = systemError("cannot set up the pseudo-terminal");
        ::close(master);
        return std::unexpected(message);
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    if (!makeRaw(name)) {
        std::string message = systemError("cannot put the pseudo-terminal in raw mode");
        ::close(master);
        return std::unexpected(message);
    }
    return PseudoTerminal(master, name);
}

PseudoTerminal::PseudoTerminal(PseudoTerminal&& other) noexcept
    : m_master(other.m_master), m_path(std::move(other.m_path)) {
    other.m_master = -1;
}

PseudoTerminal& PseudoTerminal::operator=(PseudoTerminal&& other) noexcept {
    if (this != &other) {
        close();
        m_master = other.m_master;
        m_path = std::move(other.m_path);
        other.m_master = -1;
    }
    return *this;
}

PseudoTerminal::~PseudoTerminal() {
    close();
}

void PseudoTerminal::close() {
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}

bool PseudoTerminal::peerAttached() const {
    if (m_master < 0) {
        return false;
    }
    pollfd probe{m_master, POLLOUT, 0};
    if (::poll(&probe, 1, 0) < 0) {
        return false;
    }
    return (probe.revents & POLLHUP) == 0;
}

std::expected<std::size_t, std::string> PseudoTerminal::write(std::string_view bytes) {
    if (m_master < 0) {
        return std::unexpected("the pseudo-terminal is closed");
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            return std::unexpected(systemError("cannot write to the pseudo-terminal"));
        }
    }
    return done;
}

std::string PseudoTerminal::drain() {
    std::string out;
    char buffer[256];
    while (m_master >= 0) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

} // namespace cronovolta
