#pragma once
// A hash of everything in a running game that its settings, random source and keys decide: the
// board's cells, both snakes with their segments (place, picture, shown) and routes, the food's
// cell, the end flags. A function of the game state alone. The FPS caption and the food's
// animation frame follow the wall clock and are left out.
#include <cstdint>
#include <vector>

#include "replay/scenario.h"
#include "state/game_state.h"

namespace zib {

// A replay keeps a check every this many ticks, and one at the end.
constexpr int kStateCheckInterval = 64;

uint64_t stateHash(const GameState& state);

// The checks of a game as it goes, as a replay keeps them.
struct StateChecks {
    std::vector<StateCheck> checks;
    // After tick n: a check when n is a multiple of kStateCheckInterval.
    void ticked(int n, const GameState& state) {
        if (n % kStateCheckInterval == 0) checks.push_back(StateCheck{n, stateHash(state)});
    }
    // At the end after tick n, the result step done: the check of tick n, taken again when it
    // was taken before the result step (which may change the state).
    void ended(int n, const GameState& state) {
        if (checks.empty() || checks.back().tick != n)
            checks.push_back(StateCheck{n, stateHash(state)});
        else
            checks.back().hash = stateHash(state);
    }
};

}  // namespace zib
