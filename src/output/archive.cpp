#include "output/archive.h"

#include "storage/event_files.h"
#include "storage/platform.h"
#include "storage/record_io.h"
#include "storage/text_encoding.h"
#include "texts/language_tables.h"
#include "texts/system_errors.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>
#include <set>
#include <utility>

namespace cronovolta {
namespace {

constexpr std::size_t kBlock = 1 << 16;

struct Wording {
    std::string_view catalan;
    std::string_view castilian;
};

// Refusals that only the archive gives; the wrong format is the file screen's message.
std::string wording(ArchiveFailure::Kind kind, int language) {
    static constexpr Wording kTexts[] = {
        {"", ""},
        {"L'arxiu està incomplet", "El archivo está incompleto"},
        {"L'arxiu conté un nom de fitxer no vàlid",
         "El archivo contiene un nombre de fichero no válido"},
        {"L'arxiu conté dues vegades el fitxer", "El archivo contiene dos veces el fichero"},
        {"L'arxiu indica una mida no vàlida per al fitxer",
         "El archivo indica un tamaño no válido para el fichero"},
        {"El nombre de fitxers de l'arxiu no és correcte",
         "El número de ficheros del archivo no es correcto"},
        {"L'arxiu no conté la capçalera de la prova (PROVA.DAD)",
         "El archivo no contiene la cabecera de la prueba (PROVA.DAD)"},
        {"El fitxer supera els 16.777.216 bytes i no es pot arxivar",
         "El fichero supera los 16.777.216 bytes y no se puede archivar"},
        {"No es pot llegir la capçalera de la prova", "No se puede leer la cabecera de la prueba"},
        {"S'ha aturat l'operació", "Se ha detenido la operación"},
        {"Error de fitxer", "Error de fichero"},
        {"L'arxiu supera els 2.147.483.648 bytes", "El archivo supera los 2.147.483.648 bytes"},
        {"La carpeta de la prova conté un fitxer el nom del qual no es pot arxivar (només "
         "caràcters de Windows-1252); canvia-li el nom o treu-lo de la carpeta",
         "La carpeta de la prueba contiene un fichero cuyo nombre no se puede archivar (solo "
         "caracteres de Windows-1252); cámbiale el nombre o sácalo de la carpeta"},
    };
    if (kind == ArchiveFailure::WrongMagic) {
        return std::string(messageText(msgkey::kWrongArchiveFormat, language));
    }
    const Wording& w = kTexts[kind];
    return std::string(language == kLanguageCastilian ? w.castilian : w.catalan);
}

std::unexpected<ArchiveFailure> failure(ArchiveFailure::Kind kind, int language,
                                        std::string_view detail = {}) {
    std::string message = wording(kind, language);
    if (!detail.empty()) {
        message += ": ";
        message += detail;
    }
    return std::unexpected(ArchiveFailure{kind, std::move(message)});
}

std::unexpected<ArchiveFailure> ioFailure(int language, const fs::path& path, int error) {
    // The system's reason in the organiser's language too, never the C library's English.
    return failure(ArchiveFailure::Io, language,
                   path.string() + ": " + localisedSystemReason(error, language));
}

bool stopRequested(const ArchiveProgress& p) {
    return p.stopRequested && p.stopRequested();
}

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

std::string foldCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    return out;
}

// A member name that creates exactly one file inside the new event folder.
bool safeMemberName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    return std::ranges::none_of(name, [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c < 0x20 || c == 0x7f || ch == '/' || ch == '\\' || ch == ':';
    });
}

std::string infoLine(std::string_view action, std::string_view name, std::string_view date) {
    return std::string(action) + " " + std::string(name) + " (" + std::string(date) + ")";
}

using platform::Access;
using platform::File;

// File names as the system holds them: no conversion can fail on a name found on disk.
using NativeName = fs::path::string_type;

bool allDigits(NativeName::const_iterator from, NativeName::const_iterator to) {
    return std::all_of(from, to, [](auto c) { return c >= '0' && c <= '9'; });
}

// "NAME.part~" or "NAME.part<n>~": the temporary name of NAME while it is being built.
bool isTemporaryOf(const NativeName& entry, const NativeName& name) {
    const NativeName part = name + fs::path(".part").native();
    return entry.size() > part.size() && entry.starts_with(part) && entry.back() == '~' &&
           allDigits(entry.begin() + static_cast<long>(part.size()), entry.end() - 1);
}

