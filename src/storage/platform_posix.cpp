#include "storage/platform.h"
#include "storage/user_folders.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cronovolta::platform {
namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

int openMode(Access access) {
    switch (access) {
    case Access::Read:
        return O_RDONLY;
    case Access::ReadWrite:
        return O_RDWR | O_CREAT;
    case Access::Write:
        return O_WRONLY | O_CREAT;
    case Access::Truncate:
        return O_WRONLY | O_CREAT | O_TRUNC;
    case Access::Append:
        return O_WRONLY | O_CREAT | O_APPEND;
    case Access::CreateNew:
        return O_WRONLY | O_CREAT | O_EXCL;
    }
    return O_RDONLY;
}

} // namespace

std::expected<File, std::error_code> File::open(const fs::path& path, Access access,
                                                OpenFlags flags) {
    int mode = openMode(access) | O_CLOEXEC;
    if (flags.refuseLinks) {
        mode |= O_NOFOLLOW;
    }
    if (flags.noWait) {
        mode |= O_NONBLOCK | O_NOCTTY;
    }
    int fd = -1;
    do {
        fd = ::open(path.c_str(), mode, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return std::unexpected(lastError());
    }
    return File(fd);
}

File::File(File&& other) noexcept : m_handle(other.m_handle) {
    other.m_handle = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        m_handle = other.m_handle;
        other.m_handle = -1;
    }
    return *this;
}

File::~File() {
    close();
}

std::expected<std::size_t, std::error_code> File::read(char* data, std::size_t size) {
    while (true) {
        const ssize_t n = ::read(static_cast<int>(m_handle), data, size);
        if (n >= 0) {
            return static_cast<std::size_t>(n);
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        if (errno != EINTR) {
            return std::unexpected(lastError());
        }
    }
}

std::error_code File::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(static_cast<int>(m_handle), bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

std::error_code File::writeAt(std::uint64_t offset, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(static_cast<int>(m_handle), bytes.data(), bytes.size(),
                                   static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return {};
}

std::expected<std::uint64_t, std::error_code> File::size() const {
    struct stat st {};
    if (::fstat(static_cast<int>(m_handle), &st) != 0) {
        return std::unexpected(lastError());
    }
    return static_cast<std::uint64_t>(st.st_size);
}

std::expected<bool, std::error_code> File::isRegular() const {
    struct stat st {};
    if (::fstat(static_cast<int>(m_handle), &st) != 0) {
        return std::unexpected(lastError());
    }
    return S_ISREG(st.st_mode);
}

std::error_code File::sync(bool dataOnly) {
    const int fd = static_cast<int>(m_handle);
    return (dataOnly ? ::fdatasync(fd) : ::fsync(fd)) == 0 ? std::error_code() : lastError();
}

std::error_code File::close() {
    if (m_handle == -1) {
        return {};
    }
    const int fd = static_cast<int>(m_handle);
    m_handle = -1;
    return ::close(fd) == 0 ? std::error_code() : lastError();
}

std::error_code replaceFile(const fs::path& from, const fs::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : lastError();
}

std::tm localTime(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    return local;
}

fs::path programFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : self.parent_path();
}

std::string defaultSerialDevice(int port) {
    // USB adapters are what clubs plug in today; the built-in port comes second.
    const std::string usb = "/dev/ttyUSB" + std::to_string(port - 1);
    std::error_code ec;
    return fs::exists(usb, ec) ? usb : "/dev/ttyS" + std::to_string(port - 1);
}

fs::path pathFromUtf8(std::string_view utf8) {
    return fs::path(utf8);
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

namespace {

std::vector<char*> argvOf(const std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (const auto& w : words) {
        argv.push_back(const_cast<char*>(w.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

} // namespace

std::expected<int, std::error_code> runProgram(const std::vector<std::string>& words) {
    constexpr int kNotStarted = 127;
    std::vector<char*> argv = argvOf(words);
    const pid_t pid = ::fork();
    if (pid < 0) {
        return std::unexpected(lastError());
    }
    if (pid == 0) {
        ::execvp(argv[0], argv.data());
        ::_exit(kNotStarted);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return std::unexpected(lastError());
        }
    }
    if (!WIFEXITED(status)) {
        return 128 + WTERMSIG(status);
    }
    if (WEXITSTATUS(status) == kNotStarted) {
        return std::unexpected(std::error_code(ENOENT, std::generic_category()));
    }
    return WEXITSTATUS(status);
}

std::error_code replaceProcess(const std::vector<std::string>& words) {
    std::vector<char*> argv = argvOf(words);
    ::execv(argv[0], argv.data());
    return lastError();
}

void useBinaryStandardStreams() {}

fs::path homeFolder() {
    const char* home = std::getenv("HOME");
    return home ? fs::path(home) : fs::path();
}

bool canWriteIn(const fs::path& folder) {
    return ::access(folder.c_str(), W_OK) == 0;
}

void lowerThreadPriority() {
#ifdef __linux__
    // Linux keeps a nice value per thread, which "process 0" names; elsewhere it would be
    // the whole program's.
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    if (errno == 0) {
        (void)::setpriority(PRIO_PROCESS, 0, std::min(nice + 5, 19));
    }
#endif
}

} // namespace cronovolta::platform
