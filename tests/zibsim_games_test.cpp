// Whole games through zibsim whose course is worked out from the rules: growth after eating with
// the food cells computed from the seed, the pictures at turns, the order of keys within a tick,
// and the limits of a run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zibsim_test_support.h"

namespace zibsim {
namespace {

using testing::json;
using testing::SimResult;

std::string level(int redX, int redY, int redDx, int redDy, int blueX, int blueY, int blueDx,
                  int blueDy) {
    return "bg.bmp," + std::to_string(redX) + "," + std::to_string(redY) + "," +
           std::to_string(redDx) + "," + std::to_string(redDy) + "\n" + std::to_string(blueX) +
           "," + std::to_string(blueY) + "," + std::to_string(blueDx) + "," +
           std::to_string(blueDy) + "\n";
}

// The picture holder of the visible body sprite at (x, y), 0 when there is none.
int pictureAt(const json& snake, int x, int y) {
    for (const auto& s : snake["body"])
        if (s[1] == x && s[2] == y && s[4] == 1) return s[3].get<int>();
    return 0;
}

json head(int x, int y) {
    return json::array({x, y});
}

// ---- growth after eating

struct GrowthCase {
    uint64_t seed;
    int growth;
};

class ZibsimGrowth : public ::testing::TestWithParam<GrowthCase> {};

// Red starts three cells left of the first food, in its row, and eats it at tick 3. Every later
// tick adds one segment while growth is owed (one segment also with growth 0: the food test sets
// the grow flag itself). The body list then reads: the initial sprites not moved yet, sprite 0 on
// the start cell, and the moved sprites in the order they were moved: 10, 9, 8, the new ones 12,
// 13, ..., then 7, 6, ...
TEST_P(ZibsimGrowth, AddsTheOwedSegmentsOnePerTick) {
    const auto [seed, growth] = GetParam();
    testing::HandSplitMix random(seed);
    const auto [fx, fy] = random.nextFoodCell();
    const int startX = (fx - 30 + 800) % 800;
    // Blocked when the second food is drawn: the cells red entered.
    std::pair<int, int> second;
    do {
        second = random.nextFoodCell();
    } while (second.second == fy && (second.first == fx || second.first == (fx - 10 + 800) % 800 ||
                                     second.first == (fx - 20 + 800) % 800));
    ASSERT_NE(second.second, fy) << "pick a seed whose second food is off red's row";
    ASSERT_NE(fy, 270) << "red's row must not cross the spot where its sprites are made";

    const int added = growth > 0 ? growth : 1;
    const int lastGrowTick = 3 + added;
    const int ticks = lastGrowTick + 3;
    json scenario = {{"level", level(startX, fy, 1, 0, 100, 580, 1, 0)},
                     {"seed", seed},
                     {"growthPerFood", growth},
                     {"maxTicks", ticks}};
    SimResult r = testing::simulate(scenario);
    ASSERT_EQ(r.exitCode, kRan) << r.err;

    EXPECT_EQ(r.at(2)["food"], head(fx, fy));
    const json& eaten = r.at(3);
    EXPECT_EQ(eaten["red"]["head"], head(fx, fy));
    EXPECT_EQ(eaten["food"], head(second.first, second.second));
    EXPECT_EQ(eaten["foodVisible"], 1);
    EXPECT_EQ(eaten["sounds"], json::array({"UP.wav"}));
    EXPECT_EQ(eaten["red"]["pending"], growth);
    EXPECT_EQ(eaten["red"]["grow"], 1);

    for (int t = 4; t <= ticks; ++t) {
        const json& red = r.at(t)["red"];
        int grown = std::min(t - 3, added);
        EXPECT_EQ(red["nextIndex"], 11 + grown) << "t=" << t;
        EXPECT_EQ(red["body"].size(), static_cast<size_t>(11 + grown)) << "t=" << t;
        EXPECT_EQ(red["pending"], std::max(growth - (t - 3), 0)) << "t=" << t;
        EXPECT_EQ(red["grow"], 0) << "t=" << t;
    }

    // The whole body at the last tick.
    const int m = ticks - lastGrowTick;  // initial sprites moved after the growth
    std::vector<int> order;
    for (int i = 7 - m; i >= 1; --i) order.push_back(i);
    order.push_back(0);
    for (int i : {10, 9, 8}) order.push_back(i);
    for (int i = 12; i < 12 + added; ++i) order.push_back(i);
    for (int i = 7; i > 7 - m; --i) order.push_back(i);
    const json& body = r.at(ticks)["red"]["body"];
    ASSERT_EQ(body.size(), order.size());
    const size_t waiting = static_cast<size_t>(7 - m);
    for (size_t k = 0; k < order.size(); ++k) {
        const json& s = body[k];
        EXPECT_EQ(s[0], order[k]) << "entry " << k;
        if (k < waiting) {
            EXPECT_EQ(s[1], 160);
            EXPECT_EQ(s[2], 270);
            EXPECT_EQ(s[4], 0) << "not moved yet, so not shown";
        } else if (k == waiting) {
            EXPECT_EQ(s[1], startX);  // sprite 0 waits on the start cell
            EXPECT_EQ(s[2], fy);
        } else {
            const int steps = static_cast<int>(k - waiting);
            EXPECT_EQ(s[1], (startX + 10 * steps) % 800) << "entry " << k;
            EXPECT_EQ(s[2], fy);
            EXPECT_EQ(s[3], k + 1 == order.size() ? 7 : 1) << "head right, else straight";
            EXPECT_EQ(s[4], 1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ZibsimGrowth,
                         ::testing::Values(GrowthCase{1, 1}, GrowthCase{2, 0}, GrowthCase{3, 5},
                                           GrowthCase{42, 3}, GrowthCase{1234, 2},
                                           GrowthCase{99, 4}));

// ---- pictures and keys

TEST(ZibsimGames, TurnsGiveCornerAndHeadPictures) {
    // Blue turns down after tick 2 (key S), red up after tick 3 (up arrow).
    json scenario = {{"level", level(100, 550, 1, 0, 100, 570, 1, 0)},
                     {"events", json::parse(R"([{"tick": 2, "down": 83}, {"tick": 3, "down": 38},
                                               {"tick": 6, "press": 27}])")}};
    SimResult r = testing::simulate(scenario);
    ASSERT_EQ(r.exitCode, kRan) << r.err;

    const json& t3 = r.at(3);
    EXPECT_EQ(pictureAt(t3["blue"], 120, 570), 4) << "right then down: corner left-bottom";
    EXPECT_EQ(pictureAt(t3["blue"], 120, 580), 8) << "head facing down";
    EXPECT_EQ(pictureAt(t3["red"], 120, 550), 1);
    EXPECT_EQ(pictureAt(t3["red"], 130, 550), 7);

    const json& t4 = r.at(4);
    EXPECT_EQ(pictureAt(t4["red"], 130, 550), 5) << "right then up: corner left-top";
    EXPECT_EQ(pictureAt(t4["red"], 130, 540), 10) << "head facing up";
    EXPECT_EQ(pictureAt(t4["blue"], 120, 580), 2) << "straight down";

    const json& t5 = r.at(5);
    EXPECT_EQ(pictureAt(t5["red"], 130, 550), 5) << "a corner keeps its picture";
    EXPECT_EQ(pictureAt(t5["red"], 130, 540), 2);
    EXPECT_EQ(pictureAt(t5["red"], 130, 530), 10);
    EXPECT_EQ(pictureAt(t5["blue"], 120, 0), 8) << "across the bottom edge";
}

TEST(ZibsimGames, KeysOfOneTickActInListOrderAndOnlyTheLastCounts) {
    // Listed out of tick order: at tick 3 red down comes before red up, so red goes up.
    json scenario = {{"level", level(100, 550, 1, 0, 100, 570, 1, 0)},
                     {"events", json::parse(R"([{"tick": 3, "down": 40}, {"tick": 5, "press": 27},
                                               {"tick": 3, "down": 38}])")}};
    SimResult r = testing::simulate(scenario);
    ASSERT_EQ(r.exitCode, kRan) << r.err;
    EXPECT_EQ(r.at(3)["red"]["dir"], head(0, -1));
    EXPECT_EQ(r.at(4)["red"]["head"], head(130, 540));
    EXPECT_EQ(r.end()["end"]["ticks"], 5);
}

TEST(ZibsimGames, AKeyBoundToNoSnakeChangesNothing) {
    json scenario = {
        {"level", level(100, 550, 1, 0, 100, 570, 1, 0)},
        {"events", json::parse(R"([{"tick": 1, "down": 81}, {"tick": 1, "press": 113}])")},
        {"maxTicks", 3}};
    SimResult r = testing::simulate(scenario);
    ASSERT_EQ(r.exitCode, kRan) << r.err;
    EXPECT_EQ(r.at(3)["red"]["head"], head(130, 550));
    EXPECT_EQ(r.at(3)["blue"]["head"], head(130, 570));
    EXPECT_EQ(r.end(), json::parse(R"({"end": null, "ticks": 3})"));
}

TEST(ZibsimGames, EventsAfterTheEndAreNeverDelivered) {
    // Red hits the wall at tick 5; the Esc listed for tick 9 never comes, so blue's win stands.
    json scenario = {{"level", "bg.bmp,100,550,1,0\n300,570,1,0\n150,550,160,560,w.bmp\n"},
                     {"events", json::parse(R"([{"tick": 9, "press": 27}])")}};
    SimResult r = testing::simulate(scenario);
    ASSERT_EQ(r.exitCode, kRan) << r.err;
    EXPECT_EQ(r.end()["end"]["result"], "Modrý vyhrál");
    EXPECT_EQ(r.end()["end"]["ticks"], 5);
}

TEST(ZibsimGames, EndlessGrowthGrowsBothSnakesEveryTick) {
    json scenario = {
        {"level", level(100, 550, 1, 0, 100, 570, 1, 0)}, {"gameMode", 1}, {"maxTicks", 4}};
    SimResult r = testing::simulate(scenario);
    ASSERT_EQ(r.exitCode, kRan) << r.err;
    for (int t = 1; t <= 4; ++t) {
        for (const char* snake : {"red", "blue"}) {
            const json& s = r.at(t)[snake];
            EXPECT_EQ(s["pending"], -t) << snake << " t=" << t;
            EXPECT_EQ(s["nextIndex"], 11 + t) << snake << " t=" << t;
            EXPECT_EQ(s["body"].size(), static_cast<size_t>(11 + t)) << snake << " t=" << t;
        }
    }
    // No sprite of the start ever moves: each step moves the segment just made.
    EXPECT_EQ(r.at(4)["red"]["body"][0][0], 10);
}

// ---- limits of a run

TEST(ZibsimGames, MaxTicksZeroStopsBeforeTheFirstTick) {
    json scenario = {{"level", level(100, 550, 1, 0, 100, 570, 1, 0)}, {"maxTicks", 0}};
    SimResult r = testing::simulate(scenario);
    ASSERT_EQ(r.exitCode, kRan) << r.err;
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0]["t"], 0);
    EXPECT_EQ(r.lines[1], json::parse(R"({"end": null, "ticks": 0})"));
}

TEST(ZibsimGames, TheStartLineShowsTheLevelsStart) {
    json scenario = {{"level", level(100, 550, 1, 0, 200, 570, -1, 0)},
                     {"startLength", 3},
                     {"seed", 7},
                     {"maxTicks", 0}};
    SimResult r = testing::simulate(scenario);
    ASSERT_EQ(r.exitCode, kRan) << r.err;
    testing::HandSplitMix random(7);
    auto [fx, fy] = random.nextFoodCell();
    const json& t0 = r.at(0);
    EXPECT_EQ(t0["food"], head(fx, fy));
    EXPECT_EQ(t0["foodVisible"], 1);
    EXPECT_EQ(t0["foodFrame"], 0);
    EXPECT_EQ(t0["gameOver"], "");
    EXPECT_EQ(t0["stop"], 0);
    EXPECT_EQ(t0["timer1"], 1);
    EXPECT_EQ(t0["fps"], "FPS:");
    // Sprites 3, 2, 1 wait hidden at the design spots; sprite 0 is on the start cell.
    EXPECT_EQ(t0["red"]["body"].size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t0["red"]["body"][i], json::array({3 - i, 160, 270, 1, 0}));
        EXPECT_EQ(t0["blue"]["body"][i], json::array({3 - i, 160, 250, 1, 0}));
    }
    EXPECT_EQ(t0["red"]["body"][3][0], 0);
    EXPECT_EQ(t0["red"]["body"][3][1], 100);
    EXPECT_EQ(t0["red"]["body"][3][2], 550);
    EXPECT_EQ(t0["blue"]["body"][3][1], 200);
    EXPECT_EQ(t0["blue"]["body"][3][2], 570);
    EXPECT_EQ(t0["red"]["head"], head(100, 550));
    EXPECT_EQ(t0["red"]["dir"], head(1, 0));
    EXPECT_EQ(t0["red"]["nextIndex"], 4);
    EXPECT_EQ(t0["blue"]["dir"], head(-1, 0));
    EXPECT_EQ(t0["red"]["pathValid"], 0);
}

}  // namespace
}  // namespace zibsim
