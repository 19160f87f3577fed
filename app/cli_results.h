#pragma once

#include "cli_common.h"

#include "results/results_source.h"

#include <expected>

namespace cronovolta::cli {

// An event's results browser after the classify command's words.
struct BrowsedResults {
    EventFiles event;
    ResultsBrowser browser;
    bool anyRow = true; // false: a filter asked for a value that no row has
};

// Reads "EVENT TYPE SERIES|all [--criterion 1-4] [--participant [S:]N] [--name NAME]
// [--lane L|all] [--pass P|all] [--heat H|all]" and sets the browser as the organiser
// would. On failure the message is written and the exit status comes back.
std::expected<BrowsedResults, int> browseResults(const Invocation& inv,
                                                 const std::vector<std::string>& words,
                                                 const std::string& synopsis);

} // namespace cronovolta::cli
