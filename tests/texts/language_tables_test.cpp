#include "texts/language_tables.h"
#include "texts/localiser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

namespace cronovolta {
namespace {

std::string find(const std::vector<WindowText>& texts, std::string_view control, int index,
                 TextProperty property = TextProperty::Caption) {
    std::string found = "<missing>";
    for (const WindowText& t : texts) {
        if (t.control == control && t.index == index && t.property == property) {
            found = t.text; // later entries (derived texts) win, as when applied
        }
    }
    return found;
}

LocaliseContext withProgramme(int programmeType) {
    LocaliseContext c;
    c.programmeType = programmeType;
    return c;
}

LocaliseContext withMode(int mode) {
    LocaliseContext c;
    c.exportMode = mode;
    return c;
}

bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int len = c < 0x80         ? 1
                        : (c >> 5) == 6  ? 2
                        : (c >> 4) == 14 ? 3
                        : (c >> 3) == 30 ? 4
                                         : 0;
        if (len == 0 || i + len > s.size()) {
            return false;
        }
        for (int k = 1; k < len; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += len;
    }
    return true;
}

TEST(TextTables, KeysAreUniqueAndBothLanguagesHaveEveryText) {
    std::set<std::tuple<std::string_view, std::string_view, int, TextProperty>> keys;
    for (const TextEntry& e : textTable()) {
        EXPECT_TRUE(keys.insert({e.window, e.control, e.index, e.property}).second)
            << "duplicate key " << e.window << "." << e.control << "(" << e.index << ")";
        EXPECT_FALSE(e.catalan.empty()) << e.window << "." << e.control;
        EXPECT_FALSE(e.castilian.empty()) << e.window << "." << e.control;
        EXPECT_TRUE(validUtf8(e.catalan) && validUtf8(e.castilian)) << e.window << "." << e.control;
    }
    std::set<std::tuple<int, int>> cells;
    for (const MessageEntry& m : messageEntries()) {
        EXPECT_TRUE(cells.insert({m.column, m.row}).second || m.column == 7)
            << "message " << m.column << "," << m.row << " owned twice";
        EXPECT_LT(m.row, MessageTable::kRows);
        // A text is empty in one language only if it is empty in both.
        EXPECT_EQ(m.catalan.empty(), m.castilian.empty()) << m.column << "," << m.row;
    }
}

TEST(TextTables, EveryWindowIsLocalisedInBothLanguages) {
    for (std::string_view window : localisedWindows()) {
        for (int language : {kLanguageCatalan, kLanguageCastilian}) {
            MessageTable messages;
            const auto texts = localiseWindow(window, language, messages);
            EXPECT_FALSE(texts.empty()) << window << " in language " << language;
            for (const WindowText& t : texts) {
                EXPECT_FALSE(t.text.empty()) << window << "." << t.control << "(" << t.index << ")";
            }
        }
    }
}

TEST(TextTables, MessageColumnsBelongToTheirWindows) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(messageColumnOwners(0), V{"Portada"});
    EXPECT_EQ(messageColumnOwners(2), V{"NovaProva"});
    EXPECT_EQ(messageColumnOwners(3), V{"GestorProves"});
    EXPECT_EQ(messageColumnOwners(5), V{"Classificacio"});
    EXPECT_EQ(messageColumnOwners(6), V{"Inscrits"});
    EXPECT_EQ(messageColumnOwners(7), (V{"Resultats", "LlistarVoltes"}));
    EXPECT_EQ(messageColumnOwners(9), V{"Exportar"});
    for (int unused : {1, 4, 8}) {
        EXPECT_TRUE(messageColumnOwners(unused).empty());
    }
}

TEST(TextTables, TellingPairs) {
    EXPECT_EQ(tableCaption("Portada", "MnuPrg", 4, kLanguageCatalan), "Cursa");
    EXPECT_EQ(tableCaption("Portada", "MnuPrg", 4, kLanguageCastilian), "Carrera");
    EXPECT_EQ(tableCaption("Portada", "Menu", 5, kLanguageCastilian), "(,) Comas");
    EXPECT_EQ(tableCaption("ConfiguracioPista", "", -1, kLanguageCastilian),
              "Configuración del circuito");
    EXPECT_EQ(tableCaption("ConfiguracioPrg", "OpcioComes", 2, kLanguageCatalan),
              "Al acabar la passada nº:");
    EXPECT_EQ(tableText("Classificacio", "InfoClass", -1, TextProperty::Layout, kLanguageCastilian),
              "|^Dorsal|<Participante|Vueltas|HoraPaso|>VRápida|HoraPaso|^Pst.|>Dif.Prm.|>Dif.Ant."
              "|nm|^Pst.|^Vueltas|^+/-|>Última|>Mejor");
    const std::string_view avis = tableCaption("ConfiguracioPista", "Avis", -1, kLanguageCatalan);
    EXPECT_NE(avis.find("configuració anterior.\r\rFes clic"), std::string_view::npos);
    EXPECT_EQ(tableCaption("Portada", "MnuPrg", 4, 2), ""); // no table for language 2
}

