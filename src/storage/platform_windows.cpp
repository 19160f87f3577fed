#include "storage/platform.h"
#include "storage/user_folders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <shellapi.h>

namespace cronovolta::platform {
namespace {

// The errno of the same failure on POSIX, so that callers and messages need not care.
int errnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    case ERROR_DIRECTORY:
        return EISDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return EIO;
    }
}

std::error_code lastError() {
    return {errnoOf(::GetLastError()), std::generic_category()};
}

HANDLE handleOf(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

// Invalid bytes become U+FFFD rather than an error.
std::wstring wideOf(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

struct Mode {
    DWORD access;
    DWORD disposition;
};

Mode modeOf(Access access) {
    switch (access) {
    case Access::Read:
        return {GENERIC_READ, OPEN_EXISTING};
    case Access::ReadWrite:
        return {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS};
    case Access::Write:
    case Access::Append:
        return {GENERIC_WRITE, OPEN_ALWAYS};
    case Access::Truncate:
        return {GENERIC_WRITE, CREATE_ALWAYS};
    case Access::CreateNew:
        return {GENERIC_WRITE, CREATE_NEW};
    }
    return {GENERIC_READ, OPEN_EXISTING};
}

} // namespace

std::expected<File, std::error_code> File::open(const fs::path& path, Access access,
                                                OpenFlags flags) {
    const Mode mode = modeOf(access);
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (flags.refuseLinks) {
        attributes |= FILE_FLAG_OPEN_REPARSE_POINT;
    }
    // Sharing everything keeps POSIX's behaviour: a journal kept open can still be
    // renamed over, and readers never lock writers out.
    HANDLE h = ::CreateFileW(path.c_str(), mode.access,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             mode.disposition, attributes, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return std::unexpected(lastError());
    }
    File file(reinterpret_cast<std::intptr_t>(h));
    // A device (NUL, COM1) is no link and has no end to seek to; isRegular() tells it.
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        return file;
    }
    if (flags.refuseLinks) {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(h, &info)) {
            return std::unexpected(lastError());
        }
        if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            return std::unexpected(std::error_code(ELOOP, std::generic_category()));
        }
    }
    if (access == Access::Append) {
        LARGE_INTEGER zero{};
        if (!::SetFilePointerEx(h, zero, nullptr, FILE_END)) {
            return std::unexpected(lastError());
        }
    }
    return file;
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
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(handleOf(m_handle), data, want, &got, nullptr)) {
        if (::GetLastError() == ERROR_HANDLE_EOF || ::GetLastError() == ERROR_BROKEN_PIPE) {
            return 0;
        }
        return std::unexpected(lastError());
    }
    return static_cast<std::size_t>(got);
}

std::error_code File::write(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD done = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(handleOf(m_handle), bytes.data(), want, &done, nullptr)) {
            return lastError();
        }
        bytes.remove_prefix(done);
    }
    return {};
}

std::error_code File::writeAt(std::uint64_t offset, std::string_view bytes) {
    while (!bytes.empty()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xffffffffu);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD done = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(handleOf(m_handle), bytes.data(), want, &done, &at)) {
            return lastError();
        }
        bytes.remove_prefix(done);
        offset += done;
    }
    return {};
}

std::expected<std::uint64_t, std::error_code> File::size() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handleOf(m_handle), &size)) {
        return std::unexpected(lastError());
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::expected<bool, std::error_code> File::isRegular() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(handleOf(m_handle)) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(handleOf(m_handle), &info)) {
        return false;
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::error_code File::sync(bool) {
    return ::FlushFileBuffers(handleOf(m_handle)) ? std::error_code() : lastError();
}

std::error_code File::close() {
    if (m_handle == -1) {
        return {};
    }
    HANDLE h = handleOf(m_handle);
    m_handle = -1;
    return ::CloseHandle(h) ? std::error_code() : lastError();
}

std::error_code replaceFile(const fs::path& from, const fs::path& to) {
    return ::MoveFileExW(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? std::error_code()
               : lastError();
}

std::tm localTime(std::time_t when) {
    std::tm local{};
    ::localtime_s(&local, &when);
    return local;
}

fs::path programFolder() {
    std::wstring buffer(32768, L'\0');
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size()) {
        std::error_code ec;
        return fs::current_path(ec);
    }
    buffer.resize(n);
    return fs::path(buffer).parent_path();
}

std::string defaultSerialDevice(int port) {
    return "COM" + std::to_string(port);
}

fs::path pathFromUtf8(std::string_view utf8) {
    return fs::path(wideOf(utf8));
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (words == nullptr) {
        return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
    }
    std::vector<std::string> out;
    for (int i = 1; i < count; ++i) {
        const int size =
            ::WideCharToMultiByte(CP_UTF8, 0, words[i], -1, nullptr, 0, nullptr, nullptr);
        std::string word(static_cast<std::size_t>(std::max(size, 1)), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, words[i], -1, word.data(), size, nullptr, nullptr);
        word.resize(word.size() - 1);
        out.push_back(std::move(word));
    }
    ::LocalFree(words);
    return out;
}

fs::path homeFolder() {
    const wchar_t* home = ::_wgetenv(L"USERPROFILE");
    return home ? fs::path(home) : fs::path();
}

bool canWriteIn(const fs::path& folder) {
    constexpr int kWrite = 2;
    return ::_waccess(folder.c_str(), kWrite) == 0;
}

namespace {

// One word as CommandLineToArgvW reads it back: quotes around it when it needs them, and
// backslashes doubled only where they come before a quote.
void appendQuoted(std::wstring& line, const std::wstring& word) {
    if (!word.empty() && word.find_first_of(L" \t\"") == std::wstring::npos) {
        line += word;
        return;
    }
    line += L'"';
    std::size_t slashes = 0;
    for (wchar_t c : word) {
        if (c == L'\\') {
            ++slashes;
        } else {
            if (c == L'"') {
                line.append(slashes + 1, L'\\');
            }
            slashes = 0;
        }
        line += c;
    }
    line.append(slashes, L'\\');
    line += L'"';
}

} // namespace

std::expected<int, std::error_code> runProgram(const std::vector<std::string>& words) {
    std::wstring line;
    for (const auto& w : words) {
        if (!line.empty()) {
            line += L' ';
        }
        appendQuoted(line, wideOf(w));
    }
    // The program writes where this one does, even when that is a file or a pipe.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return std::unexpected(lastError());
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::error_code replaceProcess(const std::vector<std::string>& words) {
    const auto status = runProgram(words);
    if (!status) {
        return status.error();
    }
    std::fflush(nullptr);
    std::exit(*status);
}

void useBinaryStandardStreams() {
    std::fflush(stdout);
    std::fflush(stderr);
    ::_setmode(_fileno(stdout), _O_BINARY);
    ::_setmode(_fileno(stderr), _O_BINARY);
}

void lowerThreadPriority() {
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

} // namespace cronovolta::platform
