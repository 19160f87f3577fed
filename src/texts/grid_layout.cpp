#include "texts/grid_layout.h"

namespace cronovolta {

std::vector<std::string> splitItems(std::string_view items) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = items.find('|', start);
        out.emplace_back(items.substr(start, bar == std::string_view::npos ? bar : bar - start));
        if (bar == std::string_view::npos) {
            return out;
        }
        start = bar + 1;
    }
}

std::vector<GridColumn> parseGridLayout(std::string_view layout) {
    std::vector<GridColumn> columns;
    for (std::string& cell : splitItems(layout)) {
        GridColumn column;
        if (!cell.empty()) {
            switch (cell.front()) {
            case '<':
                column.alignment = ColumnAlignment::Left;
                break;
            case '^':
                column.alignment = ColumnAlignment::Centre;
                break;
            case '>':
                column.alignment = ColumnAlignment::Right;
                break;
            default:
                break;
            }
        }
        if (column.alignment != ColumnAlignment::Default) {
            cell.erase(0, 1);
        }
        column.title = std::move(cell);
        columns.push_back(std::move(column));
    }
    return columns;
}

} // namespace cronovolta
