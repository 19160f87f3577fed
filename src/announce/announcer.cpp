#include "announce/announcer.h"

#include "announce/announce_sentences.h"
#include "storage/lap_record.h"

#include <algorithm>
#include <limits>

namespace cronovolta {
namespace {

constexpr double kNeverStale = std::numeric_limits<double>::infinity();

constexpr std::array<const char*, kAnnounceEventCount> kKeys = {
    "start", "pause", "restart", "fastest", "leader", "lastminute", "lastten", "silent", "end"};

int priority(AnnounceEvent event) {
    switch (event) {
    case AnnounceEvent::HeatEnd:
        return 4;
    case AnnounceEvent::HeatStart:
    case AnnounceEvent::Pause:
    case AnnounceEvent::Restart:
    case AnnounceEvent::LastTenSeconds:
        return 3;
    case AnnounceEvent::LastMinute:
    case AnnounceEvent::FastestLap:
        return 2;
    case AnnounceEvent::NewLeader:
        return 1;
    case AnnounceEvent::LaneSilent:
        return 0;
    }
    return 0;
}

// How long a sentence stays true enough to be said, in heat seconds.
double maxAge(AnnounceEvent event) {
    switch (event) {
    case AnnounceEvent::HeatEnd:
        return kNeverStale;
    case AnnounceEvent::LastTenSeconds:
        return 2.0;
    case AnnounceEvent::HeatStart:
    case AnnounceEvent::Pause:
    case AnnounceEvent::Restart:
        return 3.0;
    case AnnounceEvent::LastMinute:
        return 5.0;
    case AnnounceEvent::FastestLap:
    case AnnounceEvent::NewLeader:
        return 6.0;
    case AnnounceEvent::LaneSilent:
        return 10.0;
    }
    return 0.0;
}

bool stale(const Announcement& a, double heatTime) {
    return heatTime - a.heatTime > maxAge(a.event);
}

} // namespace

const char* announceEventKey(AnnounceEvent event) {
    return kKeys[static_cast<std::size_t>(event)];
}

std::optional<AnnounceEvent> announceEventFromKey(const std::string& key) {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (key == kKeys[i]) {
            return static_cast<AnnounceEvent>(i);
        }
    }
    return std::nullopt;
}

Announcer::Announcer(AnnounceSettings settings) : m_settings(settings) {
    m_queue.reserve(kCapacity + 3);
}

void Announcer::heatStarted(int heat, bool race, std::vector<std::string> names) {
    m_running = true;
    m_race = race;
    m_names = std::move(names);
    m_lanes.assign(m_names.size(), Lane{});
    m_leader = 0;
    m_fastestLane = 0;
    m_fastest = 0.0f;
    m_lastMinuteCalled = m_lastTenCalled = false;
    std::erase_if(m_queue, [](const Announcement& a) { return a.event != AnnounceEvent::HeatEnd; });
    raise(AnnounceEvent::HeatStart, 0.0, sentence::heatStart(m_settings.language, heat));
}

void Announcer::paused(double heatTime) {
    raise(AnnounceEvent::Pause, heatTime, sentence::pause(m_settings.language));
}

void Announcer::resumed(double heatTime) {
    raise(AnnounceEvent::Restart, heatTime, sentence::restart(m_settings.language));
}

Announcer::Lane& Announcer::laneState(int lane) {
    auto l = static_cast<std::size_t>(lane);
    if (l >= m_lanes.size()) {
        m_lanes.resize(l + 1);
    }
    return m_lanes[l];
}

const std::string& Announcer::nameOf(int lane) const {
    static const std::string kNone;
    auto l = static_cast<std::size_t>(lane);
    return l < m_names.size() ? m_names[l] : kNone;
}

// A race is led on laps, the earlier crossing first; other heats on the fastest lap.
bool Announcer::ahead(int lane, int other) const {
    const Lane& a = m_lanes[static_cast<std::size_t>(lane)];
    const Lane& b = m_lanes[static_cast<std::size_t>(other)];
    if (m_race) {
        return a.laps > b.laps || (a.laps == b.laps && a.lastCrossing < b.lastCrossing);
    }
    return a.best > 0.0f && (b.best <= 0.0f || a.best < b.best);
}

