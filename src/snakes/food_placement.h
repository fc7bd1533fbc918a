#pragma once
// Food placement, shared by the game loop (the first food of a game) and the food pickup. The
// candidate cells are the food area of field_geometry.h.
#include <optional>

#include "state/field_geometry.h"
#include "state/game_state.h"

namespace zib {

// A random candidate cell whose board entry is not blocked: x = 10 * int(random * 70) + 10, then
// y = 10 * int(random * 50) + 10, both drawn again while the cell is blocked. nullopt when none of
// the 70 x 50 candidates is free.
// Any source with next() giving numbers in [0, 1) may draw.
template <class Source>
std::optional<FoodCell> PlaceFood(const Board& board, Source& random);

// The number of candidate cells whose board entry is not blocked.
int countFreeFoodCells(const Board& board);

// Blocked draws in a row after which the candidates are counted once, to find out whether any is
// free at all. Below it, placement costs exactly the draws it always did.
inline constexpr int kDrawsBeforeCount = 256;

template <class Source>
std::optional<FoodCell> PlaceFood(const Board& board, Source& random) {
    int blockedDraws = 0;
    for (;;) {
        // x is always drawn first, then y; a blocked cell draws both again.
        const int r1 = static_cast<int>(random.next() * kFoodColumns);
        const int x = kFoodMinX + kCellSize * r1;
        const int r2 = static_cast<int>(random.next() * kFoodRows);
        const int y = kFoodMinY + kCellSize * r2;
        if (board.get(x, y) != kCellBlocked) return FoodCell{x, y};
        if (++blockedDraws == kDrawsBeforeCount && countFreeFoodCells(board) == 0)
            return std::nullopt;
    }
}

}  // namespace zib
