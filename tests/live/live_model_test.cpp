#include "heat_fixture_live.h"

#include "live/client_flow.h"
#include "live/live_classification.h"
#include "live/live_heat.h"
#include "live/live_json.h"
#include "live/live_requests.h"
#include "live/live_settings.h"
#include "live/live_snapshot.h"

#include <gtest/gtest.h>

#include <random>

using namespace cronovolta;
using namespace cronovolta::live;

TEST(LiveJson, EscapesEverythingAPageCouldTakeForMarkupAndRepairsBadUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"Anna", "\"Anna\""},
        {"<img src=x onerror=alert(1)>", "\"\\u003cimg src=x onerror=alert(1)\\u003e\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"Dídac & Núria's", "\"Dídac \\u0026 Núria\\u0027s\""},
        {std::string("a\x01\tb\n", 5), "\"a\\u0001\\u0009b\\n\""},
        {"\xff\xfe", "\"\\ufffd\\ufffd\""},            // Windows-1252 bytes that slipped
        {"\xc3", "\"\\ufffd\""},                       // cut sequence
        {"\xe0\x80\xaf", "\"\\ufffd\\ufffd\\ufffd\""}, // overlong "/"
        {"\xed\xa0\x80", "\"\\ufffd\\ufffd\\ufffd\""}, // surrogate
        {"\xf0\x9f\x8f\x81", "\"\xf0\x9f\x8f\x81\""},  // a flag stays
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(jsonString(in), out) << in;
    }
    JsonWriter w;
    w.beginObject().key("a").value(1).key("b").strings({"x", "y"}).key("c").beginArray();
    w.value(true).null().endArray().endObject();
    EXPECT_EQ(w.text(), R"({"a":1,"b":["x","y"],"c":[true,null]})");
}

TEST(LiveSnapshot, ChangesCarryOnlyWhatDiffersAndApplyToTheirBase) {
    LiveSnapshot a;
    a.head = {{"clock", "0:00:01"}, {"heat", "1"}, {"event", "GP"}};
    a.standings.columns = {"", "Nom", "Voltes"};
    a.standings.align = "clr";
    a.standings.rows = {{"1", "Anna", "3"}, {"2", "Bernat", "2"}};
    EXPECT_EQ(changeJson(a, a, 1, 2), "");

    LiveSnapshot b = a;
    b.head["clock"] = "0:00:02";
    b.head.erase("heat");
    b.standings.rows[1] = {"2", "Bernat", "3"};
    b.standings.rows.push_back({"3", "Clara", "1"});
    EXPECT_EQ(changeJson(a, b, 1, 2),
              R"({"type":"change","base":1,"v":2,"head":{"clock":"0:00:02","heat":""},)"
              R"("standings":{"count":3,"rows":[[1,["2","Bernat","3"]],[2,["3","Clara","1"]]]}})");

    LiveSnapshot c = a;
    c.standings.rows.pop_back();
    c.classification.columns = {"Nom"};
    c.classification.align = "l";
    c.classification.rows = {{"<b>"}};
    EXPECT_EQ(changeJson(a, c, 4, 5),
              R"({"type":"change","base":4,"v":5,"standings":{"count":1,"rows":[]},)"
              R"("classification":{"columns":["Nom"],"align":"l","rows":[["\u003cb\u003e"]]}})");
    EXPECT_EQ(snapshotJson(a, 7).substr(0, 34), R"({"type":"snapshot","v":7,"head":{")");
}

