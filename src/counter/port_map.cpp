#include "counter/port_map.h"

#include "storage/platform.h"
#include "texts/language_tables.h"
#include "texts/localiser.h"

namespace cronovolta {

PortMap PortMap::load(const fs::path& dataFolder) {
    auto text = readFileBytes(dataFolder / kPortMapFile);
    return text ? parse(*text) : PortMap();
}

PortMap PortMap::parse(std::string_view text) {
    PortMap map;
    for (int port = 0; port < kPorts && !text.empty(); ++port) {
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        const std::size_t first = line.find_first_not_of(" \t");
        const std::size_t last = line.find_last_not_of(" \t\r");
        if (first != std::string_view::npos) {
            map.m_lines[static_cast<std::size_t>(port)] = line.substr(first, last - first + 1);
        }
    }
    return map;
}

void PortMap::setOverride(int port, std::string devicePath) {
    if (port >= 1 && port <= kPorts) {
        m_overrides[static_cast<std::size_t>(port - 1)] = std::move(devicePath);
    }
}

std::string PortMap::devicePath(int port) const {
    if (port < 1 || port > kPorts) {
        return {};
    }
    const auto index = static_cast<std::size_t>(port - 1);
    if (!m_overrides[index].empty()) {
        return m_overrides[index];
    }
    if (!m_lines[index].empty()) {
        return m_lines[index];
    }
    return platform::defaultSerialDevice(port);
}

std::string portOpenFailedText(int language, int circuit, PortProblem problem,
                               std::string_view device) {
    MessageTable messages;
    messages.fill("Portada",
                  language == kLanguageCastilian ? kLanguageCastilian : kLanguageCatalan);
    std::string text =
        messages.text(0, msg::kNoPortConnection) + " " + std::to_string(circuit) + ".";
    if (!device.empty()) {
        text += "\n" + portProblemText(problem, device, language);
    }
    return text;
}

std::string serialAccessNoteText(int language, const fs::path& dataFolder) {
    const std::string map = (dataFolder / kPortMapFile).string();
    if (language == 1) {
        return "Para leer los cuentavueltas por los puertos serie, su usuario debe pertenecer al "
               "grupo dialout:\r    sudo adduser $USER dialout\r"
               "y después hay que cerrar la sesión y volver a entrar.\r\r"
               "El fichero " +
               map +
               " asigna un dispositivo a cada puerto COM1..COM4, una línea por puerto (por "
               "ejemplo /dev/ttyUSB0).";
    }
    return "Per llegir els comptavoltes pels ports sèrie, el vostre usuari ha de ser del grup "
           "dialout:\r    sudo adduser $USER dialout\r"
           "i després cal tancar la sessió i tornar a entrar.\r\r"
           "El fitxer " +
           map +
           " assigna un dispositiu a cada port COM1..COM4, una línia per port (per exemple "
           "/dev/ttyUSB0).";
}

std::string portLostText(int language, int circuit) {
    return std::string(language == 1 ? "Se ha perdido la conexión por el puerto"
                                     : "S'ha perdut la connexió pel port") +
           " " + std::to_string(circuit) + ".";
}

std::string portBackText(int language, int circuit) {
    return std::string(language == 1 ? "Se ha recuperado la conexión por el puerto"
                                     : "S'ha recuperat la connexió pel port") +
           " " + std::to_string(circuit) + ".";
}

std::string foreignCounterText(int language, int circuit, const std::string& device,
                               std::string_view model) {
    const std::string port = std::to_string(circuit) + " (" + device + ")";
    const std::string name(model);
    if (language == 1) {
        return "Por el puerto " + port + " llegan datos, pero no son de un contador " + name +
               ". Compruebe que el contador conectado es el del modelo escogido en la " +
               "configuración del programa.";
    }
    return "Pel port " + port + " arriben dades, però no són d'un comptador " + name +
           ". Comproveu que el comptador connectat és el del model triat a la configuració " +
           "del programa.";
}

std::string retryButtonText(int language) {
    return std::string(dialogButtonText(DialogButton::Retry, language));
}

std::string cancelButtonText(int language) {
    return std::string(dialogButtonText(DialogButton::Cancel, language));
}

} // namespace cronovolta
