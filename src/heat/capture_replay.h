#pragma once

#include "counter/capture.h"
#include "counter/counter_decoder.h"
#include "heat/heat_engine.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cronovolta {

// Feeds a byte capture through the counter decoders into the heat engine, with a
// simulated PC clock: the heat clock ticks at its interval (0.5 s, 0.05 s in Super Pole)
// from the start of each heat between the capture's lines, and after the last line until
// no heat runs, for at most 10 s. Screens that a heat key would open are not part of a
// replay: questions get their default answer (No) and the comes entry closes empty.
class CaptureReplay {
public:
    explicit CaptureReplay(HeatEngine& engine);

    // Called with every command a key asked for that the replay cannot carry out.
    void onUnhandled(std::function<void(double, HeatCommand)> callback) {
        m_unhandled = std::move(callback);
    }

    // A heat already runs (a recovered one): the clock ticks from `now` on.
    void heatRunningSince(double now);
    // Stops early when the engine holds a heat it could neither store nor keep: no heat may
    // start over its laps.
    void play(const std::vector<CaptureEvent>& events);
    // Where play() stopped early: the capture time of the first event it did not play, and
    // of the event that started the heat the engine holds.
    std::optional<double> firstUnplayed() const { return m_firstUnplayed; }
    std::optional<double> lastHeatStart() const { return m_lastHeatStart; }
    // Ticks from the last event on until no heat runs, at most `limit` seconds.
    void finish(double limit = 10.0);
    // The moment of the last event or tick, seconds since midnight.
    double now() const;

private:
    void tickUntil(double timeline);
    void dispatch(const CaptureEvent& event, double now);
    void rebuildDecoder();

    HeatEngine& m_engine;
    std::unique_ptr<CounterDecoder> m_decoder;
    std::function<void(double, HeatCommand)> m_unhandled;
    double m_offset = 0.0; // days passed, in seconds: the timeline does not wrap
    double m_timeline = -1.0;
    double m_nextTick = 0.0;
    std::optional<double> m_firstUnplayed;
    std::optional<double> m_lastHeatStart;
};

// A capture names the counter model its bytes came from (CaptureContents::models); bytes of
// one model decode as garbage with another's decoder. A model other than `model` (the one
// the replay decodes with) is refused with this message, which names both, in the
// language; nullopt when every model line names `model` or there is none.
std::optional<std::string> captureModelMismatch(const CaptureContents& capture, CounterModel model,
                                                int language, const std::string& file);

} // namespace cronovolta
