#pragma once

#include <filesystem>
#include <string>

namespace cronovolta::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Writes bytes to a file, for tests that build their input files by hand.
void writeBytes(const std::filesystem::path& path, const std::string& bytes);
std::string readBytes(const std::filesystem::path& path);

// A FIFO in the file system (POSIX only: false on Windows, which has none).
bool makeNamedPipe(const std::filesystem::path& path);

} // namespace cronovolta::test
