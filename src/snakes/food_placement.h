#pragma once
// Food placement, shared by the game loop (the first food of a game) and the food pickup. The
// candidate cells are the food area of field_geometry.h.
#include <optional>

#include "platform/services.h"
#include "state/game_state.h"

namespace zib {

// A random candidate cell whose board entry is not 1: x = 10 * int(random * 70) + 10, then
// y = 10 * int(random * 50) + 10, both drawn again while the cell is blocked. nullopt when none of
// the 70 x 50 candidates is free.
std::optional<FoodCell> PlaceFood(const Board& board, Random& random);

// The number of candidate cells whose board entry is not 1.
int countFreeFoodCells(const Board& board);

}  // namespace zib
