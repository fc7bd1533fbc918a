#pragma once
// The occupancy table of the play field: 801 x 601 entries indexed by pixel (x, y), of which play
// uses those at multiples of 10. 0 free, 1 blocked (a wall or a segment of either snake). The food
// is not on the board. Growth frees the entry at (12, 12), which no cell uses.
//
// For the route search the board also keeps the 80 x 60 cells of the wrapped field (x 0..790,
// y 0..590) as a compact grid, and remembers which of those cells became free lately: a search
// that found no route stays valid for as long as no cell next to the region it flooded is freed.
#include <array>
#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "state/field_geometry.h"

namespace zib {

struct BoardRangeError : std::out_of_range {
    using std::out_of_range::out_of_range;
};

class Board {
  public:
    static constexpr int kMaxX = kFieldWidth;
    static constexpr int kMaxY = kFieldHeight;
    // The cells of the route search: cell y / 10 * 80 + x / 10.
    static constexpr int kGridColumns = zib::kGridColumns;
    static constexpr int kGridRows = zib::kGridRows;
    static constexpr int kGridCells = zib::kGridCells;
    // How many of the latest freed cells are remembered.
    static constexpr uint64_t kFreedMemory = 256;

    Board() : cells_((kMaxX + 1) * (kMaxY + 1), 0) {}

    static bool inRange(int x, int y) { return x >= 0 && y >= 0 && x <= kMaxX && y <= kMaxY; }
    // Checked access: an index outside 0..800 x 0..600 throws BoardRangeError.
    int16_t get(int x, int y) const { return cells_[index(x, y)]; }
    void set(int x, int y, int16_t v) {
        const size_t i = index(x, y);
        if (x % kCellSize == 0 && y % kCellSize == 0 && x < kMaxX && y < kMaxY)
            noteGridCell(y / kCellSize * kGridColumns + x / kCellSize, v != 0);
        cells_[i] = v;
    }
    // Unchecked access for callers that have tested inRange.
    int16_t at(int x, int y) const { return cells_[static_cast<size_t>(y) * (kMaxX + 1) + x]; }

    // Sets every entry at multiples of 10 to 0; other entries keep their values.
    void clearCells();

    // Whether a cell of the route search grid is blocked (its entry is not 0).
    bool gridBlocked(int cell) const { return grid_[static_cast<size_t>(cell)] != 0; }

    // Changes whenever the board is copied, assigned or emptied as a whole: what was learnt about
    // one board holds for no other. Never 0.
    uint64_t identity() const { return identity_.value; }
    // The number of times a grid cell went from blocked to free since the board came into being;
    // the last kFreedMemory of them can be read back with freedCell(n), n counting from 0.
    uint64_t freedCount() const { return freedCount_; }
    int freedCell(uint64_t n) const { return freed_[n % kFreedMemory]; }

  private:
    // A number of its own for every board object and every copy.
    struct Identity {
        uint64_t value = next();
        Identity() = default;
        Identity(const Identity&) : value(next()) {}
        Identity& operator=(const Identity&) {
            value = next();
            return *this;
        }
        static uint64_t next() {
            static std::atomic<uint64_t> counter{0};
            return ++counter;
        }
    };

    static size_t index(int x, int y) {
        if (!inRange(x, y)) throw BoardRangeError("board index out of range");
        return static_cast<size_t>(y) * (kMaxX + 1) + x;
    }
    void noteGridCell(int cell, bool blocked) {
        uint8_t& g = grid_[static_cast<size_t>(cell)];
        if (g && !blocked) freed_[freedCount_++ % kFreedMemory] = static_cast<uint16_t>(cell);
        g = blocked ? 1 : 0;
    }

    std::vector<int16_t> cells_;
    std::array<uint8_t, kGridCells> grid_{};
    std::array<uint16_t, kFreedMemory> freed_{};
    uint64_t freedCount_ = 0;
    Identity identity_;
};

inline void Board::clearCells() {
    for (int x = 0; x <= kMaxX; x += kCellSize)
        for (int y = 0; y <= kMaxY; y += kCellSize) cells_[index(x, y)] = 0;
    grid_.fill(0);
    identity_ = Identity();
}

}  // namespace zib
