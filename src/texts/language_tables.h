#pragma once

#include "texts/message_keys.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// Languages of the user interface, as stored in ProgramSettings::language.
enum Language : int {
    kLanguageCatalan = 0,
    kLanguageCastilian = 1,
};

// What a text of the tables is written into.
enum class TextProperty {
    Caption, // window title, label, frame, button, option, menu or menu entry
    ToolTip,
    Layout, // grid column layout: titles separated by "|", each optionally led by <, ^ or >
    Items,  // list or combo entries separated by "|"
};

// One key of the text tables with its text in both languages. Both languages live in one
// row so that they can never disagree on the keys. `control` is empty for the window
// itself; `index` is -1 for a control that is not part of a control array.
struct TextEntry {
    std::string_view window;
    std::string_view control;
    int index;
    TextProperty property;
    std::string_view catalan;
    std::string_view castilian;

    std::string_view text(int language) const {
        return language == kLanguageCastilian ? castilian : catalan;
    }
};

std::span<const TextEntry> textTable();

// The text of one key in a language; empty when the key is not in the table or the
// language has no table.
std::string_view tableText(std::string_view window, std::string_view control, int index,
                           TextProperty property, int language);
inline std::string_view tableCaption(std::string_view window, std::string_view control, int index,
                                     int language) {
    return tableText(window, control, index, TextProperty::Caption, language);
}

// One message of the message table, owned by the window that fills its column.
struct MessageEntry {
    std::string_view window;
    int column;
    int row;
    std::string_view catalan;
    std::string_view castilian;

    std::string_view text(int language) const {
        return language == kLanguageCastilian ? castilian : catalan;
    }
};

std::span<const MessageEntry> messageEntries();
// One message in a language; empty when the table has no such row.
std::string_view messageText(int column, int row, int language);
inline std::string_view messageText(MessageKey key, int language) {
    return messageText(key.column, key.row, language);
}

// Windows that own a column of the message table, by column (empty: unused column).
std::vector<std::string_view> messageColumnOwners(int column);

// The item lists of the settings dialog.
enum class ItemList {
    Languages,     // 2 entries
    CounterModels, // 5 entries
    Colours,       // 16 entries, in QBColor order
};
std::vector<std::string> itemList(ItemList list, int language);

// The standard buttons of message boxes and file dialogs, for when the toolkit has no
// translation of its own.
enum class DialogButton { Ok, Cancel, Yes, No, Retry, Close, Save, Open };
std::string_view dialogButtonText(DialogButton button, int language);

// Names of the windows that have texts in the tables.
std::vector<std::string_view> localisedWindows();

// Message rows that the program uses beyond the fixed ones, by column.
namespace msg {
// Column 0, main window.
inline constexpr int kLapLetter = 0;
inline constexpr int kSecondsLetter = 1;
inline constexpr int kNoPortConnection = 2;
inline constexpr int kErrorTitle = 3;
inline constexpr int kNewSeriesQuestion = 4;
inline constexpr int kCancelHeatQuestion = 5;
inline constexpr int kCancelHeatTitle = 6;
inline constexpr int kTooManyLanes = 7;
inline constexpr int kDriveUnavailable = 8;
inline constexpr int kSaveCaption = 9;
inline constexpr int kRecoveryTitle = 10;
inline constexpr int kRecoveryQuestion = 11;
inline constexpr int kHeatLabel = 12;
inline constexpr int kModeLabel = 13;
inline constexpr int kNotAvailableYet = 14;
inline constexpr int kCannotRead = 15;
inline constexpr int kCannotWrite = 16;
inline constexpr int kVersion = 17;
inline constexpr int kResumeFileInvalid = 18;
inline constexpr int kAboutText = 19;
inline constexpr int kCannotDelete = 20;
inline constexpr int kHelpMissing = 21;
inline constexpr int kHeatStillRunning = 22;
inline constexpr int kDeletionFinished = 40;
inline constexpr int kDeletionUndone = 41;
inline constexpr int kCircuitBeyondLanes = 42; // %1 circuit, %2 first lane, %3 lanes
// The voice, unsaved penalties and a heat ended by key while the counter runs.
inline constexpr int kVoiceNotAnswering = 56;
inline constexpr int kUnsavedPenalties = 57; // %1 the participants' names
inline constexpr int kEndHeatWhileCrossing = 58;
inline constexpr int kEndHeatTitle = 59;
inline constexpr int kCounterStartedNewHeat = 60; // %1 new heat, %2 seconds, %3 ended heat
// Column 2, NewEventDialog.
inline constexpr int kNewEventTitle = 0;
inline constexpr int kModifyEventTitle = 1;
inline constexpr int kMissingEventName = 2;
inline constexpr int kEventNotCreated = 3;
inline constexpr int kInvalidEventText = 4;
// Column 3, EventManagerWindow.
inline constexpr int kHeatsWord = 0;
inline constexpr int kSeriesWord = 1;
inline constexpr int kDeleteEventQuestion = 2;
inline constexpr int kDeleteSeriesQuestion = 3;
// Column 6, Inscrits.
inline constexpr int kStartLane = 2;
inline constexpr int kStartOrder = 3;
inline constexpr int kParticipantsTitle = 5;
inline constexpr int kEntrantsTitle = 6;
inline constexpr int kEntrantsLayout = 7;
inline constexpr int kParticipantsCountLabel = 8;
inline constexpr int kParticipantsLayout = 9;
inline constexpr int kEntrantsCountLabel = 10;
inline constexpr int kParticipantHeader = 11;
inline constexpr int kEntrantHeader = 12;
inline constexpr int kNumberHeader = 13;
inline constexpr int kRaceNumberHeader = 14;
// Column 9, Exportar.
inline constexpr int kReadFromLabel = 17;
} // namespace msg

} // namespace cronovolta
