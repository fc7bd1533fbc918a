#pragma once
// The computer player: a breadth-first shortest route from a snake's head to the food over the
// wrapped field, and the per-step steering along it.
#include "game/game_state.h"

namespace zib {

// Plans the route for player 1 (red) or 2 (blue); any other code searches and stores nothing.
// On success the snake's path holds the cells after the head up to the food and pathValid is true;
// on failure pathValid is false and the old path stays.
void FindPath(GameState& state, int startX, int startY, int targetX, int targetY, int player);

// One steering decision before the snake's step; food is the food sprite's position.
void SteerRed(GameState& state, int foodX, int foodY);
void SteerBlue(GameState& state, int foodX, int foodY);

}  // namespace zib
