#include "snakes/food.h"

#include <algorithm>
#include <limits>

#include "snakes/food_placement.h"

namespace zib {

bool putFoodOnFreeCell(PlayField& f) {
    const std::optional<FoodCell> cell = PlaceFood(f.state.board, f.state.random);
    f.state.foodPresent = cell.has_value();
    if (cell) f.state.food = *cell;
    return f.state.foodPresent;
}

bool checkFood(PlayField& f, const Snake& s) {
    const FoodCell food = f.state.food;
    if (!f.state.foodPresent) return false;
    if (food.y != s.rec.headY || food.x != s.rec.headX) return false;
    f.sounds.add(SoundCue::Eat);
    f.state.foodPresent = false;
    // Red marks the cell it ate on before the new food is placed, so new food never lands under
    // red's head. Blue does not: kept, its step marks the cell only after the food is placed.
    if (!s.blue) f.state.board.set(food.x, food.y, kCellBlocked);
    // Owed growth stops at the int limits: a growth per food near them must not wrap round.
    const long long owed =
        static_cast<long long>(s.rec.pendingGrowth) + f.state.settings.growthPerFood;
    s.rec.pendingGrowth = static_cast<int>(std::clamp<long long>(
        owed, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    putFoodOnFreeCell(f);
    // Blue's route first, then red's, each from that snake's current head, to where the food is
    // now (or, when none could be placed, where it was).
    const FoodCell next = f.state.food;
    if (f.state.settings.onePlayer) f.computer.routeBlue(f.state, next.x, next.y);
    if (f.state.demoMode) f.computer.routeRed(f.state, next.x, next.y);
    return true;
}

}  // namespace zib
