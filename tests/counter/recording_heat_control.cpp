#include "counter/recording_heat_control.h"

#include <cstdio>

namespace cronovolta::test {
namespace {

std::string fourDecimals(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

} // namespace

void RecordingHeatControl::require(bool ok, const std::string& what) {
    if (!ok) {
        misuse.push_back(what);
    }
}

void RecordingHeatControl::setStartLight(StartLight light) {
    require(panelShown && !running, "start light");
    calls.push_back(light == StartLight::Red     ? "lights red"
                    : light == StartLight::Green ? "lights green"
                                                 : "lights normal");
}

void RecordingHeatControl::setRestartLight(RestartLight light) {
    require(panelShown && running && paused, "restart light");
    calls.push_back(light == RestartLight::Red ? "restart red" : "restart green");
}

void RecordingHeatControl::IniciarManiga(double) {
    require(panelShown && !running, "start");
    calls.push_back("start");
    if (!refuseStart) {
        running = true;
        paused = false;
        deadline = -99.0;
    }
}

void RecordingHeatControl::PausarManiga(double) {
    require(panelShown && running && !paused, "pause");
    calls.push_back("pause");
    paused = true;
}

void RecordingHeatControl::ReprendreManiga(double) {
    require(panelShown && running && paused, "resume");
    calls.push_back("resume");
    paused = false;
}

void RecordingHeatControl::AcabarManiga(double) {
    require(panelShown && running, "end");
    calls.push_back("end");
    running = false;
    paused = false;
}

void RecordingHeatControl::armHeatEnd(double now) {
    require(panelShown && running, "arm end");
    calls.push_back("arm end");
    deadline = now + 2.5;
}

void RecordingHeatControl::RegistrarPas(int lane, float counterTime, double) {
    require(panelShown && running, "lap");
    calls.push_back("lap " + std::to_string(lane) + " " + fourDecimals(counterTime));
    crossings.push_back({lane, counterTime});
}

void RecordingHeatControl::registerCounterResult(int lane, int laps, float fastestLap, double) {
    require(panelShown && running, "result");
    calls.push_back("result " + std::to_string(lane) + " " + std::to_string(laps) + " " +
                    fourDecimals(fastestLap));
    results.push_back({lane, laps, fastestLap});
}

std::string RecordingHeatControl::joined() const {
    std::string out;
    for (const auto& call : calls) {
        out += out.empty() ? call : "; " + call;
    }
    return out;
}

} // namespace cronovolta::test
