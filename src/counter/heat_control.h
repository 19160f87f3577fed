#pragma once

namespace cronovolta {

// The counter time of a lane's first report after its circuit's link was lost and came
// back: a counter that restarted meanwhile times it from its own restart, not from the
// lane's last crossing. The lap counts with the PC's time and never becomes a best lap.
inline constexpr float kCounterTimeUntrusted = -1.0f;

// Heat keys that have no printable character of their own. Captures store these codes.
inline constexpr int kKeyShift = -1; // Shift alone: applies to the next key
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEsc = 27;

// Heat-panel colour mirrored from the counter's start lights while no heat runs.
enum class StartLight {
    Red,    // hide the six panel buttons (Menu 0..5) and Errors, panel QBColor 12
    Green,  // panel QBColor 10
    Normal, // panel back to the colour of button Menu 0 (sent just before startHeat)
};

// Restart lights shown on the pause display of a paused heat (DS300 family only).
enum class RestartLight {
    Red,   // hide TextHora; TextPausa and Hora background QBColor 12; show TextPausa
    Green, // TextPausa and Hora background QBColor 10
};

// What the counter decoders need from heat control. The heat engine implements it; the
// decoders call it on the UI thread only. `now` is the host clock, seconds since midnight,
// at which the bytes arrived: implementations take it as the PC clock of the call.
class HeatControl {
public:
    virtual ~HeatControl() = default;

    // True while the heat panel (FonsDeMenu) is shown; decoders ignore bytes otherwise.
    virtual bool heatPanelShown() const = 0;
    // True from startHeat until finishHeat.
    virtual bool heatRunning() const = 0;
    // True while the running heat is paused.
    virtual bool heatPaused() const = 0;

    // Paints the start lights; only called while no heat runs.
    virtual void setStartLight(StartLight light) = 0;
    // Paints the restart lights; only called while the running heat is paused.
    virtual void setRestartLight(RestartLight light) = 0;

    // Starts a heat (may refuse, e.g. a race that has run all its heats: heatRunning() tells).
    virtual void startHeat(double now) = 0;
    // Pauses the running heat; only called when it is not paused.
    virtual void pauseHeat(double now) = 0;
    // Resumes the paused heat and leaves TextHora shown (a red restart light hides it).
    virtual void resumePausedHeat(double now) = 0;
    // Ends the running heat at once (DS003 only); the end moment is HeatEndDeadline - 2.5.
    virtual void finishHeat(double now) = 0;
    // Arms or pushes on the end of the heat: HeatEndDeadline = now + 2.5 s.
    virtual void armHeatEnd(double now) = 0;

    // One crossing of a track lane inside the receiving circuit; counterTime is the counter's
    // lap time in seconds (0 = no counter time, use the PC clock; kCounterTimeUntrusted).
    // Only while a heat runs.
    virtual void registerCrossing(int lane, float counterTime, double now) = 0;
    // DS003 result of one track lane: laps of the heat and fastest lap in seconds (99.9999 =
    // no valid time, the minimum-lap rule already applied). Between startHeat and
    // finishHeat only.
    virtual void registerCounterResult(int lane, int laps, float fastestLap, double now) = 0;
};

} // namespace cronovolta
