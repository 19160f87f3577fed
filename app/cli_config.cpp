#include "cli_commands.h"

namespace cronovolta::cli {

int cmdTrack(const Invocation& inv) { return fail(inv, "this command is not available yet"); }

int cmdSettings(const Invocation& inv) { return fail(inv, "this command is not available yet"); }

} // namespace cronovolta::cli
