#include "support/temp_dir.h"

namespace cronovolta::test {

bool makeNamedPipe(const std::filesystem::path&) {
    return false;
}

} // namespace cronovolta::test
