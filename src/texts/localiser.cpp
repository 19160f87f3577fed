#include "texts/localiser.h"

#include <algorithm>

namespace cronovolta {

namespace {

constexpr std::string_view kMain = "Portada";

bool isLanguage(int language) {
    return language == kLanguageCatalan || language == kLanguageCastilian;
}

// The quadrant texts of the results browser for every programme but the race.
constexpr MessageEntry kResultsOtherProgrammes[] = {
    {"Resultats", 7, 2, "Quadrant de voltes ràpides acabada la màniga ",
     "Cuadrante de vueltas rápidas finalizada la manga "},
    {"Resultats", 7, 3, "Millor", "Mejor"},
};

std::string mainText(std::string_view control, int index, int language) {
    return std::string(tableCaption(kMain, control, index, language));
}

std::string windowMessage(std::string_view window, int row, int language) {
    for (const MessageEntry& e : messageEntries()) {
        if (e.window == window && e.row == row) {
            return std::string(e.text(language));
        }
    }
    return {};
}

std::string mainMessage(int row, int language) {
    return windowMessage(kMain, row, language);
}

std::string joinItems(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items) {
        if (!joined.empty()) {
            joined += '|';
        }
        joined += item;
    }
    return joined;
}

bool hasCloseButton(std::string_view window) {
    return window != kMain && window != "Classificacio" && window != "VoltaaVolta";
}

bool hasSaveButton(std::string_view window) {
    return window == "ConfiguracioPista" || window == "ConfiguracioPrg" || window == "Corregir" ||
           window == "NovaProva" || window == "Inscrits" || window == "Penalitzacions";
}

void mainWindowButtons(std::vector<WindowText>& out, int language) {
    auto add = [&](std::string_view button, int index, std::string_view menu, int menuIndex) {
        out.push_back({std::string(button), index, TextProperty::Caption,
                       mainText(menu, menuIndex, language)});
    };
    for (int i = 0; i <= 2; ++i) {
        add("BotoCfg", i, "MnuCfg", i);
    }
    for (int t = 2; t <= 4; ++t) {
        add("BotoNou", t, "MnuNou", t);
    }
    for (int t = 0; t <= 4; ++t) {
        add("BotoIns", t, "MnuIns", t);
        add("BotoPrg", t, "MnuPrg", t);
    }
    add("BotoIns", 100, "MnuIns100", -1);
    add("BotoSortir", -1, "MnuSortir", -1);
}

void settingsLists(std::vector<WindowText>& out, int language) {
    out.push_back(
        {"LlIdioma", -1, TextProperty::Items, joinItems(itemList(ItemList::Languages, language))});
    out.push_back({"Hardware", -1, TextProperty::Items,
                   joinItems(itemList(ItemList::CounterModels, language))});
    const std::string colours = joinItems(itemList(ItemList::Colours, language));
    for (int slot = 1; slot <= 5; ++slot) {
        out.push_back({"ValorColor", slot, TextProperty::Items, colours});
    }
}

void exportTexts(std::vector<WindowText>& out, int language, const LocaliseContext& context) {
    const bool archive = context.exportMode == 5 || context.exportMode == 7;
    const std::string title =
        archive ? std::string(tableCaption("GestorProves", "Sortir", context.exportMode, language))
                : mainText("MnuExportar", -1, language);
    out.push_back({"", -1, TextProperty::Caption, withoutLastThree(title)});
    out.push_back({"FormatArxiu", -1, TextProperty::Caption,
                   std::string(tableCaption("Exportar", "FormatArxiu", -1, language)) +
                       (archive ? " *.prb" : " *.txt")});
    if (context.exportMode == 7) {
        out.push_back({"Text", 0, TextProperty::Caption,
                       windowMessage("Exportar", msg::kReadFromLabel, language)});
    }
}

} // namespace

const std::string& MessageTable::text(int column, int row) const {
    static const std::string empty;
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows) {
        return empty;
    }
    return m_cells[column][row];
}

void MessageTable::fill(std::string_view window, int language, const LocaliseContext& context) {
    if (!isLanguage(language)) {
        return;
    }
    for (const MessageEntry& e : messageEntries()) {
        if (e.window == window && e.row < kRows) {
            m_cells[e.column][e.row] = e.text(language);
        }
    }
    if (window == "Resultats" && context.programmeType != 4) {
        for (const MessageEntry& e : kResultsOtherProgrammes) {
            m_cells[e.column][e.row] = e.text(language);
        }
    }
}

