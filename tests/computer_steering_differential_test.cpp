// The steering against a literal rendering of its rules on random situations and short random
// runs: routes kept as cell strings, the literal flood for planning, and the board's checked reads
// whose range error ends the routine, as the game's rules put it. Both must leave the same
// direction, route and flag.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "computer/computer_player.h"
#include "computer_reference_flood.h"

namespace zib {
namespace {

using reference::CellPair;
using reference::FromCellString;
using reference::LiteralFlood;
using reference::PairX;
using reference::PairY;
using reference::Routes;
using reference::ToCellString;

struct LiteralSnake {
    int dx = 0, dy = 0, prevDx = 0, headX = 0, headY = 0;
};

// The steering as the rules tell it, step by step.
void LiteralSteer(LiteralFlood& flood, const Board& board, Routes& routes, LiteralSnake& s,
                  int player, int foodX, int foodY) {
    std::string& path = player == 1 ? routes.redPath : routes.bluePath;
    bool& valid = player == 1 ? routes.redPathValid : routes.bluePathValid;
    try {
        bool blocked = false;
        if (path.empty() || !valid)
            flood.FindPath(board, routes, s.headX, s.headY, foodX, foodY, player);
        if (valid && path.size() > 1) {
            int nextX = PairX(path, 1);
            int nextY = PairY(path, 1);
            if (nextX == s.headX && nextY == s.headY) {
                path = path.substr(2);
                if (!path.empty()) {
                    nextX = PairX(path, 1);
                    nextY = PairY(path, 1);
                }
            }
            s.dx = (nextX - s.headX) / 10;
            s.dy = (nextY - s.headY) / 10;
            if (board.get(nextX, nextY) == 1) blocked = true;
        }
        if (blocked || !valid) {
            if (board.get(s.headX + 10 * s.dx, s.headY + 10 * s.dy) == 1) {
                if (std::abs(s.prevDx) > 0) {
                    s.dx = 0;
                    s.dy = board.get(s.headX, s.headY + 10) == 0 ? 1 : -1;
                } else {
                    s.dx = board.get(s.headX - 10, s.headY) == 0 ? -1 : 1;
                    s.dy = 0;
                }
                valid = false;
            }
        }
    } catch (const BoardRangeError&) {
        // A run-time error ends the routine silently.
    }
}

class Random {
  public:
    explicit Random(uint32_t seed) : rng_(seed) {}
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    int gridX() { return chance(0.25) ? (chance(0.5) ? 0 : 790) : pick(0, 79) * 10; }
    int gridY() { return chance(0.25) ? (chance(0.5) ? 0 : 590) : pick(0, 59) * 10; }
    int direction(int edge) {
        const int values[] = {-1, 0, 1, -1, 0, 1, -edge, edge};
        return values[pick(0, 7)];
    }

    void fillBoard(Board& board, int maxDensity) {
        const uint32_t density = static_cast<uint32_t>(pick(0, maxDensity));  // percent
        for (int y = 0; y <= Board::kMaxY; y += 10)
            for (int x = 0; x <= Board::kMaxX; x += 10) board.set(x, y, rng_() % 100 < density);
    }

  private:
    std::mt19937 rng_;
};

struct Both {
    GameState& state;
    LiteralFlood& flood;
    Routes& routes;
    LiteralSnake& literal;
    int player;

    SnakeRecord& fast() { return player == 1 ? state.red : state.blue; }
    std::string& path() { return player == 1 ? routes.redPath : routes.bluePath; }
    bool& valid() { return player == 1 ? routes.redPathValid : routes.bluePathValid; }

    void load() {
        SnakeRecord& f = fast();
        f.dx = literal.dx;
        f.dy = literal.dy;
        f.prevDx = literal.prevDx;
        f.headX = literal.headX;
        f.headY = literal.headY;
        state.red.path = FromCellString(routes.redPath);
        state.red.pathValid = routes.redPathValid;
        state.blue.path = FromCellString(routes.bluePath);
        state.blue.pathValid = routes.bluePathValid;
    }

    void steer(int foodX, int foodY) {
        if (player == 1)
            SteerRed(state, foodX, foodY);
        else
            SteerBlue(state, foodX, foodY);
        LiteralSteer(flood, state.board, routes, literal, player, foodX, foodY);
    }

