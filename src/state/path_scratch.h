#pragma once
// Working storage of the route search, kept with the game state so that a search never allocates.
// Cells are numbered y / 10 * 80 + x / 10 over the 80 x 60 search grid.
#include <array>
#include <cstdint>

#include "state/field_geometry.h"

namespace zib {

struct PathScratch {
    static constexpr int kColumns = kGridColumns;
    static constexpr int kRows = kGridRows;
    static constexpr int kCells = kGridCells;

    struct CellMarks {
        // A cell is reached from the head (fromHead) or from the food (fromFood) in the current
        // search when the mark equals `stamp`; raising the stamp forgets every cell at once.
        uint16_t fromHead;
        uint16_t fromFood;
        uint16_t parent;        // the cell that reached it first from the head
        uint16_t foodDistance;  // steps from it to the food
    };
    std::array<CellMarks, kCells> marks{};
    // The cells reached from the head in the order they were first reached, level after level.
    // The head is queued as the start and may be reached once more, hence one place more.
    std::array<uint16_t, kCells + 1> headQueue{};
    // The cells reached from the food, level after level.
    std::array<uint16_t, kCells> foodQueue{};
    uint16_t stamp = 0;

    // What a search that found no route learnt: the region that one side of its flood used up.
    // Every cell next to the region was blocked then, and as long as that stays so (a freed cell
    // that leads only into the region joins it), no route leads out of the region or into it: a
    // later search whose head has all its free neighbours in the head's region and whose food is
    // outside it, or whose food is inside the food's region and whose head has no neighbour
    // there, finds no route either.
    struct NoRoute {
        uint64_t board = 0;      // the identity of the board it holds for; 0 for none
        uint64_t freedSeen = 0;  // how many of that board's freed cells have been looked at
        bool headSide = false;   // the head's region (the head's cell included), else the food's
        std::array<uint8_t, kCells> region{};  // 1 for the cells of the region
    };
    // The last failed search of each player (red, blue).
    std::array<NoRoute, 2> noRoute{};
};

// Starts a new search: every cell counts as unreached again. Constant time except when the stamp
// wraps around, once in 65535 searches, which empties the marks.
inline void ClearPathTable(PathScratch& scratch) {
    if (++scratch.stamp == 0) {
        scratch.marks.fill({});
        scratch.stamp = 1;
    }
}

}  // namespace zib
