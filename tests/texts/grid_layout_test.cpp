#include "texts/grid_layout.h"

#include <gtest/gtest.h>

namespace cronovolta {
namespace {

TEST(GridLayout, TitlesAndAlignmentMarks) {
    const auto columns = parseGridLayout("|^Dorsal|<Participant|Voltes|>Dif.Prm.|^+/-");
    ASSERT_EQ(columns.size(), 6u);
    EXPECT_EQ(columns[0].title, "");
    EXPECT_EQ(columns[0].alignment, ColumnAlignment::Default);
    EXPECT_EQ(columns[1].title, "Dorsal");
    EXPECT_EQ(columns[1].alignment, ColumnAlignment::Centre);
    EXPECT_EQ(columns[2].alignment, ColumnAlignment::Left);
    EXPECT_EQ(columns[3].title, "Voltes");
    EXPECT_EQ(columns[3].alignment, ColumnAlignment::Default);
    EXPECT_EQ(columns[4].alignment, ColumnAlignment::Right);
    EXPECT_EQ(columns[5].title, "+/-"); // only the first character is a mark
}

TEST(GridLayout, ItemsKeepEmptyEntries) {
    EXPECT_EQ(splitItems("No|Sí"), (std::vector<std::string>{"No", "Sí"}));
    EXPECT_EQ(splitItems(""), (std::vector<std::string>{""}));
    EXPECT_EQ(splitItems("a||b"), (std::vector<std::string>{"a", "", "b"}));
}

} // namespace
} // namespace cronovolta
