#include "results/results_texts.h"

#include "storage/event_files.h"
#include "texts/language_tables.h"
#include "texts/localiser.h"

namespace cronovolta {
namespace {

// The entrant-list and results screens' texts, taken from the shared language tables.
ResultsTexts fromTables(int language) {
    auto caption = [language](std::string_view window, std::string_view control, int index) {
        return std::string(tableCaption(window, control, index, language));
    };
    MessageTable messages;
    messages.fill("Portada", language);
    messages.fill("Inscrits", language);
    ResultsTexts t;
    t.close = caption("Portada", "Menu", 0);
    t.save = messages.text(0, msg::kSaveCaption);
    t.lapLetter = messages.text(0, msg::kLapLetter);
    t.secondsLetter = messages.text(0, msg::kSecondsLetter);
    for (int p = 0; p < 5; ++p) {
        t.programmeCaptions[static_cast<std::size_t>(p)] = caption("Portada", "MnuPrg", p);
    }
    t.participantsTitle = messages.text(6, msg::kParticipantsTitle);
    t.entrantsTitle = messages.text(6, msg::kEntrantsTitle);
    t.participantsCount = messages.text(6, msg::kParticipantsCountLabel);
    t.entrantsCount = messages.text(6, msg::kEntrantsCountLabel);
    t.participantHeader = messages.text(6, msg::kParticipantHeader);
    t.entrantHeader = messages.text(6, msg::kEntrantHeader);
    t.numberHeader = messages.text(6, msg::kNumberHeader);
    t.raceNumberHeader = messages.text(6, msg::kRaceNumberHeader);
    t.startLaneHeader = messages.text(6, msg::kStartLane);
    t.startOrderHeader = messages.text(6, msg::kStartOrder);
    t.sourceTooltip =
        std::string(tableText("Inscrits", "LlistaInscrits", -1, TextProperty::ToolTip, language));
    t.sortBy = caption("Inscrits", "Ordre", -1);

    t.resultsCaption = caption("Portada", "MnuAltresRtats", -1);
    t.seriesLabel = caption("Portada", "TextSerie", 1);
    LocaliseContext race;
    race.programmeType = index(ProgrammeType::Race);
    messages.fill("Resultats", language, race);
    t.all = messages.text(msgkey::kAll);
    t.allFeminine = messages.text(msgkey::kAllFeminine);
    t.quadrantTitleRace = messages.text(msgkey::kQuadrantTitle);
    t.quadrantColumnRace = messages.text(msgkey::kQuadrantColumn);
    LocaliseContext other;
    other.programmeType = index(ProgrammeType::OfficialPractice);
    messages.fill("Resultats", language, other);
    t.quadrantTitleOther = messages.text(msgkey::kQuadrantTitle);
    t.quadrantColumnOther = messages.text(msgkey::kQuadrantColumn);
    t.participantLabel = caption("Resultats", "Text", 1);
    t.laneLabel = caption("Resultats", "Text", 2);
    t.passLabel = caption("Resultats", "Text", 3);
    t.heatLabel = caption("Resultats", "Text", 4);
    t.heatTooltip =
        std::string(tableText("Resultats", "Filtre", 4, TextProperty::ToolTip, language));
    t.criterionLabel = caption("Resultats", "Criteri", -1);
    for (int c = 1; c <= 4; ++c) {
        t.criteria[static_cast<std::size_t>(c - 1)] = caption("Resultats", "CriteriOrdre", c);
    }
    t.print = caption("Resultats", "Imprimir", 0);
    t.printQuadrant = caption("Resultats", "Imprimir", 1);
    t.listLayout =
        std::string(tableText("Resultats", "LlistaVoltes", -1, TextProperty::Layout, language));
    return t;
}

} // namespace

const ResultsTexts& resultsTexts(int language) {
    static const ResultsTexts kCatalan = fromTables(kLanguageCatalan);
    static const ResultsTexts kCastilian = fromTables(kLanguageCastilian);
    return language == kLanguageCastilian ? kCastilian : kCatalan;
}

} // namespace cronovolta
