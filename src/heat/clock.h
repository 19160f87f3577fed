#pragma once

namespace cronovolta {

inline constexpr double kSecondsPerDay = 86400.0;

// The PC clock as the heat engine sees it: seconds since midnight. The desktop program
// reads the system clock through it; tests and the replay command set it by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

class ManualClock : public Clock {
public:
    explicit ManualClock(double start = 0.0) : m_now(start) {}
    double now() const override { return m_now; }
    void set(double seconds) { m_now = seconds; }
    // Moves on and wraps at midnight, as the PC clock does.
    void advance(double seconds) {
        m_now += seconds;
        while (m_now >= kSecondsPerDay) {
            m_now -= kSecondsPerDay;
        }
    }

private:
    double m_now;
};

// A difference of two times of day that became negative because midnight passed.
inline double wrapDay(double difference) {
    return difference < 0.0 ? difference + kSecondsPerDay : difference;
}

// Time since a moment a little earlier the same day or before midnight. A heat clock starts
// at zero, so only a difference beyond half a day is midnight; a small negative one is the
// rounding of a stored start and reads as zero.
inline double sinceEarlier(double now, double earlier) {
    double difference = now - earlier;
    if (difference < -kSecondsPerDay / 2) {
        difference += kSecondsPerDay;
    }
    return difference < 0.0 ? 0.0 : difference;
}

} // namespace cronovolta
