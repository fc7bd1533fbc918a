// PlaceFood: random candidate cells in 10..700 x 10..500, x drawn before y, both drawn again on a
// blocked cell, and a way out when no candidate is free.
#include <set>

#include "game_fixture.h"
#include "platform/backend/backends.h"
#include "snakes/food_placement.h"

namespace zib::test {
namespace {

void blockAllCandidates(Board& b) {
    for (int y = 10; y <= 500; y += 10)
        for (int x = 10; x <= 700; x += 10) b.set(x, y, 1);
}

TEST(PlaceFood, PlacesOnlyOnCandidateCells) {
    Board board;
    SplitMix64Random random(42);
    std::set<int> xs, ys;
    for (int i = 0; i < 1000; ++i) {
        auto cell = PlaceFood(board, random);
        ASSERT_TRUE(cell);
        ASSERT_GE(cell->x, 10);
        ASSERT_LE(cell->x, 700);
        ASSERT_GE(cell->y, 10);
        ASSERT_LE(cell->y, 500);
        ASSERT_EQ(cell->x % 10, 0);
        ASSERT_EQ(cell->y % 10, 0);
        xs.insert(cell->x);
        ys.insert(cell->y);
    }
    // The whole range is used, including both ends.
    EXPECT_EQ(xs.size(), 70u);
    EXPECT_EQ(ys.size(), 50u);
}

TEST(PlaceFood, DrawsXFirstThenY) {
    Board board;
    ScriptedRandom random;
    random.script = {0.5, 0.1};
    auto cell = PlaceFood(board, random);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->x, 360);  // 10 * int(0.5 * 70) + 10
    EXPECT_EQ(cell->y, 60);   // 10 * int(0.1 * 50) + 10
    EXPECT_EQ(random.draws, 2);
}

TEST(PlaceFood, ABlockedCellDrawsBothAgain) {
    Board board;
    board.set(360, 60, 1);
    board.set(370, 60, 1);
    ScriptedRandom random;
    random.placeNextFoodAt(360, 60);
    random.placeNextFoodAt(370, 60);
    random.placeNextFoodAt(20, 490);
    auto cell = PlaceFood(board, random);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->x, 20);
    EXPECT_EQ(cell->y, 490);
    EXPECT_EQ(random.draws, 6);
}

TEST(PlaceFood, OnlyTheValueOneBlocks) {
    Board board;
    board.set(360, 60, 2);
    ScriptedRandom random;
    random.placeNextFoodAt(360, 60);
    auto cell = PlaceFood(board, random);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->x, 360);
}

TEST(PlaceFood, ReportsWhenNoCandidateIsFree) {
    Board board;
    blockAllCandidates(board);
    board.set(0, 0, 0);  // cells outside the candidates do not count
    board.set(710, 500, 0);
    SplitMix64Random random(1);
    EXPECT_FALSE(PlaceFood(board, random));
    EXPECT_EQ(countFreeFoodCells(board), 0);
}

TEST(PlaceFood, FindsTheLastFreeCandidateWithTheSameDraws) {
    Board board;
    blockAllCandidates(board);
    board.set(700, 500, 0);
    ScriptedRandom random;
    for (int i = 0; i < 999; ++i) random.placeNextFoodAt(10 + 10 * (i % 69), 10 + 10 * (i % 50));
    // Then the constant fallback of ScriptedRandom draws (700, 500).
    auto cell = PlaceFood(board, random);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->x, 700);
    EXPECT_EQ(cell->y, 500);
    EXPECT_EQ(random.draws, 2 * 1000);
    EXPECT_EQ(countFreeFoodCells(board), 1);
}

}  // namespace
}  // namespace zib::test