void Announcer::lap(int lane, float lapTime, int laps, double heatTime) {
    if (!m_running || lane < 1) {
        return;
    }
    Lane& state = laneState(lane);
    state.laps = laps;
    state.lastCrossing = heatTime;
    state.silentCalled = false;
    bool valid = lapTime > 0.0f && lapTime < kNoLapTime;
    if (valid && (state.best <= 0.0f || lapTime < state.best)) {
        state.best = lapTime;
    }
    int language = m_settings.language;
    if (valid && (m_fastestLane == 0 || lapTime < m_fastest)) {
        m_fastest = lapTime;
        m_fastestLane = lane;
        raise(AnnounceEvent::FastestLap, heatTime,
              sentence::fastestLap(language, lane, nameOf(lane), lapTime));
    }
    // Only the lane that crossed can have moved ahead; the first leader is no news.
    if (m_leader == 0) {
        if (m_race || valid) {
            m_leader = lane;
        }
    } else if (lane != m_leader && ahead(lane, m_leader)) {
        m_leader = lane;
        raise(AnnounceEvent::NewLeader, heatTime,
              sentence::newLeader(language, lane, nameOf(lane)));
    }
}

void Announcer::clock(double heatTime) {
    if (!m_running) {
        return;
    }
    int language = m_settings.language;
    int length = m_settings.heatSeconds;
    if (length > 60 && !m_lastMinuteCalled && heatTime >= length - 60) {
        m_lastMinuteCalled = true;
        raise(AnnounceEvent::LastMinute, heatTime, sentence::lastMinute(language));
    }
    if (length > 10 && !m_lastTenCalled && heatTime >= length - 10) {
        m_lastTenCalled = true;
        raise(AnnounceEvent::LastTenSeconds, heatTime, sentence::lastTenSeconds(language));
    }
    int silent = m_settings.silentSeconds;
    if (silent <= 0 || !m_settings.speaks(AnnounceEvent::LaneSilent)) {
        return;
    }
    for (std::size_t l = 1; l < m_lanes.size(); ++l) {
        Lane& state = m_lanes[l];
        if (state.laps > 0 && !state.silentCalled && heatTime - state.lastCrossing >= silent) {
            state.silentCalled = true;
            int lane = static_cast<int>(l);
            raise(AnnounceEvent::LaneSilent, heatTime,
                  sentence::laneSilent(language, lane, nameOf(lane), silent));
        }
    }
}

void Announcer::heatEnded(double heatTime) {
    if (!m_running) {
        return;
    }
    m_running = false;
    if (!m_settings.speaks(AnnounceEvent::HeatEnd)) {
        return;
    }
    // Nothing said during the heat matters once it is over.
    std::erase_if(m_queue, [](const Announcement& a) { return a.event != AnnounceEvent::HeatEnd; });
    int language = m_settings.language;
    auto push = [&](std::string text) {
        m_queue.push_back({AnnounceEvent::HeatEnd, heatTime, std::move(text)});
    };
    push(sentence::heatEnd(language));
    if (m_race && m_leader > 0) {
        push(sentence::winner(language, m_leader, nameOf(m_leader), laneState(m_leader).laps));
    }
    if (m_fastestLane > 0) {
        push(sentence::heatFastestLap(language, m_fastestLane, nameOf(m_fastestLane), m_fastest));
    }
}

void Announcer::raise(AnnounceEvent event, double heatTime, std::string text) {
    if (!m_settings.speaks(event)) {
        return;
    }
    Announcement fresh{event, heatTime, std::move(text)};
    // A newer sentence of the same kind says what the older would have, only truer.
    if (event != AnnounceEvent::LaneSilent) {
        auto same = std::find_if(m_queue.begin(), m_queue.end(),
                                 [&](const Announcement& a) { return a.event == event; });
        if (same != m_queue.end()) {
            m_queue.erase(same);
        }
    }
    std::erase_if(m_queue, [&](const Announcement& a) { return stale(a, heatTime); });
    if (m_queue.size() >= kCapacity) {
        // The least urgent, oldest sentence makes room, unless the new one is less urgent.
        auto victim = m_queue.end();
        for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
            if (it->event != AnnounceEvent::HeatEnd && priority(it->event) <= priority(event) &&
                (victim == m_queue.end() || priority(it->event) < priority(victim->event))) {
                victim = it;
            }
        }
        if (victim == m_queue.end()) {
            return;
        }
        m_queue.erase(victim);
    }
    m_queue.push_back(std::move(fresh));
}

std::optional<Announcement> Announcer::next(double heatTime) {
    std::erase_if(m_queue, [&](const Announcement& a) { return stale(a, heatTime); });
    if (m_queue.empty()) {
        return std::nullopt;
    }
    // Most urgent first; among equals the oldest, so the end's sentences keep their order.
    auto best = m_queue.begin();
    for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
        if (priority(it->event) > priority(best->event)) {
            best = it;
        }
    }
    Announcement out = std::move(*best);
    m_queue.erase(best);
    return out;
}

} // namespace cronovolta

namespace cronovolta {

double speakingTime(std::string_view text, int rate) {
    double charsPerSecond = 14.0 * (1.0 + std::clamp(rate, -10, 10) / 20.0);
    return 0.3 + static_cast<double>(text.size()) / charsPerSecond;
}

} // namespace cronovolta
