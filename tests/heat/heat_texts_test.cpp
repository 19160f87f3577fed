#include "heat/heat_texts.h"

#include <gtest/gtest.h>

namespace cronovolta::test {
namespace {

// Every heat text must be found in the tables: a missing key would show an empty caption
// and, for the buttons, lose the key that clicks them.
TEST(HeatTexts, EveryTextIsFoundInBothLanguages) {
    for (int language : {0, 1}) {
        const HeatTexts& t = heatTexts(language);
        for (const auto& b : t.buttons) {
            EXPECT_FALSE(b.empty());
        }
        for (const auto& p : t.programmeCaptions) {
            EXPECT_FALSE(p.empty());
        }
        for (const std::string* s :
             {&t.elapsedLabel, &t.pauseLabel, &t.cancelQuestion, &t.cancelTitle, &t.entryMark,
              &t.lapLetter, &t.secondsLetter, &t.partialHeading, &t.speedHeading,
              &t.standingsLayout, &t.referenceLayout, &t.lanePrefix}) {
            EXPECT_FALSE(s->empty()) << language;
        }
    }
    EXPECT_EQ(heatTexts(0).buttons[1], "(L)listar voltes");
    EXPECT_EQ(heatTexts(1).buttons[5], "(,) Comas");
    EXPECT_EQ(heatTexts(0).cancelQuestion, "Segur que vols anul·lar la màniga n.");
    EXPECT_EQ(heatTexts(1).programmeCaptions[4], "Carrera");
    EXPECT_EQ(heatTexts(7).pauseLabel, "EN PAUSA"); // unknown language: Catalan
}

} // namespace
} // namespace cronovolta::test