    ::testing::AssertionResult same() {
        SnakeRecord& f = fast();
        if (f.dx != literal.dx || f.dy != literal.dy)
            return ::testing::AssertionFailure() << "direction " << f.dx << "," << f.dy << " vs "
                                                 << literal.dx << "," << literal.dy;
        if (ToCellString(state.red.path) != routes.redPath ||
            state.red.pathValid != routes.redPathValid)
            return ::testing::AssertionFailure() << "red route or flag differ";
        if (ToCellString(state.blue.path) != routes.bluePath ||
            state.blue.pathValid != routes.bluePathValid)
            return ::testing::AssertionFailure() << "blue route or flag differ";
        return ::testing::AssertionSuccess();
    }
};

// Single steering decisions from random situations: any direction, including the edge-crossing
// values, any previous direction, and routes that are empty, real, arrived on, or arbitrary.
TEST(ComputerSteeringDifferential, SingleDecisionsMatchTheLiteralSteering) {
    auto state = std::make_unique<GameState>();
    auto flood = std::make_unique<LiteralFlood>();
    Random random(99);
    for (int n = 0; n < 2000; ++n) {
        if (n % 4 == 0) random.fillBoard(state->board, 60);
        Routes routes;
        LiteralSnake literal;
        const int player = random.pick(1, 2);
        literal.headX = random.gridX();
        literal.headY = random.gridY();
        literal.dx = random.direction(79);
        literal.dy = random.direction(59);
        literal.prevDx = random.direction(79);
        const int foodX = random.chance(0.8) ? random.pick(1, 70) * 10 : random.gridX();
        const int foodY = random.chance(0.8) ? random.pick(1, 50) * 10 : random.gridY();
        if (random.chance(0.2)) state->board.set(foodX, foodY, 1);

        std::string& path = player == 1 ? routes.redPath : routes.bluePath;
        switch (random.pick(0, 4)) {
            case 0:  // empty
                break;
            case 1:    // a real route, as planned from the head
            case 2: {  // the same, with the head already on its first cell
                flood->FindPath(state->board, routes, literal.headX, literal.headY, foodX, foodY,
                                player);
                if (random.chance(0.5) && !path.empty()) {
                    literal.headX = PairX(path, 1);
                    literal.headY = PairY(path, 1);
                }
                break;
            }
            case 3:  // the head's own cell, perhaps followed by one more
                path = CellPair(literal.headX, literal.headY);
                if (random.chance(0.5)) path += CellPair(random.gridX(), random.gridY());
                break;
            default:  // arbitrary cells
                for (int k = random.pick(1, 4); k > 0; --k)
                    path += CellPair(random.gridX(), random.gridY());
        }
        (player == 1 ? routes.redPathValid : routes.bluePathValid) = random.chance(0.7);
        if (random.chance(0.3)) state->board.set(literal.headX, literal.headY, 1);

        Both both{*state, *flood, routes, literal, player};
        both.load();
        both.steer(foodX, foodY);
        ASSERT_TRUE(both.same()) << "situation " << n;
    }
}

// Short runs of a computer snake: steer, move the head as the snake's step does (wrap at the
// edges, mark the cell it enters), new food when it eats. A run ends when the head crashes or
// leaves the field.
TEST(ComputerSteeringDifferential, RunsMatchTheLiteralSteering) {
    auto state = std::make_unique<GameState>();
    auto flood = std::make_unique<LiteralFlood>();
    Random random(4242);
    int steps = 0, meals = 0;
    for (int run = 0; run < 40; ++run) {
        random.fillBoard(state->board, 20);  // open boards, for long runs
        Routes routes;
        LiteralSnake literal;
        const int player = run % 2 + 1;
        literal.headX = random.gridX();
        literal.headY = random.gridY();
        literal.dx = 1;
        int foodX = random.pick(1, 70) * 10, foodY = random.pick(1, 50) * 10;
        Both both{*state, *flood, routes, literal, player};
        both.load();
        for (int step = 0; step < 200; ++step, ++steps) {
            both.steer(foodX, foodY);
            ASSERT_TRUE(both.same()) << "run " << run << " step " << step;
            SnakeRecord& f = both.fast();
            f.prevDx = f.dx;
            f.headX += 10 * f.dx;
            f.headY += 10 * f.dy;
            if (f.headX == 800) f.headX = 0;
            if (f.headY == 600) f.headY = 0;
            if (f.headX < 0) f.headX = 790;
            if (f.headY < 0) f.headY = 590;
            if (f.headX > 790 || f.headY > 590) break;
            if (state->board.get(f.headX, f.headY) != 0) break;
            state->board.set(f.headX, f.headY, 1);
            literal.prevDx = f.prevDx;
            literal.headX = f.headX;
            literal.headY = f.headY;
            if (f.headX == foodX && f.headY == foodY) {
                ++meals;
                foodX = random.pick(1, 70) * 10;
                foodY = random.pick(1, 50) * 10;
                FindPath(*state, f.headX, f.headY, foodX, foodY, static_cast<Player>(player));
                flood->FindPath(state->board, routes, f.headX, f.headY, foodX, foodY, player);
                ASSERT_TRUE(both.same()) << "run " << run << " after a meal";
            }
        }
    }
    // The runs must have gone somewhere: many steps and some food eaten.
    EXPECT_GT(steps, 4000);
    EXPECT_GT(meals, 40);
}

}  // namespace
}  // namespace zib
