#include "announce/announce_sentences.h"
#include "announce/announce_settings.h"
#include "announce/announcer.h"
#include "announce/spoken_numbers.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace cronovolta {
namespace {

TEST(SpokenNumbers, BothLanguages) {
    struct Case {
        long long value;
        bool feminine;
        const char* catalan;
        const char* castilian;
    };
    const Case cases[] = {
        {0, false, "zero", "cero"},
        {1, false, "u", "uno"},
        {1, true, "una", "una"},
        {2, true, "dues", "dos"},
        {16, false, "setze", "dieciséis"},
        {21, false, "vint-i-u", "veintiuno"},
        {21, true, "vint-i-una", "veintiuna"},
        {22, true, "vint-i-dues", "veintidós"},
        {31, false, "trenta-u", "treinta y uno"},
        {42, false, "quaranta-dos", "cuarenta y dos"},
        {99, false, "noranta-nou", "noventa y nueve"},
        {100, false, "cent", "cien"},
        {101, false, "cent u", "ciento uno"},
        {200, true, "dues-centes", "doscientas"},
        {515, false, "cinc-cents quinze", "quinientos quince"},
        {1000, false, "mil", "mil"},
        {1987, false, "mil nou-cents vuitanta-set", "mil novecientos ochenta y siete"},
        {10000, false, "deu mil", "diez mil"},
        {21000, false, "vint-i-un mil", "veintiún mil"},
        {31005, false, "trenta-un mil cinc", "treinta y un mil cinco"},
        {-3, false, "menys tres", "menos tres"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(spokenNumber(c.value, 0, c.feminine), c.catalan) << c.value;
        EXPECT_EQ(spokenNumber(c.value, 1, c.feminine), c.castilian) << c.value;
    }
}

TEST(SpokenNumbers, DecimalsToHundredths) {
    struct Case {
        double value;
        const char* catalan;
        const char* castilian;
    };
    const Case cases[] = {
        {7.42, "set coma quaranta-dos", "siete coma cuarenta y dos"},
        {7.4249, "set coma quaranta-dos", "siete coma cuarenta y dos"},
        {7.05, "set coma zero cinc", "siete coma cero cinco"},
        {12.996, "tretze coma zero zero", "trece coma cero cero"},
        {0.5, "zero coma cinquanta", "cero coma cincuenta"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(spokenDecimal(c.value, 0), c.catalan) << c.value;
        EXPECT_EQ(spokenDecimal(c.value, 1), c.castilian) << c.value;
    }
}

TEST(AnnounceSentences, BothLanguagesWithNamesAndWithout) {
    EXPECT_EQ(sentence::fastestLap(0, 3, "Anna Soler", 7.42),
              "Volta ràpida, pista tres, Anna Soler, set coma quaranta-dos");
    EXPECT_EQ(sentence::fastestLap(1, 3, "Íñigo Muñoz", 7.42),
              "Vuelta rápida, pista tres, Íñigo Muñoz, siete coma cuarenta y dos");
    EXPECT_EQ(sentence::fastestLap(0, 12, "", 9.1), "Volta ràpida, pista dotze, nou coma deu");
    EXPECT_EQ(sentence::heatStart(0, 2), "Comença la màniga dos");
    EXPECT_EQ(sentence::heatStart(1, 21), "Empieza la manga veintiuno");
    EXPECT_EQ(sentence::winner(0, 1, "Pere Ça", 22),
              "Guanya Pere Ça, pista u, amb vint-i-dues voltes");
    EXPECT_EQ(sentence::winner(1, 1, "Pere Ça", 1), "Gana Pere Ça, pista uno, con una vuelta");
    EXPECT_EQ(sentence::laneSilent(0, 4, "Joan", 30),
              "Pista quatre, Joan, fa trenta segons que no passa");
    EXPECT_EQ(sentence::laneSilent(1, 4, "", 30),
              "Pista cuatro, hace treinta segundos que no pasa");
    EXPECT_EQ(sentence::newLeader(1, 2, "Àlex"), "Nuevo líder, pista dos, Àlex");
}

// Speaks everything due until the queue is empty, as an idle voice would.
std::vector<Announcement> drain(Announcer& announcer, double heatTime) {
    std::vector<Announcement> said;
    while (auto a = announcer.next(heatTime)) {
        said.push_back(*a);
    }
    return said;
}

// A timed race on three lanes with a pause, a lead change, a silent car and the end.
std::vector<Announcement> scriptedHeat(const AnnounceSettings& settings) {
    Announcer a(settings);
    std::vector<Announcement> said;
    auto take = [&](double t) {
        auto more = drain(a, t);
        said.insert(said.end(), more.begin(), more.end());
    };
    a.heatStarted(1, true, {"", "Anna", "Bet", "Carles"});
    take(0.0);
    a.lap(1, 99.9999f, 1, 1.0);
    a.lap(2, 99.9999f, 1, 1.2);
    a.lap(1, 8.0f, 2, 9.0);
    take(9.0);
    a.lap(2, 7.5f, 2, 8.8);
    take(9.0);
    a.lap(2, 7.4f, 3, 16.2);
    take(16.2);
    a.paused(20.0);
    take(20.0);
    a.resumed(20.0);
    take(20.0);
    for (double t = 20.0; t <= 121.0; t += 0.5) {
        if (static_cast<int>(t * 2) % 16 == 0) {
            a.lap(2, 8.0f, 3 + static_cast<int>(t / 8), t);
        }
        a.clock(t);
        take(t);
    }
    a.heatEnded(121.0);
    take(121.0);
    return said;
}

TEST(Announcer, WhichEventsSpeakInWhichSettings) {
    AnnounceSettings all;
    all.heatSeconds = 120;
    all.silentSeconds = 30;
    auto kinds = [](const std::vector<Announcement>& said) {
        std::set<AnnounceEvent> out;
        for (const auto& a : said) {
            out.insert(a.event);
        }
        return out;
    };
    std::set<AnnounceEvent> every;
    for (int e = 0; e < kAnnounceEventCount; ++e) {
        every.insert(static_cast<AnnounceEvent>(e));
    }
    EXPECT_EQ(kinds(scriptedHeat(all)), every);

    // Each event switched off alone is the only one that goes quiet.
    for (int e = 0; e < kAnnounceEventCount; ++e) {
        AnnounceSettings one = all;
        one.events[static_cast<std::size_t>(e)] = false;
        auto expected = every;
        expected.erase(static_cast<AnnounceEvent>(e));
        EXPECT_EQ(kinds(scriptedHeat(one)), expected)
            << announceEventKey(static_cast<AnnounceEvent>(e));
    }

    // An untimed heat has no last minute; a silent limit of 0 calls no car.
    AnnounceSettings untimed = all;
    untimed.heatSeconds = 0;
    untimed.silentSeconds = 0;
    auto quiet = kinds(scriptedHeat(untimed));
    EXPECT_FALSE(quiet.contains(AnnounceEvent::LastMinute));
    EXPECT_FALSE(quiet.contains(AnnounceEvent::LastTenSeconds));
    EXPECT_FALSE(quiet.contains(AnnounceEvent::LaneSilent));
}

TEST(Announcer, HeatEndNamesWinnerAndFastestLapInOrder) {
    AnnounceSettings settings;
    settings.language = 0;
    auto said = scriptedHeat(settings);
    ASSERT_GE(said.size(), 3u);
    std::vector<std::string> tail;
    for (const auto& a : said) {
        if (a.event == AnnounceEvent::HeatEnd) {
            tail.push_back(a.text);
        }
    }
    ASSERT_EQ(tail.size(), 3u);
    EXPECT_EQ(tail[0], "Final de la màniga");
    EXPECT_EQ(tail[1].rfind("Guanya Bet, pista dos, amb ", 0), 0u) << tail[1];
    EXPECT_EQ(tail[2], "Volta ràpida de la màniga, pista dos, Bet, set coma quaranta");
    // Lane 1 led first, lane 2 took the lead: that is the one change worth a sentence.
    int leaders = 0;
    for (const auto& a : said) {
        leaders += a.event == AnnounceEvent::NewLeader;
    }
    EXPECT_EQ(leaders, 1);
}

TEST(Announcer, KeyNamesRoundTrip) {
    for (int e = 0; e < kAnnounceEventCount; ++e) {
        auto event = static_cast<AnnounceEvent>(e);
        EXPECT_EQ(announceEventFromKey(announceEventKey(event)), event);
    }
    EXPECT_FALSE(announceEventFromKey("nothing").has_value());
}

// 64 lanes crossing at full line rate while a slow voice takes one sentence every 2.5 s:
// the queue stays short, nothing is said after its time, and the end always comes.
TEST(Announcer, BurstOfCrossingsNeverBuildsABacklog) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> lapTime(4.0f, 9.0f);
        AnnounceSettings settings;
        settings.heatSeconds = 180;
        settings.silentSeconds = 20;
        settings.language = static_cast<int>(seed % 2);
        Announcer a(settings);
        a.heatStarted(1, seed % 3 != 0, std::vector<std::string>(65, "Nom"));
        std::vector<int> laps(65, 0);
        double voiceFree = 0.0;
        std::size_t spoken = 0;
        for (double t = 0.0; t < 180.0; t += 0.002) {
            int lane = 1 + static_cast<int>(rng() % 64);
            if (rng() % 50 == 0) {
                continue; // some lanes fall silent for a while
            }
            a.lap(lane, lapTime(rng), ++laps[static_cast<std::size_t>(lane)], t);
            if (static_cast<int>(t * 500) % 250 == 0) {
                a.clock(t);
            }
            ASSERT_LE(a.queue().size(), Announcer::kCapacity);
            if (t >= voiceFree) {
                if (auto said = a.next(t)) {
                    ASSERT_LE(t - said->heatTime, 10.0) << said->text;
                    ++spoken;
                    voiceFree = t + 2.5;
                }
            }
        }
        a.heatEnded(180.0);
        ASSERT_LE(a.queue().size(), Announcer::kCapacity);
        // Long after the end, the end's sentences are still there, first.
        auto rest = drain(a, 400.0);
        ASSERT_GE(rest.size(), 2u) << seed;
        EXPECT_EQ(rest.front().event, AnnounceEvent::HeatEnd);
        for (const auto& r : rest) {
            EXPECT_EQ(r.event, AnnounceEvent::HeatEnd);
        }
        EXPECT_GT(spoken, 3u); // the voice was not starved either
    }
}

TEST(AnnounceSettingsFile, RoundTripsAndSurvivesGarbage) {
    AnnounceFileSettings s;
    s.announce.enabled = true;
    s.announce.events.fill(false);
    s.announce.events[static_cast<std::size_t>(AnnounceEvent::FastestLap)] = true;
    s.announce.events[static_cast<std::size_t>(AnnounceEvent::HeatEnd)] = true;
    s.announce.heatSeconds = 300;
    s.announce.silentSeconds = 15;
    s.announce.language = 1;
    s.voice = "Spanish (Spain)";
    s.rate = -3;
    auto back = decodeAnnounceSettings(encodeAnnounceSettings(s), 1);
    EXPECT_TRUE(back.problems.empty());
    EXPECT_EQ(encodeAnnounceSettings(back.settings), encodeAnnounceSettings(s));
    EXPECT_EQ(back.settings.announce.events, s.announce.events);

    // Each bad value is reported with its line, in the active language, and keeps its default.
    auto bad = decodeAnnounceSettings(
        "[announce]\r\nenabled=yes\nevents=start,bogus\nheat_seconds=-5\nrate=11\n"
        "silent_seconds=12x\n\xff\xfe=\x01\nunknown=1\nvoice=Català\n",
        0);
    EXPECT_EQ(bad.problems,
              (std::vector<std::string>{"Valor no vàlid a ANNOUNCE.INI, línia 2",
                                        "Valor no vàlid a ANNOUNCE.INI, línia 3",
                                        "Valor no vàlid a ANNOUNCE.INI, línia 4",
                                        "Valor no vàlid a ANNOUNCE.INI, línia 5",
                                        "Valor no vàlid a ANNOUNCE.INI, línia 6"}));
    AnnounceFileSettings defaults;
    EXPECT_FALSE(bad.settings.announce.enabled);
    EXPECT_EQ(bad.settings.announce.events, defaults.announce.events);
    EXPECT_EQ(bad.settings.announce.heatSeconds, 0);
    EXPECT_EQ(bad.settings.announce.silentSeconds, 30);
    EXPECT_EQ(bad.settings.rate, 0);
    EXPECT_EQ(bad.settings.voice, "Català");
    EXPECT_EQ(decodeAnnounceSettings("rate=x", 1).problems.front(),
              "Valor no válido en ANNOUNCE.INI, línea 1");
}

} // namespace
} // namespace cronovolta
