// The steering of a computer-driven snake in the situations its rules single out: following the
// route, the steps across an edge, a route that runs out, the swerves with their fixed order and
// unchecked fallback, and the probes at the field's edges that end the steering.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "computer/computer_player.h"
#include "computer_path_helpers.h"
#include "computer_reference_flood.h"

namespace zib {
namespace {

struct SteerCase {
    const char* name;
    int player;  // 1 SteerRed, 2 SteerBlue
    std::vector<Cell> walls;
    Cell head;
    int dx, dy, prevDx;
    std::vector<Cell> path;
    bool pathValid;
    Cell food;
    // What the steering leaves.
    int wantDx, wantDy;
    std::vector<Cell> wantPath;
    bool wantValid;
};

void PrintTo(const SteerCase& c, std::ostream* os) {
    *os << c.name;
}

// Food on a blocked cell: every search fails, so these snakes have no route.
constexpr Cell kNoFood = {400, 400};
// Food that the cases with a route never search for.
constexpr Cell kFarFood = {700, 500};
const std::vector<Cell> kStale = {{600, 300}, {610, 300}};

// clang-format off
const SteerCase kCases[] = {
    // name, player, walls, head, dx, dy, prevDx, path, valid, food,  dx, dy, path, valid
    {"AimsAtTheFirstCell", 1, {}, {0, 0}, 0, 0, 0, {{10, 0}, {20, 0}}, true, kFarFood,
     1, 0, {{10, 0}, {20, 0}}, true},
    {"DropsTheCellUnderTheHead", 2, {}, {10, 0}, 1, 0, 1, {{10, 0}, {20, 0}}, true, kFarFood,
     1, 0, {{20, 0}}, true},
    {"TurnsDownTheRoute", 1, {}, {10, 0}, 1, 0, 1, {{10, 0}, {10, 10}}, true, kFarFood,
     0, 1, {{10, 10}}, true},
    {"CrossesTheRightEdge", 2, {}, {790, 300}, 1, 0, 1, {{0, 300}, {10, 300}}, true, kFarFood,
     -79, 0, {{0, 300}, {10, 300}}, true},
    {"CrossesTheLeftEdge", 1, {}, {0, 300}, -1, 0, -1, {{790, 300}}, true, kFarFood,
     79, 0, {{790, 300}}, true},
    {"CrossesTheBottomEdge", 2, {}, {300, 590}, 0, 1, 0, {{300, 0}}, true, kFarFood,
     0, -59, {{300, 0}}, true},
    {"CrossesTheTopEdge", 1, {}, {300, 0}, 0, -1, 0, {{300, 590}}, true, kFarFood,
     0, 59, {{300, 590}}, true},
    {"ArrivesThenCrossesAnEdge", 1, {}, {790, 300}, 1, 0, 1, {{790, 300}, {0, 300}}, true,
     kFarFood, -79, 0, {{0, 300}}, true},
    {"RouteRunsOutOnAFreeHead", 2, {}, {10, 0}, 1, 0, 1, {{10, 0}}, true, kFarFood,
     0, 0, {}, true},
    {"RouteRunsOutOnABlockedHeadAfterASidewaysStep", 1, {{10, 0}}, {10, 0}, 1, 0, 1, {{10, 0}},
     true, kFarFood, 0, 1, {}, false},
    {"RouteRunsOutOnABlockedHeadBelowBlocked", 2, {{10, 0}, {10, 10}}, {10, 0}, 1, 0, 1,
     {{10, 0}}, true, kFarFood, 0, -1, {}, false},
    {"RouteRunsOutOnABlockedHeadAfterAVerticalStep", 1, {{100, 100}}, {100, 100}, 0, 1, 0,
     {{100, 100}}, true, kFarFood, -1, 0, {}, false},
    {"RouteRunsOutOnABlockedHeadLeftBlocked", 2, {{100, 100}, {90, 100}}, {100, 100}, 0, 1, 0,
     {{100, 100}}, true, kFarFood, 1, 0, {}, false},
    {"EmptyRouteWithTheFlagUpPlansFirst", 1, {}, {0, 0}, 0, 1, 0, {}, true, {20, 0},
     1, 0, {{10, 0}, {20, 0}}, true},
    {"FlagDownPlansAgainOverAStaleRoute", 2, {}, {0, 0}, 1, 0, 1, kStale, false, {0, 20},
     0, 1, {{0, 10}, {0, 20}}, true},
    {"NextCellBlockedSwervesAfterAVerticalStep", 1, {{110, 100}}, {100, 100}, 0, 1, 0,
     {{110, 100}, {120, 100}}, true, kFarFood, -1, 0, {{110, 100}, {120, 100}}, false},
    {"NextCellBlockedSwervesAfterASidewaysStep", 2, {{110, 100}}, {100, 100}, 0, -1, 1,
     {{110, 100}}, true, kFarFood, 0, 1, {{110, 100}}, false},
    {"NextCellBelowBlockedSwervesUp", 1, {{100, 110}}, {100, 100}, 1, 0, 1,
     {{100, 110}}, true, kFarFood, 0, -1, {{100, 110}}, false},
    {"NoRouteAheadFreeRunsStraightOn", 1, {{400, 400}}, {200, 200}, 1, 0, 1, kStale, false,
     kNoFood, 1, 0, kStale, false},
    {"NoRouteSidewaysTurnsDown", 2, {{400, 400}, {210, 200}}, {200, 200}, 1, 0, 1, kStale, false,
     kNoFood, 0, 1, kStale, false},
    {"NoRouteSidewaysBelowBlockedTurnsUpUnchecked", 1,
     {{400, 400}, {210, 200}, {200, 210}, {200, 190}}, {200, 200}, 1, 0, 1, kStale, false,
     kNoFood, 0, -1, kStale, false},
    {"NoRouteVerticalTurnsLeft", 2, {{400, 400}, {200, 190}}, {200, 200}, 0, -1, 0, kStale,
     false, kNoFood, -1, 0, kStale, false},
    {"NoRouteVerticalLeftBlockedTurnsRight", 1, {{400, 400}, {200, 190}, {190, 200}}, {200, 200},
     0, -1, 0, kStale, false, kNoFood, 1, 0, kStale, false},
    {"NoRouteVerticalLeftBlockedTurnsRightUnchecked", 2,
     {{400, 400}, {200, 190}, {190, 200}, {210, 200}}, {200, 200}, 0, -1, 0, kStale, false,
     kNoFood, 1, 0, kStale, false},
    {"NoRouteSwerveLooksAtThePreviousStepNotTheDirection", 1, {{400, 400}, {200, 210}},
     {200, 200}, 0, 1, -1, kStale, false, kNoFood, 0, -1, kStale, false},
    {"NoRouteAtTheLeftEdgeMovingDownStops", 2, {{400, 400}, {0, 210}}, {0, 200}, 0, 1, 0,
     kStale, false, kNoFood, 0, 1, kStale, false},
    {"NoRouteAtTheLeftEdgeMovingUpStops", 1, {{400, 400}, {0, 190}}, {0, 200}, 0, -1, 0, kStale,
     false, kNoFood, 0, -1, kStale, false},
    {"NoRouteAheadAcrossTheRightEdgeReadsColumn800", 2, {{400, 400}, {0, 100}}, {790, 100}, 1, 0,
     1, kStale, false, kNoFood, 1, 0, kStale, false},
    {"NoRouteColumn800BlockedSwerves", 1, {{400, 400}, {800, 100}}, {790, 100}, 1, 0, 1, kStale,
     false, kNoFood, 0, 1, kStale, false},
    {"NoRouteAtTheBottomEdgeTurnsDownOverRow600", 2, {{400, 400}, {310, 590}}, {300, 590}, 1, 0,
     1, kStale, false, kNoFood, 0, 1, kStale, false},
    {"NoRouteAtTheBottomEdgeRow600BlockedTurnsUp", 1, {{400, 400}, {310, 590}, {300, 600}},
     {300, 590}, 1, 0, 1, kStale, false, kNoFood, 0, -1, kStale, false},
    {"NoRouteUpwardAtTheTopEdgeStops", 2, {{400, 400}}, {300, 0}, 0, -1, 0, kStale, false,
     kNoFood, 0, -1, kStale, false},
    {"NoRouteLeftwardAtTheLeftEdgeStops", 1, {{400, 400}}, {0, 300}, -1, 0, -1, kStale, false,
     kNoFood, -1, 0, kStale, false},
    {"BlockedAcrossTheLeftEdgeStopsWithTheFlagUp", 2, {{790, 100}}, {0, 100}, 0, 1, 0,
     {{790, 100}}, true, kFarFood, 79, 0, {{790, 100}}, true},
};
// clang-format on

class SteeringExamples : public ::testing::TestWithParam<SteerCase> {};

TEST_P(SteeringExamples, SetTheDirectionRouteAndFlagOfTheRules) {
    const SteerCase& c = GetParam();
    auto state = std::make_unique<GameState>();
    for (Cell w : c.walls) state->board.set(w.x, w.y, 1);
    SnakeRecord& snake = c.player == 1 ? state->red : state->blue;
    SnakeRecord& other = c.player == 1 ? state->blue : state->red;
    snake.headX = c.head.x;
    snake.headY = c.head.y;
    snake.dx = c.dx;
    snake.dy = c.dy;
    snake.prevDx = c.prevDx;
    snake.prevDy = c.dy;
    snake.path = pathOf(c.path);
    snake.pathValid = c.pathValid;
    other.headX = 500;
    other.headY = 500;
    other.dx = -1;
    other.path = pathOf(kStale);
    other.pathValid = true;

    if (c.player == 1)
        SteerRed(*state, c.food.x, c.food.y);
    else
        SteerBlue(*state, c.food.x, c.food.y);

    EXPECT_EQ(snake.dx, c.wantDx);
    EXPECT_EQ(snake.dy, c.wantDy);
    EXPECT_EQ(cellsOf(snake.path), c.wantPath);
    EXPECT_EQ(snake.pathValid, c.wantValid);
    // The steering moves nothing and leaves the other snake alone.
    EXPECT_EQ(snake.headX, c.head.x);
    EXPECT_EQ(snake.headY, c.head.y);
    EXPECT_EQ(other.dx, -1);
    EXPECT_EQ(other.dy, 0);
    EXPECT_EQ(cellsOf(other.path), kStale);
    EXPECT_TRUE(other.pathValid);
}

INSTANTIATE_TEST_SUITE_P(ComputerSteering, SteeringExamples, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Two calls in a row: the head arrives on the first cell and the next call aims past it; a route
// that runs out leaves (0, 0) and the call after that plans again.
TEST(ComputerSteering, UsesTheRouteUpOneCellPerStepThenPlansAgain) {
    auto state = std::make_unique<GameState>();
    SnakeRecord& blue = state->blue;
    blue.path = pathOf({{10, 0}, {20, 0}});
    blue.pathValid = true;
    const struct {
        int headX, foodX;
        int dx;
        std::vector<Cell> path;
    } steps[] = {
        {0, 20, 1, {{10, 0}, {20, 0}}},
        {10, 20, 1, {{20, 0}}},
        {20, 20, 0, {}},
        // Empty route: the search from (20, 0) to the food at (40, 0) runs first.
        {20, 40, 1, {{30, 0}, {40, 0}}},
    };
    for (const auto& s : steps) {
        blue.headX = s.headX;
        blue.prevDx = blue.dx;
        SteerBlue(*state, s.foodX, 0);
        EXPECT_EQ(blue.dx, s.dx) << s.headX;
        EXPECT_EQ(blue.dy, 0) << s.headX;
        EXPECT_EQ(cellsOf(blue.path), s.path) << s.headX;
        EXPECT_TRUE(blue.pathValid) << s.headX;
    }
}

}  // namespace
}  // namespace zib
