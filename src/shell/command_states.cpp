#include "shell/command_states.h"

namespace cronovolta {

bool seriesActive(const ShellSelection& selection, ProgrammeType programmeType) {
    return selection.eventActive && programmeType >= ProgrammeType::FreePractice &&
           programmeType <= ProgrammeType::Race &&
           selection.seriesListed[static_cast<std::size_t>(index(programmeType))] > 0;
}

namespace {

// Practice is not among these: it runs on the data folder's track and participant list, so
// that a club night (or "AUTORUNS.INI") needs no event.
void activeEvent(std::vector<CommandState>& out, bool on) {
    out.push_back({"MnuNovaSerie", -1, on});
    for (int t = 2; t <= 4; ++t) {
        out.push_back({"MnuNou", t, on});
        out.push_back({"BotoNou", t, on});
    }
    out.push_back({"MnuCfg", 2, on});
    out.push_back({"BotoCfg", 2, on});
    out.push_back({"MnuDades", -1, on});
    out.push_back({"MnuResultats", -1, on});
    out.push_back({"MnuVltaaVlta", -1, on});
    out.push_back({"MnuIns", 0, on});
    out.push_back({"BotoIns", 0, on});
    out.push_back({"MnuPrg", 1, on});
    out.push_back({"BotoPrg", 1, on});
    out.push_back({"LlProves", -1, on, on});
    out.push_back({"Data", -1, on, on});
    out.push_back({"Text", 0, on, on});
    for (int t = 1; t <= 4; ++t) {
        out.push_back({"Marc", t, on, on});
    }
}

void activeSeriesStates(std::vector<CommandState>& out, int t, bool on) {
    out.push_back({"LlSeries", t, on});
    out.push_back({"TextSerie", t, on});
    out.push_back({"MnuIns", t, on});
    out.push_back({"BotoIns", t, on});
    out.push_back({"MnuPrg", t, on});
    out.push_back({"BotoPrg", t, on});
    if (t == 4) {
        out.push_back({"MnuPen", 4, on});
        out.push_back({"BotoPen", 4, on});
    }
    if (t >= 2) {
        out.push_back({"MnuCls", t, on});
        out.push_back({"MnuVaV", t, on});
        out.push_back({"BotoCls", t, on});
    }
}

} // namespace

std::vector<CommandState> commandStates(const ShellSelection& selection) {
    std::vector<CommandState> out;
    activeEvent(out, selection.eventActive);
    // Listing laps and exporting work on official practice, Super Pole and race series.
    bool anySeries = false;
    for (int t = 1; t <= 4; ++t) {
        const bool on = seriesActive(selection, static_cast<ProgrammeType>(t));
        activeSeriesStates(out, t, on);
        anySeries = anySeries || (on && t >= 2);
    }
    out.push_back({"MnuExportar", -1, anySeries});
    out.push_back({"MnuPrg", 0, true});
    out.push_back({"BotoPrg", 0, true});
    // While a programme is open only its heat panel drives the program.
    const bool idle = !selection.programmeOpen;
    out.push_back({"MnuArxiu", -1, idle});
    out.push_back({"MnuProgrames", -1, idle});
    out.push_back({"MnuDades", -1, idle && selection.eventActive});
    out.push_back({"MnuResultats", -1, idle && selection.eventActive});
    out.push_back({"MnuVltaaVlta", -1, idle && anySeries});
    out.push_back({"MnuExportar", -1, idle && anySeries});
    // Its only command alternates the windows of an open programme.
    out.push_back({"MnuFinestres", -1, selection.programmeOpen});
    out.push_back({"MnuAjuda", -1, !selection.heatRunning});
    // The button bar repeats commands of those menus: it may not reach past them.
    const bool eventIdle = idle && selection.eventActive;
    out.push_back({"BotoCfg", 0, idle});
    out.push_back({"BotoCfg", 1, idle});
    out.push_back({"BotoCfg", 2, eventIdle});
    for (int t = 2; t <= 4; ++t) {
        out.push_back({"BotoNou", t, eventIdle});
    }
    out.push_back({"BotoIns", 100, idle});
    out.push_back({"BotoSortir", -1, idle});
    return out;
}

} // namespace cronovolta
