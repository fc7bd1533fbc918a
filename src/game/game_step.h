#pragma once
// A game as plain functions of the game state: the set-up of a level's snakes and walls, the start
// (the first food and the computer's first routes), and one tick. The game window runs these
// and draws the state after them; zibsim and the benchmarks run them with no window at all.
//
// A tick moves first and then takes the keys that arrived during it, in order, as the game has
// always read them: a key acts on the next tick's move. Then the end test runs.
#include <cstdint>
#include <span>

#include "game/level_file.h"
#include "snakes/play_field.h"

namespace zib {

// Where the design puts each snake's first segment: the start segments wait there, hidden, until
// the first steps unroll the snake.
constexpr int kRedDesignLeft = 160, kRedDesignTop = 270;
constexpr int kBlueDesignLeft = 160, kBlueDesignTop = 250;

// The computer player's routines as the snakes' steps and the food pickup call them.
ComputerMoves computerMoves();

// A key of a tick: a key-down (virtual-key code) or a typed character.
struct TickKey {
    enum class Kind : uint8_t { Down, Press };
    Kind kind = Kind::Down;
    int code = 0;
};
using TickInput = std::span<const TickKey>;

// What a key does beyond the state: Enter that steers no blue snake asks for the level again.
struct KeyOutcome {
    bool restartAsked = false;
    bool demoEnded = false;  // a key-down in a demo game
};
// The key handlers' rules: a bound key steers each snake it is bound to (red's four first, in the
// order up, right, down, left), any key-down ends a demo game, the character Esc ends the game.
KeyOutcome applyKey(GameState& state, TickKey key);

// Puts a new game's snakes on the state as the level says (the start segments at the design
// positions, the first at the level's start) and marks the level's walls on the board.
void setUpLevel(GameState& state, const LevelFile& level);

// The start of the game's loop: the first food, then the routes of the computer-driven snakes.
void startGame(PlayField& field);

// The moves of one tick: owed growth becomes a grow flag, then red steps, then blue.
void moveSnakes(PlayField& field);

// Whether the game ends after this tick's keys: a crash or a demo key ends any game but FREE.
bool gameEnds(const GameState& state);

// How a game ended: None while it goes on; NoResult for a demo game or one left with Esc, which
// show none.
enum class GameResult { None, NoResult, Draw, RedWon, BlueWon };

// The result step at a game's end: both heads on one cell is a draw however the game ended (both
// are marked dead); otherwise the snake still alive won.
GameResult decideResult(GameState& state);

// What a tick did.
struct TickResult {
    TickSounds sounds;  // in the order they sound
    bool ate = false;   // a snake ate the food
    bool turned = false;
    bool ended = false;  // the game is over after this tick (stopRequested)
    // The snakes dead after the tick's moves (a crash of this tick, or in FREE of one before),
    // as the state shows them before the result step marks both on a head-on.
    bool redDead = false;
    bool blueDead = false;
    GameResult result = GameResult::None;
    KeyOutcome keys;
};

// One tick: moveSnakes, the tick's keys in order, the end test, and when the game ends there the
// result step.
TickResult step(PlayField& field, TickInput input);

}  // namespace zib
