#include "storage/app_context.h"

namespace cronovolta {

std::expected<void, std::string> loadEventSeriesCounts(AppContext& context) {
    if (context.activeSelection.event < 1) {
        return std::unexpected("no event is selected");
    }
    auto header = readEventHeader(context.activeEventDir() / kEventHeaderFileName);
    if (!header) {
        return std::unexpected(header.error());
    }
    context.setSeriesCounts(header->header);
    return {};
}

std::expected<void, std::string> loadActiveSeries(AppContext& context) {
    if (context.activeSelection.event < 1) {
        return std::unexpected("no event is selected");
    }
    auto list =
        loadSeriesParticipants(context.activeEventDir(), context.activeSelection.programmeType,
                               context.activeSelection.seriesNumber, context.trackConfig.lanes);
    if (!list) {
        return std::unexpected(list.error());
    }
    context.activeSelection.heatsDone = list->heatsDone;
    context.activeParticipants = std::move(*list);
    return {};
}

} // namespace cronovolta
