#include "heat/heat_texts.h"

namespace cronovolta {
namespace {

HeatTexts catalan() {
    HeatTexts t;
    t.buttons = {"(Esc) Tancar", "(L)listar voltes", "(I)mprimir",
                 "(C)orregir",   "(A)nul·lar",       "(,) Comes"};
    t.elapsedLabel = "Temps transcorregut:";
    t.pauseLabel = "EN PAUSA";
    t.cancelQuestion = "Segur que vols anul·lar la màniga n.";
    t.cancelTitle = "Anul·lar mànigues";
    t.entryMark = "E";
    t.lapLetter = "v";
    t.secondsLetter = "s";
    t.partialHeading = "Parc.";
    t.speedHeading = "km/h";
    t.standingsLayout = "|^Dorsal|<Participant|Voltes|HoraPas|>VRàpida|HoraPas|^Pst.|>Dif.Prm.|"
                        ">Dif.Ant.|nm|^Pst.|^Voltes|^+/-|>Última|>Millor";
    t.referenceLayout = "^VR|^Participant|n.|^Pst.|^Sèr.";
    t.programmeCaptions = {"Entrenaments", "Entrenaments lliures", "Entrenaments oficials",
                           "SuperPole", "Cursa"};
    t.lanePrefix = "Pista";
    return t;
}

HeatTexts castilian() {
    HeatTexts t;
    t.buttons = {"(Esc) Cerrar", "(L)istar vueltas", "(I)mprimir",
                 "(C)orregir",   "(A)nular",         "(,) Comas"};
    t.elapsedLabel = "Tiempo transcurrido:";
    t.pauseLabel = "EN PAUSA";
    t.cancelQuestion = "¿Seguro que quieres anular la manga nº";
    t.cancelTitle = "Anular mangas";
    t.entryMark = "E";
    t.lapLetter = "v";
    t.secondsLetter = "s";
    t.partialHeading = "Parc.";
    t.speedHeading = "km/h";
    t.standingsLayout = "|^Dorsal|<Participante|Vueltas|HoraPaso|>VRápida|HoraPaso|^Pst.|"
                        ">Dif.Prm.|>Dif.Ant.|nm|^Pst.|^Vueltas|^+/-|>Última|>Mejor";
    t.referenceLayout = "^VR|^Participante|n.|^Pst.|^Ser.";
    t.programmeCaptions = {"Entrenamientos", "Entrenamientos libres", "Entrenamientos oficiales",
                           "SuperPole", "Carrera"};
    t.lanePrefix = "Pista";
    return t;
}

} // namespace

const HeatTexts& heatTexts(int language) {
    static const HeatTexts kCatalan = catalan();
    static const HeatTexts kCastilian = castilian();
    return language == 1 ? kCastilian : kCatalan;
}

} // namespace cronovolta
