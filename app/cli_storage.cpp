#include "cli_commands.h"

namespace cronovolta::cli {

int cmdEvents(const Invocation& inv) { return fail(inv, "this command is not available yet"); }

int cmdEvent(const Invocation& inv) { return fail(inv, "this command is not available yet"); }

int cmdSeries(const Invocation& inv) { return fail(inv, "this command is not available yet"); }

} // namespace cronovolta::cli
