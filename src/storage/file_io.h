#pragma once

#include <cstddef>
#include <expected>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace cronovolta {

namespace fs = std::filesystem;

// Whole-file reads and the three ways the program writes files: replaced atomically,
// patched in place without truncation, appended. Failures come back as a message that
// names the file, ready to show to the organiser.
using IoResult = std::expected<void, std::string>;

// Files larger than this are refused rather than read into memory: nothing the program
// writes comes close, so a bigger file is not one of ours.
inline constexpr std::uintmax_t kMaxFileBytes = 32u * 1024u * 1024u;

// The first `limit` bytes of a file; the bytes after them are counted, never read.
struct FileHead {
    std::string bytes;
    std::uintmax_t leftOut = 0;
};
std::expected<FileHead, std::string> readFileHead(const fs::path& path, std::uintmax_t limit);

// Why a write in place was refused when the file is a symbolic link.
inline constexpr std::string_view kSymlinkRefusal =
    "it is a symbolic link, and the program does not write through links";

// Why a write into an event folder that is itself a link is refused: the link could lead
// the program's writes out of the data folder.
inline constexpr std::string_view kLinkedEventFolderRefusal =
    "its event folder is a symbolic link, and the program does not write through links";

// True when `file` lies in an event folder ("PROVAnnn") that is a symbolic link.
bool inLinkedEventFolder(const fs::path& file);

std::expected<std::string, std::string> readFileBytes(const fs::path& path);

// A file that may be missing reads as empty; any other failure is an error.
std::expected<std::string, std::string> readOptionalFile(const fs::path& path);

// Reads at most `limit` bytes of a file that may be missing (missing decodes "") and
// decodes them; the decoded value's `leftOut` adds the bytes past the limit, so a reader
// bounded by what its format can hold reports the rest as damage.
template <class Decode>
auto readOptionalBounded(const fs::path& path, std::uintmax_t limit, Decode decode)
    -> std::expected<decltype(decode(std::string_view())), std::string> {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        return decode(std::string_view());
    }
    auto head = readFileHead(path, limit);
    if (!head) {
        return std::unexpected(head.error());
    }
    auto decoded = decode(head->bytes);
    decoded.leftOut += head->leftOut;
    return decoded;
}

// "CRS001.PAR holds 1200 bytes more than ...": said of a bounded reader's leftover.
std::string describeLeftOut(const fs::path& path, std::uintmax_t bytes, std::string_view bound);

// Reads a file that may be missing and decodes its bytes (a missing file decodes "").
template <class Decode>
auto readOptionalDecoded(const fs::path& path, Decode decode)
    -> std::expected<decltype(decode(std::string_view())), std::string> {
    auto bytes = readOptionalFile(path);
    if (!bytes) {
        return std::unexpected(bytes.error());
    }
    return decode(*bytes);
}

// Writes a temporary file beside the target, flushes it to disk and renames it over the
// target, so a crash leaves either the old file or the new one, never half of one.
IoResult writeFileAtomic(const fs::path& path, std::string_view bytes);

// Writes bytes at an offset of an existing file (created when missing), leaving the
// rest of the file as it was: files that are "not truncated" rely on this.
// sync = false skips the flush to disk: the bytes still survive a killed process, only
// a power cut could lose them.
IoResult writeAt(const fs::path& path, std::uintmax_t offset, std::string_view bytes,
                 bool sync = true);

IoResult appendToFile(const fs::path& path, std::string_view bytes, bool sync = true);

// Fixed-size records by record number (1-based): record n is at (n - 1) * size.
IoResult writeRecord(const fs::path& path, std::size_t recordNumber, std::size_t recordSize,
                     std::string_view bytes, bool sync = true);

std::string describeIoError(const fs::path& path, std::string_view what);

// Why a file-system call failed, in the words that the texts layer can put into the
// organiser's language.
std::string reasonOf(const std::error_code& ec);

} // namespace cronovolta
