#pragma once
// The computer player: the shortest route from a snake's head to the food over the wrapped field,
// and the per-step steering along it.
#include "state/game_state.h"
#include "state/path_scratch.h"

namespace zib {

// Whose route the search plans; the values are the game's player codes.
enum class Player { Red = 1, Blue = 2 };

// Plans the route for the red or the blue snake; a value outside the two stores nothing. On
// success the snake's path holds the cells after the head up to the food and pathValid is true; on
// failure pathValid is false and the old path stays. Food lying under a head whose cell is still
// free gets the route out to the head's first free neighbour and back.
// The working storage of the route search: kept outside the game state, one per thread.
PathScratch& routeScratch();

void FindPath(GameState& state, int startX, int startY, int targetX, int targetY, Player player);

// One steering decision before the snake's step, for a computer-driven snake (red in a demo game,
// blue in a one-player game); food is the food sprite's left and top.
void SteerRed(GameState& state, int foodX, int foodY);
void SteerBlue(GameState& state, int foodX, int foodY);

}  // namespace zib
