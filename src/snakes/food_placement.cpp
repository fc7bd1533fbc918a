// Food placement: random candidate cells of the food area, drawn until one is free.
#include "snakes/food_placement.h"

#include "state/field_geometry.h"

namespace zib {

namespace {

// Blocked draws in a row after which the candidates are counted once, to find out whether any is
// free at all. Below it, placement costs exactly the draws it always did.
constexpr int kDrawsBeforeCount = 256;

}  // namespace

int countFreeFoodCells(const Board& board) {
    int free = 0;
    for (int r = 0; r < kFoodRows; ++r)
        for (int c = 0; c < kFoodColumns; ++c)
            if (board.get(kFoodMinX + kCellSize * c, kFoodMinY + kCellSize * r) != 1) ++free;
    return free;
}

std::optional<FoodCell> PlaceFood(const Board& board, Random& random) {
    int blockedDraws = 0;
    for (;;) {
        // x is always drawn first, then y; a blocked cell draws both again.
        const int r1 = static_cast<int>(random.next() * kFoodColumns);
        const int x = kFoodMinX + kCellSize * r1;
        const int r2 = static_cast<int>(random.next() * kFoodRows);
        const int y = kFoodMinY + kCellSize * r2;
        if (board.get(x, y) != 1) return FoodCell{x, y};
        if (++blockedDraws == kDrawsBeforeCount && countFreeFoodCells(board) == 0)
            return std::nullopt;
    }
}

}  // namespace zib
