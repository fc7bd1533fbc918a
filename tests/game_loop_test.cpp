// Whole games in the headless window: the result and the win counts, FREE mode, growth owed after
// a pickup and endless growth, the food animation and the frame counter.
#include <algorithm>
#include <limits>

#include "game_fixture.h"
#include "snakes/sprite_pictures.h"

namespace zib::test {
namespace {

struct ResultCase {
    const char* what;
    std::string red, blue, walls;
    const char* result;
    const char* redWins;
    const char* blueWins;
    GameOver gameOver;
};

TEST(GameResult, TellsWhoWonAndCountsTheWin) {
    const ResultCase cases[] = {
        {"red hits a wall", "100,100,1,0", "100,300,1,0", "120,100,130,110,\"\"\r\n",
         "Modrý vyhrál", "0", "1", GameOver::RedDied},
        {"blue hits a wall", "100,100,1,0", "100,300,1,0", "130,300,140,310,\"\"\r\n",
         "Červený vyhrál", "1", "0", GameOver::BlueDied},
        {"both hit walls in the same step", "100,100,1,0", "100,300,1,0",
         "120,100,130,110,\"\"\r\n120,300,130,310,\"\"\r\n", "Remíza", "0", "0",
         GameOver::BlueDied},
        {"heads meet on one cell", "100,100,1,0", "140,100,-1,0", "", "Remíza", "0", "0",
         GameOver::BlueDied},
    };
    for (const ResultCase& c : cases) {
        SCOPED_TRACE(c.what);
        GameHarness h;
        ASSERT_TRUE(h.load(GameHarness::level(c.red, c.blue, c.walls)));
        h.play();
        EXPECT_EQ(h.hook.finished, 1);
        EXPECT_EQ(h.window.resultCaption(), c.result);
        EXPECT_EQ(std::to_string(h.menu.red), c.redWins);
        EXPECT_EQ(std::to_string(h.menu.blue), c.blueWins);
        EXPECT_EQ(h.state.gameOver, c.gameOver);
        EXPECT_EQ(h.window.redWinsLabel().caption(), c.redWins);
        EXPECT_EQ(h.window.blueWinsLabel().caption(), c.blueWins);
        EXPECT_TRUE(h.window.redWinsLabel().visible);
        EXPECT_TRUE(h.window.blueWinsLabel().visible);
        EXPECT_TRUE(h.window.endPauseTimerEnabled());
        EXPECT_EQ(h.window.endPauseInterval(), 2000u);
        EXPECT_FALSE(h.window.gameTimerEnabled());
        EXPECT_TRUE(h.window.stopRequested());
        EXPECT_TRUE(h.window.gameEnded());
    }
}

TEST(GameResult, HeadsOnOneCellMakeBothDead) {
    GameHarness h;
    ASSERT_TRUE(h.load(GameHarness::level("100,100,1,0", "140,100,-1,0")));
    h.play();
    EXPECT_EQ(h.hook.ticks, 2);
    EXPECT_TRUE(h.state.red.dead);
    EXPECT_TRUE(h.state.blue.dead);
}

TEST(GameResult, WinCountsAreRaisedAndShownAsDecimalText) {
    struct Case {
        long long before;
        std::string after;
    };
    for (const Case& c :
         {Case{0, "1"}, Case{9, "10"}, Case{41, "42"}, Case{1LL << 53, "9007199254740993"}}) {
        GameHarness h;
        h.menu.blue = c.before;
        ASSERT_TRUE(
            h.load(GameHarness::level("100,100,1,0", "100,300,1,0", "120,100,130,110,\"\"\r\n")));
        h.play();
        EXPECT_EQ(std::to_string(h.menu.blue), c.after) << c.before;
        EXPECT_EQ(h.window.blueWinsLabel().caption(), c.after);
    }
}

TEST(GameResult, ADemoGameShowsNoResult) {
    GameHarness h;
    h.state.demoMode = true;
    ASSERT_TRUE(h.load(GameHarness::level("100,100,1,0", "100,300,1,0")));
    h.hook.onTick = [&](int n) {
        if (n == 3) h.backend().keyDown('Q');
    };
    h.play();
    EXPECT_EQ(h.hook.ticks, 4);
    EXPECT_EQ(h.hook.finished, 1);
    EXPECT_EQ(h.window.resultCaption(), "");
    EXPECT_EQ(h.window.redWinsLabel().caption(), "");
    EXPECT_FALSE(h.window.fpsLabel().visible);
    EXPECT_EQ(h.menu.red, 0);
    EXPECT_EQ(h.menu.blue, 0);
    EXPECT_TRUE(h.window.endPauseTimerEnabled());
}

TEST(GameStart, PlacesTheFoodHidesTheMenuAndPausesBeforeTheLoop) {
    GameHarness h;
    h.placeNextFoodAt(300, 200);
    ASSERT_TRUE(h.load(GameHarness::level("100,100,1,0", "100,300,1,0")));
    uint32_t firstTickAt = 0;
    h.hook.maxTicks = 1;
    h.hook.onTick = [&](int n) {
        if (n != 1) return;
        firstTickAt = h.backend().now();
        EXPECT_EQ(h.window.food().left, 300);
        EXPECT_EQ(h.window.food().top, 200);
        EXPECT_TRUE(h.window.food().visible);
        EXPECT_TRUE(h.window.loopRunning());
    };
    const uint32_t loadedAt = h.backend().now();
    h.play();
    ASSERT_FALSE(h.menu.log.empty());
    EXPECT_EQ(h.menu.log.front(), "hide");
    // Timer1 fires 1 ms after the load, then 200 ms of pause and one step's gameSpeed.
    EXPECT_EQ(firstTickAt, loadedAt + 1 + 200 + 10);
}

TEST(FreeMode, DeathsDoNotEndTheGameOnlyEscDoes) {
    GameHarness h;
    h.state.freeMode = true;
    ASSERT_TRUE(
        h.load(GameHarness::level("100,100,1,0", "100,300,1,0", "120,100,130,110,\"\"\r\n")));
    h.hook.maxTicks = 30;  // Esc, processed in tick 31
    h.hook.onTick = [&](int n) {
        if (n == 5) h.state.demoMode = true;
        if (n == 6) h.backend().keyDown('Q');  // a demo key switches Timer1 off: no end either
    };
    h.play();
    EXPECT_TRUE(h.state.red.dead);
    EXPECT_EQ(h.state.gameOver, GameOver::RedDied);
    EXPECT_EQ(h.hook.ticks, 31);
}

TEST(Growth, APickupGrowsTheSnakeOnTheFollowingSteps) {
    struct Case {
        int growthPerFood;
        std::vector<int> growthTicks;  // ticks whose step adds a segment
    };
    // Red starts at (100, 100) moving right and eats the food at (150, 100) in tick 5.
    for (const Case& c :
         {Case{0, {6}}, Case{1, {6}}, Case{3, {6, 7, 8}}, Case{5, {6, 7, 8, 9, 10}}}) {
        SCOPED_TRACE(c.growthPerFood);
        GameHarness h;
        h.state.settings.growthPerFood = c.growthPerFood;
        h.placeNextFoodAt(150, 100);
        ASSERT_TRUE(h.load(GameHarness::level("100,100,1,0", "100,300,1,0")));
        std::vector<size_t> length(1, h.state.red.segments.size());
        h.hook.maxTicks = 14;
        h.hook.onTick = [&](int) { length.push_back(h.state.red.segments.size()); };
        h.play();
        ASSERT_EQ(length.size(), 16u);
        size_t expected = 2;
        for (int tick = 1; tick <= 15; ++tick) {
            if (std::count(c.growthTicks.begin(), c.growthTicks.end(), tick)) ++expected;
            EXPECT_EQ(length[static_cast<size_t>(tick)], expected) << "tick " << tick;
        }
        EXPECT_EQ(h.state.red.pendingGrowth, 0);
        EXPECT_EQ(h.state.blue.segments.size(), 2u);
        // The next food, somewhere else.
        EXPECT_TRUE(h.window.food().visible);
        EXPECT_FALSE(h.window.food().left == 150 && h.window.food().top == 100);
    }
}

TEST(Growth, OwedGrowthStaysWithinTheIntLimits) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    struct Case {
        const char* name;
        int growthPerFood;
        bool endlessGrowth;
        int owedAfter;
        size_t lengthAfter;
    };
    // Red starts at (100, 100) moving right, eats at (150, 100) in tick 5 and at (200, 100) in
    // tick 10; the game ends after tick 12.
    for (const Case& c : {
             // From tick 6 on one segment per step; the second pickup adds nothing more.
             Case{"largest growth", kMax, false, kMax - 2, 9},
             // Endless growth goes on growing every step; the debt stops at the limit.
             Case{"smallest growth, endless", kMin, true, kMin, 14},
         }) {
        SCOPED_TRACE(c.name);
        GameHarness h;
        h.state.settings.growthPerFood = c.growthPerFood;
        h.state.settings.endlessGrowth = c.endlessGrowth;
        h.placeNextFoodAt(150, 100);
        h.placeNextFoodAt(200, 100);
        ASSERT_TRUE(h.load(GameHarness::level("100,100,1,0", "100,300,1,0")));
        h.sounds();
        h.hook.maxTicks = 11;
        h.play();
        ASSERT_EQ(h.hook.ticks, 12);
        EXPECT_EQ(countEndingWith(h.sounds(), "UP.wav"), 2);
        EXPECT_FALSE(h.state.red.dead);
        EXPECT_EQ(h.state.red.pendingGrowth, c.owedAfter);
        EXPECT_EQ(h.state.red.segments.size(), c.lengthAfter);
    }
}

TEST(Growth, EndlessGrowthGrowsEveryStepAndOwesLessAndLess) {
    GameHarness h;
    h.state.settings.endlessGrowth = true;
    ASSERT_TRUE(h.load(GameHarness::level("100,100,1,0", "100,300,1,0")));
    h.hook.maxTicks = 19;
    h.play();
    ASSERT_EQ(h.hook.ticks, 20);
    for (SnakeRecord* s : {&h.state.red, &h.state.blue}) {
        EXPECT_EQ(s->pendingGrowth, -20);
        EXPECT_EQ(s->segments.size(), 22u);
        EXPECT_FALSE(s->dead);
    }
}

TEST(FoodAnimation, BlinksBetweenRingAndDotEveryMoreThan200Ms) {
    GameHarness h;
    h.state.settings.gameSpeed = 50;
    ASSERT_TRUE(h.load(GameHarness::level("100,100,1,0", "100,300,1,0")));
    std::vector<int> frames(1, 0);
    h.hook.maxTicks = 12;
    h.hook.onTick = [&](int) { frames.push_back(h.state.foodFrame); };
    h.play();
    // Timer1 at 1 ms, first step at 201 ms, one step per 50 ms: the frame changes when more than
    // 200 ms have passed since the last change (ticks 2, 7, 12).
    const std::vector<int> expected = {0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 1, 1};
    EXPECT_EQ(frames, expected);
}

TEST(FoodAnimation, AnimateFoodShowsFramesOneTwoOneTwo) {
    GameHarness h;
    ASSERT_TRUE(h.load(GameHarness::level("100,100,1,0", "100,300,1,0")));
    const Canvas ring = drawFoodRing(), dot = drawFoodDot();
    for (int i = 0; i < 4; ++i) {
        h.window.AnimateFood();
        const bool second = i % 2 == 1;
        EXPECT_EQ(h.state.foodFrame, second ? 2 : 1);
        EXPECT_TRUE(samePixels(*h.window.food().picture(), second ? dot : ring));
    }
}

TEST(FrameCounter, ShowsTheStepsOfTheLastSecond) {
    GameHarness h;
    h.window.setFpsShown(true);
    h.state.settings.gameSpeed = 100;
    ASSERT_TRUE(h.load(GameHarness::level("0,100,1,0", "0,300,1,0")));
    EXPECT_TRUE(h.window.fpsLabel().visible);
    std::vector<std::string> captions(1);
    h.hook.maxTicks = 20;
    h.hook.onTick = [&](int) { captions.push_back(h.window.fpsCaption()); };
    h.play();
    // Steps at 201, 301, ... ms: the second changes in tick 9 (1001 ms) and tick 19 (2001 ms).
    EXPECT_EQ(captions[8], "FPS:");
    EXPECT_EQ(captions[9], "FPS: 9");
    EXPECT_EQ(captions[18], "FPS: 9");
    EXPECT_EQ(captions[19], "FPS: 10");
    // Two steps since then; they carry over into the next game's first count.
    EXPECT_EQ(h.window.frameCount(), 2);
}

}  // namespace
}  // namespace zib::test
