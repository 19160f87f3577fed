#include "counter/port_map.h"
#include "storage/platform.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace cronovolta::test {
namespace {

TEST(PortMap, FileLinesOverridesAndDefaults) {
    const PortMap map = PortMap::parse("  /dev/ttyACM0 \r\n\n/dev/serial/by-id/counter-2\n");
    EXPECT_EQ(map.devicePath(1), "/dev/ttyACM0");
    EXPECT_EQ(map.devicePath(3), "/dev/serial/by-id/counter-2");
    // Empty and missing lines fall back to the system's own serial devices.
    for (int port : {2, 4}) {
        const std::string path = map.devicePath(port);
        if (platform::kWindows) {
            EXPECT_EQ(path, "COM" + std::to_string(port));
        } else {
            const std::string n = std::to_string(port - 1);
            EXPECT_TRUE(path == "/dev/ttyUSB" + n || path == "/dev/ttyS" + n) << path;
        }
    }
    EXPECT_EQ(map.devicePath(0), "");
    EXPECT_EQ(map.devicePath(5), "");

    PortMap simulated = map;
    simulated.setOverride(1, "/dev/pts/7");
    EXPECT_EQ(simulated.devicePath(1), "/dev/pts/7");
}

TEST(PortMap, LoadsFromTheDataFolder) {
    TempDir dir;
    EXPECT_EQ(PortMap::load(dir.path()).devicePath(9), "");
    writeBytes(dir.path() / kPortMapFile, "/dev/pts/3\n");
    EXPECT_EQ(PortMap::load(dir.path()).devicePath(1), "/dev/pts/3");
}

TEST(PortMap, MessagesOfBothLanguages) {
    EXPECT_EQ(portOpenFailedText(0, 2), "No hi ha connexió pel port 2.");
    EXPECT_EQ(portOpenFailedText(1, 1), "No hay conexión por el puerto 1.");
    EXPECT_EQ(portLostText(1, 3), "Se ha perdido la conexión por el puerto 3.");
    EXPECT_EQ(portBackText(0, 4), "S'ha recuperat la connexió pel port 4.");
    for (int language : {0, 1}) {
        const std::string note = serialAccessNoteText(language, "/home/pere/Cronovolta");
        EXPECT_NE(note.find("adduser $USER dialout"), std::string::npos) << note;
        const fs::path map = fs::path("/home/pere/Cronovolta") / "PORTS.TXT";
        EXPECT_NE(note.find(map.string()), std::string::npos) << note;
    }
    EXPECT_NE(serialAccessNoteText(0, "/d").substr(0, 20),
              serialAccessNoteText(1, "/d").substr(0, 20));
}

} // namespace
} // namespace cronovolta::test
