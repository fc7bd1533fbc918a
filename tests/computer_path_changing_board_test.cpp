// The route search on a board that changes between searches, as in play: a failed search keeps
// the region it used up and answers later searches from it while it still proves them hopeless.
// Every search must still give exactly what the literal flood gives on the board as it is then:
// by hand-made sequences (a head shut in a box, walled-off food, a head moving through a body,
// a replaced board, more freed cells than the board remembers) and by long random sequences of
// small changes.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "computer/computer_player.h"
#include "computer_reference_flood.h"

namespace zib {
namespace {

using reference::LiteralFlood;
using reference::Routes;
using reference::ToCellString;

// Runs the fast search and the literal flood side by side on one game state.
class SideBySide {
  public:
    SideBySide()
        : state(std::make_unique<GameState>()), literal(std::make_unique<LiteralFlood>()) {}

    // Searches for player 1 (red) or 2 (blue) and checks both records against the literal
    // flood. Returns whether the player got a route.
    bool search(int player, int startX, int startY, int targetX, int targetY) {
        FindPath(*state, startX, startY, targetX, targetY, static_cast<Player>(player));
        literal->FindPath(state->board, routes, startX, startY, targetX, targetY, player);
        EXPECT_EQ(state->red.pathValid, routes.redPathValid);
        EXPECT_EQ(ToCellString(state->red.path), routes.redPath);
        EXPECT_EQ(state->blue.pathValid, routes.bluePathValid);
        EXPECT_EQ(ToCellString(state->blue.path), routes.bluePath);
        return player == 1 ? state->red.pathValid : state->blue.pathValid;
    }

    // The walls around the rectangle of cells x0..x1, y0..y1 (inclusive, in pixels).
    void box(int x0, int y0, int x1, int y1) {
        for (int x = x0 - 10; x <= x1 + 10; x += 10) {
            state->board.set(x, y0 - 10, 1);
            state->board.set(x, y1 + 10, 1);
        }
        for (int y = y0; y <= y1; y += 10) {
            state->board.set(x0 - 10, y, 1);
            state->board.set(x1 + 10, y, 1);
        }
    }

