#include "storage/file_io.h"

#include "storage/platform.h"
#include "texts/system_errors.h"

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
    auto file = File::open(path, access);
    if (!file) {
        return std::unexpected(describeIoError(shown, reasonOf(file.error())));
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
    auto file = File::open(path, Access::Read);
    if (!file) {
        return std::unexpected(describeReadError(path, reasonOf(file.error())));
    }
    std::string out;
    char buf[65536];
    while (true) {
        auto n = file->read(buf, sizeof buf);
        if (!n) {
            return std::unexpected(describeReadError(path, reasonOf(n.error())));
        }
        if (*n == 0) {
            break;
        }
        out.append(buf, *n);
        if (out.size() > kMaxFileBytes) {
            return std::unexpected(describeReadError(path, "the file is too large"));
        }
    }
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
