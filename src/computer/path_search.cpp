// The route search: the shortest route over free cells of the wrapped 80 x 60 grid from a snake's
// head to the food.
//
// Which of several equally short routes the snake takes is the game's rule: a breadth-first flood
// from the head expands the cells of a level in the order they were first reached, each cell's
// neighbours right, left, down, up, and the first cell to reach a neighbour becomes its parent;
// the route is the chain of parents from the food back to the head. Read as a list of directions
// from the head (right < left < down < up), that chain is the first of all shortest routes in
// dictionary order: a level's order is the dictionary order of the routes to its cells, and each
// cell's parent is its earliest neighbour in the level before. So wherever the cells of the
// shortest routes know their distances to the food, the route follows from the head: each step
// takes the first direction that brings the food one step closer.
//
// Most routes are as short as the field allows, no wall or body forcing a detour. Such a route
// stays in the rectangle between food and head (the short way round the field) and comes one step
// nearer the food with every step, so the search first works out, row by row over the rectangle,
// which of its cells lead to the food that way. When a neighbour of the head does, the route
// follows as above: along the row first, else along the column.
//
// Otherwise the search floods from both ends at once, always widening the side with the smaller
// frontier, until they meet: from the head as above, with first-reach parents, and from the food,
// with each cell's distance to the food. The first meeting gives the shortest length. The meeting
// cell that comes first in the head's order ends the best beginning of the route, read back through
// the parents; from there each step takes the first direction that brings the food one step
// closer.
//
// A computer snake without a route searches at every step. When its food is walled off, the search
// ends as soon as the food's own region is used up instead of flooding everything the head can
// reach. A search that finds no route keeps the region that one side used up: later searches that
// the region proves hopeless (see PathScratch::NoRoute) end at once with the same answer, until a
// freed cell opens a way out of it. Nothing is allocated and no table is emptied.
#include <memory>

#include "computer/computer_player.h"

namespace zib {
namespace {

constexpr int kColumns = PathScratch::kColumns;
constexpr int kRows = PathScratch::kRows;

bool isGridCell(int x, int y) {
    return x >= 0 && y >= 0 && x < kFieldWidth && y < kFieldHeight && x % kCellSize == 0 &&
           y % kCellSize == 0;
}

int cellAt(int x, int y) {
    return y / kCellSize * kColumns + x / kCellSize;
}

Cell positionOf(int cell) {
    return {static_cast<int16_t>(cell % kColumns * kCellSize),
            static_cast<int16_t>(cell / kColumns * kCellSize)};
}

// Right, left, down, up, wrapping at the edges (790 -> 0, 0 -> 790, 590 -> 0, 0 -> 590).
struct Neighbours {
    int cell[4];
    explicit Neighbours(int c) {
        const int cx = c % kColumns;
        const int row = c - cx;
        cell[0] = cx == kColumns - 1 ? row : c + 1;
        cell[1] = cx == 0 ? row + kColumns - 1 : c - 1;
        cell[2] = c >= PathScratch::kCells - kColumns ? cx : c + kColumns;
        cell[3] = c < kColumns ? PathScratch::kCells - kColumns + cx : c - kColumns;
    }
};

class RouteSearch {
  public:
    RouteSearch(PathScratch& scratch, const Board& board, int start, int target, Player player)
        : s_(scratch),
          marks_(scratch.marks),
          board_(board),
          stamp_(scratch.stamp),
          start_(start),
          target_(target),
          player_(player) {}

