// Food placement: random candidate cells of the food area, drawn until one is free.
#include "snakes/food_placement.h"

namespace zib {

int countFreeFoodCells(const Board& board) {
    int free = 0;
    for (int r = 0; r < kFoodRows; ++r)
        for (int c = 0; c < kFoodColumns; ++c)
            if (board.get(kFoodMinX + kCellSize * c, kFoodMinY + kCellSize * r) != kCellBlocked)
                ++free;
    return free;
}

}  // namespace zib
