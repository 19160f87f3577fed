// Byte captures of the counters, as recorded and replayed.
#include "counter/capture.h"
#include "fuzz_check.h"

#include <algorithm>

using namespace cronovolta;

namespace {

std::string written(const std::vector<CaptureEvent>& events) {
    std::string text;
    for (const CaptureEvent& event : events) {
        text += formatCaptureEvent(event);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::asBytes(data, size);
    const CaptureContents contents = parseCapture(text);
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (const CaptureProblem& problem : contents.problems) {
        FUZZ_CHECK(problem.line >= 1 && problem.line <= lines && !problem.message.empty());
    }
    // A capture the program writes of what it read is read back whole, and unchanged when
    // written once more.
    const std::string once = written(contents.events);
    const CaptureContents again = parseCapture(once);
    FUZZ_CHECK(again.problems.empty());
    FUZZ_CHECK(written(again.events) == once);
    return 0;
}
