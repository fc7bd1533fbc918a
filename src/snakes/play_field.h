#pragma once
// What the snakes' steps work on besides the shared state: the game window's sprite arrays, the
// food sprite, the body and head pictures, the sounds, and the services for sound and chance. The
// game window builds it at every load; it refers to the window's controls and lives no longer than
// they do.
#include <array>
#include <string>

#include "platform/toolkit.h"
#include "state/game_state.h"

namespace zib {

// The computer player as the snakes call it: the steering before a computer-driven snake's step,
// and a new route from the snake's head to the food after the food moved. The game window fills it
// in with the routines of computer/, which the snakes do not include.
struct ComputerMoves {
    void (*steerRed)(GameState& state, int foodX, int foodY) = nullptr;
    void (*steerBlue)(GameState& state, int foodX, int foodY) = nullptr;
    void (*routeRed)(GameState& state, int foodX, int foodY) = nullptr;
    void (*routeBlue)(GameState& state, int foodX, int foodY) = nullptr;
};

// The ten body and head pictures of one snake: holder k (C1..C10 or CM1..CM10) at index k; index 0
// is unused.
using SnakePictures = std::array<Picture, 11>;

struct PlayField {
    GameState& state;
    Services& services;
    ImageArray& redSprites;   // red segments
    ImageArray& blueSprites;  // blue segments
    ImageArray& foodSprites;  // element 0 the food, elements 1 and 2 its two animation frames
    const SnakePictures& redPictures;
    const SnakePictures& bluePictures;
    std::string turnSound;  // resolved once per load, never per step
    std::string eatSound;
    // False while the food could not be placed because no candidate cell was free: the food is
    // hidden then and cannot be eaten.
    bool foodPresent = false;
    ComputerMoves computer;

    Image& food() { return foodSprites[0]; }
};

// One snake as its step sees it: its record, its sprites and pictures, and which colour it is (the
// few points where the two steps differ ask this).
struct Snake {
    SnakeRecord& rec;
    ImageArray& sprites;
    const SnakePictures& pictures;
    bool blue;
};

inline Snake redSnake(PlayField& f) {
    return Snake{f.state.red, f.redSprites, f.redPictures, false};
}
inline Snake blueSnake(PlayField& f) {
    return Snake{f.state.blue, f.blueSprites, f.bluePictures, true};
}

}  // namespace zib
