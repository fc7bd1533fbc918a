#pragma once
// The food pickup: a head on the food's cell eats it, the snake is owed growthPerFood segments, the
// food moves to a new random free cell and every computer-driven snake plans a new route to it.
#include "snakes/play_field.h"

namespace zib {

// Whether the snake's head ate the food.
bool checkFood(PlayField& field, const Snake& snake);

// Puts the food on a random free candidate cell. When no candidate is free the food is not
// present (hidden, it cannot be eaten) and the game goes on; returns whether it was placed.
bool putFoodOnFreeCell(PlayField& field);

}  // namespace zib
