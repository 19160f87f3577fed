#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <expected>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// What the core needs from the operating system, with one implementation per system
// (platform_posix.cpp, platform_windows.cpp; CMake picks one). Errors are errno-style
// codes on every system, so messages read the same everywhere.
namespace cronovolta::platform {

namespace fs = std::filesystem;

#ifdef _WIN32
inline constexpr bool kWindows = true;
inline constexpr std::string_view kProgramSuffix = ".exe";
#else
inline constexpr bool kWindows = false;
inline constexpr std::string_view kProgramSuffix = "";
#endif

enum class Access {
    Read,
    ReadWrite, // created when missing, kept otherwise
    Write,     // created when missing, kept otherwise
    Truncate,  // created when missing, emptied otherwise
    Append,    // created when missing, every write at the end
    CreateNew, // fails when the file exists
};

struct OpenFlags {
    // A symbolic link in the last component is refused (ELOOP), as a planted link could
    // otherwise redirect a write outside the data folder.
    bool refuseLinks = false;
    // Reads return 0 at once instead of waiting for a device.
    bool noWait = false;
};

// An open file, closed when it goes out of scope. Other programs may read, write, rename
// or delete it meanwhile, as on POSIX.
class File {
public:
    static std::expected<File, std::error_code> open(const fs::path& path, Access access,
                                                     OpenFlags flags = {});

    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    bool isOpen() const { return m_handle != -1; }
    // Up to size bytes at the current position; 0 at the end.
    std::expected<std::size_t, std::error_code> read(char* data, std::size_t size);
    // All the bytes at the current position (the end for Access::Append).
    std::error_code write(std::string_view bytes);
    std::error_code writeAt(std::uint64_t offset, std::string_view bytes);
    std::expected<std::uint64_t, std::error_code> size() const;
    // False for a pipe, a device or a folder planted under a data file's name.
    std::expected<bool, std::error_code> isRegular() const;
    // To the disk; dataOnly leaves out times and other metadata where the system can.
    std::error_code sync(bool dataOnly = false);
    std::error_code close();

private:
    explicit File(std::intptr_t handle) : m_handle(handle) {}
    std::intptr_t m_handle = -1;
};

// Moves from over to in one step: a reader sees the old file or the new one. On Windows
// the move is written through to the disk before it returns.
std::error_code replaceFile(const fs::path& from, const fs::path& to);

std::tm localTime(std::time_t when);

// The folder of the running program, or the current folder when the system does not say.
fs::path programFolder();

// The device behind serial port n (1..) when no port map names one.
std::string defaultSerialDevice(int port);

// A path from UTF-8 text (a typed name, a stored member name). fs::path reads a char
// string in the system's code page on Windows, though path::string() gives UTF-8 back;
// this makes both ways UTF-8. Bytes that are not UTF-8 never throw.
fs::path pathFromUtf8(std::string_view utf8);

// The words after the program's name, in UTF-8 on every system (Windows hands main()
// its own code page, which cannot hold every name).
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Runs a program found on the search path with these words (the first is its name) and
// waits for it: its exit status, or ENOENT when it is not installed.
std::expected<int, std::error_code> runProgram(const std::vector<std::string>& words);

// Hands this process over to the program at words[0]: on POSIX it takes this process's
// place (a signal to this one reaches it), on Windows this process waits for it and exits
// with its status. Returns only when the program cannot be started.
std::error_code replaceProcess(const std::vector<std::string>& words);

// Standard output and error pass bytes through unchanged (no "\r\n" on Windows), so
// printed results match byte for byte on every system.
void useBinaryStandardStreams();

// The calling thread gives way to the program's other threads when the processor is short
// (the live server's thread to the heat's screens).
void lowerThreadPriority();

} // namespace cronovolta::platform
