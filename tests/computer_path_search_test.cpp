// The route search on hand-made boards: the routes and flags the game's rules give, including the
// wrap at the edges, the order among equally short routes, food under the head, and what a failed
// search or another player code leaves alone.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "computer/computer_player.h"
#include "computer_path_helpers.h"
#include "computer_reference_flood.h"

namespace zib {
namespace {

struct SearchCase {
    const char* name;
    std::vector<Cell> walls;  // board cells set to 1
    Cell start;
    Cell target;
    int player;
    std::optional<std::vector<Cell>> route;  // nullopt: no route, the old path stays
};

std::vector<Cell> ringAround(Cell c) {
    return {{static_cast<int16_t>(c.x + 10), c.y},
            {static_cast<int16_t>(c.x - 10), c.y},
            {c.x, static_cast<int16_t>(c.y + 10)},
            {c.x, static_cast<int16_t>(c.y - 10)}};
}

const std::vector<Cell> kOldRed = {{500, 500}, {510, 500}, {520, 500}};
const std::vector<Cell> kOldBlue = {{300, 300}};

const SearchCase kCases[] = {
    {"TwoCellsToTheRight", {}, {0, 0}, {20, 0}, 1, std::vector<Cell>{{10, 0}, {20, 0}}},
    {"AcrossTheLeftEdge", {}, {0, 0}, {790, 0}, 1, std::vector<Cell>{{790, 0}}},
    {"AcrossTheRightEdge", {}, {790, 40}, {0, 40}, 1, std::vector<Cell>{{0, 40}}},
    {"AcrossTheTopEdge", {}, {0, 0}, {0, 590}, 1, std::vector<Cell>{{0, 590}}},
    {"AcrossTheBottomEdge", {}, {400, 590}, {400, 0}, 2, std::vector<Cell>{{400, 0}}},
    {"AcrossACornerRightBeforeDown",
     {},
     {790, 590},
     {0, 0},
     1,
     std::vector<Cell>{{0, 590}, {0, 0}}},
    {"FoodRightOfTheHead", {}, {100, 100}, {110, 100}, 1, std::vector<Cell>{{110, 100}}},
    {"FoodAboveTheHead", {}, {100, 100}, {100, 90}, 2, std::vector<Cell>{{100, 90}}},
    {"FoodBelowTheHeadInACorridor",
     {{110, 100}, {90, 100}, {100, 90}},
     {100, 100},
     {100, 110},
     1,
     std::vector<Cell>{{100, 110}}},
    {"DiagonalGoesRightThenDown", {}, {0, 0}, {10, 10}, 1, std::vector<Cell>{{10, 0}, {10, 10}}},
    {"AroundAWallDownBeforeUp",
     {{110, 100}},
     {100, 100},
     {120, 100},
     1,
     std::vector<Cell>{{100, 110}, {110, 110}, {120, 110}, {120, 100}}},
    {"HeadCellValueIsNotLookedAt",
     {{100, 100}},
     {100, 100},
     {120, 100},
     2,
     std::vector<Cell>{{110, 100}, {120, 100}}},
    {"FoodOnABlockedCell", {{200, 200}}, {0, 0}, {200, 200}, 1, std::nullopt},
    {"FoodWalledOff", ringAround({200, 200}), {0, 0}, {200, 200}, 2, std::nullopt},
    {"HeadWalledIn", ringAround({300, 300}), {300, 300}, {200, 200}, 1, std::nullopt},
    {"FoodUnderAFreeHeadOutAndBack",
     {},
     {100, 100},
     {100, 100},
     1,
     std::vector<Cell>{{110, 100}, {100, 100}}},
    {"FoodUnderAFreeHeadRightBlocked",
     {{110, 100}},
     {100, 100},
     {100, 100},
     2,
     std::vector<Cell>{{90, 100}, {100, 100}}},
    {"FoodUnderAFreeHeadAtTheLeftEdge",
     {{10, 300}},
     {0, 300},
     {0, 300},
     1,
     std::vector<Cell>{{790, 300}, {0, 300}}},
    {"FoodUnderAFreeHeadOnlyUpFree",
     {{110, 100}, {90, 100}, {100, 110}},
     {100, 100},
     {100, 100},
     1,
     std::vector<Cell>{{100, 90}, {100, 100}}},
    {"FoodUnderABlockedHead", {{100, 100}}, {100, 100}, {100, 100}, 2, std::nullopt},
    {"FoodNotOnACell", {}, {0, 0}, {15, 20}, 1, std::nullopt},
    {"FoodBeyondTheGrid", {}, {0, 0}, {800, 0}, 2, std::nullopt},
    {"PlayerZeroStoresNothing", {}, {0, 0}, {20, 0}, 0, std::nullopt},
    {"PlayerThreeStoresNothing", {}, {0, 0}, {20, 0}, 3, std::nullopt},
    {"NegativePlayerStoresNothing", {}, {0, 0}, {20, 0}, -1, std::nullopt},
};

void PrintTo(const SearchCase& c, std::ostream* os) {
    *os << c.name;
}

class SearchExamples : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchExamples, GiveTheRouteAndFlagOfTheRules) {
    const SearchCase& c = GetParam();
    auto state = std::make_unique<GameState>();
    for (Cell w : c.walls) state->board.set(w.x, w.y, 1);
    // Both snakes start with a route of their own, so that what a search leaves alone shows.
    state->red.path = pathOf(kOldRed);
    state->red.pathValid = true;
    state->blue.path = pathOf(kOldBlue);
    state->blue.pathValid = true;