TEST(Messages, MainWindowColumnInBothLanguages) {
    MessageTable messages;
    localiseWindow("Portada", kLanguageCatalan, messages);
    EXPECT_EQ(messages.text(0, msg::kNewSeriesQuestion), "Vols crear la sèrie n.");
    EXPECT_EQ(messages.text(0, msg::kRecoveryTitle), "El programa s'ha tancat involuntàriament");
    localiseWindow("Portada", kLanguageCastilian, messages);
    EXPECT_EQ(messages.text(0, msg::kRecoveryQuestion), "¿Quieres recuperar?");
    EXPECT_EQ(messages.text(0, msg::kTooManyLanes),
              "El número de pistas de la configuración es superior al máximo permitido");
    EXPECT_EQ(messages.text(-1, 0), "");
    EXPECT_EQ(messages.text(0, MessageTable::kRows), "");
}

TEST(Messages, SharedColumnHoldsTheWindowLocalisedLast) {
    MessageTable messages;
    localiseWindow("Resultats", kLanguageCatalan, messages, withProgramme(4));
    EXPECT_EQ(messages.text(7, 2), "Quadrant de voltes acabada la màniga ");
    EXPECT_EQ(messages.text(7, 3), "Total");
    localiseWindow("LlistarVoltes", kLanguageCatalan, messages);
    EXPECT_EQ(messages.text(7, 3), "Vols assignar ");
    EXPECT_EQ(messages.text(7, 2), "");
    localiseWindow("Resultats", kLanguageCastilian, messages, withProgramme(2));
    EXPECT_EQ(messages.text(7, 2), "Cuadrante de vueltas rápidas finalizada la manga ");
    EXPECT_EQ(messages.text(7, 3), "Mejor");
    EXPECT_EQ(messages.text(7, 0), "Todos");
}

TEST(Messages, UnknownLanguageAppliesNothing) {
    MessageTable messages;
    localiseWindow("Portada", kLanguageCatalan, messages);
    EXPECT_TRUE(localiseWindow("Portada", 7, messages).empty());
    EXPECT_EQ(messages.text(0, msg::kErrorTitle), "Error");
    EXPECT_EQ(messages.text(0, msg::kHeatLabel), "Màniga:");
}

TEST(DerivedTexts, DialogButtonsAndCaptionsComeFromTheMainWindow) {
    MessageTable m;
    auto programConfig = localiseWindow("ConfiguracioPrg", kLanguageCatalan, m);
    EXPECT_EQ(find(programConfig, "", -1), "Configuració del programa");
    EXPECT_EQ(find(programConfig, "Sortir", 0), "(Esc) Tancar");
    EXPECT_EQ(find(programConfig, "Sortir", 1), "&Gravar");
    programConfig = localiseWindow("ConfiguracioPrg", kLanguageCastilian, m);
    EXPECT_EQ(find(programConfig, "", -1), "Configuración del programa");
    EXPECT_EQ(find(programConfig, "Sortir", 0), "(Esc) Cerrar");
    EXPECT_EQ(find(programConfig, "Sortir", 1), "&Grabar");
    EXPECT_EQ(find(programConfig, "LlIdioma", -1, TextProperty::Items), "Catalán|Español");
    EXPECT_EQ(find(programConfig, "ValorColor", 3, TextProperty::Items).substr(0, 15),
              "Negro|Azul|Verd");

    const auto manager = localiseWindow("GestorProves", kLanguageCatalan, m);
    EXPECT_EQ(find(manager, "", -1), "Gestor de proves");
    EXPECT_EQ(find(manager, "Text", 0), "Prova:");
    EXPECT_EQ(find(manager, "Text", 1), "Sèrie:");
    EXPECT_EQ(find(manager, "Text", 4), "Data:");
    EXPECT_EQ(find(manager, "NPrgr", -1, TextProperty::Items),
              "Entrenaments oficials|SuperPole|Cursa");
    EXPECT_EQ(find(manager, "Sortir", 1), "<missing>"); // the manager saves nothing

    EXPECT_EQ(find(localiseWindow("Penalitzacions", kLanguageCatalan, m), "", -1), "Penalizacions");
    EXPECT_EQ(find(localiseWindow("Classificacio", kLanguageCastilian, m), "", -1),
              "Clasificación");
    EXPECT_EQ(find(localiseWindow("Classificacio", kLanguageCatalan, m), "Sortir", 0), "<missing>");
    EXPECT_EQ(find(localiseWindow("Resultats", kLanguageCatalan, m), "", -1), "Classificacions");
    EXPECT_EQ(find(localiseWindow("LlistarVoltes", kLanguageCastilian, m), "Text", 0), "Serie:");
    EXPECT_EQ(find(localiseWindow("Inscrits", kLanguageCatalan, m,
                                  LocaliseContext{0, 0, "Llista d'inscrits..."}),
                   "", -1),
              "Llista d'inscrits");
}

