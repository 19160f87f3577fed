#include "cli_commands.h"

namespace cronovolta::cli {

int cmdEntrants(const Invocation& inv) { return fail(inv, "this command is not available yet"); }

int cmdParticipants(const Invocation& inv) { return fail(inv, "this command is not available yet"); }

int cmdClassify(const Invocation& inv) { return fail(inv, "this command is not available yet"); }

} // namespace cronovolta::cli