std::vector<WindowText> derivedTexts(std::string_view window, int language,
                                     const LocaliseContext& context) {
    std::vector<WindowText> out;
    if (!isLanguage(language)) {
        return out;
    }
    using enum TextProperty;
    if (hasCloseButton(window)) {
        out.push_back({"Sortir", 0, Caption, mainText("Menu", 0, language)});
    }
    if (hasSaveButton(window)) {
        out.push_back({"Sortir", 1, Caption, mainMessage(msg::kSaveCaption, language)});
    }
    const std::string seriesLabel = mainText("TextSerie", 1, language);
    const std::string dateLabel = mainText("Text", 0, language);
    if (window == kMain) {
        mainWindowButtons(out, language);
    } else if (window == "ConfiguracioPista") {
        for (int c = 2; c <= 4; ++c) {
            out.push_back({"TextPort", c, Caption,
                           std::string(tableCaption(window, "TextPort", 1, language))});
            out.push_back({"TextPrimera", c, Caption,
                           std::string(tableCaption(window, "TextPrimera", 1, language))});
        }
    } else if (window == "ConfiguracioPrg") {
        out.push_back({"", -1, Caption, withoutLastThree(mainText("MnuCfg", 0, language))});
        settingsLists(out, language);
    } else if (window == "GestorProves") {
        out.push_back({"", -1, Caption, withoutLastThree(mainText("MnuGestor", -1, language))});
        out.push_back({"Text", 0, Caption, mainText("Marc", 0, language) + ":"});
        out.push_back({"Text", 1, Caption, seriesLabel});
        out.push_back({"Text", 4, Caption, dateLabel});
        out.push_back({"NPrgr", -1, Items,
                       mainText("MnuPrg", 2, language) + "|" + mainText("MnuPrg", 3, language) +
                           "|" + mainText("MnuPrg", 4, language)});
    } else if (window == "NovaProva") {
        const int row = context.exportMode == 0 ? msg::kNewEventTitle : msg::kModifyEventTitle;
        out.push_back({"", -1, Caption, windowMessage(window, row, language)});
        out.push_back({"Etiqueta", 1, Caption, dateLabel});
    } else if (window == "Exportar") {
        exportTexts(out, language, context);
    } else if (window == "Inscrits") {
        if (!context.openingCaption.empty()) {
            out.push_back({"", -1, Caption, withoutLastThree(context.openingCaption)});
        }
    } else if (window == "Penalitzacions") {
        out.push_back({"", -1, Caption, withoutLastThree(mainText("BotoPen", 4, language))});
    } else if (window == "Resultats") {
        out.push_back({"", -1, Caption, mainText("MnuAltresRtats", -1, language)});
        out.push_back({"Text", 0, Caption, seriesLabel});
    } else if (window == "LlistarVoltes") {
        out.push_back({"Text", 0, Caption, seriesLabel});
    } else if (window == "Classificacio") {
        out.push_back({"", -1, Caption, withoutLastThree(mainText("BotoCls", 2, language))});
    }
    return out;
}

std::vector<WindowText> localiseWindow(std::string_view window, int language,
                                       MessageTable& messages, const LocaliseContext& context) {
    std::vector<WindowText> out;
    if (!isLanguage(language)) {
        return out;
    }
    for (const TextEntry& e : textTable()) {
        if (e.window == window) {
            out.push_back(
                {std::string(e.control), e.index, e.property, std::string(e.text(language))});
        }
    }
    std::vector<WindowText> derived = derivedTexts(window, language, context);
    out.insert(out.end(), std::make_move_iterator(derived.begin()),
               std::make_move_iterator(derived.end()));
    messages.fill(window, language, context);
    return out;
}

std::string withoutLastThree(std::string_view text) {
    std::size_t end = text.size();
    for (int removed = 0; removed < 3 && end > 0; ++removed) {
        --end;
        // Step back over UTF-8 continuation bytes so a character is removed whole.
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            --end;
        }
    }
    return std::string(text.substr(0, end));
}

std::string carriageReturnsToNewlines(std::string_view text) {
    std::string out(text);
    std::ranges::replace(out, '\r', '\n');
    return out;
}

} // namespace cronovolta
