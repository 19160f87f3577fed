#pragma once

#include "storage/program_settings.h"
#include "storage/track_config.h"

#include <QString>

#include <map>
#include <memory>
#include <optional>

class QWidget;

namespace cronovolta {

class HeatControl;
class LinkPrompt;
class SerialLink;

// The serial ports of the open programme's circuits: the link to its engine, the devices
// put in place of the port map's, and the counter model decoded.
class HeatPorts {
public:
    explicit HeatPorts(QWidget* window);
    ~HeatPorts();

    // A device to open as COMn instead of the port map's (the simulator).
    void setPortOverride(int port, const QString& devicePath) { m_overrides[port] = devicePath; }
    void setCounterModel(std::optional<CounterModel> model) { m_modelOverride = model; }
    // The model set instead of the settings', or the settings'.
    CounterModel counterModel(CounterModel settings) const {
        return m_modelOverride.value_or(settings);
    }

    // A programme opened: a link to its engine, ports still closed.
    SerialLink& connect(HeatControl& engine);
    SerialLink* link() const { return m_link.get(); }
    // The ports of the track's circuits opened, as the data folder's port map names them.
    void open(const fs::path& dataDir, const TrackConfig& track, CounterModel model);
    // The programme closed: ports closed, link gone.
    void disconnect();
    void closePorts();

private:
    std::unique_ptr<LinkPrompt> m_prompt;
    std::unique_ptr<SerialLink> m_link;
    std::map<int, QString> m_overrides;
    std::optional<CounterModel> m_modelOverride;
};

} // namespace cronovolta
