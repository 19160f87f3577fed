#include "heat/capture_replay.h"
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

// The refusal of a capture of another counter model names both models,
// in either language; a capture of the same model, or one that names none, is played.
TEST(HeatTexts, ACaptureOfAnotherModelIsRefusedNamingBoth) {
    const CaptureContents capture = parseCapture("# simulated DS300\n36000.0000 1 01\n");
    EXPECT_FALSE(captureModelMismatch(capture, CounterModel::DS300, 0, "c.txt"));
    EXPECT_FALSE(
        captureModelMismatch(parseCapture("36000.0000 1 01\n"), CounterModel::DS030, 0, "c.txt"));
    for (int language : {0, 1}) {
        auto refused = captureModelMismatch(capture, CounterModel::DS030, language, "c.txt");
        ASSERT_TRUE(refused);
        EXPECT_NE(refused->find("c.txt:1"), std::string::npos) << *refused;
        EXPECT_NE(refused->find("DS300"), std::string::npos) << *refused;
        EXPECT_NE(refused->find("DS030"), std::string::npos) << *refused;
        EXPECT_NE(refused->find(language == 0 ? "No s'ha gravat res" : "No se ha grabado nada"),
                  std::string::npos)
            << *refused;
    }
}

} // namespace
} // namespace cronovolta::test
