#pragma once

#include <QPixmap>

#include <functional>
#include <vector>

class QKeyEvent;

namespace cronovolta {

// The heat-key codes of a key press: the typed character, Enter 13, Esc 27, Backspace 8;
// an Esc typed with Shift held is preceded by the Shift code -1. Shift is read from the
// Esc itself, so a Shift pressed and let go earlier never turns a later Esc into Shift+Esc.
// Empty when the key types nothing.
std::vector<int> heatKeyCodes(const QKeyEvent& event);

// Hands the heat-key codes of a key press to `handle`, one by one; false when the key
// types nothing, so the caller keeps it.
bool passHeatKeys(const QKeyEvent& event, const std::function<void(int)>& handle);

// `Bandera`: the chequered flag of the lane that crossed last.
QPixmap chequeredFlag(QSize size);

// The marker of the last crossing in the standings grid.
QPixmap crossingMarker(int height);

} // namespace cronovolta