TEST(DerivedTexts, EventDialogAndFileScreenFollowTheirMode) {
    MessageTable m;
    auto event = localiseWindow("NovaProva", kLanguageCatalan, m);
    EXPECT_EQ(find(event, "", -1), "Nova prova");
    EXPECT_EQ(find(event, "Etiqueta", 1), "Data:");
    event = localiseWindow("NovaProva", kLanguageCastilian, m, withMode(3));
    EXPECT_EQ(find(event, "", -1), "Modificar datos de la prueba");
    EXPECT_EQ(find(event, "Etiqueta", 1), "Fecha:");

    auto file = localiseWindow("Exportar", kLanguageCatalan, m);
    EXPECT_EQ(find(file, "", -1), "Exportar a TXT");
    EXPECT_EQ(find(file, "FormatArxiu", -1), "Format: *.txt");
    EXPECT_EQ(find(file, "Text", 0), "Gravar a:");
    file = localiseWindow("Exportar", kLanguageCatalan, m, withMode(5));
    EXPECT_EQ(find(file, "", -1), "Arxivar prova");
    EXPECT_EQ(find(file, "FormatArxiu", -1), "Format: *.prb");
    file = localiseWindow("Exportar", kLanguageCastilian, m, withMode(7));
    EXPECT_EQ(find(file, "", -1), "Desarchivar prueba");
    EXPECT_EQ(find(file, "Text", 0), "Leer de:");
}

TEST(DerivedTexts, MainWindowButtonsRepeatTheirMenuEntries) {
    MessageTable m;
    const auto main = localiseWindow("Portada", kLanguageCastilian, m);
    EXPECT_EQ(find(main, "BotoCfg", 0), "Configuración del programa...");
    EXPECT_EQ(find(main, "BotoCfg", 2), "Configuración circuito/prueba...");
    EXPECT_EQ(find(main, "BotoPrg", 4), "Carrera");
    EXPECT_EQ(find(main, "BotoNou", 3), "Super &Pole...");
    EXPECT_EQ(find(main, "BotoIns", 100), "Lista de participantes...");
    EXPECT_EQ(find(main, "BotoSortir", -1), "Salir");
    EXPECT_EQ(find(main, "BotoPen", 4), "Penalizaciones..."); // its own short caption
    const auto track = localiseWindow("ConfiguracioPista", kLanguageCastilian, m);
    EXPECT_EQ(find(track, "TextPort", 3), "Puerto:");
    EXPECT_EQ(find(track, "TextPrimera", 4), "Primera pista:");
}

TEST(ItemLists, SizesAndNames) {
    EXPECT_EQ(itemList(ItemList::Languages, kLanguageCatalan),
              (std::vector<std::string>{"Català", "Castellà"}));
    EXPECT_EQ(itemList(ItemList::CounterModels, kLanguageCastilian)[3], "DS300 & DS4port");
    const auto colours = itemList(ItemList::Colours, kLanguageCatalan);
    ASSERT_EQ(colours.size(), 16u);
    EXPECT_EQ(colours[12], "Vermell brillant");
    EXPECT_EQ(colours[14], "Groc");
    EXPECT_EQ(itemList(ItemList::Colours, kLanguageCastilian)[6], "Marrón");
}

TEST(WithoutLastThree, CountsCharactersNotBytes) {
    EXPECT_EQ(withoutLastThree("Gestor de proves..."), "Gestor de proves");
    EXPECT_EQ(withoutLastThree("Classificació..."), "Classificació");
    EXPECT_EQ(withoutLastThree("aèò"), "");
    EXPECT_EQ(withoutLastThree("ab"), "");
    EXPECT_EQ(withoutLastThree("abcàè"), "ab");
}

} // namespace
} // namespace cronovolta
