#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

enum class ColumnAlignment { Default, Left, Centre, Right };

struct GridColumn {
    std::string title;
    ColumnAlignment alignment = ColumnAlignment::Default;
};

// A grid's column layout string: titles separated by "|", each optionally led by "<"
// (left), "^" (centre) or ">" (right). "|^Dorsal" gives an untitled column 0 and a
// centred "Dorsal".
std::vector<GridColumn> parseGridLayout(std::string_view layout);

// Items of a list as the text tables hold them, separated by "|".
std::vector<std::string> splitItems(std::string_view items);

} // namespace cronovolta
