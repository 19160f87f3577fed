#include "heat/super_pole.h"

#include "storage/formatting.h"
#include "storage/number_format.h"

namespace cronovolta {
namespace {

// Times are better when shorter, the speed (column 3) when higher.
double sign(int column) {
    return column == 3 ? -1.0 : 1.0;
}

} // namespace

int sectorRank(const SuperPoleModel& model, int column, double value) {
    double s = sign(column);
    for (int k = 1; k <= 3; ++k) {
        double ref = numericValue(
            model.reference[static_cast<std::size_t>(k)][static_cast<std::size_t>(column - 1)]);
        if (ref == 0.0 || value * s <= ref * s) {
            return k;
        }
    }
    return 4;
}

void rememberSectorValue(SuperPoleModel& model, int column, double value) {
    int rank = sectorRank(model, column, value);
    if (rank > 3) {
        return;
    }
    auto c = static_cast<std::size_t>(column - 1);
    for (int k = 3; k > rank; --k) {
        model.reference[static_cast<std::size_t>(k)][c] =
            model.reference[static_cast<std::size_t>(k - 1)][c];
    }
    model.reference[static_cast<std::size_t>(rank)][c] = formatNumber(value, "0.00");
}

fs::path sectorPicture(const fs::path& dataDir, int column, int rank) {
    std::string name = "0000.GIF";
    if (column >= 1 && column <= 4) {
        name[static_cast<std::size_t>(column - 1)] = static_cast<char>('0' + 5 - rank);
    }
    return dataDir / "INFOGRAF" / name;
}

} // namespace cronovolta