    // Fills `path` and returns true when the food can be reached; leaves it alone otherwise.
    bool run(PlannedPath& path) {
        // Food on a blocked cell is never entered, whatever the flood does.
        if (!isFree(target_)) return false;
        if (target_ == start_) return foodUnderTheHead(path);
        if (knownToFail()) return false;
        if (straightRoute(path)) return true;

        s_.headQueue[0] = static_cast<uint16_t>(start_);  // queued, but not marked as reached
        marks_[target_].fromFood = stamp_;
        marks_[target_].foodDistance = 0;
        s_.foodQueue[0] = static_cast<uint16_t>(target_);

        for (;;) {
            // The head's side goes first, so that both sides hold a cell other than the head.
            if (headLevel_ == 0 || headEnd_ - headBegin_ <= foodEnd_ - foodBegin_) {
                const int met = widenFromHead();
                if (met >= 0) return build(met, path);
                if (headBegin_ == headEnd_) {  // everything reachable is flooded
                    remember(true, s_.headQueue.data(), headQueued_);
                    return false;
                }
            } else {
                const int met = widenFromFood();
                if (met >= 0) return build(met, path);
                if (foodBegin_ == foodEnd_) {  // the food's region is walled off
                    remember(false, s_.foodQueue.data(), foodQueued_);
                    return false;
                }
            }
        }
    }

  private:
    bool isFree(int cell) const { return !board_.gridBlocked(cell); }

    // The head's cell is never marked as reached, so with its own cell free the flood enters it
    // again at distance 2 through its first free neighbour: out and back. It arises in play when
    // new food lands under a head whose cell is not yet marked.
    bool foodUnderTheHead(PlannedPath& path) const {
        for (int n : Neighbours(start_).cell) {
            if (!isFree(n)) continue;
            path.resize(2);
            path.set(0, positionOf(n));
            path.set(1, positionOf(start_));
            return true;
        }
        return false;
    }

    // Whether an earlier failed search proves that this one fails too. The head's region holds
    // every cell the head could reach, so food outside it cannot be reached from a head whose ways
    // out all lead into it (the head may have moved meanwhile); the food's region holds every cell
    // from which the food can be reached, so a head with no neighbour in it cannot get there.
    // Either stays so while every cell next to the region is blocked (see stillHolds).
    bool knownToFail() {
        for (PathScratch::NoRoute& known : s_.noRoute) {
            if (!stillHolds(known)) continue;
            const auto& inside = known.region;
            if (known.headSide) {
                if (!inside[target_] && reachesOnlyInto(inside)) return true;
            } else if (inside[target_]) {
                bool reachesIn = false;
                for (int n : Neighbours(start_).cell) reachesIn = reachesIn || inside[n];
                if (!reachesIn) return true;
            }
        }
        return false;
    }

    // Whether every free neighbour of the head lies in the region. The head's own cell is entered
    // only through one of them, so all the head can reach lies in the region too.
    bool reachesOnlyInto(const std::array<uint8_t, PathScratch::kCells>& region) const {
        for (int n : Neighbours(start_).cell)
            if (!region[n] && isFree(n)) return false;
        return true;
    }

    // Brings a region up to date with the cells freed since it was last looked at. A freed cell
    // next to the region joins it, which keeps it whole as long as the cell leads nowhere else:
    // every other neighbour is in the region or blocked now (one blocked now and freed later is
    // looked at in its turn). A freed cell that opens a way out, too many freed cells to look at,
    // or another board end the region.
    bool stillHolds(PathScratch::NoRoute& known) const {
        if (known.board != board_.identity()) return false;
        const uint64_t freed = board_.freedCount();
        if (freed - known.freedSeen > Board::kFreedMemory) {
            known.board = 0;
            return false;
        }
        auto& region = known.region;
        for (uint64_t k = known.freedSeen; k < freed; ++k) {
            const int cell = board_.freedCell(k);
            if (region[cell]) continue;  // a cell of the region itself changes nothing
            const Neighbours around(cell);
            bool joins = false, leadsOut = false;
            for (int n : around.cell) {
                if (region[n])
                    joins = true;
                else if (isFree(n))
                    leadsOut = true;
            }
            if (!joins) continue;
            if (leadsOut) {
                known.board = 0;
                return false;
            }
            region[cell] = 1;
        }
        known.freedSeen = freed;
        return true;
    }

