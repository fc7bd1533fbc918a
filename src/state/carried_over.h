#pragma once
// What one game of a run hands to the next: red's and blue's previous directions (blue's first
// step compares with it), the grow flags, the food's animation frame and the win counts. One
// record, taken and put back alike by the window, a replay, a scenario and online play; nothing
// else of a game outlives it. The computer's routes are not carried: a new game starts without
// them, so a game after a demo plays as a replay of it does.
#include "state/game_state.h"

namespace zib {

struct CarriedOver {
    int redPrevDx = 0, redPrevDy = 0;
    int bluePrevDx = 0, bluePrevDy = 0;
    bool redGrowNow = false;
    bool blueGrowNow = false;
    int foodFrame = 0;
    long long redWins = 0;
    long long blueWins = 0;
    bool operator==(const CarriedOver&) const = default;
};

// What the state hands on; the win counts are the caller's (the menu keeps them).
inline CarriedOver carriedOverFrom(const GameState& state, long long redWins, long long blueWins) {
    CarriedOver c;
    c.redPrevDx = state.red.prevDx;
    c.redPrevDy = state.red.prevDy;
    c.bluePrevDx = state.blue.prevDx;
    c.bluePrevDy = state.blue.prevDy;
    c.redGrowNow = state.red.growNow;
    c.blueGrowNow = state.blue.growNow;
    c.foodFrame = state.foodFrame;
    c.redWins = redWins;
    c.blueWins = blueWins;
    return c;
}

// Puts the record into a state about to start a game; the win counts go to the menu separately.
inline void carryOver(GameState& state, const CarriedOver& c) {
    state.red.prevDx = c.redPrevDx;
    state.red.prevDy = c.redPrevDy;
    state.blue.prevDx = c.bluePrevDx;
    state.blue.prevDy = c.bluePrevDy;
    state.red.growNow = c.redGrowNow;
    state.blue.growNow = c.blueGrowNow;
    state.foodFrame = c.foodFrame;
}

}  // namespace zib
