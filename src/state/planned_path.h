#pragma once
// The route of a computer-driven snake: the cells to step on, from the first cell after the head
// to the food, as pixel positions. Fixed storage, so that planning never allocates.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "state/field_geometry.h"

namespace zib {

struct Cell {
    int16_t x = 0, y = 0;
    bool operator==(const Cell&) const = default;
};

class PlannedPath {
  public:
    static constexpr size_t kCapacity = kGridCells + 2;

    PlannedPath() = default;
    PlannedPath(const PlannedPath& other) { *this = other; }
    // A copy holds the cells still ahead only, so that copying a game state costs what its routes
    // hold, not their capacity.
    PlannedPath& operator=(const PlannedPath& other) {
        if (this == &other) return *this;
        std::copy(other.cells_.begin() + static_cast<std::ptrdiff_t>(other.begin_),
                  other.cells_.begin() + static_cast<std::ptrdiff_t>(other.end_), cells_.begin());
        begin_ = 0;
        end_ = other.size();
        return *this;
    }

    bool empty() const { return begin_ == end_; }
    size_t size() const { return end_ - begin_; }  // in cells
    Cell front() const { return cells_[begin_]; }
    Cell operator[](size_t i) const { return cells_[begin_ + i]; }
    void popFront() { ++begin_; }
    void clear() { begin_ = end_ = 0; }
    // Fills the path back to front: reserve n cells, then set each.
    void resize(size_t n) {
        begin_ = 0;
        end_ = n;
    }
    void set(size_t i, Cell c) { cells_[begin_ + i] = c; }

  private:
    std::array<Cell, kCapacity> cells_{};
    size_t begin_ = 0;
    size_t end_ = 0;
};

}  // namespace zib
