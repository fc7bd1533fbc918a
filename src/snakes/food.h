#pragma once
// The food pickup: a head on the food's cell eats it, the snake is owed growthPerFood segments, the
// food moves to a new random free cell and every computer-driven snake plans a new route to it.
#include "snakes/play_field.h"

namespace zib {

// Whether the head sprite t ate the food.
bool checkFood(PlayField& field, const Snake& snake, int t);

// Puts the food on a random free candidate cell and shows it. When no candidate is free the food
// stays hidden, cannot be eaten, and the game goes on; returns whether it was placed.
bool putFoodOnFreeCell(PlayField& field);

}  // namespace zib
