#include "support/simulated_capture.h"

#include "counter/capture.h"

namespace cronovolta::test {

std::string captureText(const SimulatedPlay& play, double start, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < to && i < play.chunks.size(); ++i) {
        CaptureEvent e;
        e.seconds = start + play.chunks[i].at;
        e.circuit = 1;
        e.bytes = play.chunks[i].bytes;
        text += formatCaptureEvent(e) + "\n";
    }
    return text;
}

std::string simulatedCapture(const SimulatorOptions& options) {
    return captureText(planSimulation(options));
}

} // namespace cronovolta::test
