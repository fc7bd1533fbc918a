#pragma once
// The state the whole program shares: the board, one record per snake with the cells of its body,
// the food's cell, the game flags and the settings. One object, owned by the program and passed
// to whoever needs it. What decides a game is plain data here: copying the state is an
// assignment, and a copy put back plays on exactly as the original would.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/splitmix64.h"
#include "state/board.h"
#include "state/body_list.h"
#include "state/planned_path.h"

namespace zib {

// Who died last in the game (the later death wins): None while both live.
enum class GameOver { None, RedDied, BlueDied };

// One segment of a snake as the window shows it: its place in pixels (the start segments wait at
// the design position, one made by growth at (12, 12), both off the play until the tail reaches
// them), the picture holder it shows (1..10, see snakes/sprite_pictures.h) and whether it is
// shown. Kept by sprite index, so that the window's sprite of the same index follows it.
struct Piece {
    int16_t x = 0, y = 0;
    uint8_t holder = 0;
    bool visible = false;
    bool operator==(const Piece&) const = default;
};

struct SnakeRecord {
    int dx = 0, dy = 0;          // cells per step: -1, 0, 1; -79/79 and -59/59 to cross an edge
    int prevDx = 0, prevDy = 0;  // the direction the previous step applied
    int headX = 0, headY = 0;    // pixels
    BodyList segments;           // sprite indices, tail first, head last
    std::vector<Piece> pieces;   // by sprite index; an index growth skipped holds a piece unused
    int headIndex = 0;           // sprite that is the head
    int nextIndex = 0;           // growth raises it, then creates that sprite
    bool growNow = false;
    int pendingGrowth = 0;
    bool dead = false;
    PlannedPath path;  // the computer player's route
    bool pathValid = false;
};

struct Settings {
    std::array<int, 8> keyBindings{};  // 0 blue up, 1 red up, 2 blue down, 3 red down,
                                       // 4 blue right, 5 red right, 6 blue left, 7 red left
    int gameSpeed = 0;                 // ms slept after every step
    std::string levelName;             // "name.zq7"
    int growthPerFood = 0;
    int startLength = 0;
    int gameMode = 0;  // as ZIB.ini stores it: a GameMode's number (state/game_mode.h) or another
    bool endlessGrowth = false;
    bool onePlayer = false;
};

// A cell of the field in pixels.
struct FoodCell {
    int x = 0, y = 0;
    bool operator==(const FoodCell&) const = default;
};

struct GameState {
    Board board;
    SnakeRecord red;
    SnakeRecord blue;

    FoodCell food;             // where the food is, or was last (0, 0 before the first)
    bool foodPresent = false;  // false before the first food and while no cell was free for it
    GameOver gameOver = GameOver::None;
    bool stopRequested = false;   // the game ends after this tick (Esc, a crash, a demo key)
    bool demoKeyPressed = false;  // a key in a demo game: it ends after this tick
    bool demoMode = false;
    bool freeMode = false;
    int foodFrame = 0;
    SplitMix64 random;  // where the food goes next: the sequence goes on from game to game

    Settings settings;
};

}  // namespace zib
