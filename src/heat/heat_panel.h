#pragma once

#include "counter/heat_control.h"

#include <array>
#include <string>
#include <vector>

namespace cronovolta {

inline constexpr int kQbBrightRed = 12;
inline constexpr int kQbBrightGreen = 10;
inline constexpr int kQbBrightWhite = 15;
// A colour left to the screen's design (the template's or a button's colour).
inline constexpr int kDefaultColour = -1;

// The heat panel of the main window while a programme is open: buttons, clock, pause
// label, rejected crossings and the race's lap-adjustment entry.
struct HeatPanelModel {
    bool shown = false;                         // FonsDeMenu
    StartLight background = StartLight::Normal; // the panel's colour before a start

    std::array<std::string, 6> captions;
    std::array<bool, 6> buttonVisible{};
    std::array<bool, 6> buttonEnabled{};

    bool elapsedLabelVisible = false; // TextHora
    std::string elapsedLabel;
    bool clockVisible = false; // Hora
    std::string clock = "0:00:00";
    int clockColour = kDefaultColour; // -1: TextHora's colour
    bool pauseLabelVisible = false;   // TextPausa
    std::string pauseLabel;
    int pauseColour = kQbBrightRed;

    bool errorsVisible = false;
    std::vector<std::string> errors; // rejected crossings
    int selectedError = -1;

    bool adjustmentVisible = false; // MesMenys
    std::string adjustment;

    // Why a heat has started, when the organiser may not expect it ("" for none).
    std::string notice;

    bool helpMenuEnabled = true; // MnuAjuda, disabled while a heat runs
    bool clockTickEnabled = false;
    int tickIntervalMs = 500;
    std::string caption; // " - Cursa (2 #2) <3>": appended to the main window's caption

    void showButtons(bool visible) { buttonVisible.fill(visible); }
    void clearErrors() {
        errors.clear();
        selectedError = -1;
        errorsVisible = false;
    }
};

} // namespace cronovolta
