#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

enum class AnnounceEvent {
    HeatStart,
    Pause,
    Restart,
    FastestLap,
    NewLeader,
    LastMinute,
    LastTenSeconds,
    LaneSilent,
    HeatEnd, // the end, the winner and the heat's fastest lap
};
inline constexpr int kAnnounceEventCount = 9;

// Stable names for the settings file and the command line.
const char* announceEventKey(AnnounceEvent event);
std::optional<AnnounceEvent> announceEventFromKey(const std::string& key);

struct AnnounceSettings {
    bool enabled = false;
    std::array<bool, kAnnounceEventCount> events{true, true, true, true, true,
                                                 true, true, true, true};
    int heatSeconds = 0;    // a timed heat's length; 0: heats end on the counter's signal
    int silentSeconds = 30; // a car that has not crossed for this long is called
    int language = 0;       // 0 Catalan, 1 Castilian

    bool speaks(AnnounceEvent event) const { return events[static_cast<std::size_t>(event)]; }
};

struct Announcement {
    AnnounceEvent event = AnnounceEvent::HeatStart;
    double heatTime = 0.0; // when it was raised
    std::string text;
};

// Turns what happens in a heat into sentences, and keeps them in a short queue for a
// voice that speaks one at a time. The voice is slower than the track: the queue holds
// a few sentences, a newer one of the same kind replaces the older, a sentence too old
// to be true any more is dropped, and the end of the heat is never lost.
class Announcer {
public:
    static constexpr std::size_t kCapacity = 4;

    explicit Announcer(AnnounceSettings settings = {});
    const AnnounceSettings& settings() const { return m_settings; }
    void setSettings(const AnnounceSettings& settings) { m_settings = settings; }

    // --- What the heat does (heat times: seconds since the start, pauses excluded) ---
    // `names` by lane (element 0 unused); an empty name is not spoken.
    void heatStarted(int heat, bool race, std::vector<std::string> names);
    void paused(double heatTime);
    void resumed(double heatTime);
    // A counted crossing; lapTime 99.9999 or more is no valid time.
    void lap(int lane, float lapTime, int laps, double heatTime);
    void clock(double heatTime);
    void heatEnded(double heatTime);

    // --- The voice's side ---
    // The next sentence to say at `heatTime`, stale ones dropped on the way.
    std::optional<Announcement> next(double heatTime);
    const std::vector<Announcement>& queue() const { return m_queue; }

private:
    struct Lane {
        int laps = 0;
        float best = 0.0f;
        double lastCrossing = 0.0;
        bool silentCalled = false;
    };

    void raise(AnnounceEvent event, double heatTime, std::string text);
    const std::string& nameOf(int lane) const;
    Lane& laneState(int lane);
    bool ahead(int lane, int other) const;

    AnnounceSettings m_settings;
    std::vector<Announcement> m_queue;
    std::vector<Lane> m_lanes;
    std::vector<std::string> m_names;
    bool m_running = false;
    bool m_race = false;
    int m_leader = 0;
    int m_fastestLane = 0;
    float m_fastest = 0.0f;
    bool m_lastMinuteCalled = false;
    bool m_lastTenCalled = false;
};

} // namespace cronovolta

namespace cronovolta {

// About how long a voice of this rate (-10..10) takes to say a text, in seconds: enough to
// pace a replayed heat as a live voice would.
double speakingTime(std::string_view text, int rate);

} // namespace cronovolta
