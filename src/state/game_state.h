#pragma once
// The state the whole program shares: the board, one record per snake, the game flags and the
// settings. One object, owned by the program and passed to whoever needs it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "state/board.h"
#include "state/body_list.h"
#include "state/path_scratch.h"
#include "state/planned_path.h"

namespace zib {

// Who died last in the game (the later death wins): None while both live.
enum class GameOver { None, RedDied, BlueDied };

struct SnakeRecord {
    int dx = 0, dy = 0;          // cells per step: -1, 0, 1; -79/79 and -59/59 to cross an edge
    int prevDx = 0, prevDy = 0;  // the direction the previous step applied
    int headX = 0, headY = 0;    // pixels
    BodyList segments;           // sprite indices, tail first, head last
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
    int gameMode = 0;  // 1 endless growth, 2 classic, 3 one player
    bool endlessGrowth = false;
    bool onePlayer = false;
};

struct GameState {
    Board board;
    SnakeRecord red;
    SnakeRecord blue;

    GameOver gameOver = GameOver::None;
    bool demoMode = false;
    bool freeMode = false;
    bool showFps = false;
    std::optional<bool> savedOnePlayer;  // empty until a demo or FREE saved it
    std::optional<std::string> savedLevelName;
    int foodFrame = 0;

    Settings settings;

    PathScratch pathScratch;  // working storage of the route search
};

}  // namespace zib
