#pragma once
// The occupancy table of the play field: 801 x 601 entries indexed by pixel (x, y), of which play
// uses those at multiples of 10. 0 free, 1 blocked (a wall or a segment of either snake). The food
// is not on the board. Growth frees the entry at (12, 12), which no cell uses.
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace zib {

struct BoardRangeError : std::out_of_range {
    using std::out_of_range::out_of_range;
};

class Board {
public:
    static constexpr int kMaxX = 800;
    static constexpr int kMaxY = 600;

    Board() : cells_((kMaxX + 1) * (kMaxY + 1), 0) {}

    static bool inRange(int x, int y) { return x >= 0 && y >= 0 && x <= kMaxX && y <= kMaxY; }
    // Checked access: an index outside 0..800 x 0..600 throws BoardRangeError.
    int16_t get(int x, int y) const { return cells_[index(x, y)]; }
    void set(int x, int y, int16_t v) { cells_[index(x, y)] = v; }
    // Unchecked access for callers that have tested inRange.
    int16_t at(int x, int y) const { return cells_[static_cast<size_t>(y) * (kMaxX + 1) + x]; }

    // Sets every entry at multiples of 10 to 0; other entries keep their values.
    void clearCells();

private:
    static size_t index(int x, int y) {
        if (!inRange(x, y)) throw BoardRangeError("board index out of range");
        return static_cast<size_t>(y) * (kMaxX + 1) + x;
    }
    std::vector<int16_t> cells_;
};

inline void Board::clearCells() {
    for (int x = 0; x <= kMaxX; x += 10)
        for (int y = 0; y <= kMaxY; y += 10) set(x, y, 0);
}

}  // namespace zib
