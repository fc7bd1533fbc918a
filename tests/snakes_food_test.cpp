// The food pickup inside a step: the eating sound, growth owed, the new food, red marking the cell
// it ate on, blue testing for food before its crash, and food that cannot be placed.
#include <limits>
#include <string>

#include "game_fixture.h"
#include "snakes/food.h"
#include "snakes/food_placement.h"
#include "snakes/snake_step.h"

namespace zib::test {
namespace {

void putFood(GameHarness& h, int x, int y) {
    h.state.food = FoodCell{x, y};
    h.state.foodPresent = true;
}

void step(GameHarness& h, bool blue) {
    blue ? h.stepBlue() : h.stepRed();
}

std::string levelWith(bool blue, const std::string& moving, const std::string& walls = "") {
    const std::string parked = "600,550,1,0";
    return blue ? GameHarness::level(parked, moving, walls)
                : GameHarness::level(moving, parked, walls);
}

TEST(FoodPickup, AHeadOnTheFoodEatsItAndMovesIt) {
    for (bool blue : {false, true}) {
        SCOPED_TRACE(blue ? "blue" : "red");
        GameHarness h;
        h.state.settings.growthPerFood = 3;
        ASSERT_TRUE(h.load(levelWith(blue, "100,100,1,0")));
        SnakeRecord& s = blue ? h.state.blue : h.state.red;
        s.pendingGrowth = 2;
        putFood(h, 110, 100);
        h.placeNextFoodAt(400, 400);
        h.sounds();
        step(h, blue);
        EXPECT_TRUE(s.growNow);
        EXPECT_EQ(s.pendingGrowth, 5);
        const Image& food = h.window.food();
        EXPECT_EQ(food.left, 400);
        EXPECT_EQ(food.top, 400);
        EXPECT_TRUE(food.visible);
        EXPECT_EQ(countEndingWith(h.sounds(), "UP.wav"), 1);
    }
}

TEST(FoodPickup, OwedGrowthStopsAtTheIntLimits) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    struct Case {
        int owed, growthPerFood, owedAfter;
    };
    const Case cases[] = {
        {2, 3, 5},          {5, kMax, kMax},  {kMax - 3, 3, kMax}, {kMax - 3, 4, kMax},
        {kMax, kMax, kMax}, {-5, kMin, kMin}, {kMin, -1, kMin},    {kMin + 1, -1, kMin},
        {kMin, kMin, kMin}, {kMax, kMin, -1}, {kMin, kMax, -1},
    };
    for (bool blue : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(blue ? "blue " : "red ") + std::to_string(c.owed) + " + " +
                         std::to_string(c.growthPerFood));
            GameHarness h;
            h.state.settings.growthPerFood = c.growthPerFood;
            ASSERT_TRUE(h.load(levelWith(blue, "100,100,1,0")));
            SnakeRecord& s = blue ? h.state.blue : h.state.red;
            s.pendingGrowth = c.owed;
            putFood(h, 110, 100);
            step(h, blue);
            EXPECT_EQ(s.pendingGrowth, c.owedAfter);
            EXPECT_TRUE(s.growNow);
        }
    }
}

TEST(FoodPickup, NoFoodIsEatenBesideTheHead) {
    GameHarness h;
    ASSERT_TRUE(h.load(levelWith(false, "100,100,1,0")));
    for (auto [x, y] : {std::pair{110, 110}, std::pair{120, 100}, std::pair{90, 100}}) {
        putFood(h, x, y);
        EXPECT_FALSE(checkFood(h.field(), redSnake(h.field())));
    }
    putFood(h, 110, 100);
    h.stepRed();
    h.sounds();
    EXPECT_EQ(h.state.red.pendingGrowth, 1);
    h.stepRed();
    EXPECT_EQ(h.state.red.pendingGrowth, 1);
    EXPECT_EQ(countEndingWith(h.sounds(), "UP.wav"), 0);
}

// Red marks the cell it ate on before the new food is placed, so the new food never lands under
// red's head; blue's head cell is still free then, so the new food may land right under it.
TEST(FoodPickup, NewFoodLandsUnderBluesHeadButNeverUnderReds) {
    for (bool blue : {false, true}) {
        SCOPED_TRACE(blue ? "blue" : "red");
        GameHarness h;
        ASSERT_TRUE(h.load(levelWith(blue, "100,100,1,0")));
        putFood(h, 110, 100);
        h.placeNextFoodAt(110, 100);  // the head's own cell first
        h.placeNextFoodAt(300, 300);
        step(h, blue);
        const Image& food = h.window.food();
        EXPECT_EQ(food.left, blue ? 110 : 300);
        EXPECT_EQ(food.top, blue ? 100 : 300);
    }
}

TEST(FoodPickup, FoodOnABlockedCellIsEatenByTheHeadThatCrashesIntoIt) {
    for (bool blue : {false, true}) {
        GameHarness h;
        ASSERT_TRUE(h.load(levelWith(blue, "100,100,1,0", "110,100,120,110,\"\"\r\n")));
        putFood(h, 110, 100);
        step(h, blue);
        SnakeRecord& s = blue ? h.state.blue : h.state.red;
        EXPECT_TRUE(s.dead);
        EXPECT_TRUE(s.growNow);
        EXPECT_EQ(s.pendingGrowth, 1);
    }
}

TEST(FoodPickup, WithoutAFreeCellTheFoodStaysHiddenAndCannotBeEaten) {
    GameHarness h;
    // Every candidate but (100, 10) is a wall; red eats there, so none is left. Snakes of one
    // segment, so that no step frees the spot where start sprites are created, (160, 270).
    h.state.settings.startLength = 0;
    std::string walls;
    for (int y = 10; y <= 500; y += 10)
        walls += "10," + std::to_string(y) + ",710," + std::to_string(y + 10) + ",\"\"\r\n";
    ASSERT_TRUE(h.load(GameHarness::level("100,0,0,1", "110,0,0,1", walls)));
    h.state.board.set(100, 10, 0);
    putFood(h, 100, 10);
    h.stepRed();
    EXPECT_EQ(h.state.red.pendingGrowth, 1);
    EXPECT_FALSE(h.state.foodPresent);
    EXPECT_FALSE(h.window.food().visible);
    EXPECT_EQ(countFreeFoodCells(h.state.board), 0);

    // A head on the hidden food's spot does not eat it (a present food there would be eaten even
    // by a crashing head).
    h.state.food = FoodCell{110, 10};
    h.sounds();
    h.stepBlue();
    EXPECT_TRUE(h.state.blue.dead);
    EXPECT_EQ(h.state.blue.pendingGrowth, 0);
    EXPECT_FALSE(h.state.blue.growNow);
    EXPECT_EQ(countEndingWith(h.sounds(), "UP.wav"), 0);
}

}  // namespace
}  // namespace zib::test
