#include "snakes/food.h"

#include <algorithm>
#include <limits>

#include "snakes/food_placement.h"

namespace zib {

bool putFoodOnFreeCell(PlayField& f) {
    Image& food = f.food();
    const std::optional<FoodCell> cell = PlaceFood(f.state.board, f.services.random);
    f.foodPresent = cell.has_value();
    if (!cell) {
        food.visible = false;
        return false;
    }
    food.move(cell->x, cell->y);
    food.visible = true;
    return true;
}

bool checkFood(PlayField& f, const Snake& s, int t) {
    Image& food = f.food();
    const Image& head = s.sprites[t];
    if (!f.foodPresent) return false;
    if (food.top != head.top || food.left != head.left) return false;
    f.services.sound.play(f.eatSound);
    food.visible = false;
    // Red marks the cell it ate on before the new food is placed, so new food never lands under
    // red's head. Blue does not: kept, its step marks the cell only after the food is placed.
    if (!s.blue) f.state.board.set(food.left, food.top, 1);
    // Owed growth stops at the int limits: a growth per food near them must not wrap round.
    const long long owed =
        static_cast<long long>(s.rec.pendingGrowth) + f.state.settings.growthPerFood;
    s.rec.pendingGrowth = static_cast<int>(std::clamp<long long>(
        owed, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    putFoodOnFreeCell(f);
    // Blue's route first, then red's, each from that snake's current head.
    if (f.state.settings.onePlayer) f.computer.routeBlue(f.state, food.left, food.top);
    if (f.state.demoMode) f.computer.routeRed(f.state, food.left, food.top);
    return true;
}

}  // namespace zib
