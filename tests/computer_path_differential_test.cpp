// The fast route search against the literal string flood on many random boards: the same route,
// the same flag, and the old route left alone when there is none. At least 10,000 boards, in four
// shards with seeds of their own so that they can run side by side; ZIB_FLOOD_BOARDS raises the
// total.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "computer/computer_player.h"
#include "computer_reference_flood.h"

namespace zib {
namespace {

using reference::FromCellString;
using reference::LiteralFlood;
using reference::Routes;
using reference::ToCellString;

constexpr int kShards = 4;

int boardsPerShard() {
    int total = 10000;
    if (const char* env = std::getenv("ZIB_FLOOD_BOARDS")) total = std::max(total, std::atoi(env));
    return (total + kShards - 1) / kShards;
}

// One random situation: a board, a head, food and a player code, with the kinds of food that
// matter (free, blocked, walled off, under the head, off the grid).
struct Situation {
    int startX, startY, targetX, targetY, player;
};

class RandomBoards {
  public:
    explicit RandomBoards(uint32_t seed) : rng_(seed) {}

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    Situation fill(Board& board) {
        // Wall densities from 0 to 60 %; every cell, including x = 800 and y = 600, is drawn.
        const uint32_t density = static_cast<uint32_t>(pick(0, 60));  // percent
        for (int y = 0; y <= Board::kMaxY; y += 10)
            for (int x = 0; x <= Board::kMaxX; x += 10) board.set(x, y, rng_() % 100 < density);
        // Some boards get a few long walls as well, for long winding routes.
        if (chance(0.3)) {
            for (int w = pick(1, 12); w > 0; --w) {
                const int x = pick(0, 79) * 10, y = pick(0, 59) * 10, len = pick(5, 60);
                const bool across = chance(0.5);
                for (int i = 0; i < len; ++i)
                    board.set(across ? (x + 10 * i) % 800 : x, across ? y : (y + 10 * i) % 600, 1);
            }
        }

        Situation s{};
        s.startX = pick(0, 79) * 10;
        s.startY = pick(0, 59) * 10;
        board.set(s.startX, s.startY, chance(0.5) ? 1 : 0);  // free and blocked head cells
        const int kind = pick(0, 9);
        if (kind <= 4) {  // where the game puts food
            s.targetX = pick(1, 70) * 10;
            s.targetY = pick(1, 50) * 10;
        } else if (kind == 5) {  // anywhere on the grid, edges included
            s.targetX = pick(0, 79) * 10;
            s.targetY = pick(0, 59) * 10;
        } else if (kind == 6) {  // on the head's cell
            s.targetX = s.startX;
            s.targetY = s.startY;
        } else if (kind == 7) {  // next to the head
            const int d = pick(0, 3);
            s.targetX = (s.startX + (d == 0 ? 10 : d == 1 ? 790 : 0)) % 800;
            s.targetY = (s.startY + (d == 2 ? 10 : d == 3 ? 590 : 0)) % 600;
        } else if (kind == 8) {  // off the grid: never reached
            s.targetX = chance(0.5) ? 800 : pick(0, 79) * 10 + 5;
            s.targetY = pick(0, 60) * 10;
        } else {  // walled off by a ring, or a box around a room
            s.targetX = pick(1, 70) * 10;
            s.targetY = pick(1, 50) * 10;
            const int r = chance(0.5) ? 1 : pick(2, 6);
            for (int i = -r; i <= r; ++i) {
                auto wall = [&](int dx, int dy) {
                    board.set((s.targetX + 800 + dx * 10) % 800, (s.targetY + 600 + dy * 10) % 600,
                              1);
                };
                if (r == 1) {
                    if (i != 0) {
                        wall(i, 0);
                        wall(0, i);
                    }
                } else {
                    wall(i, -r), wall(i, r), wall(-r, i), wall(r, i);
                }
            }
        }
        if (chance(0.15)) board.set(s.targetX, s.targetY, 1);  // food on a blocked cell
        if (s.targetX < 800 && s.targetY < 600 && chance(0.1)) board.set(s.targetX, s.targetY, 0);
        s.player = pick(0, 3);
        return s;
    }

    // A stale route to leave in the records, as a search may find them.
    std::string staleRoute() {
        std::string cells;
        for (int n = pick(0, 6); n > 0; --n)
            cells += reference::CellPair(pick(0, 79) * 10, pick(0, 59) * 10);
        return cells;
    }

