#include "heat/lane_rotation.h"

#include <algorithm>

namespace cronovolta {

std::vector<LanePlacement> heatPlacements(int heat, int participants,
                                          const std::vector<std::int16_t>& order, bool superPole) {
    std::vector<LanePlacement> out;
    int positions = static_cast<int>(order.size()) - 1;
    if (heat < 1 || participants < 1 || positions < 1) {
        return out;
    }
    int k = (heat - 1) % participants + 1;
    int step = superPole ? 0 : 1;
    for (int i = positions; i >= 1; --i) {
        out.push_back({i, order[static_cast<std::size_t>(i)], k});
        k += step;
        if (k > participants) {
            k = 1;
        }
    }
    return out;
}

std::vector<EntryMark> entryMarks(int heat, int participants,
                                  const std::vector<std::int16_t>& order, bool superPole,
                                  const std::string& mark) {
    std::vector<EntryMark> out;
    int lanes = static_cast<int>(order.size()) - 1;
    if (participants < 1 || lanes < 1 || heat < 0) {
        return out;
    }
    if (superPole) {
        out.push_back({heat % participants + 1, mark});
        return out;
    }
    if (heat == 0) {
        for (int i = 1; i <= std::min(lanes, participants); ++i) {
            out.push_back(
                {i, mark + std::to_string(order[static_cast<std::size_t>(lanes - i + 1)])});
        }
        return out;
    }
    if (lanes < participants) {
        out.push_back({(heat + lanes - 1) % participants + 1, mark + std::to_string(order[1])});
    }
    return out;
}

int heatsDriven(int participant, int heat, int lanes, int participants) {
    if (heat <= 0 || participants <= 0 || lanes <= 0) {
        return 0;
    }
    int q = (heat - 1) / participants;
    int u = (heat - 1) % participants + 1;
    int r = participant;
    int inPass = 0;
    if (r < lanes) {
        inPass = u >= participants - lanes + r + 1 ? u - participants + lanes : std::min(r, u);
    } else {
        // Participant r first drives in heat r - N + 1 of the pass.
        inPass = std::clamp(heat - q * participants + lanes - r, 0, lanes);
    }
    return lanes * q + inPass;
}

LapFractionEntry lapFractionEntryAfterHeat(int lapFractionPolicy, int heat, int participants,
                                           int lanes) {
    if (lapFractionPolicy == -1) {
        return LapFractionEntry::Full;
    }
    if (lapFractionPolicy < 1) {
        return LapFractionEntry::None;
    }
    int last = lapFractionPolicy * participants;
    if (heat == last) {
        return LapFractionEntry::Full;
    }
    if (heat >= (lapFractionPolicy - 1) * participants + lanes && heat < last) {
        return LapFractionEntry::LastLaneOnly;
    }
    return LapFractionEntry::None;
}

bool raceHeatAllowed(int lapFractionPolicy, int heat, int participants) {
    return lapFractionPolicy < 1 || heat <= lapFractionPolicy * participants;
}

} // namespace cronovolta
