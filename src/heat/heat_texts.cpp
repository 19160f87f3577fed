#include "heat/heat_texts.h"

#include "storage/number_format.h"
#include "texts/language_tables.h"

namespace cronovolta {
namespace {

// The heat screens read their texts from the program's one text table, so a caption
// changed there changes the keys and the screens together.
HeatTexts fromTables(int language) {
    auto caption = [language](std::string_view window, std::string_view control, int index) {
        return std::string(tableCaption(window, control, index, language));
    };
    auto layout = [language](std::string_view window, std::string_view control) {
        return std::string(tableText(window, control, -1, TextProperty::Layout, language));
    };
    auto message = [language](int column, int row) {
        return std::string(messageText(column, row, language));
    };
    HeatTexts t;
    for (int i = 0; i < 6; ++i) {
        t.buttons[static_cast<std::size_t>(i)] = caption("Portada", "Menu", i);
    }
    t.elapsedLabel = caption("Portada", "TextHora", -1);
    t.pauseLabel = caption("Portada", "TextPausa", -1);
    t.cancelQuestion = message(0, msg::kCancelHeatQuestion);
    t.cancelTitle = message(0, msg::kCancelHeatTitle);
    t.lapLetter = message(0, msg::kLapLetter);
    t.secondsLetter = message(0, msg::kSecondsLetter);
    t.entryMark = message(5, 0);
    t.partialHeading = message(5, 2);
    t.speedHeading = message(5, 3);
    t.standingsLayout = layout("Classificacio", "InfoClass");
    t.referenceLayout = layout("Classificacio", "Ref");
    for (int i = 0; i < 5; ++i) {
        t.programmeCaptions[static_cast<std::size_t>(i)] = caption("Portada", "MnuPrg", i);
    }
    t.lanePrefix = caption("VoltaaVolta", "Titol", 0);
    t.endWhileCrossingQuestion = message(0, msg::kEndHeatWhileCrossing);
    t.endHeatTitle = message(0, msg::kEndHeatTitle);
    t.counterStartNotice = message(0, msg::kCounterStartedNewHeat);
    return t;
}

} // namespace

std::string abandonedJournalText(int language, int heat, float start, const std::string& file) {
    const std::string number = heat >= 0 ? std::to_string(heat) : "?";
    const std::string at = longTime(start);
    if (language == kCastella) {
        return "Una recuperación interrumpida dejó las vueltas de la manga " + number +
               " (empezada a las " + at + "), que no es la que se recupera ahora. Se guardan " +
               "aparte en el fichero " + file + " de la carpeta de la prueba.";
    }
    return "Una recuperació interrompuda va deixar les voltes de la màniga " + number +
           " (començada a les " + at + "), que no és la que es recupera ara. Es desen a part " +
           "al fitxer " + file + " de la carpeta de la prova.";
}

const HeatTexts& heatTexts(int language) {
    static const HeatTexts kCatalan = fromTables(kCatala);
    static const HeatTexts kCastilian = fromTables(kCastella);
    return language == kCastella ? kCastilian : kCatalan;
}

} // namespace cronovolta
