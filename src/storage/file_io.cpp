#include "storage/file_io.h"

#include "texts/system_errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cronovolta {
namespace {

IoResult writeAll(int fd, std::string_view bytes, const fs::path& path) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::unexpected(describeIoError(path, systemErrorReason(errno)));
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

} // namespace

std::string describeIoError(const fs::path& path, std::string_view what) {
    return "cannot write " + path.string() + ": " + std::string(what);
}

std::string reasonOf(const std::error_code& ec) {
    if (ec.category() == std::generic_category() || ec.category() == std::system_category()) {
        return systemErrorReason(ec.value());
    }
    return ec.message();
}

std::expected<std::string, std::string> readFileBytes(const fs::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::unexpected("cannot read " + path.string() + ": " + systemErrorReason(errno));
    }
    std::string out;
    char buf[65536];
    while (true) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::string msg = "cannot read " + path.string() + ": " + systemErrorReason(errno);
            ::close(fd);
            return std::unexpected(msg);
        }
        if (n == 0) {
            break;
        }
        out.append(buf, static_cast<std::size_t>(n));
        if (out.size() > kMaxFileBytes) {
            ::close(fd);
            return std::unexpected("cannot read " + path.string() + ": the file is too large");
        }
    }
    ::close(fd);
    return out;
}

std::expected<std::string, std::string> readOptionalFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        return std::string();
    }
    return readFileBytes(path);
}

IoResult writeFileAtomic(const fs::path& path, std::string_view bytes) {
    fs::path tmp = path;
    tmp += ".tmp~";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return std::unexpected(describeIoError(path, systemErrorReason(errno)));
    }
    if (auto r = writeAll(fd, bytes, path); !r) {
        ::close(fd);
        ::unlink(tmp.c_str());
        return r;
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        std::string msg = describeIoError(path, systemErrorReason(errno));
        ::unlink(tmp.c_str());
        return std::unexpected(msg);
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        std::string msg = describeIoError(path, systemErrorReason(errno));
        ::unlink(tmp.c_str());
        return std::unexpected(msg);
    }
    return {};
}

IoResult writeAt(const fs::path& path, std::uintmax_t offset, std::string_view bytes, bool sync) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return std::unexpected(describeIoError(path, systemErrorReason(errno)));
    }
    if (::lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0) {
        std::string msg = describeIoError(path, systemErrorReason(errno));
        ::close(fd);
        return std::unexpected(msg);
    }
    auto r = writeAll(fd, bytes, path);
    if (r && sync && ::fdatasync(fd) != 0) {
        r = std::unexpected(describeIoError(path, systemErrorReason(errno)));
    }
    ::close(fd);
    return r;
}

IoResult appendToFile(const fs::path& path, std::string_view bytes, bool sync) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return std::unexpected(describeIoError(path, systemErrorReason(errno)));
    }
    auto r = writeAll(fd, bytes, path);
    if (r && sync && ::fdatasync(fd) != 0) {
        r = std::unexpected(describeIoError(path, systemErrorReason(errno)));
    }
    ::close(fd);
    return r;
}

IoResult writeRecord(const fs::path& path, std::size_t recordNumber, std::size_t recordSize,
                     std::string_view bytes, bool sync) {
    if (recordNumber < 1) {
        return std::unexpected(describeIoError(path, "record numbers start at 1"));
    }
    return writeAt(path, (recordNumber - 1) * recordSize, bytes.substr(0, recordSize), sync);
}

} // namespace cronovolta
