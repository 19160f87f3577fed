// The serial ports of a heat session.
#include "shell/qt/heat_ports.h"

#include "counter/port_map.h"
#include "counter/qt/serial_link.h"

namespace cronovolta {

HeatPorts::HeatPorts(QWidget* window) : m_prompt(std::make_unique<MessageBoxPrompt>(window)) {}

HeatPorts::~HeatPorts() = default;

SerialLink& HeatPorts::connect(HeatControl& engine) {
    m_link = std::make_unique<SerialLink>(engine, *m_prompt);
    return *m_link;
}

void HeatPorts::open(const fs::path& dataDir, const TrackConfig& track, CounterModel model) {
    if (!m_link) {
        return;
    }
    PortMap map = PortMap::load(dataDir);
    for (const auto& [port, path] : m_overrides) {
        map.setOverride(port, path.toStdString());
    }
    m_link->setPortMap(std::move(map));
    m_link->configurePorts(track, model);
}

void HeatPorts::disconnect() {
    if (m_link) {
        m_link->closePorts();
        m_link.reset();
    }
}

void HeatPorts::closePorts() {
    if (m_link) {
        m_link->closePorts();
    }
}

} // namespace cronovolta