TEST(LiveRequests, OnlyGetOfTheServersOwnPaths) {
    struct Case {
        const char* method;
        const char* path;
        std::size_t headers;
        std::size_t body;
        int status;
    };
    const Case cases[] = {
        {"GET", "/", 3, 0, 200},
        {"GET", "/api/live", 3, 0, 200},
        {"HEAD", "/api/live", 3, 0, 405},
        {"GET", "/ws", 3, 0, 200},
        {"POST", "/api/live", 3, 0, 405},
        {"PUT", "/", 3, 0, 405},
        {"DELETE", "/", 3, 0, 405},
        {"OPTIONS", "/", 3, 0, 405},
        {"CONNECT", "/", 3, 0, 405},
        {"get", "/", 3, 0, 405},
        {"GET", "/../ZENTOR.CFG", 3, 0, 404},
        {"GET", "/api/../index.html", 3, 0, 404},
        {"GET", "/%2e%2e/PISTA.CFG", 3, 0, 404},
        {"GET", "/C:/Windows/win.ini", 3, 0, 404},
        {"GET", "\\index.html", 3, 0, 404},
        {"GET", "/index.html/", 3, 0, 404},
        {"GET", "/PROVA001/PROVA.DAD", 3, 0, 404},
        {"GET", "", 3, 0, 404},
        {"GET", "/", kMaxHeaders + 1, 0, 431},
        {"GET", "/", 3, 1, 413},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(checkRequest(c.method, c.path, c.headers, c.body).status, c.status)
            << c.method << ' ' << c.path;
    }
    EXPECT_EQ(checkRequest("GET", "/api/classification", 1, 0).route, Route::Classification);
}

TEST(LiveRequests, ClassificationQueryAndServeAddress) {
    auto q = parseClassificationQuery("type=CRS&series=1", 3);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->event, 3);
    EXPECT_EQ(q->programmeType, ProgrammeType::Race);
    EXPECT_EQ(q->seriesNumber, 1);
    q = parseClassificationQuery("series=all&type=spp&event=2", 3);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->event, 2);
    EXPECT_EQ(q->programmeType, ProgrammeType::SuperPole);
    EXPECT_EQ(q->seriesNumber, 0);
    for (const char* bad : {"", "series=1", "type=LLR", "type=CRS&series=0", "type=CRS&series=x",
                            "type=CRS&evil=1", "type=CRS&event=-1", "type"}) {
        EXPECT_FALSE(parseClassificationQuery(bad, 1)) << bad;
    }
    EXPECT_FALSE(parseClassificationQuery("type=CRS", 0)); // no event selected

    auto a = parseServeAddress("8081");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->address, "0.0.0.0");
    EXPECT_EQ(a->port, 8081);
    a = parseServeAddress("127.0.0.1:9000");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->address, "127.0.0.1");
    a = parseServeAddress("[::1]:9000");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->address, "::1");
    for (const char* bad :
         {"", "0", "65536", "x", ":80", "::1:80", "host:", "80a", "localhost:80", "1.2.3:80",
          "1.2.3.4.5:80", "256.1.1.1:80", "1.2.3.4 :80", "[fe80::1 x]:80"}) {
        EXPECT_FALSE(parseServeAddress(bad)) << bad;
    }
    EXPECT_EQ(pageUrl("::1", 80), "http://[::1]:80/");
    EXPECT_EQ(pageUrl("192.168.1.5", 8080), "http://192.168.1.5:8080/");
}

// A slow client's queue stays bounded whatever the publishing does, and a client that
// catches up is always handed a snapshot before any further change.
TEST(LiveClientFlow, SlowClientGetsTheLatestSnapshotNeverABacklog) {
    constexpr std::size_t kLimit = 1000;
    std::mt19937 random(5);
    for (int round = 0; round < 50; ++round) {
        ClientFlow flow(kLimit);
        long long published = 0;
        bool holdsLatest = false;
        for (int step = 0; step < 400; ++step) {
            if (random() % 3 != 0) {
                const long long base = published++;
                const std::size_t bytes = 50 + random() % 400;
                switch (flow.offer(base)) {
                case ClientFlow::Send::Change:
                    ASSERT_TRUE(holdsLatest); // a change applies only to what the client has
                    flow.sent(bytes, published);
                    break;
                case ClientFlow::Send::Snapshot:
                    flow.sent(bytes * 3, published);
                    holdsLatest = true;
                    break;
                case ClientFlow::Send::Nothing:
                    ASSERT_TRUE(flow.behind());
                    holdsLatest = false;
                    break;
                }
            } else if (flow.written(random() % 600)) {
                flow.sent(1200, published); // the catch-up snapshot
                holdsLatest = true;
            }
            ASSERT_LE(flow.unsent(), kLimit + 3 * 450);
        }
    }
}