// "PROVA007.part~": an event folder being unarchived.
bool isEventUnderConstruction(const NativeName& entry) {
    const NativeName prefix = fs::path("PROVA").native();
    const auto dot = entry.find('.');
    return dot != NativeName::npos && dot >= prefix.size() + 3 && entry.starts_with(prefix) &&
           allDigits(entry.begin() + static_cast<long>(prefix.size()),
                     entry.begin() + static_cast<long>(dot)) &&
           isTemporaryOf(entry, entry.substr(0, dot));
}

// Removes what a killed run left in `folder` under the temporary names that `ours` knows,
// never following a link.
void removeLeftovers(const fs::path& folder, const std::function<bool(const NativeName&)>& ours,
                     fs::file_type type) {
    std::error_code ec;
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        std::error_code ignored;
        if (entry.symlink_status(ignored).type() == type &&
            ours(entry.path().filename().native())) {
            found.push_back(entry.path());
        }
    }
    for (const fs::path& p : found) {
        fs::remove_all(p, ec);
    }
}

// The temporary name of a file or folder being built beside its final place.
fs::path besideTemporary(const fs::path& final) {
    fs::path tmp = final;
    tmp += ".part~";
    std::error_code ec;
    for (int n = 1; fs::exists(fs::symlink_status(tmp, ec)); ++n) {
        tmp = final;
        tmp += ".part" + std::to_string(n) + "~";
    }
    return tmp;
}

} // namespace

