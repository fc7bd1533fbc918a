#pragma once
// What the snakes' steps work on: the game state (with the random source the food is placed by),
// the computer player, and the sounds a step makes heard. No window and no sprites: the window
// draws the state after the step and plays its sounds.
#include <array>
#include <cstdint>

#include "state/game_state.h"

namespace zib {

// The computer player as the snakes call it: the steering before a computer-driven snake's step,
// and a new route from the snake's head to the food after the food moved. The caller fills it in
// with the routines of computer/, which the snakes do not include.
struct ComputerMoves {
    void (*steerRed)(GameState& state, int foodX, int foodY) = nullptr;
    void (*steerBlue)(GameState& state, int foodX, int foodY) = nullptr;
    void (*routeRed)(GameState& state, int foodX, int foodY) = nullptr;
    void (*routeBlue)(GameState& state, int foodX, int foodY) = nullptr;
};

// A sound a step makes heard: the turn, the food eaten.
enum class SoundCue : uint8_t { Turn, Eat };

// The sounds of one tick in the order they sound (at most two turns and a meal per snake).
struct TickSounds {
    std::array<SoundCue, 8> cues{};
    int count = 0;
    void add(SoundCue cue) {
        if (count < static_cast<int>(cues.size())) cues[static_cast<size_t>(count++)] = cue;
    }
    void clear() { count = 0; }
};

struct PlayField {
    GameState& state;
    ComputerMoves computer;
    TickSounds sounds;
};

// One snake as its step sees it: its record and which colour it is (the few points where the two
// steps differ ask this).
struct Snake {
    SnakeRecord& rec;
    bool blue;
};

inline Snake redSnake(PlayField& f) {
    return Snake{f.state.red, false};
}
inline Snake blueSnake(PlayField& f) {
    return Snake{f.state.blue, true};
}

}  // namespace zib
