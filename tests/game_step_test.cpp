// The game as a function of its state: single ticks through step (a turn, a key, food eaten, a
// crash, the edge, a head-on draw), a state copied and put back playing on as the original, and
// the window drawing a state that was put back.
#include "game/game_step.h"

#include <gtest/gtest.h>

#include <memory>
#include <variant>
#include <vector>

#include "game/key_slots.h"
#include "game_fixture.h"
#include "platform/backend/backends.h"
#include "replay/state_check.h"

namespace zib {
namespace {

// A game with no window on a level of the given text, started as the window starts it.
struct BareGame {
    explicit BareGame(const std::string& level, uint64_t seed = 7, bool demo = false) {
        state->random.state = seed;
        state->settings.keyBindings = kDefaultKeyBindings;
        state->settings.startLength = 3;
        state->settings.growthPerFood = 2;
        state->demoMode = demo;
        state->settings.onePlayer = demo;
        setUpLevel(*state, std::get<LevelFile>(parseLevel(level, "test.zq7")));
        startGame(field);
    }
    std::unique_ptr<GameState> state = std::make_unique<GameState>();
    PlayField field{*state, computerMoves(), {}};
};

TEST(GameStep, OneTick) {
    struct Case {
        const char* name;
        const char* level;
        void (*before)(GameState&);
        std::vector<TickKey> keys;
        int redX, redY;
        GameOver gameOver;
        bool turned, ate, ended;
        GameResult result;
    };
    const auto none = [](GameState&) {};
    const Case cases[] = {
        {"straight on",
         "b,100,100,1,0\n100,300,1,0\n",
         none,
         {},
         110,
         100,
         GameOver::None,
         true,
         false,
         false,
         GameResult::None},
        {"a turn set before",
         "b,100,100,1,0\n100,300,1,0\n",
         [](GameState& s) { s.red.prevDx = 1, s.red.dx = 0, s.red.dy = 1; },
         {},
         100,
         110,
         GameOver::None,
         true,
         false,
         false,
         GameResult::None},
        {"a key acts after the move",
         "b,100,100,1,0\n100,300,1,0\n",
         [](GameState& s) { s.red.prevDx = 1, s.blue.prevDx = 1; },
         {{TickKey::Kind::Down, 38}},
         110,
         100,
         GameOver::None,
         false,
         false,
         false,
         GameResult::None},
        {"food eaten",
         "b,100,100,1,0\n100,300,1,0\n",
         [](GameState& s) {
             s.food = {110, 100}, s.foodPresent = true;
         },
         {},
         110,
         100,
         GameOver::None,
         true,
         true,
         false,
         GameResult::None},
        {"into a wall",
         "b,100,100,1,0\n100,300,1,0\n110,100,120,110,w\n",
         none,
         {},
         110,
         100,
         GameOver::RedDied,
         true,
         false,
         true,
         GameResult::BlueWon},
        {"across the right edge",
         "b,790,100,1,0\n100,300,1,0\n",
         none,
         {},
         0,
         100,
         GameOver::None,
         true,
         false,
         false,
         GameResult::None},
        {"head on: a draw",
         "b,100,100,1,0\n120,100,-1,0\n",
         none,
         {},
         110,
         100,
         GameOver::BlueDied,
         true,
         false,
         true,
         GameResult::Draw},
        {"Esc ends with no result",
         "b,100,100,1,0\n100,300,1,0\n",
         none,
         {{TickKey::Kind::Press, kEsc}},
         110,
         100,
         GameOver::None,
         true,
         false,
         true,
         GameResult::NoResult},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BareGame game(c.level);
        c.before(*game.state);
        const TickResult r = step(game.field, c.keys);
        const GameState& s = *game.state;
        EXPECT_EQ(s.red.headX, c.redX);
        EXPECT_EQ(s.red.headY, c.redY);
        EXPECT_EQ(s.gameOver, c.gameOver);
        EXPECT_EQ(r.turned, c.turned);
        EXPECT_EQ(r.ate, c.ate);
        EXPECT_EQ(r.ended, c.ended);
        EXPECT_EQ(r.result, c.result);
        // The board holds each head, and the segment the head is shows there.
        EXPECT_EQ(s.board.get(s.red.headX, s.red.headY), 1);
        const Piece& head = s.red.pieces[static_cast<size_t>(s.red.headIndex)];
        EXPECT_EQ(head.x, s.red.headX);
        EXPECT_EQ(head.y, s.red.headY);
        EXPECT_TRUE(head.visible);
    }
}

TEST(GameStep, KeysFollowTheBindingsOfBothSnakes) {
    BareGame game("b,100,100,1,0\n100,300,1,0\n");
    step(game.field, std::vector<TickKey>{{TickKey::Kind::Down, 40}, {TickKey::Kind::Down, 'W'}});
    EXPECT_EQ(game.state->red.dy, 1);
    EXPECT_EQ(game.state->blue.dy, -1);
    step(game.field, {});
    EXPECT_EQ(game.state->red.headY, 110);
    EXPECT_EQ(game.state->blue.headY, 290);
}

// A copy of the state is the whole game, the random source with it: put back, it plays the
// same ticks again, and what the live game did after the copy leaves the copy as it was. A FREE
// demo, so that it goes on through its crashes.
TEST(GameStep, ACopyPutBackPlaysOnAsTheOriginal) {
    const char* level = "b,100,100,1,0\n600,400,-1,0\n300,150,310,450,w\n";
    for (const int ticksBefore : {0, 1, 40, 300}) {
        SCOPED_TRACE(ticksBefore);
        BareGame game(level, 11, true);
        game.state->freeMode = true;
        for (int t = 0; t < ticksBefore && !game.state->stopRequested; ++t) step(game.field, {});
        auto saved = std::make_unique<GameState>(*game.state);
        const uint64_t savedHash = stateHash(*saved);
        std::vector<uint64_t> first;
        for (int t = 0; t < 200 && !game.state->stopRequested; ++t) {
            step(game.field, {});
            first.push_back(stateHash(*game.state));
        }
        ASSERT_FALSE(first.empty());
        EXPECT_EQ(stateHash(*saved), savedHash);
        *game.state = *saved;
        EXPECT_EQ(stateHash(*game.state), savedHash);
        std::vector<uint64_t> again;
        for (size_t t = 0; t < first.size(); ++t) {
            step(game.field, {});
            again.push_back(stateHash(*game.state));
        }
        EXPECT_EQ(again, first);
    }
}

// The window shows a state put back from a copy: every segment's sprite where the state has it,
// the sprites of segments the copy does not have hidden, the food where the copy had it.
TEST(GameWindowDrawing, AStatePutBackIsDrawnAsItIs) {
    test::GameHarness h;
    h.state.settings.startLength = 2;
    h.state.settings.growthPerFood = 6;
    ASSERT_TRUE(h.load(test::GameHarness::level("100,100,1,0", "100,300,1,0")));
    h.state.food = {120, 100};
    h.state.foodPresent = true;
    h.placeNextFoodAt(400, 400);
    for (int i = 0; i < 3; ++i) h.stepRed(), h.stepBlue();
    auto saved = std::make_unique<GameState>(h.state);
    for (int i = 0; i < 12; ++i) {
        h.state.red.growNow = true;
        h.stepRed(), h.stepBlue();
    }
    ASSERT_GT(h.state.red.segments.size(), saved->red.segments.size());
    h.state = *saved;
    h.window.drawState();
    for (const bool blue : {false, true}) {
        SCOPED_TRACE(blue ? "blue" : "red");
        const SnakeRecord& snake = blue ? h.state.blue : h.state.red;
        ImageArray& sprites = blue ? h.window.blueSprites() : h.window.redSprites();
        std::vector<bool> inBody(static_cast<size_t>(sprites.upperBound()) + 1, false);
        for (size_t i = 0; i < snake.segments.size(); ++i) {
            const int index = snake.segments.at(i);
            inBody[static_cast<size_t>(index)] = true;
            const Piece& piece = snake.pieces[static_cast<size_t>(index)];
            EXPECT_EQ(sprites[index].left, piece.x);
            EXPECT_EQ(sprites[index].top, piece.y);
            EXPECT_EQ(sprites[index].visible, piece.visible);
            EXPECT_EQ(h.window.pictureHolderOf(sprites[index], blue), piece.holder);
        }
        for (int index = 0; index <= sprites.upperBound(); ++index) {
            if (sprites.exists(index) && !inBody[static_cast<size_t>(index)]) {
                EXPECT_FALSE(sprites[index].visible) << index;
            }
        }
    }
    EXPECT_EQ(h.window.food().left, saved->food.x);
    EXPECT_EQ(h.window.food().top, saved->food.y);
    EXPECT_EQ(h.window.food().visible, saved->foodPresent);
}

}  // namespace
}  // namespace zib
