#pragma once

#include <initializer_list>
#include <optional>
#include <string>

namespace cronovolta {

// What the heat keys remember between two keys and two heats: a Shift pressed before the
// next key, who started the running heat (S, the counter or a recovery), and when S last
// ended a heat, so that a counter's start right after it is pointed out.
class HeatKeyState {
public:
    void pressShift() { m_shiftHeld = true; }
    // Whether Shift came before this key; it counts for one key only.
    bool takeShift();
    void forgetShift() { m_shiftHeld = false; }

    // S is starting a heat.
    void startingByKey(bool starting) { m_startingByKey = starting; }
    // S ended `heat` at `now`.
    void endedByKey(double now, int heat);
    // A heat starts: returns the notice for the heat panel (empty for none). A heat the
    // counter starts within kCounterStartAfterKeyEnd of S ending one is pointed out, with
    // `noticeText`'s %1 the new heat, %2 the seconds since and %3 the heat that S ended.
    std::string heatStarted(double now, int heat, bool recovering, const std::string& noticeText);
    // The running heat was started by the counter.
    bool counterRun() const { return m_counterRun; }

private:
    bool m_shiftHeld = false;
    bool m_startingByKey = false;
    bool m_counterRun = false;
    std::optional<double> m_keyEndedAt; // the last heat ended with S, and when
    int m_keyEndedHeat = 0;
};

// A counter's start this soon after S ended a heat is most likely the same race going on.
inline constexpr double kCounterStartAfterKeyEnd = 10.0;

// The text with %1, %2... replaced by the values, each mark once.
std::string fillIn(std::string text, std::initializer_list<std::string> values);

} // namespace cronovolta
