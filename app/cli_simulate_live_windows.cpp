// Windows has no pseudo-terminals: the live play is refused with the way round it.
#include "cli_simulate.h"

#include "counter/pseudo_terminal.h"

namespace cronovolta::cli {

int playLive(const Invocation& inv, const SimulateArgs&) {
    return fail(inv, PseudoTerminal::open().error());
}

} // namespace cronovolta::cli
