// The serial port map "PORTS.TXT".
#include "counter/port_map.h"
#include "fuzz_check.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const PortMap map = PortMap::parse(fuzz::asBytes(data, size));
    for (int port = 0; port <= PortMap::kPorts + 1; ++port) {
        const std::string path = map.devicePath(port);
        // One line names one device: a path never runs into the next line.
        FUZZ_CHECK(path.find('\n') == std::string::npos);
        FUZZ_CHECK((port >= 1 && port <= PortMap::kPorts) != path.empty());
    }
    return 0;
}
