#include "storage/file_io.h"

#include "texts/system_errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

// Opens a file to change it in place. A symbolic link is refused, not followed: a link
// planted in a data folder would otherwise let the program (perhaps run as root) write
// to any file of the machine. Devices and pipes are refused too, without blocking.
std::expected<int, std::string> openInPlace(const fs::path& path, int flags) {
    int fd = ::open(path.c_str(), flags | O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                    0644);
    if (fd < 0) {
        return std::unexpected(describeIoError(
            path, errno == ELOOP ? std::string_view(kSymlinkRefusal) : systemErrorReason(errno)));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::unexpected(describeIoError(path, "it is not a regular file"));
    }
    return fd;
}

IoResult finishInPlace(int fd, std::string_view bytes, const fs::path& path, bool sync) {
    auto r = writeAll(fd, bytes, path);
    if (r && sync && ::fdatasync(fd) != 0) {
        r = std::unexpected(describeIoError(path, systemErrorReason(errno)));
    }
    ::close(fd);
    return r;
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

std::expected<FileHead, std::string> readFileHead(const fs::path& path, std::uintmax_t limit) {
    auto fail = [&](std::string_view why) {
        return std::unexpected("cannot read " + path.string() + ": " + std::string(why));
    };
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fail(systemErrorReason(errno));
    }
    // A pipe or a device (planted under a data file's name) could block or never end.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail("it is not a regular file");
    }
    FileHead head;
    const auto size = static_cast<std::uintmax_t>(st.st_size);
    head.bytes.reserve(static_cast<std::size_t>(std::min(size, limit)));
    char buf[65536];
    while (head.bytes.size() < limit) {
        const auto want = static_cast<std::size_t>(std::min<std::uintmax_t>(
            sizeof buf, limit - static_cast<std::uintmax_t>(head.bytes.size())));
        ssize_t n = ::read(fd, buf, want);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::string why = systemErrorReason(errno);
            ::close(fd);
            return fail(why);
        }
        if (n == 0) {
            break;
        }
        head.bytes.append(buf, static_cast<std::size_t>(n));
    }
    if (head.bytes.size() >= limit && ::fstat(fd, &st) == 0 &&
        static_cast<std::uintmax_t>(st.st_size) > head.bytes.size()) {
        head.leftOut = static_cast<std::uintmax_t>(st.st_size) - head.bytes.size();
    }
    ::close(fd);
    return head;
}

std::expected<std::string, std::string> readFileBytes(const fs::path& path) {
    std::error_code ec;
    if (auto size = fs::file_size(path, ec); !ec && size > kMaxFileBytes) {
        return std::unexpected("cannot read " + path.string() + ": the file is too large");
    }
    auto head = readFileHead(path, kMaxFileBytes);
    if (!head) {
        return std::unexpected(head.error());
    }
    if (head->leftOut > 0) { // it grew while it was read
        return std::unexpected("cannot read " + path.string() + ": the file is too large");
    }
    return std::move(head->bytes);
}

std::string describeLeftOut(const fs::path& path, std::uintmax_t bytes, std::string_view bound) {
    return path.filename().string() + " holds " + std::to_string(bytes) + " bytes more than " +
           std::string(bound) + "; they are left out";
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
    // A leftover (or planted) temporary name is removed, never written through.
    ::unlink(tmp.c_str());
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
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
    auto fd = openInPlace(path, 0);
    if (!fd) {
        return std::unexpected(fd.error());
    }
    if (::lseek(*fd, static_cast<off_t>(offset), SEEK_SET) < 0) {
        std::string msg = describeIoError(path, systemErrorReason(errno));
        ::close(*fd);
        return std::unexpected(msg);
    }
    return finishInPlace(*fd, bytes, path, sync);
}

IoResult appendToFile(const fs::path& path, std::string_view bytes, bool sync) {
    auto fd = openInPlace(path, O_APPEND);
    if (!fd) {
        return std::unexpected(fd.error());
    }
    return finishInPlace(*fd, bytes, path, sync);
}

IoResult writeRecord(const fs::path& path, std::size_t recordNumber, std::size_t recordSize,
                     std::string_view bytes, bool sync) {
    if (recordNumber < 1) {
        return std::unexpected(describeIoError(path, "record numbers start at 1"));
    }
    return writeAt(path, (recordNumber - 1) * recordSize, bytes.substr(0, recordSize), sync);
}

} // namespace cronovolta
