#pragma once
// The route search written out the slow, literal way, to check the fast one against: a table of
// path strings, one per board position, and frontiers kept as strings of cells. A cell is two
// characters, the codes x / 10 and y / 10 (code 0 is an ordinary character). Every reached cell
// stores a copy of its whole path, and the table is emptied before each search. Shared by the
// tests and the benchmark, so it is header-only.
#include <ostream>
#include <string>
#include <vector>

#include "state/board.h"
#include "state/planned_path.h"

namespace zib {

// Lets the tests print cells readably.
inline void PrintTo(const Cell& c, std::ostream* os) {
    *os << "(" << c.x << ", " << c.y << ")";
}

}  // namespace zib

namespace zib::reference {

inline std::string CellPair(int x, int y) {
    std::string pair(2, '\0');
    pair[0] = static_cast<char>(x / 10);
    pair[1] = static_cast<char>(y / 10);
    return pair;
}

// The i-th cell (counting from 1) of a cell string, in pixels.
inline int PairX(const std::string& cells, size_t i) {
    return static_cast<unsigned char>(cells[2 * i - 2]) * 10;
}
inline int PairY(const std::string& cells, size_t i) {
    return static_cast<unsigned char>(cells[2 * i - 1]) * 10;
}

inline std::string ToCellString(const PlannedPath& path) {
    std::string cells;
    for (size_t i = 0; i < path.size(); ++i) cells += CellPair(path[i].x, path[i].y);
    return cells;
}

inline PlannedPath FromCellString(const std::string& cells) {
    PlannedPath path;
    path.resize(cells.size() / 2);
    for (size_t i = 1; i <= cells.size() / 2; ++i)
        path.set(i - 1, Cell{static_cast<int16_t>(PairX(cells, i)),
                             static_cast<int16_t>(PairY(cells, i))});
    return path;
}

// The planned paths and flags of both snakes, as strings.
struct Routes {
    std::string redPath;
    bool redPathValid = false;
    std::string bluePath;
    bool bluePathValid = false;
};

class LiteralFlood {
  public:
    LiteralFlood() : pathTable_((Board::kMaxX + 1) * (Board::kMaxY + 1)) {}

    void ClearPathTable() {
        for (int x = 0; x <= Board::kMaxX; x += 10)
            for (int y = 0; y <= Board::kMaxY; y += 10) entry(x, y).clear();
    }

    void FindPath(const Board& board, Routes& routes, int startX, int startY, int targetX,
                  int targetY, int player) {
        ClearPathTable();
        std::string frontier = CellPair(startX, startY);
        size_t count = 1;
        std::string nextFrontier;
        size_t nextCount = 0;
        bool reached = false;
        bool exhausted = false;

        while (!reached && !exhausted) {
            bool levelAdded = false;
            for (size_t i = 1; i <= count; ++i) {
                const int x = PairX(frontier, i);
                const int y = PairY(frontier, i);
                const int neighbours[4][2] = {{x == 790 ? 0 : x + 10, y},
                                              {x == 0 ? 790 : x - 10, y},
                                              {x, y == 590 ? 0 : y + 10},
                                              {x, y == 0 ? 590 : y - 10}};
                for (const auto& n : neighbours) {
                    const int nx = n[0];
                    const int ny = n[1];
                    if (board.get(nx, ny) != 0) continue;
                    if (!entry(nx, ny).empty()) continue;
                    // A copy of the whole path of (x, y), then (x, y) itself; assigned in place so
                    // that an entry reuses its storage from earlier searches and the reference
                    // pays for the copying, not for the allocator.
                    std::string& reachedEntry = entry(nx, ny);
                    reachedEntry.assign(entry(x, y));
                    reachedEntry += CellPair(x, y);
                    nextFrontier += CellPair(nx, ny);
                    ++nextCount;
                    levelAdded = true;
                    if (nx == targetX && ny == targetY) reached = true;
                }
            }
            frontier = nextFrontier;
            count = nextCount;
            nextFrontier = "";
            nextCount = 0;
            if (!levelAdded) exhausted = true;
        }

        std::string* path = nullptr;
        bool* valid = nullptr;
        if (player == 1) {
            path = &routes.redPath;
            valid = &routes.redPathValid;
        } else if (player == 2) {
            path = &routes.bluePath;
            valid = &routes.bluePathValid;
        } else {
            return;
        }
        if (exhausted) *valid = false;
        if (reached) {
            *valid = true;
            *path = entry(targetX, targetY).substr(2) + CellPair(targetX, targetY);
        }
    }

  private:
    std::string& entry(int x, int y) {
        return pathTable_.at(static_cast<size_t>(y) * (Board::kMaxX + 1) + x);
    }

    std::vector<std::string> pathTable_;  // one path string per board position
};

}  // namespace zib::reference