    // Keeps the region that one side used up, for the player that searched.
    void remember(bool headSide, const uint16_t* cells, int count) const {
        PathScratch::NoRoute& known = s_.noRoute[player_ == Player::Red ? 0 : 1];
        known.region.fill(0);
        for (int i = 0; i < count; ++i) known.region[cells[i]] = 1;
        known.headSide = headSide;
        known.board = board_.identity();
        known.freedSeen = board_.freedCount();
    }

    // The route when no wall or body forces a detour (see the top of the file); false, with the
    // path left alone, when the field forces one or there is no route.
    bool straightRoute(PlannedPath& path) const {
        // The cells of such routes form the rectangle from the food to the head, the short way
        // round the field; each step of a route leaves it one step nearer to the food. When the
        // two ways round are equally short, the full search decides.
        const int foodColumn = target_ % kColumns, foodRow = target_ / kColumns;
        const int toHeadX = (start_ % kColumns - foodColumn + kColumns) % kColumns;
        const int toHeadY = (start_ / kColumns - foodRow + kRows) % kRows;
        if (2 * toHeadX == kColumns || 2 * toHeadY == kRows) return false;
        const int stepX = toHeadX < kColumns / 2 ? 1 : -1;
        const int stepY = toHeadY < kRows / 2 ? 1 : -1;
        const int width = stepX > 0 ? toHeadX : kColumns - toHeadX;  // columns from the food
        const int height = stepY > 0 ? toHeadY : kRows - toHeadY;    // rows from the food
        int column[kColumns / 2];
        for (int i = 0; i <= width; ++i) column[i] = (foodColumn + stepX * i + kColumns) % kColumns;
        auto cellOf = [&](int i, int j) {
            return (foodRow + stepY * j + kRows) % kRows * kColumns + column[i];
        };

        // near[j][i]: the food can be reached from cell (i, j) of the rectangle (i columns and j
        // rows from the food) by steps that each come one nearer; its distance is then i + j.
        uint8_t near[kRows / 2][kColumns / 2] = {};
        for (int j = 0; j <= height; ++j) {
            const int rowStart = cellOf(0, j) - column[0];
            bool any = false;
            for (int i = 0; i <= width; ++i) {
                const int c = rowStart + column[i];
                const bool reached = (i == 0 && j == 0) ||
                                     (c != start_ && isFree(c) &&
                                      ((i > 0 && near[j][i - 1]) || (j > 0 && near[j - 1][i])));
                near[j][i] = reached;
                any = any || reached;
            }
            if (!any) return false;  // a wall across the rectangle
        }

        // From the head, the first direction that comes nearer: a step along the row (right or
        // left) is always tried before one along the column (down or up).
        int i = width, j = height;
        if (!(i > 0 && near[j][i - 1]) && !(j > 0 && near[j - 1][i])) return false;
        const int length = width + height;
        path.resize(static_cast<size_t>(length));
        for (int k = 0; k < length; ++k) {
            if (i > 0 && near[j][i - 1])
                --i;
            else
                --j;
            path.set(static_cast<size_t>(k), positionOf(cellOf(i, j)));
        }
        return true;
    }

    // One level from the head. Returns the first new cell that the food's side has reached, else
    // -1. The two sides have not met before, so every meeting cell of this level lies on a
    // shortest route, and cells join the level in the head's order.
    int widenFromHead() {
        ++headLevel_;
        for (int i = headBegin_; i < headEnd_; ++i) {
            const int cell = s_.headQueue[i];
            for (int n : Neighbours(cell).cell) {
                PathScratch::CellMarks& m = marks_[n];
                if (m.fromHead == stamp_) continue;  // the first to reach a cell keeps it
                if (!isFree(n)) continue;            // any nonzero board value blocks
                m.fromHead = stamp_;
                m.parent = static_cast<uint16_t>(cell);
                s_.headQueue[headQueued_++] = static_cast<uint16_t>(n);
                if (m.fromFood == stamp_) return n;
            }
        }
        headBegin_ = headEnd_;
        headEnd_ = headQueued_;
        return -1;
    }

