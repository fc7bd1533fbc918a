#pragma once
// The computer player: the shortest route from a snake's head to the food over the wrapped field,
// and the per-step steering along it.
#include "state/game_state.h"

namespace zib {

// Plans the route for player 1 (red) or 2 (blue); any other code stores nothing. On success the
// snake's path holds the cells after the head up to the food and pathValid is true; on failure
// pathValid is false and the old path stays. Food lying under a head whose cell is still free
// gets the route out to the head's first free neighbour and back.
void FindPath(GameState& state, int startX, int startY, int targetX, int targetY, int player);

// One steering decision before the snake's step, for a computer-driven snake (red while demoMode
// is 1, blue while onePlayer is 1); food is the food sprite's left and top.
void SteerRed(GameState& state, int foodX, int foodY);
void SteerBlue(GameState& state, int foodX, int foodY);

}  // namespace zib
