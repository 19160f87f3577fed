#pragma once

#include "texts/language_tables.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// What some windows' texts depend on besides the language.
struct LocaliseContext {
    int programmeType = 0;      // Resultats: the race has its own quadrant texts
    int exportMode = 0;         // Exportar: 0 text export, 5 archive, 7 unarchive;
                                // NewEventDialog: 0 create, n modify event n
    std::string openingCaption; // Inscrits: caption of the menu entry that opened it
};

// One text to write into a control of a window (see TextEntry for the key).
struct WindowText {
    std::string control;
    int index = -1;
    TextProperty property = TextProperty::Caption;
    std::string text;
};

// The texts that windows need in their code, 10 columns; each window that owns a column
// fills it when it is localised, so a shared column holds the texts of the window
// localised last.
class MessageTable {
public:
    static constexpr int kColumns = 10;
    static constexpr int kRows = 64;

    // Empty for a cell outside the table or never filled.
    const std::string& text(int column, int row) const;
    const std::string& text(MessageKey key) const { return text(key.column, key.row); }
    void fill(std::string_view window, int language, const LocaliseContext& context = {});

private:
    std::array<std::array<std::string, kRows>, kColumns> m_cells;
};

// `localiseWindow`: fills the window's message column and returns the texts to write into
// the window: its table entries, then the texts it derives from other entries. A language
// without a table gives nothing and leaves the messages as they were.
std::vector<WindowText> localiseWindow(std::string_view window, int language,
                                       MessageTable& messages, const LocaliseContext& context = {});

// The derived texts alone (applied after the table entries).
std::vector<WindowText> derivedTexts(std::string_view window, int language,
                                     const LocaliseContext& context = {});

// A caption without its last three characters ("Gestor de proves..." -> "Gestor de proves").
std::string withoutLastThree(std::string_view text);

// Carriage returns separate the lines of the texts; windows show them as line breaks.
std::string carriageReturnsToNewlines(std::string_view text);

} // namespace cronovolta
