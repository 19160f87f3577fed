#include "announce/announce_sentences.h"

#include "announce/spoken_numbers.h"

namespace cronovolta::sentence {
namespace {

bool castilian(int language) {
    return language == 1;
}

std::string laneAndName(int language, int lane, const std::string& name) {
    std::string out = "pista " + spokenNumber(lane, language);
    if (!name.empty()) {
        out += ", " + name;
    }
    return out;
}

} // namespace

std::string heatStart(int language, int heat) {
    return (castilian(language) ? "Empieza la manga " : "Comença la màniga ") +
           spokenNumber(heat, language);
}

std::string pause(int language) {
    return castilian(language) ? "Manga en pausa" : "Màniga en pausa";
}

std::string restart(int language) {
    return castilian(language) ? "Se reanuda la manga" : "Es reprèn la màniga";
}

std::string fastestLap(int language, int lane, const std::string& name, double lapTime) {
    return (castilian(language) ? "Vuelta rápida, " : "Volta ràpida, ") +
           laneAndName(language, lane, name) + ", " + spokenDecimal(lapTime, language);
}

std::string newLeader(int language, int lane, const std::string& name) {
    return (castilian(language) ? "Nuevo líder, " : "Nou líder, ") +
           laneAndName(language, lane, name);
}

std::string lastMinute(int language) {
    return castilian(language) ? "Último minuto" : "Últim minut";
}

std::string lastTenSeconds(int language) {
    return castilian(language) ? "Diez segundos" : "Deu segons";
}

std::string laneSilent(int language, int lane, const std::string& name, int seconds) {
    std::string who = laneAndName(language, lane, name);
    who[0] = 'P';
    std::string count = spokenNumber(seconds, language);
    return castilian(language) ? who + ", hace " + count + " segundos que no pasa"
                               : who + ", fa " + count + " segons que no passa";
}

std::string heatEnd(int language) {
    return castilian(language) ? "Final de la manga" : "Final de la màniga";
}

std::string winner(int language, int lane, const std::string& name, int laps) {
    std::string who = name.empty() ? "" : name + ", ";
    std::string count = spokenNumber(laps, language, true);
    if (castilian(language)) {
        return "Gana " + who + "pista " + spokenNumber(lane, language) + ", con " + count +
               (laps == 1 ? " vuelta" : " vueltas");
    }
    return "Guanya " + who + "pista " + spokenNumber(lane, language) + ", amb " + count +
           (laps == 1 ? " volta" : " voltes");
}

std::string heatFastestLap(int language, int lane, const std::string& name, double lapTime) {
    return (castilian(language) ? "Vuelta rápida de la manga, " : "Volta ràpida de la màniga, ") +
           laneAndName(language, lane, name) + ", " + spokenDecimal(lapTime, language);
}

} // namespace cronovolta::sentence