    std::unique_ptr<GameState> state;
    std::unique_ptr<LiteralFlood> literal;
    Routes routes;
};

TEST(ComputerPathChangingBoard, AHeadShutInABoxUntilItOpens) {
    SideBySide s;
    s.box(100, 100, 150, 150);
    s.state->board.set(120, 120, 1);  // something inside the box
    EXPECT_FALSE(s.search(1, 100, 100, 400, 400));
    // The head moves inside the box, the food elsewhere outside it: still no way out.
    EXPECT_FALSE(s.search(1, 110, 100, 400, 400));
    EXPECT_FALSE(s.search(1, 110, 110, 500, 300));
    // A cell freed inside the box, and a wall cell freed that leads only into the box.
    s.state->board.set(120, 120, 0);
    EXPECT_FALSE(s.search(1, 120, 110, 500, 300));
    s.state->board.set(90, 90, 0);  // the box's corner: its other neighbours are walls
    EXPECT_FALSE(s.search(1, 120, 110, 500, 300));
    // Food that lands inside the box is reached.
    EXPECT_TRUE(s.search(1, 120, 110, 150, 150));
    EXPECT_FALSE(s.search(1, 120, 110, 500, 300));
    // A wall cell freed that opens the box.
    s.state->board.set(160, 130, 0);
    EXPECT_TRUE(s.search(1, 120, 110, 500, 300));
}

TEST(ComputerPathChangingBoard, FoodWalledOffUntilItsWallOpens) {
    SideBySide s;
    s.box(400, 300, 420, 320);
    EXPECT_FALSE(s.search(2, 100, 100, 410, 310));
    // The head moves about outside, and even right up to the wall.
    EXPECT_FALSE(s.search(2, 200, 100, 410, 310));
    EXPECT_FALSE(s.search(2, 380, 310, 410, 310));
    // Food moved within the walled-off region.
    EXPECT_FALSE(s.search(2, 380, 310, 400, 300));
    // A cell freed next to the wall outside changes nothing; one in the wall opens it.
    s.state->board.set(370, 310, 1);
    s.state->board.set(370, 310, 0);
    EXPECT_FALSE(s.search(2, 380, 310, 400, 300));
    s.state->board.set(390, 310, 0);
    EXPECT_TRUE(s.search(2, 380, 310, 400, 300));
}

TEST(ComputerPathChangingBoard, AHeadMovingThroughABody) {
    // Two pockets side by side, split by a body; in free play a head runs through bodies.
    SideBySide s;
    s.box(100, 100, 190, 140);
    for (int y = 100; y <= 140; y += 10) s.state->board.set(150, y, 1);
    EXPECT_FALSE(s.search(1, 130, 120, 400, 400));
    // The head on the body between the pockets: its free neighbours lie in both.
    s.state->board.set(140, 120, 1);
    EXPECT_FALSE(s.search(1, 150, 120, 400, 400));
    // Into the right-hand pocket, which no search has flooded yet.
    EXPECT_FALSE(s.search(1, 160, 120, 400, 400));
    // The food in the left-hand pocket is reached from the body between them.
    EXPECT_TRUE(s.search(1, 150, 110, 110, 110));
}

TEST(ComputerPathChangingBoard, AReplacedBoardIsSearchedAfresh) {
    SideBySide s;
    s.box(100, 100, 150, 150);
    EXPECT_FALSE(s.search(2, 120, 120, 400, 400));
    Board open = s.state->board;
    open.set(160, 120, 0);
    s.state->board = open;
    EXPECT_TRUE(s.search(2, 120, 120, 400, 400));
    // Emptied: no walls at all.
    s.box(100, 100, 150, 150);
    EXPECT_FALSE(s.search(2, 120, 120, 400, 400));
    s.state->board.clearCells();
    EXPECT_TRUE(s.search(2, 120, 120, 400, 400));
}

TEST(ComputerPathChangingBoard, MoreFreedCellsThanTheBoardRemembers) {
    SideBySide s;
    s.box(100, 100, 150, 150);
    EXPECT_FALSE(s.search(1, 120, 120, 400, 400));
    // The box opens, then many cells far away are blocked and freed: the opening is no longer
    // among the freed cells the board remembers.
    s.state->board.set(160, 120, 0);
    for (uint64_t i = 0; i <= Board::kFreedMemory; ++i) {
        const int x = 400 + static_cast<int>(i % 30) * 10, y = 400 + static_cast<int>(i / 30) * 10;
        s.state->board.set(x, y, 1);
        s.state->board.set(x, y, 0);
    }
    EXPECT_TRUE(s.search(1, 120, 120, 400, 400));
}

// Long random sequences: a crowded board where heads are often shut in and food often walled
// off, a few cells blocked and freed between searches (most near a head or the food, where they
// decide), heads stepping to a neighbouring cell, blocked or not, now and then jumping, and food
// moving now and then.
class ChangingBoards : public ::testing::TestWithParam<int> {};

TEST_P(ChangingBoards, SearchesMatchTheLiteralFlood) {
    std::mt19937 rng(4711u + static_cast<uint32_t>(GetParam()));
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto chance = [&](double p) { return std::bernoulli_distribution(p)(rng); };
    auto wrapX = [](int x) { return (x % 800 + 800) % 800; };
    auto wrapY = [](int y) { return (y % 600 + 600) % 600; };

    SideBySide s;
    Board& board = s.state->board;
    const int density = 30 + 4 * GetParam();  // percent
    for (int y = 0; y < 600; y += 10)
        for (int x = 0; x < 800; x += 10) board.set(x, y, pick(0, 99) < density ? 1 : 0);

    struct Head {
        int x, y;
    };
    Head heads[2] = {{pick(0, 79) * 10, pick(0, 59) * 10}, {pick(0, 79) * 10, pick(0, 59) * 10}};
    int foodX = pick(1, 70) * 10, foodY = pick(1, 50) * 10;
    int reached = 0, failed = 0;
    constexpr int kSteps = 2500;
    for (int step = 0; step < kSteps; ++step) {
        for (int k = pick(0, 4); k > 0; --k) {
            // Near a head or the food, or anywhere.
            const int around = pick(0, 3);
            int x = 0, y = 0;
            if (around < 2) {
                x = wrapX(heads[around].x + 10 * pick(-4, 4));
                y = wrapY(heads[around].y + 10 * pick(-4, 4));
            } else if (around == 2) {
                x = wrapX(foodX + 10 * pick(-3, 3));
                y = wrapY(foodY + 10 * pick(-3, 3));
            } else {
                x = pick(0, 79) * 10;
                y = pick(0, 59) * 10;
            }
            board.set(x, y, chance(0.5) ? 1 : 0);
        }
        for (Head& h : heads) {
            if (chance(0.03)) {
                h = {pick(0, 79) * 10, pick(0, 59) * 10};
            } else {
                const int d = pick(0, 3);
                h.x = wrapX(h.x + (d == 0 ? 10 : d == 1 ? -10 : 0));
                h.y = wrapY(h.y + (d == 2 ? 10 : d == 3 ? -10 : 0));
            }
        }
        if (chance(0.05)) {
            foodX = pick(1, 70) * 10;
            foodY = pick(1, 50) * 10;
        }
        if (chance(0.002)) board = Board(board);  // a copy is another board
        const int player = 1 + step % 2;
        const Head& h = heads[player - 1];
        SCOPED_TRACE("step " + std::to_string(step) + ": player " + std::to_string(player) +
                     " head " + std::to_string(h.x) + "," + std::to_string(h.y) + " food " +
                     std::to_string(foodX) + "," + std::to_string(foodY));
        s.search(player, h.x, h.y, foodX, foodY) ? ++reached : ++failed;
        if (::testing::Test::HasFailure()) return;
    }
    // The sequences must have exercised long runs of failed searches as well as routes.
    EXPECT_GT(failed, kSteps / 5);
    EXPECT_GT(reached, kSteps / 50);
}

INSTANTIATE_TEST_SUITE_P(ComputerPathChangingBoard, ChangingBoards, ::testing::Range(0, 4));

}  // namespace
}  // namespace zib