namespace {

// The archive's bytes from the start, one piece after the other: from memory, or from a
// file through a small buffer, so that an archive of any size holds no more than its index.
class MemorySource {
public:
    explicit MemorySource(std::string_view bytes) : m_bytes(bytes) {}
    std::uintmax_t remaining() const { return m_bytes.size() - m_pos; }
    // n bytes into `out` (skipped when null); false when fewer remain.
    bool take(std::uintmax_t n, std::string* out) {
        if (n > remaining()) {
            return false;
        }
        if (out) {
            out->assign(m_bytes.substr(m_pos, static_cast<std::size_t>(n)));
        }
        m_pos += static_cast<std::size_t>(n);
        return true;
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

class FileSource {
public:
    FileSource(File& file, std::uintmax_t size) : m_file(file), m_left(size) {}
    std::uintmax_t remaining() const { return m_left; }
    bool take(std::uintmax_t n, std::string* out) {
        if (n > m_left) {
            return false;
        }
        if (out) {
            out->clear();
        }
        char block[kBlock];
        while (n > 0) {
            const auto want = static_cast<std::size_t>(std::min<std::uintmax_t>(n, kBlock));
            const auto got = m_file.read(block, want);
            if (!got || *got == 0) {
                m_left = 0; // shorter than it said: read as cut short
                return false;
            }
            if (out) {
                out->append(block, *got);
            }
            n -= *got;
            m_left -= *got;
        }
        return true;
    }

private:
    File& m_file;
    std::uintmax_t m_left;
};

template <class Source> std::optional<std::int16_t> takeI16(Source& in) {
    std::string raw;
    if (!in.take(2, &raw)) {
        return std::nullopt;
    }
    ByteReader r(raw);
    return r.i16();
}

template <class Source> ArchiveResult<ArchiveIndex> parseArchive(Source& in, int language) {
    const std::uintmax_t total = in.remaining();
    std::string magic;
    if (!in.take(kArchiveMagic.size(), &magic) || magic != kArchiveMagic) {
        return failure(ArchiveFailure::WrongMagic, language);
    }
    auto text = [&in]() -> std::optional<std::string> {
        const auto n = takeI16(in);
        std::string raw;
        if (!n || *n < 0 || !in.take(static_cast<std::uintmax_t>(*n), &raw)) {
            return std::nullopt;
        }
        return raw;
    };
    ArchiveIndex index;
    auto name = text();
    auto date = name ? text() : std::nullopt;
    if (!name || !date) {
        return failure(ArchiveFailure::Truncated, language);
    }
    index.nameBytes = std::move(*name);
    index.dateBytes = std::move(*date);
    const auto count = takeI16(in);
    if (!count) {
        return failure(ArchiveFailure::Truncated, language);
    }
    if (*count < 0) {
        return failure(ArchiveFailure::BadCount, language);
    }
    std::set<std::string> seen;
    std::optional<std::string> header;
    for (int i = 0; i < *count; ++i) {
        auto raw = text();
        if (!raw) {
            return failure(ArchiveFailure::Truncated, language);
        }
        const std::string memberName = trimmed(*raw);
        const std::string shown = windows1252ToUtf8(raw->substr(0, kMaxMemberName));
        if (!safeMemberName(memberName) || memberName.size() > kMaxMemberName) {
            return failure(ArchiveFailure::UnsafeName, language, "\"" + shown + "\"");
        }
        if (!seen.insert(foldCase(memberName)).second) {
            return failure(ArchiveFailure::Duplicate, language, shown);
        }
        const bool isHeader = foldCase(memberName) == kEventHeaderFileName;
        std::string sizeBytes;
        if (!in.take(4, &sizeBytes)) {
            return failure(ArchiveFailure::Truncated, language);
        }
        ByteReader sizeReader(sizeBytes);
        const float size = sizeReader.f32();
        if (!(size >= 0.0f) || std::floor(size) != size ||
            static_cast<double>(size) > static_cast<double>(in.remaining())) {
            return failure(ArchiveFailure::BadSize, language, shown);
        }
        const auto n = static_cast<std::uintmax_t>(size);
        // The manager finds the event by this exact name.
        index.members.push_back(
            {isHeader ? std::string(kEventHeaderFileName) : windows1252ToUtf8(memberName),
             total - in.remaining(), n});
        std::string content;
        if (!in.take(n, isHeader ? &content : nullptr)) {
            return failure(ArchiveFailure::Truncated, language);
        }
        if (isHeader) {
            header = std::move(content);
        }
    }
    if (in.remaining() != 0) {
        return failure(ArchiveFailure::BadCount, language);
    }
    // Without a whole header the new event could not be listed or opened.
    if (!header || !decodeEventHeader(*header).complete) {
        return failure(ArchiveFailure::NoHeader, language);
    }
    return index;
}

// The archive opened for reading: a regular file within the bound, and its size.
ArchiveResult<std::pair<File, std::uintmax_t>> openArchive(const fs::path& archive, int language) {
    auto in = File::open(archive, Access::Read, {.noWait = true});
    if (!in) {
        return ioFailure(language, archive, in.error().value());
    }
    if (auto regular = in->isRegular(); !regular || !*regular) {
        return ioFailure(language, archive, EINVAL);
    }
    const auto size = in->size();
    if (!size) {
        return ioFailure(language, archive, size.error().value());
    }
    if (*size > kMaxArchiveBytes) {
        return failure(ArchiveFailure::ArchiveTooLarge, language, archive.string());
    }
    return std::pair{std::move(*in), *size};
}

} // namespace

ArchiveResult<ArchiveIndex> readArchive(std::string_view bytes, int language) {
    MemorySource in(bytes);
    return parseArchive(in, language);
}

ArchiveResult<ArchiveIndex> readArchiveFile(const fs::path& archive, int language) {
    auto opened = openArchive(archive, language);
    if (!opened) {
        return std::unexpected(opened.error());
    }
    FileSource in(opened->first, opened->second);
    return parseArchive(in, language);
}

std::vector<std::string> eventFolderFiles(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.is_regular_file(ec) && !entry.is_symlink(ec)) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::ranges::sort(names);
    return names;
}

namespace {

// The event's name and date as its header stores them.
struct EventHeadFields {
    std::string bytes; // both fields with their lengths, as the archive's head holds them
    std::string name;
    std::string date;
};

ArchiveResult<EventHeadFields> readEventHeadFields(const fs::path& eventDir, int language) {
    auto header = readFileBytes(eventDir / kEventHeaderFileName);
    if (!header) {
        return failure(ArchiveFailure::NoEvent, language, header.error());
    }
    // Name and date are copied as stored, whatever their bytes.
    ByteReader hr(*header, kHeaderNameOffset);
    EventHeadFields head;
    std::string nameDate[2];
    for (std::string& field : nameDate) {
        const std::int16_t n = hr.i16();
        if (!hr.ok() || n < 0 || static_cast<std::size_t>(n) > hr.remaining()) {
            return failure(ArchiveFailure::NoEvent, language,
                           (eventDir / kEventHeaderFileName).string());
        }
        field = hr.raw(static_cast<std::size_t>(n));
        ByteWriter w;
        w.i16(n);
        w.raw(field);
        head.bytes += w.bytes();
    }
    head.name = windows1252ToUtf8(nameDate[0]);
    head.date = windows1252ToUtf8(nameDate[1]);
    return head;
}

// The names the archive stores for `files`, once all of them are known to fit in an archive
// that the reader takes back.
ArchiveResult<std::vector<std::string>> storedMemberNames(const fs::path& eventDir,
                                                          const std::vector<std::string>& files,
                                                          std::size_t headFieldsSize,
                                                          int language) {
    if (files.size() > 32767) {
        return failure(ArchiveFailure::TooLarge, language, eventDir.string());
    }
    std::vector<std::string> storedNames;
    // Every archive written can be read back: none beyond the bound of the reader.
    std::uintmax_t total = kArchiveMagic.size() + headFieldsSize + 2;
    for (const std::string& file : files) {
        std::error_code ec;
        const fs::path path = eventDir / platform::pathFromUtf8(file);
        const auto size = fs::file_size(path, ec);
        if (ec) {
            return ioFailure(language, path, ec.value());
        }
        if (size > kMaxArchiveMember) {
            return failure(ArchiveFailure::TooLarge, language, file);
        }
        total += 2 + file.size() + 4 + size;
        if (total > kMaxArchiveBytes) {
            return failure(ArchiveFailure::ArchiveTooLarge, language, eventDir.string());
        }
        const std::string stored = trimmed(file);
        if (!fitsWindows1252(stored)) {
            return failure(ArchiveFailure::FolderFileName, language, path.string());
        }
        storedNames.push_back(utf8ToWindows1252(stored));
    }
    return storedNames;
}

// Where an archive is being written: the open temporary file and the name it will take.
struct ArchiveOutput {
    File& file;
    const fs::path& target;
};

// Appends the member `file` (at `path`): its stored name, its size, then its bytes through
// `block`.
ArchiveResult<void> writeMember(ArchiveOutput out, const fs::path& path, const std::string& file,
                                const std::string& storedName, std::string& block,
                                const ArchiveProgress& progress, int language) {
    auto in = File::open(path, Access::Read, {.refuseLinks = true});
    if (!in) {
        return ioFailure(language, path, in.error().value());
    }
    const auto measured = in->size();
    if (!measured) {
        return ioFailure(language, path, measured.error().value());
    }
    const std::uintmax_t size = *measured;
    if (size > kMaxArchiveMember) {
        return failure(ArchiveFailure::TooLarge, language, file);
    }
    ByteWriter entry;
    entry.i16(static_cast<std::int16_t>(storedName.size()));
    entry.raw(storedName);
    entry.f32(static_cast<float>(size));
    if (auto ec = out.file.write(entry.bytes())) {
        return ioFailure(language, out.target, ec.value());
    }
    std::uintmax_t left = size;
    while (left > 0) {
        if (stopRequested(progress)) {
            return failure(ArchiveFailure::Stopped, language);
        }
        const std::size_t want = static_cast<std::size_t>(std::min<std::uintmax_t>(left, kBlock));
        const auto read = in->read(block.data(), want);
        if (!read) {
            return ioFailure(language, path, read.error().value());
        }
        const std::size_t got = *read;
        if (got == 0) {
            // The file shrank while it was read: the stored size would be wrong.
            return ioFailure(language, path, EIO);
        }
        if (auto ec = out.file.write(std::string_view(block.data(), got))) {
            return ioFailure(language, out.target, ec.value());
        }
        left -= got;
    }
    return {};
}

// Copies member `m` of the archive read by `in` into the new file `path`. The file is closed
// on return, failed or not: Windows removes a folder only once nothing in it is open.
std::error_code extractMember(FileSource& in, std::uintmax_t archiveSize, const ArchiveMember& m,
                              const fs::path& path) {
    auto out = File::open(path, Access::CreateNew, {.refuseLinks = true});
    std::error_code failed = out ? std::error_code() : out.error();
    // What lies between two members (a name, a size) is passed over.
    const std::uintmax_t at = archiveSize - in.remaining();
    if (!failed && !in.take(m.offset - at, nullptr)) {
        failed = std::make_error_code(std::errc::io_error);
    }
    std::string block;
    for (std::uintmax_t left = m.size; !failed && left > 0;) {
        const std::uintmax_t n = std::min<std::uintmax_t>(left, kBlock);
        if (!in.take(n, &block)) {
            failed = std::make_error_code(std::errc::io_error); // it changed meanwhile
        } else {
            failed = out->write(block);
            left -= n;
        }
    }
    if (!failed) {
        failed = out->sync();
    }
    return failed;
}

} // namespace

ArchiveResult<void> archiveEvent(const fs::path& eventDir, const fs::path& target, int language,
                                 const ArchiveProgress& progress) {
    const std::string action(messageText(msgkey::kArchiving, language));
    if (progress.info) {
        progress.info(action);
    }
    const auto headFields = readEventHeadFields(eventDir, language);
    if (!headFields) {
        return std::unexpected(headFields.error());
    }
    if (progress.info) {
        progress.info(infoLine(action, headFields->name, headFields->date));
    }

    const std::vector<std::string> files = eventFolderFiles(eventDir);
    const auto storedNames = storedMemberNames(eventDir, files, headFields->bytes.size(), language);
    if (!storedNames) {
        return std::unexpected(storedNames.error());
    }

    const NativeName targetName = target.filename().native();
    removeLeftovers(
        target.parent_path().empty() ? fs::path(".") : target.parent_path(),
        [&targetName](const NativeName& entry) { return isTemporaryOf(entry, targetName); },
        fs::file_type::regular);
    const fs::path tmp = besideTemporary(target);
    auto out = File::open(tmp, Access::Truncate);
    if (!out) {
        return ioFailure(language, target, out.error().value());
    }
    auto abandon = [&tmp, &out](std::unexpected<ArchiveFailure> why) {
        out->close();
        std::error_code ec;
        fs::remove(tmp, ec);
        return why;
    };
    ByteWriter head;
    head.raw(kArchiveMagic);
    head.raw(headFields->bytes);
    head.i16(static_cast<std::int16_t>(files.size()));
    if (auto ec = out->write(head.bytes())) {
        return abandon(ioFailure(language, target, ec.value()));
    }
    std::string block(kBlock, '\0');
    const int count = static_cast<int>(files.size());
    for (int i = 0; i < count; ++i) {
        const std::string& file = files[static_cast<std::size_t>(i)];
        const fs::path path = eventDir / platform::pathFromUtf8(file);
        if (progress.member) {
            progress.member(i + 1, count, file);
        }
        auto written =
            writeMember({*out, target}, path, file, (*storedNames)[static_cast<std::size_t>(i)],
                        block, progress, language);
        if (!written) {
            return abandon(std::unexpected(written.error()));
        }
    }
    if (stopRequested(progress)) {
        return abandon(failure(ArchiveFailure::Stopped, language));
    }
    std::error_code ec = out->sync();
    if (auto closed = out->close(); !ec) {
        ec = closed;
    }
    if (!ec) {
        ec = platform::replaceFile(tmp, target);
    }
    if (ec) {
        return abandon(ioFailure(language, target, ec.value()));
    }
    return {};
}

ArchiveResult<Unarchived> unarchiveEvent(const fs::path& archive, const fs::path& dataDir,
                                         int language, const ArchiveProgress& progress) {
    const std::string action(messageText(msgkey::kUnarchiving, language));
    if (progress.info) {
        progress.info(action);
    }
    auto index = readArchiveFile(archive, language);
    if (!index) {
        return std::unexpected(index.error());
    }
    // A second pass copies the members, checked by the first, block by block.
    auto opened = openArchive(archive, language);
    if (!opened) {
        return std::unexpected(opened.error());
    }
    FileSource in(opened->first, opened->second);
    Unarchived done;
    done.name = windows1252ToUtf8(index->nameBytes);
    done.date = windows1252ToUtf8(index->dateBytes);
    if (progress.info) {
        progress.info(infoLine(action, done.name, done.date));
    }
    removeLeftovers(dataDir, isEventUnderConstruction, fs::file_type::directory);
    done.event = countEventFolders(dataDir) + 1;
    const fs::path final = eventFolder(dataDir, done.event);
    const fs::path tmp = besideTemporary(final);
    std::error_code ec;
    if (!fs::create_directory(tmp, ec)) {
        return ioFailure(language, tmp, ec ? ec.value() : EEXIST);
    }
    auto abandon = [&tmp](std::unexpected<ArchiveFailure> why) {
        std::error_code ignored;
        fs::remove_all(tmp, ignored);
        return why;
    };
    const int count = static_cast<int>(index->members.size());
    for (int i = 0; i < count; ++i) {
        const ArchiveMember& m = index->members[static_cast<std::size_t>(i)];
        if (stopRequested(progress)) {
            return abandon(failure(ArchiveFailure::Stopped, language));
        }
        if (progress.member) {
            progress.member(i + 1, count, m.name);
        }
        const fs::path path = tmp / platform::pathFromUtf8(m.name);
        if (const std::error_code failed = extractMember(in, opened->second, m, path)) {
            return abandon(ioFailure(language, path, failed.value()));
        }
    }
    // The number may have been taken meanwhile; never rename over an event.
    if (fs::exists(fs::symlink_status(final, ec))) {
        return abandon(ioFailure(language, final, EEXIST));
    }
    fs::rename(tmp, final, ec);
    if (ec) {
        return abandon(ioFailure(language, final, ec.value()));
    }
    return done;
}

} // namespace cronovolta
