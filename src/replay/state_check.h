#pragma once
// A hash of everything in a running game that its settings, random source and keys decide: the
// board's cells, both snakes with their sprites and routes, the food's place, the end flags. The
// FPS caption and the food's animation frame follow the wall clock and are left out.
#include <cstdint>

#include "game/game_window.h"
#include "state/game_state.h"

namespace zib {

// A replay keeps a check every this many ticks, and one at the end.
constexpr int kStateCheckInterval = 64;

uint64_t stateHash(const GameState& state, GameWindow& window);

}  // namespace zib
