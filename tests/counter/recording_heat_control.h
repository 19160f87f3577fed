#pragma once

#include "counter/heat_control.h"

#include <string>
#include <vector>

namespace cronovolta::test {

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
    bool refuseStart = false;        // IniciarManiga leaves the heat idle
    double deadline = -99.0;         // HeatEndDeadline
    std::vector<std::string> calls;  // "start", "pause", "lights red", "lap 8 12.3456"...
    std::vector<Crossing> crossings; // every RegistrarPas
    std::vector<Result> results;     // every registerCounterResult
    std::vector<std::string> misuse; // calls made in a state that forbids them

    bool heatPanelShown() const override { return panelShown; }
    bool heatRunning() const override { return running; }
    bool heatPaused() const override { return paused; }

    void setStartLight(StartLight light) override;
    void setRestartLight(RestartLight light) override;
    void IniciarManiga(double now) override;
    void PausarManiga(double now) override;
    void ReprendreManiga(double now) override;
    void AcabarManiga(double now) override;
    void armHeatEnd(double now) override;
    void RegistrarPas(int lane, float counterTime, double now) override;
    void registerCounterResult(int lane, int laps, float fastestLap, double now) override;

    // The calls joined with "; ", for compact expectations.
    std::string joined() const;

private:
    void require(bool ok, const std::string& what);
};

} // namespace cronovolta::test
