#include "storage/file_io.h"

#include "storage/platform.h"
#include "texts/system_errors.h"

#include <algorithm>

namespace cronovolta {
namespace {

using platform::Access;
using platform::File;

std::string describeReadError(const fs::path& path, std::string_view what) {
    return "cannot read " + path.string() + ": " + std::string(what);
}

// Writes through a freshly opened file, flushing it when asked; the close is checked
// too, as some file systems report a failed write only then. Failures name `shown`.
IoResult writeThrough(const fs::path& path, const fs::path& shown, Access access,
                      std::uintmax_t offset, std::string_view bytes, bool sync) {
    // A symbolic link is refused, not followed: a link planted in a data folder would
    // otherwise let the program (perhaps run as root) write to any file of the machine.
    // Devices and pipes are refused too, without blocking.
    if (inLinkedEventFolder(path)) {
        return std::unexpected(describeIoError(shown, kLinkedEventFolderRefusal));
    }
    auto file = File::open(path, access, {.refuseLinks = true, .noWait = true});
    if (!file) {
        return std::unexpected(
            describeIoError(shown, file.error() == std::errc::too_many_symbolic_link_levels
                                       ? std::string(kSymlinkRefusal)
                                       : reasonOf(file.error())));
    }
    if (auto regular = file->isRegular(); !regular || !*regular) {
        return std::unexpected(describeIoError(shown, "it is not a regular file"));
    }
    std::error_code ec =
        access == Access::Append ? file->write(bytes) : file->writeAt(offset, bytes);
    if (!ec && sync) {
        ec = file->sync(true);
    }
    if (const std::error_code closed = file->close(); !ec) {
        ec = closed;
    }
    if (ec) {
        return std::unexpected(describeIoError(shown, reasonOf(ec)));
    }
    return {};
}

} // namespace

bool inLinkedEventFolder(const fs::path& file) {
    // The data folder itself may well be a link (to a memory stick, say); its event
    // folders are the program's own and never are.
    const fs::path folder = file.parent_path();
    const std::string name = folder.filename().string();
    if (name.size() < 8 || !name.starts_with("PROVA") ||
        !std::all_of(name.begin() + 5, name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    std::error_code ec;
    return fs::is_symlink(fs::symlink_status(folder, ec));
}

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
    auto file = File::open(path, Access::Read, {.noWait = true});
    if (!file) {
        return std::unexpected(describeReadError(path, reasonOf(file.error())));
    }
    // A pipe or a device (planted under a data file's name) could block or never end.
    if (auto regular = file->isRegular(); !regular || !*regular) {
        return std::unexpected(describeReadError(path, "it is not a regular file"));
    }
    FileHead head;
    char buf[65536];
    while (head.bytes.size() < limit) {
        const auto want = static_cast<std::size_t>(std::min<std::uintmax_t>(
            sizeof buf, limit - static_cast<std::uintmax_t>(head.bytes.size())));
        auto n = file->read(buf, want);
        if (!n) {
            return std::unexpected(describeReadError(path, reasonOf(n.error())));
        }
        if (*n == 0) {
            break;
        }
        head.bytes.append(buf, *n);
    }
    if (auto size = file->size(); size && head.bytes.size() >= limit && *size > head.bytes.size()) {
        head.leftOut = *size - head.bytes.size();
    }
    return head;
}

std::expected<std::string, std::string> readFileBytes(const fs::path& path) {
    std::error_code ec;
    if (auto size = fs::file_size(path, ec); !ec && size > kMaxFileBytes) {
        return std::unexpected(describeReadError(path, "the file is too large"));
    }
    auto head = readFileHead(path, kMaxFileBytes);
    if (!head) {
        return std::unexpected(head.error());
    }
    if (head->leftOut > 0) { // it grew while it was read
        return std::unexpected(describeReadError(path, "the file is too large"));
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
    std::error_code ignored;
    fs::remove(tmp, ignored); // a leftover (or planted) temporary name is replaced
    IoResult written = writeThrough(tmp, path, Access::Truncate, 0, bytes, true);
    if (written) {
        if (std::error_code ec = platform::replaceFile(tmp, path)) {
            written = std::unexpected(describeIoError(path, reasonOf(ec)));
        }
    }
    if (!written) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
    }
    return written;
}

IoResult writeAt(const fs::path& path, std::uintmax_t offset, std::string_view bytes, bool sync) {
    return writeThrough(path, path, Access::Write, offset, bytes, sync);
}

IoResult appendToFile(const fs::path& path, std::string_view bytes, bool sync) {
    return writeThrough(path, path, Access::Append, 0, bytes, sync);
}

IoResult writeRecord(const fs::path& path, std::size_t recordNumber, std::size_t recordSize,
                     std::string_view bytes, bool sync) {
    if (recordNumber < 1) {
        return std::unexpected(describeIoError(path, "record numbers start at 1"));
    }
    return writeAt(path, (recordNumber - 1) * recordSize, bytes.substr(0, recordSize), sync);
}

} // namespace cronovolta
