#pragma once

#include "cli_common.h"

namespace cronovolta::cli {

// One function per command word; each lives in the cli_<area>.cpp of its subsystem.
int cmdEvents(const Invocation& inv);
int cmdEvent(const Invocation& inv);
int cmdSeries(const Invocation& inv);
int cmdTrack(const Invocation& inv);
int cmdSettings(const Invocation& inv);
int cmdSimulate(const Invocation& inv);
int cmdReplay(const Invocation& inv);
int cmdEntrants(const Invocation& inv);
int cmdParticipants(const Invocation& inv);
int cmdClassify(const Invocation& inv);

} // namespace cronovolta::cli
