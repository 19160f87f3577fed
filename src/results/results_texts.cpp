#include "results/results_texts.h"

namespace cronovolta {
namespace {

ResultsTexts catalan() {
    ResultsTexts t;
    t.close = "(Esc) Tancar";
    t.save = "&Gravar";
    t.lapLetter = "v";
    t.secondsLetter = "s";
    t.programmeCaptions = {"Entrenaments", "Entrenaments lliures", "Entrenaments oficials",
                           "SuperPole", "Cursa"};
    t.participantsTitle = "Llista de participants";
    t.entrantsTitle = "Llista d'inscrits";
    t.participantsCount = "N. de participants:";
    t.entrantsCount = "N. d'inscrits:";
    t.participantHeader = "Participant";
    t.entrantHeader = "Inscrit";
    t.numberHeader = "N.";
    t.dorsalHeader = "Dorsal";
    t.startLaneHeader = "Pista d'inici";
    t.startOrderHeader = "Ordre sortida";
    t.sourceTooltip = "Doble clic per entrar-lo";
    t.sortBy = "Ordenar per:";
    t.resultsCaption = "Classificacions";
    t.seriesLabel = "Sèrie:";
    t.all = "Tots";
    t.allFeminine = "Totes";
    t.participantLabel = "Participant:";
    t.laneLabel = "Pista:";
    t.passLabel = "Passada:";
    t.heatLabel = "Màniga:";
    t.heatTooltip = "Mànigues dels participants";
    t.criterionLabel = "Classificació per:";
    t.criteria = {"Total voltes", "Volta ràpida", "Voltes parcials", "Volta ràpida parcial"};
    t.print = "&Imprimir";
    t.printQuadrant = "Imprimir &Quadrant";
    t.quadrantTitleRace = "Quadrant de voltes acabada la màniga ";
    t.quadrantTitleOther = "Quadrant de voltes ràpides acabada la màniga ";
    t.quadrantColumnRace = "Total";
    t.quadrantColumnOther = "Millor";
    t.listLayout = "|^Ser.|Dor.|<Participant|^Psd.|^Pst.|^Mng.|>Total V.|HdP|>V. Ràpida|HdP|>V. "
                   "parc.|HdP|>V.R. parc.|HdP|>Dif. Prm.|>Dif. Ant.|>Pen.";
    return t;
}

ResultsTexts castilian() {
    ResultsTexts t;
    t.close = "(Esc) Cerrar";
    t.save = "&Grabar";
    t.lapLetter = "v";
    t.secondsLetter = "s";
    t.programmeCaptions = {"Entrenamientos", "Entrenamientos libres", "Entrenamientos oficiales",
                           "SuperPole", "Carrera"};
    t.participantsTitle = "Lista de participantes";
    t.entrantsTitle = "Lista de inscritos";
    t.participantsCount = "Nº de participantes:";
    t.entrantsCount = "Nº de inscritos:";
    t.participantHeader = "Participante";
    t.entrantHeader = "Inscrito";
    t.numberHeader = "Nº";
    t.dorsalHeader = "Dorsal";
    t.startLaneHeader = "Pista inicial";
    t.startOrderHeader = "Orden salida";
    t.sourceTooltip = "Doble clic para entrarlo";
    t.sortBy = "Ordenar por:";
    t.resultsCaption = "Clasificaciones";
    t.seriesLabel = "Serie:";
    t.all = "Todos";
    t.allFeminine = "Todas";
    t.participantLabel = "Participante:";
    t.laneLabel = "Pista:";
    t.passLabel = "Pasada:";
    t.heatLabel = "Manga:";
    t.heatTooltip = "Mangas de los participantes";
    t.criterionLabel = "Clasificación por:";
    t.criteria = {"Total vueltas", "Vuelta rápida", "Vueltas parciales", "Vuelta rápida parcial"};
    t.print = "&Imprimir";
    t.printQuadrant = "Imprimir &Cuadrante";
    t.quadrantTitleRace = "Cuadrante de vueltas finalizada la manga ";
    t.quadrantTitleOther = "Cuadrante de vueltas rápidas finalizada la manga ";
    t.quadrantColumnRace = "Total";
    t.quadrantColumnOther = "Mejor";
    t.listLayout = "|^Ser.|Dor.|<Participante|^Psd.|^Pst.|^Mng.|>Total V.|HdP|>V. Rápida|HdP|>V. "
                   "parc.|HdP|>V.R. parc.|HdP|>Dif. Prm.|>Dif. Ant.|>Pen.";
    return t;
}

} // namespace

const ResultsTexts& resultsTexts(int language) {
    static const ResultsTexts kCatalan = catalan();
    static const ResultsTexts kCastilian = castilian();
    return language == 1 ? kCastilian : kCatalan;
}

} // namespace cronovolta
