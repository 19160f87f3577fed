#pragma once

namespace cronovolta {

// The state of the heat of the open programme: its number, whether it runs or is paused,
// its start (moved on by every pause), the pauses so far and the end deadline that the
// counter's end signal arms. Times are the PC clock in seconds since midnight.
struct HeatState {
    static constexpr float kNoDeadline = -99.0f;

    int heat = 0;
    bool running = false;
    bool paused = false;
    int pauseCount = 0;
    float heatStart = 0.0f;
    float pauseStart = 0.0f;
    float endDeadline = kNoDeadline;
    int autoScrollPeriods = 0;

    // Heat time: it stands still during a pause.
    double sinceStart(double now) const;
    void pause(double now);
    // Ends the pause: the start moves on by the pause, stored as "ZTR4.TMP" reads it back
    // and never later than the heat clock allows. Returns the pause's length.
    double resume(double now);
    // The end signal: the heat ends 2.5 s later.
    void armEnd(double now);
    bool endDeadlinePassed(double now) const;
};

} // namespace cronovolta
