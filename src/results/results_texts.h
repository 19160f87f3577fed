#pragma once

#include <array>
#include <string>

namespace cronovolta {

// The texts of the entrant-list and results screens in one language (0 Catalan,
// 1 Castilian). Captions keep their "&" accelerator marks.
struct ResultsTexts {
    // Shared
    std::string close;     // "(Esc) Tancar"
    std::string save;      // "&Gravar"
    std::string lapLetter; // gap texts
    std::string secondsLetter;
    std::array<std::string, 5> programmeCaptions; // menu captions by programme type

    // Entrant lists (one title, count label, name and number header per kind of list)
    std::string participantsTitle; // "Llista de participants"
    std::string entrantsTitle;     // "Llista d'inscrits"
    std::string participantsCount; // "N. de participants:"
    std::string entrantsCount;     // "N. d'inscrits:"
    std::string participantHeader; // "Participant"
    std::string entrantHeader;     // "Inscrit"
    std::string numberHeader;      // "N."
    std::string raceNumberHeader;  // "Dorsal"
    std::string startLaneHeader;   // "Pista d'inici"
    std::string startOrderHeader;  // "Ordre sortida"
    std::string sourceTooltip;     // "Doble clic per entrar-lo"
    std::string sortBy;            // "Ordenar per:"

    // Results browser
    std::string resultsCaption;   // window caption, "Classificacions"
    std::string seriesLabel;      // "Sèrie:"
    std::string all;              // "Tots"
    std::string allFeminine;      // "Totes"
    std::string participantLabel; // "Participant:"
    std::string laneLabel;        // "Pista:"
    std::string passLabel;        // "Passada:"
    std::string heatLabel;        // "Màniga:"
    std::string heatTooltip;      // "Mànigues dels participants"
    std::string criterionLabel;   // "Classificació per:"
    std::array<std::string, 4> criteria;
    std::string print;         // "&Imprimir"
    std::string printQuadrant; // "Imprimir &Quadrant"
    std::string quadrantTitleRace;
    std::string quadrantTitleOther;
    std::string quadrantColumnRace;  // "Total"
    std::string quadrantColumnOther; // "Millor"
    std::string listLayout;          // column layout string of the classification list
};

// Any language other than 1 gives the Catalan table.
const ResultsTexts& resultsTexts(int language);

} // namespace cronovolta
