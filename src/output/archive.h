#pragma once

#include "storage/file_io.h"

#include <cstdint>
#include <expected>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

inline constexpr std::string_view kArchiveMagic = "ZTR_ARX_PRB_V42";
// The member size is stored as a single-precision float, exact up to 2^24.
inline constexpr std::uintmax_t kMaxArchiveMember = 16777216;
// An archive is read as a stream, so its size is not bounded by memory; this bound keeps a
// hostile one (sparse, or claiming thousands of full members) from filling the disk.
inline constexpr std::uintmax_t kMaxArchiveBytes = 2147483648u;
// A member name longer than a file name can be is refused.
inline constexpr std::size_t kMaxMemberName = 255;

// What the file screen shows while an archive is written or read: `info` the event line
// ("Arxivant Open (01-02-2026)"), `member` the i-th of `count` members and its name.
// `stopRequested` is asked between blocks; a stop leaves nothing behind.
struct ArchiveProgress {
    std::function<void(const std::string& info)> info;
    std::function<void(int i, int count, const std::string& name)> member;
    std::function<bool()> stopRequested;
};

struct ArchiveFailure {
    enum Kind {
        WrongMagic, // "El format de l'arxiu no és correcte"
        Truncated,  // the archive ends inside a field
        UnsafeName, // empty, a path, a drive, "." or "..", control characters
        Duplicate,  // a member name repeated (ignoring case)
        BadSize,    // negative, not whole, or beyond the end of the archive
        BadCount,   // a negative count, or bytes left after the last member
        NoHeader,   // no PROVA.DAD among the members
        TooLarge,   // a file over kMaxArchiveMember bytes cannot be archived
        NoEvent,    // the event header cannot be read
        Stopped,
        Io,
        ArchiveTooLarge, // over kMaxArchiveBytes
        FolderFileName,  // an event folder's file whose name Windows-1252 cannot hold
    };
    Kind kind;
    std::string message; // in the language given to the operation
};

template <typename T> using ArchiveResult = std::expected<T, ArchiveFailure>;

struct ArchiveMember {
    std::string name;          // UTF-8, as the file will be called
    std::uintmax_t offset = 0; // of its content in the archive bytes
    std::uintmax_t size = 0;
};

// An archive checked from end to end: every member whole and safe to create.
struct ArchiveIndex {
    std::string nameBytes; // event name and date as stored (Windows-1252)
    std::string dateBytes;
    std::vector<ArchiveMember> members;
};

// Reads and checks a whole ".prb" held in memory; nothing is trusted.
ArchiveResult<ArchiveIndex> readArchive(std::string_view bytes, int language);
// The same for a ".prb" file, read as a stream: only the index and the event header are
// held in memory, whatever the archive's size.
ArchiveResult<ArchiveIndex> readArchiveFile(const fs::path& archive, int language);

// The files the event manager lists for an event folder, in its order: regular files
// only (no folders, no links), by name.
std::vector<std::string> eventFolderFiles(const fs::path& folder);

// Packs the event folder into `target`, written under a temporary name and renamed at the
// end, so a failure leaves any earlier file of that name as it was. The temporary files that
// a killed run left beside `target` are removed first.
ArchiveResult<void> archiveEvent(const fs::path& eventDir, const fs::path& target, int language,
                                 const ArchiveProgress& progress = {});

struct Unarchived {
    int event = 0;
    std::string name; // UTF-8
    std::string date;
};

// Rebuilds the archive as the data folder's next event. The members are written into a
// temporary folder beside the events and it is renamed into place only when all are whole;
// the temporary folders that a killed run left are removed first.
ArchiveResult<Unarchived> unarchiveEvent(const fs::path& archive, const fs::path& dataDir,
                                         int language, const ArchiveProgress& progress = {});

} // namespace cronovolta
