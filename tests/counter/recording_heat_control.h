#pragma once

#include "counter/heat_control.h"

#include <cstdio>
#include <string>
#include <vector>

namespace cronovolta::test {

// Header-only so that the Qt test programs can use it too.
// Heat control that records every call and keeps the heat state the way the heat engine
// does, so decoders can be driven through whole heats.
class RecordingHeatControl : public HeatControl {
public:
    struct Crossing {
        int lane;
        float counterTime;
        bool operator==(const Crossing&) const = default;
    };
    struct Result {
        int lane;
        int laps;
        float fastestLap;
        bool operator==(const Result&) const = default;
    };

    bool panelShown = true;
    bool running = false;
    bool paused = false;
    bool refuseStart = false;        // startHeat leaves the heat idle
    double deadline = -99.0;         // HeatEndDeadline
    std::vector<std::string> calls;  // "start", "pause", "lights red", "lap 8 12.3456"...
    std::vector<Crossing> crossings; // every registerCrossing
    std::vector<Result> results;     // every registerCounterResult
    std::vector<std::string> misuse; // calls made in a state that forbids them

    bool heatPanelShown() const override { return panelShown; }
    bool heatRunning() const override { return running; }
    bool heatPaused() const override { return paused; }

    void setStartLight(StartLight light) override;
    void setRestartLight(RestartLight light) override;
    void startHeat(double now) override;
    void pauseHeat(double now) override;
    void resumePausedHeat(double now) override;
    void finishHeat(double now) override;
    void armHeatEnd(double now) override;
    void registerCrossing(int lane, float counterTime, double now) override;
    void registerCounterResult(int lane, int laps, float fastestLap, double now) override;

    // The calls joined with "; ", for compact expectations.
    std::string joined() const;

private:
    void require(bool ok, const std::string& what);
};

inline std::string fourDecimals(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

inline void RecordingHeatControl::require(bool ok, const std::string& what) {
    if (!ok) {
        misuse.push_back(what);
    }
}

inline void RecordingHeatControl::setStartLight(StartLight light) {
    require(panelShown && !running, "start light");
    calls.push_back(light == StartLight::Red     ? "lights red"
                    : light == StartLight::Green ? "lights green"
                                                 : "lights normal");
}

inline void RecordingHeatControl::setRestartLight(RestartLight light) {
    require(panelShown && running && paused, "restart light");
    calls.push_back(light == RestartLight::Red ? "restart red" : "restart green");
}

inline void RecordingHeatControl::startHeat(double) {
    require(panelShown && !running, "start");
    calls.push_back("start");
    if (!refuseStart) {
        running = true;
        paused = false;
        deadline = -99.0;
    }
}

inline void RecordingHeatControl::pauseHeat(double) {
    require(panelShown && running && !paused, "pause");
    calls.push_back("pause");
    paused = true;
}

inline void RecordingHeatControl::resumePausedHeat(double) {
    require(panelShown && running && paused, "resume");
    calls.push_back("resume");
    paused = false;
}

inline void RecordingHeatControl::finishHeat(double) {
    require(panelShown && running, "end");
    calls.push_back("end");
    running = false;
    paused = false;
}

inline void RecordingHeatControl::armHeatEnd(double now) {
    require(panelShown && running, "arm end");
    calls.push_back("arm end");
    deadline = now + 2.5;
}

inline void RecordingHeatControl::registerCrossing(int lane, float counterTime, double) {
    require(panelShown && running, "lap");
    calls.push_back("lap " + std::to_string(lane) + " " + fourDecimals(counterTime));
    crossings.push_back({lane, counterTime});
}

inline void RecordingHeatControl::registerCounterResult(int lane, int laps, float fastestLap,
                                                        double) {
    require(panelShown && running, "result");
    calls.push_back("result " + std::to_string(lane) + " " + std::to_string(laps) + " " +
                    fourDecimals(fastestLap));
    results.push_back({lane, laps, fastestLap});
}

inline std::string RecordingHeatControl::joined() const {
    std::string out;
    for (const auto& call : calls) {
        out += out.empty() ? call : "; " + call;
    }
    return out;
}

} // namespace cronovolta::test
