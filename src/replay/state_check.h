#pragma once
// A hash of everything in a running game that its settings, random source and keys decide: the
// board's cells, both snakes with their segments (place, picture, shown) and routes, the food's
// cell, the end flags. A function of the game state alone. The FPS caption and the food's
// animation frame follow the wall clock and are left out.
#include <cstdint>

#include "state/game_state.h"

namespace zib {

// A replay keeps a check every this many ticks, and one at the end.
constexpr int kStateCheckInterval = 64;

uint64_t stateHash(const GameState& state);

}  // namespace zib