    // One level from the food; the head's cell is where routes start, not a cell they pass
    // through. Returns the meeting cell that comes first in the head's order, else -1. The sides
    // have not met before, so all meeting cells lie on the head's frontier.
    int widenFromFood() {
        ++foodLevel_;
        bool met = false;
        for (int i = foodBegin_; i < foodEnd_; ++i) {
            for (int n : Neighbours(s_.foodQueue[i]).cell) {
                PathScratch::CellMarks& m = marks_[n];
                if (m.fromFood == stamp_ || n == start_ || !isFree(n)) continue;
                m.fromFood = stamp_;
                m.foodDistance = static_cast<uint16_t>(foodLevel_);
                s_.foodQueue[foodQueued_++] = static_cast<uint16_t>(n);
                if (m.fromHead == stamp_) met = true;
            }
        }
        foodBegin_ = foodEnd_;
        foodEnd_ = foodQueued_;
        if (met)
            for (int i = headBegin_; i < headEnd_; ++i)
                if (marks_[s_.headQueue[i]].fromFood == stamp_) return s_.headQueue[i];
        return -1;
    }

    // The route through `met`: the parents back to the head, then towards the food.
    bool build(int met, PlannedPath& path) const {
        const int headSteps = headLevel_;
        const int length = headSteps + marks_[met].foodDistance;
        path.resize(static_cast<size_t>(length));
        int c = met;
        for (int j = headSteps - 1; j >= 0; --j) {
            path.set(static_cast<size_t>(j), positionOf(c));
            c = marks_[c].parent;
        }
        c = met;
        for (int j = headSteps; j < length; ++j) {
            const int closer = length - 1 - j;  // the next cell's distance to the food
            for (int n : Neighbours(c).cell) {
                if (marks_[n].fromFood == stamp_ && marks_[n].foodDistance == closer) {
                    c = n;
                    break;
                }
            }
            path.set(static_cast<size_t>(j), positionOf(c));
        }
        return true;
    }

    PathScratch& s_;
    std::array<PathScratch::CellMarks, PathScratch::kCells>& marks_;
    const Board& board_;
    const uint16_t stamp_;
    const int start_;
    const int target_;
    const Player player_;
    int headLevel_ = 0, headBegin_ = 0, headEnd_ = 1, headQueued_ = 1;
    int foodLevel_ = 0, foodBegin_ = 0, foodEnd_ = 1, foodQueued_ = 1;
};

SnakeRecord* recordOf(GameState& state, Player player) {
    if (player == Player::Red) return &state.red;
    if (player == Player::Blue) return &state.blue;
    return nullptr;
}

}  // namespace

PathScratch& routeScratch() {
    // One per thread, made on first use: what a search finds depends on the board alone, and what
    // the scratch remembers of a failed search holds only for the board it was made on.
    thread_local std::unique_ptr<PathScratch> scratch = std::make_unique<PathScratch>();
    return *scratch;
}

void FindPath(GameState& state, int startX, int startY, int targetX, int targetY, Player player) {
    SnakeRecord* snake = recordOf(state, player);
    // Another value would flood and store nothing; the flood has no other effect, so skip it.
    if (snake == nullptr) return;
    // Heads always lie on the grid, and food off the grid (not a cell position) is never reached.
    // A failed search lowers the flag and keeps the old path; it is not followed while the flag
    // is down.
    if (!isGridCell(startX, startY) || !isGridCell(targetX, targetY)) {
        snake->pathValid = false;
        return;
    }
    PathScratch& scratch = routeScratch();
    ClearPathTable(scratch);
    RouteSearch search(scratch, state.board, cellAt(startX, startY), cellAt(targetX, targetY),
                       player);
    snake->pathValid = search.run(snake->path);
}

}  // namespace zib