  private:
    std::mt19937 rng_;
};

class FloodShards : public ::testing::TestWithParam<int> {};

TEST_P(FloodShards, FastSearchMatchesTheLiteralFlood) {
    auto state = std::make_unique<GameState>();
    auto literal = std::make_unique<LiteralFlood>();
    RandomBoards random(20240611u + static_cast<uint32_t>(GetParam()));
    const int boards = boardsPerShard();
    int reached = 0, failed = 0, longest = 0;

    for (int b = 0; b < boards; ++b) {
        const Situation s = random.fill(state->board);
        Routes routes;
        routes.redPath = random.staleRoute();
        routes.redPathValid = random.chance(0.5);
        routes.bluePath = random.staleRoute();
        routes.bluePathValid = random.chance(0.5);
        state->red.path = FromCellString(routes.redPath);
        state->red.pathValid = routes.redPathValid;
        state->blue.path = FromCellString(routes.bluePath);
        state->blue.pathValid = routes.bluePathValid;

        FindPath(*state, s.startX, s.startY, s.targetX, s.targetY, static_cast<Player>(s.player));
        literal->FindPath(state->board, routes, s.startX, s.startY, s.targetX, s.targetY, s.player);

        SCOPED_TRACE("board " + std::to_string(b) + ": head " + std::to_string(s.startX) + "," +
                     std::to_string(s.startY) + " food " + std::to_string(s.targetX) + "," +
                     std::to_string(s.targetY) + " player " + std::to_string(s.player));
        ASSERT_EQ(state->red.pathValid, routes.redPathValid);
        ASSERT_EQ(ToCellString(state->red.path), routes.redPath);
        ASSERT_EQ(state->blue.pathValid, routes.bluePathValid);
        ASSERT_EQ(ToCellString(state->blue.path), routes.bluePath);

        if (s.player == 1 || s.player == 2) {
            const bool ok = s.player == 1 ? routes.redPathValid : routes.bluePathValid;
            ok ? ++reached : ++failed;
            if (ok)
                longest = std::max<int>(
                    longest, static_cast<int>(
                                 (s.player == 1 ? routes.redPath : routes.bluePath).size() / 2));
        }
    }
    // The random boards must have exercised both outcomes and some long routes.
    EXPECT_GT(reached, boards / 10);
    EXPECT_GT(failed, boards / 10);
    EXPECT_GT(longest, 100);
}

INSTANTIATE_TEST_SUITE_P(ComputerPathDifferential, FloodShards, ::testing::Range(0, kShards));

// The marks of reached cells carry the number of the search that set them. When that number
// wraps around, marks left by searches long ago must not count as reached.
TEST(ComputerPathDifferential, SearchesStayExactWhenTheStampWrapsAround) {
    auto state = std::make_unique<GameState>();
    auto literal = std::make_unique<LiteralFlood>();
    RandomBoards random(7);
    Situation s = random.fill(state->board);
    s.player = 2;
    auto compare = [&](const char* when) {
        Routes routes;
        state->blue.path.clear();
        state->blue.pathValid = false;
        FindPath(*state, s.startX, s.startY, s.targetX, s.targetY, static_cast<Player>(s.player));
        literal->FindPath(state->board, routes, s.startX, s.startY, s.targetX, s.targetY, s.player);
        ASSERT_EQ(state->blue.pathValid, routes.bluePathValid) << when;
        ASSERT_EQ(ToCellString(state->blue.path), routes.bluePath) << when;
    };
    // Open board, food far away: the first search marks most of the field.
    state->board.clearCells();
    s.startX = 0, s.startY = 0, s.targetX = 400, s.targetY = 300;
    compare("first search");
    // Searches for food on a wall end at once; run them until the next search comes round to the
    // first search's stamp again, past the wrap that empties the marks.
    const uint16_t first = routeScratch().stamp;
    const uint16_t before = first == 1 ? UINT16_MAX : static_cast<uint16_t>(first - 1);
    state->board.set(790, 590, 1);
    while (routeScratch().stamp != before) FindPath(*state, 0, 0, 790, 590, Player::Blue);
    compare("same stamp as the first search");
    for (int b = 0; b < 8; ++b) {
        s = random.fill(state->board);
        s.player = 2;
        compare("after the wrap");
    }
}

}  // namespace
}  // namespace zib
