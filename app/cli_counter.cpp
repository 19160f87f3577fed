#include "cli_commands.h"

namespace cronovolta::cli {

int cmdSimulate(const Invocation& inv) { return fail(inv, "this command is not available yet"); }

} // namespace cronovolta::cli