TEST(LiveSettingsFile, RoundTripsAndReportsBadLines) {
    LiveSettings s;
    s.enabled = true;
    s.port = 9090;
    s.address = "192.168.1.20";
    auto back = decodeLiveSettings(encodeLiveSettings(s), 0);
    EXPECT_TRUE(back.problems.empty());
    EXPECT_TRUE(back.settings.enabled);
    EXPECT_EQ(back.settings.port, 9090);
    EXPECT_EQ(back.settings.address, "192.168.1.20");

    auto bad = decodeLiveSettings("[live]\nenabled=yes\nport=99999\naddress=\nother=1\n", 1);
    EXPECT_FALSE(bad.settings.enabled);
    EXPECT_EQ(bad.settings.port, 8080);
    EXPECT_EQ(bad.settings.address, "0.0.0.0");
    ASSERT_EQ(bad.problems.size(), 3u);
    EXPECT_EQ(bad.problems[0], "Valor no válido en LIVE.INI, línea 2");
}

using LiveHeat = test::LiveHeatFixture;

TEST_F(LiveHeat, SnapshotFollowsTheRaceAndTheClassificationMatchesTheFiles) {
    const std::vector<std::string> names{"Anna", "<img src=x onerror=alert(1)>", "Clara", "Dídac"};
    createRace(names);
    LiveContext context;
    context.eventName = "Gran Premi";
    LiveSnapshot idle = heatSnapshot(*engine, context);
    EXPECT_EQ(idle.head.at("state"), "idle");
    EXPECT_EQ(idle.head.at("lang"), "ca");
    start();
    for (int lap = 1; lap <= 3; ++lap) {
        for (int lane = 1; lane <= 4; ++lane) {
            if (lane != 3 || lap < 3) {
                cross(lane, kT0 + lap * 4.0 + lane * 0.3);
            }
        }
    }
    LiveSnapshot running = heatSnapshot(*engine, context);
    // Lane 1 crossed first at every lap; lane 3 is a lap short.
    const std::string first = names[static_cast<std::size_t>(engine->driverOnLane(1) - 1)];
    const std::string last = names[static_cast<std::size_t>(engine->driverOnLane(3) - 1)];
    EXPECT_EQ(running.head.at("state"), "running");
    EXPECT_EQ(running.head.at("heat"), "1");
    EXPECT_EQ(running.head.at("series"), "Cursa 1");
    ASSERT_EQ(running.standings.rows.size(), 4u);
    ASSERT_EQ(running.standings.columns.size(), running.standings.align.size());
    EXPECT_EQ(running.standings.rows[0][0], "1");
    EXPECT_EQ(running.standings.rows[0][1], first);
    EXPECT_EQ(running.standings.rows[3][1], last);
    EXPECT_FALSE(running.head.at("fastestTime").empty());
    EXPECT_NE(changeJson(idle, running, 1, 2).find("\\u003cimg"), std::string::npos);

    endHeat(kT0 + 20.0);
    auto list = loadLiveClassification(dir.path(), 1, ProgrammeType::Race, 1);
    ASSERT_TRUE(list) << list.error();
    ASSERT_EQ(list->rows.size(), 4u);
    EXPECT_EQ(list->rows[0][3], first);
    EXPECT_EQ(list->rows[3][3], last);
    const std::string json = classificationJson(*list);
    EXPECT_NE(json.find(R"("type":"CRS","series":1,)"), std::string::npos);
    EXPECT_NE(json.find(R"("name":"\u003cimg src=x onerror=alert(1)\u003e")"), std::string::npos);
    LiveTable table = classificationTable(*list);
    EXPECT_EQ(table.columns.size(), table.align.size());
    EXPECT_EQ(table.rows.size(), 4u);
    EXPECT_LT(table.columns.size(), list->titles.size());

    EXPECT_FALSE(loadLiveClassification(dir.path(), 1, ProgrammeType::Race, 2));
    EXPECT_FALSE(loadLiveClassification(dir.path(), 2, ProgrammeType::Race, 1));
    EXPECT_FALSE(loadLiveClassification(dir.path(), 1, ProgrammeType::FreePractice, 1));
}
