#pragma once
// The occupancy table of the play field: 801 x 601 entries indexed by pixel (x, y), of which play
// uses those at multiples of 10. kCellFree (0) or kCellBlocked (1: a wall or a segment of either
// snake); no other value is ever written. The food is not on the board. Growth frees the entry at
// (12, 12), which no cell uses.
//
// Only the 80 x 60 cells of the wrapped field (x 0..790, y 0..590) are stored as a grid; the few
// other entries the rules write (a wall that starts off the lattice, the edge x = 800 or y = 600)
// are kept in a short sorted list, so that a board is about 10 KB and copying it is cheap. The
// route search reads the grid, and the board remembers which of its cells became free lately: a
// search that found no route stays valid for as long as no cell next to the region it flooded is
// freed.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "state/field_geometry.h"

namespace zib {

// The values of a board entry.
inline constexpr int16_t kCellFree = 0;
inline constexpr int16_t kCellBlocked = 1;

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

    static bool inRange(int x, int y) { return x >= 0 && y >= 0 && x <= kMaxX && y <= kMaxY; }
    // Checked access: an index outside 0..800 x 0..600 throws BoardRangeError.
    int16_t get(int x, int y) const {
        check(x, y);
        return at(x, y);
    }
    void set(int x, int y, int16_t v) {
        check(x, y);
        if (const int cell = gridCell(x, y); cell >= 0) {
            setGridCell(cell, v);
            return;
        }
        setStray(key(x, y), v);
    }
    // Unchecked access for callers that have tested inRange.
    int16_t at(int x, int y) const {
        if (const int cell = gridCell(x, y); cell >= 0) return grid_[static_cast<size_t>(cell)];
        return stray(key(x, y));
    }
    // The entries outside the grid that are not 0.
    size_t strayCount() const { return strays_.size(); }

    // Frees every entry at multiples of 10; other entries keep their values.
    void clearCells();

    // Whether a cell of the route search grid is blocked (its entry is not free).
    bool gridBlocked(int cell) const { return grid_[static_cast<size_t>(cell)] != kCellFree; }

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

    struct Stray {
        uint32_t key;
        int16_t value;
    };

    static void check(int x, int y) {
        if (!inRange(x, y)) throw BoardRangeError("board index out of range");
    }
    // The grid cell of (x, y), or -1 for an entry off the grid.
    static int gridCell(int x, int y) {
        if (x % kCellSize != 0 || y % kCellSize != 0 || x >= kMaxX || y >= kMaxY) return -1;
        return y / kCellSize * kGridColumns + x / kCellSize;
    }
    static uint32_t key(int x, int y) { return static_cast<uint32_t>(y * (kMaxX + 1) + x); }
    std::vector<Stray>::const_iterator findStray(uint32_t k) const {
        return std::lower_bound(strays_.begin(), strays_.end(), k,
                                [](const Stray& s, uint32_t v) { return s.key < v; });
    }
    int16_t stray(uint32_t k) const {
        if (strays_.empty()) return 0;
        auto it = findStray(k);
        return it != strays_.end() && it->key == k ? it->value : 0;
    }
    void setStray(uint32_t k, int16_t v) {
        auto it = strays_.begin() + (findStray(k) - strays_.cbegin());
        const bool found = it != strays_.end() && it->key == k;
        if (v == kCellFree) {
            if (found) strays_.erase(it);
        } else if (found) {
            it->value = v;
        } else {
            strays_.insert(it, Stray{k, v});
        }
    }
    void setGridCell(int cell, int16_t v) {
        int16_t& g = grid_[static_cast<size_t>(cell)];
        if (g != kCellFree && v == kCellFree)
            freed_[freedCount_++ % kFreedMemory] = static_cast<uint16_t>(cell);
        g = v;
    }

    std::array<int16_t, kGridCells> grid_{};
    std::vector<Stray> strays_;  // sorted by key
    std::array<uint16_t, kFreedMemory> freed_{};
    uint64_t freedCount_ = 0;
    Identity identity_;
};

inline void Board::clearCells() {
    // The lattice entries off the grid are those on the edges x = 800 and y = 600.
    std::erase_if(strays_, [](const Stray& s) {
        const uint32_t x = s.key % (kMaxX + 1), y = s.key / (kMaxX + 1);
        return x % kCellSize == 0 && y % kCellSize == 0;
    });
    grid_.fill(kCellFree);
    identity_ = Identity();
}

}  // namespace zib
