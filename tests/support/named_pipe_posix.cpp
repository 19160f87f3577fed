#include "support/temp_dir.h"

#include <sys/stat.h>

namespace cronovolta::test {

bool makeNamedPipe(const std::filesystem::path& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}

} // namespace cronovolta::test
