#include "storage/app_context.h"

namespace cronovolta {

std::expected<void, std::string> loadEventSeriesCounts(AppContext& context) {
    if (context.seleccio.event < 1) {
        return std::unexpected("no event is selected");
    }
    auto header = readCapcaleraProva(context.activeEventDir() / kEventHeaderFileName);
    if (!header) {
        return std::unexpected(header.error());
    }
    context.setSeriesCounts(header->header);
    return {};
}

std::expected<void, std::string> loadActiveSeries(AppContext& context) {
    if (context.seleccio.event < 1) {
        return std::unexpected("no event is selected");
    }
    auto list = loadSeriesParticipants(context.activeEventDir(), context.seleccio.programa,
                                       context.seleccio.serie, context.configPista.lanes);
    if (!list) {
        return std::unexpected(list.error());
    }
    context.seleccio.maniguesFetes = list->maniguesFetes;
    context.llistaParticipants = std::move(*list);
    return {};
}

} // namespace cronovolta