    FindPath(*state, c.start.x, c.start.y, c.target.x, c.target.y, static_cast<Player>(c.player));

    SnakeRecord* searched = c.player == 1 ? &state->red : c.player == 2 ? &state->blue : nullptr;
    const SnakeRecord* other = c.player == 1 ? &state->blue : &state->red;
    const auto& otherOld = c.player == 1 ? kOldBlue : kOldRed;
    EXPECT_EQ(cellsOf(other->path), otherOld);
    EXPECT_TRUE(other->pathValid);
    if (searched == nullptr) {
        // Another code touches neither snake.
        EXPECT_EQ(cellsOf(state->blue.path), kOldBlue);
        EXPECT_TRUE(state->blue.pathValid);
        return;
    }
    const auto& searchedOld = c.player == 1 ? kOldRed : kOldBlue;
    if (c.route) {
        EXPECT_TRUE(searched->pathValid);
        EXPECT_EQ(cellsOf(searched->path), *c.route);
    } else {
        EXPECT_FALSE(searched->pathValid);
        EXPECT_EQ(cellsOf(searched->path), searchedOld);
    }
}

// The literal flood that the random boards compare against gives the same on these examples.
TEST_P(SearchExamples, AgreeWithTheLiteralFlood) {
    const SearchCase& c = GetParam();
    static const auto flood = std::make_unique<reference::LiteralFlood>();
    Board board;
    for (Cell w : c.walls) board.set(w.x, w.y, 1);
    reference::Routes routes;
    routes.redPath = reference::ToCellString(pathOf(kOldRed));
    routes.redPathValid = true;
    routes.bluePath = reference::ToCellString(pathOf(kOldBlue));
    routes.bluePathValid = true;

    flood->FindPath(board, routes, c.start.x, c.start.y, c.target.x, c.target.y, c.player);

    auto expect = [&](int player, const std::string& path, bool valid, const auto& old) {
        const bool searched = c.player == player;
        EXPECT_EQ(valid, searched ? c.route.has_value() : true) << player;
        const std::vector<Cell> want = searched && c.route ? *c.route : old;
        EXPECT_EQ(cellsOf(reference::FromCellString(path)), want) << player;
    };
    expect(1, routes.redPath, routes.redPathValid, kOldRed);
    expect(2, routes.bluePath, routes.bluePathValid, kOldBlue);
}

INSTANTIATE_TEST_SUITE_P(ComputerPathSearch, SearchExamples, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Heads lie on the grid in play. One that does not (a level could place it at x = 800) gets no
// route rather than a flood that reads past the board.
TEST(ComputerPathSearch, AHeadOffTheGridHasNoRoute) {
    const Cell heads[] = {{800, 0}, {0, 600}, {-10, 0}, {15, 20}};
    for (Cell head : heads) {
        auto state = std::make_unique<GameState>();
        state->red.path = pathOf(kOldRed);
        state->red.pathValid = true;
        FindPath(*state, head.x, head.y, 20, 0, Player::Red);
        EXPECT_FALSE(state->red.pathValid) << head.x << "," << head.y;
        EXPECT_EQ(cellsOf(state->red.path), kOldRed);
    }
}

// The route after a failed search is the one from before it, and a later success replaces it.
TEST(ComputerPathSearch, FailureThenSuccessOnTheSameRecord) {
    auto state = std::make_unique<GameState>();
    FindPath(*state, 0, 0, 30, 0, Player::Blue);
    ASSERT_TRUE(state->blue.pathValid);
    const std::vector<Cell> first = cellsOf(state->blue.path);
    EXPECT_EQ(first, (std::vector<Cell>{{10, 0}, {20, 0}, {30, 0}}));

    state->board.set(30, 0, 1);
    FindPath(*state, 0, 0, 30, 0, Player::Blue);
    EXPECT_FALSE(state->blue.pathValid);
    EXPECT_EQ(cellsOf(state->blue.path), first);

    state->board.set(30, 0, 0);
    FindPath(*state, 0, 0, 0, 20, Player::Blue);
    EXPECT_TRUE(state->blue.pathValid);
    EXPECT_EQ(cellsOf(state->blue.path), (std::vector<Cell>{{0, 10}, {0, 20}}));
}

// A partly used route (the steering drops cells from its front) is replaced whole.
TEST(ComputerPathSearch, ReplacesAPartlyUsedRoute) {
    auto state = std::make_unique<GameState>();
    FindPath(*state, 0, 0, 50, 0, Player::Red);
    state->red.path.popFront();
    state->red.path.popFront();
    FindPath(*state, 0, 0, 0, 30, Player::Red);
    EXPECT_EQ(cellsOf(state->red.path), (std::vector<Cell>{{0, 10}, {0, 20}, {0, 30}}));
}

// A single winding corridor through the whole field: the route is the corridor itself, 2398 cells.
TEST(ComputerPathSearch, FollowsASerpentineThroughTheWholeField) {
    auto state = std::make_unique<GameState>();
    // Even rows are the corridor's runs, from x = 0 to 780; the column x = 790 is walled so that
    // the runs do not wrap. Odd rows are walls with one gap, alternately at x = 780 and x = 0;
    // row 59 has no gap, so nothing wraps vertically either.
    auto gapOf = [](int row) { return (row / 2) % 2 == 0 ? 780 : 0; };
    for (int y = 0; y < 600; y += 10) {
        const int row = y / 10;
        for (int x = 0; x < 800; x += 10) {
            const bool wall = row % 2 == 1 ? !(row < 59 && x == gapOf(row)) : x == 790;
            if (wall) state->board.set(x, y, 1);
        }
    }
    std::vector<Cell> expected;
    for (int row = 0; row < 60; row += 2) {
        const bool rightwards = (row / 2) % 2 == 0;
        for (int i = 0; i < 79; ++i) {
            const int x = rightwards ? i * 10 : 780 - i * 10;
            if (row != 0 || i != 0)
                expected.push_back({static_cast<int16_t>(x), static_cast<int16_t>(row * 10)});
        }
        if (row < 58) {
            const auto gx = static_cast<int16_t>(gapOf(row + 1));
            expected.push_back({gx, static_cast<int16_t>(row * 10 + 10)});
        }
    }
    ASSERT_EQ(expected.size(), 2398u);
    ASSERT_EQ(expected.back(), (Cell{0, 580}));

    FindPath(*state, 0, 0, 0, 580, Player::Red);
    ASSERT_TRUE(state->red.pathValid);
    EXPECT_EQ(cellsOf(state->red.path), expected);
}

}  // namespace
}  // namespace zib
