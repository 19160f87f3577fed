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
    auto keyed = [language](MessageKey key) { return std::string(messageText(key, language)); };
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
    t.entryMark = keyed(msgkey::kEntryMark);
    t.partialHeading = keyed(msgkey::kPartialHeading);
    t.speedHeading = keyed(msgkey::kSpeedHeading);
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
    if (language == kLanguageCastilian) {
        return "Una recuperación interrumpida dejó las vueltas de la manga " + number +
               " (empezada a las " + at + "), que no es la que se recupera ahora. Se guardan " +
               "aparte en el fichero " + file + " de la carpeta de la prueba.";
    }
    return "Una recuperació interrompuda va deixar les voltes de la màniga " + number +
           " (començada a les " + at + "), que no és la que es recupera ara. Es desen a part " +
           "al fitxer " + file + " de la carpeta de la prova.";
}

namespace heatnote {
namespace {

std::string pick(int language, std::string catalan, std::string castilian) {
    return language == kLanguageCastilian ? std::move(castilian) : std::move(catalan);
}

} // namespace

std::string keptText(int language, int heat, const std::string& file) {
    const std::string n = std::to_string(heat);
    return pick(language,
                "Les voltes de la màniga " + n + " no s'han pogut gravar als arxius de la sèrie. " +
                    "Es conserven totes al fitxer " + file + " de la carpeta de la prova. " +
                    "La màniga no compta: la propera sortida torna a córrer la màniga " + n + ".",
                "Las vueltas de la manga " + n + " no se han podido grabar en los archivos de " +
                    "la serie. Se conservan todas en el fichero " + file + " de la carpeta de " +
                    "la prueba. La manga no cuenta: la próxima salida vuelve a correr la manga " +
                    n + ".");
}

std::string heldText(int language, int heat) {
    const std::string n = std::to_string(heat);
    return pick(language,
                "Les voltes de la màniga " + n + " no s'han pogut gravar ni desar a part. " +
                    "El programa les guarda i no començarà cap màniga fins que s'hagin desat: " +
                    "allibera espai al disc (o resol el problema indicat); la màniga " + n +
                    " es gravarà abans de la següent.",
                "Las vueltas de la manga " + n + " no se han podido grabar ni guardar aparte. " +
                    "El programa las guarda y no empezará ninguna manga hasta que se hayan " +
                    "guardado: libera espacio en el disco (o resuelve el problema indicado); la " +
                    "manga " + n + " se grabará antes de la siguiente.");
}

std::string storedLateText(int language, int heat) {
    const std::string n = std::to_string(heat);
    return pick(language, "La màniga " + n + " s'ha gravat ara.",
                "La manga " + n + " se ha grabado ahora.");
}

std::string startRefusedText(int language, int heat) {
    const std::string n = std::to_string(heat);
    return pick(language,
                "No es pot començar una màniga nova: les voltes de la màniga " + n +
                    " encara no s'han pogut gravar ni desar a part. Allibera espai al disc i " +
                    "torna a donar la sortida.",
                "No se puede empezar una manga nueva: las vueltas de la manga " + n +
                    " todavía no se han podido grabar ni guardar aparte. Libera espacio en el " +
                    "disco y vuelve a dar la salida.");
}

std::string heldAtCloseText(int language, int heat, bool whole) {
    const std::string n = std::to_string(heat);
    if (whole) {
        return pick(language,
                    "Les voltes de la màniga " + n + " es queden al fitxer VLTAVLT.TMP de la " +
                        "carpeta de la prova. Quan hi hagi espai al disc, recupera la màniga en " +
                        "obrir el programa (o amb cronovolta-cli replay ... --recover).",
                    "Las vueltas de la manga " + n + " se quedan en el fichero VLTAVLT.TMP de " +
                        "la carpeta de la prueba. Cuando haya espacio en el disco, recupera la " +
                        "manga al abrir el programa (o con cronovolta-cli replay ... --recover).");
    }
    return pick(
        language,
        "La màniga " + n + " no s'ha pogut desar sencera enlloc: el fitxer VLTAVLT.TMP " +
            "de la carpeta de la prova només en guarda una part. Allibera espai al disc " +
            "abans de la propera màniga.",
        "La manga " + n + " no se ha podido guardar entera en ninguna parte: el fichero " +
            "VLTAVLT.TMP de la carpeta de la prueba solo guarda una parte. Libera espacio " +
            "en el disco antes de la próxima manga.");
}

std::string interruptedKeptText(int language, int heat, float start, const std::string& file) {
    const std::string n = heat >= 0 ? std::to_string(heat) : "?";
    const std::string at = longTime(start);
    return pick(language,
                "El fitxer de voltes VLTAVLT.TMP guardava la màniga " + n + " (començada a les " +
                    at + "), interrompuda i no recuperada. Es desa a part al fitxer " + file +
                    " de la carpeta de la prova, i la màniga nova comença de zero.",
                "El fichero de vueltas VLTAVLT.TMP guardaba la manga " + n + " (empezada a las " +
                    at + "), interrumpida y no recuperada. Se guarda aparte en el fichero " + file +
                    " de la carpeta de la prueba, y la manga nueva empieza de cero.");
}

std::string interruptedNotKeptText(int language, int heat, float start) {
    const std::string n = heat >= 0 ? std::to_string(heat) : "?";
    const std::string at = longTime(start);
    return pick(language,
                "No es pot començar la màniga: el fitxer de voltes VLTAVLT.TMP guarda la màniga " +
                    n + " (començada a les " + at + "), interrompuda, i no s'ha pogut desar a " +
                    "part. Recupera-la o allibera espai al disc i torna a donar la sortida.",
                "No se puede empezar la manga: el fichero de vueltas VLTAVLT.TMP guarda la "
                "manga " +
                    n + " (empezada a las " + at + "), interrumpida, y no se ha " +
                    "podido guardar aparte. Recupérala o libera espacio en el disco y vuelve a " +
                    "dar la salida.");
}

std::string journalInMemoryText(int language) {
    return pick(language,
                "Les voltes d'aquesta màniga es guarden a la memòria i es gravaran quan acabi.",
                "Las vueltas de esta manga se guardan en la memoria y se grabarán cuando acabe.");
}

std::string seriesFullText(int language) {
    return pick(language,
                "La sèrie ja ha corregut totes les mànigues que els seus arxius poden numerar.",
                "La serie ya ha corrido todas las mangas que sus archivos pueden numerar.");
}

std::string namesCutText(int language) {
    return pick(language,
                "La llista de participants de la sèrie s'acaba a mig nom; es fan servir els noms "
                "anteriors.",
                "La lista de participantes de la serie acaba a medio nombre; se usan los nombres "
                "anteriores.");
}

std::string negativeCounterText(int language, const std::string& file, int counter) {
    const std::string n = std::to_string(counter);
    return pick(language,
                "El comptador de mànigues de " + file + " diu " + n +
                    "; la sèrie es pren com a no començada.",
                "El contador de mangas de " + file + " dice " + n +
                    "; la serie se toma como no empezada.");
}

std::string foreignJournalText(int language, int journalHeat, int heat, const std::string& file) {
    const std::string j = std::to_string(journalHeat);
    const std::string n = std::to_string(heat);
    return pick(language,
                "El fitxer de voltes és de la màniga " + j + ", no de la màniga " + n +
                    "; es desa a part com a " + file + ".",
                "El fichero de vueltas es de la manga " + j + ", no de la manga " + n +
                    "; se guarda aparte como " + file + ".");
}

std::string headerlessJournalText(int language) {
    return pick(language,
                "El fitxer de voltes no té capçalera de màniga; les seves voltes es tornen a "
                "passar sota una de nova.",
                "El fichero de vueltas no tiene cabecera de manga; sus vueltas se vuelven a pasar "
                "bajo una nueva.");
}

std::string unreadableJournalText(int language, const std::string& file) {
    return pick(language, "Es desa a part com a " + file + ".",
                "Se guarda aparte como " + file + ".");
}

std::string missingResultsText(int language, const std::string& file, int heat) {
    const std::string n = std::to_string(heat);
    return pick(language, "L'arxiu de resultats " + file + " no conté la màniga " + n + ".",
                "El archivo de resultados " + file + " no contiene la manga " + n + ".");
}

} // namespace heatnote

const HeatTexts& heatTexts(int language) {
    static const HeatTexts kCatalan = fromTables(kLanguageCatalan);
    static const HeatTexts kCastilian = fromTables(kLanguageCastilian);
    return language == kLanguageCastilian ? kCastilian : kCatalan;
}

} // namespace cronovolta
