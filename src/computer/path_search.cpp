// The route search: the shortest route over free cells of the wrapped 80 x 60 grid from a snake's
// head to the food.
//
// Which of several equally short routes the snake takes is the game's rule: a breadth-first flood
// from the head expands the cells of a level in the order they were first reached, each cell's
// neighbours right, left, down, up, and the first cell to reach a neighbour becomes its parent;
// the route is the chain of parents from the food back to the head. Read as a list of directions
// from the head (right < left < down < up), that chain is the first of all shortest routes in
// dictionary order: a level's order is the dictionary order of the routes to its cells, and each
// cell's parent is its earliest neighbour in the level before.
//
// That lets the search flood from both ends at once, always widening the side with the smaller
// frontier, until they meet: from the head as above, with first-reach parents, and from the food,
// with each cell's distance to the food. The first meeting gives the shortest length. The meeting
// cell that comes first in the head's order ends the best beginning of the route, read back through
// the parents; from there each step takes the first direction that brings the food one step
// closer.
//
// A computer snake without a route searches at every step. When its food is walled off, the search
// ends as soon as the food's own region is used up instead of flooding everything the head can
// reach. Nothing is allocated and no table is emptied.
#include "computer/computer_player.h"

namespace zib {
namespace {

constexpr int kColumns = PathScratch::kColumns;
constexpr int kRows = PathScratch::kRows;

bool isGridCell(int x, int y) {
    return x >= 0 && y >= 0 && x < kColumns * 10 && y < kRows * 10 && x % 10 == 0 && y % 10 == 0;
}

int cellAt(int x, int y) {
    return y / 10 * kColumns + x / 10;
}

Cell positionOf(int cell) {
    return {static_cast<int16_t>(cell % kColumns * 10), static_cast<int16_t>(cell / kColumns * 10)};
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
    RouteSearch(PathScratch& scratch, const Board& board, int start, int target)
        : s_(scratch),
          marks_(scratch.marks),
          board_(board),
          stamp_(scratch.stamp),
          start_(start),
          target_(target) {}

    // Fills `path` and returns true when the food can be reached; leaves it alone otherwise.
    bool run(PlannedPath& path) {
        // Food on a blocked cell is never entered, whatever the flood does.
        if (!isFree(target_)) return false;
        if (target_ == start_) return foodUnderTheHead(path);

        s_.headQueue[0] = static_cast<uint16_t>(start_);  // queued, but not marked as reached
        marks_[target_].fromFood = stamp_;
        marks_[target_].foodDistance = 0;
        s_.foodQueue[0] = static_cast<uint16_t>(target_);

        for (;;) {
            // The head's side goes first, so that both sides hold a cell other than the head.
            if (headLevel_ == 0 || headEnd_ - headBegin_ <= foodEnd_ - foodBegin_) {
                const int met = widenFromHead();
                if (met >= 0) return build(met, path);
                if (headBegin_ == headEnd_) return false;  // everything reachable is flooded
            } else {
                const int met = widenFromFood();
                if (met >= 0) return build(met, path);
                if (foodBegin_ == foodEnd_) return false;  // the food's region is walled off
            }
        }
    }

  private:
    bool isFree(int cell) const {
        return board_.at(cell % kColumns * 10, cell / kColumns * 10) == 0;
    }

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
    int headLevel_ = 0, headBegin_ = 0, headEnd_ = 1, headQueued_ = 1;
    int foodLevel_ = 0, foodBegin_ = 0, foodEnd_ = 1, foodQueued_ = 1;
};

SnakeRecord* recordOf(GameState& state, int player) {
    if (player == 1) return &state.red;
    if (player == 2) return &state.blue;
    return nullptr;
}

}  // namespace

void FindPath(GameState& state, int startX, int startY, int targetX, int targetY, int player) {
    SnakeRecord* snake = recordOf(state, player);
    // Another player code would flood and store nothing; the flood has no other effect, so skip it.
    if (snake == nullptr) return;
    // Heads always lie on the grid, and food off the grid (not a cell position) is never reached.
    // A failed search lowers the flag and keeps the old path; it is not followed while the flag
    // is down.
    if (!isGridCell(startX, startY) || !isGridCell(targetX, targetY)) {
        snake->pathValid = false;
        return;
    }
    ClearPathTable(state.pathScratch);
    RouteSearch search(state.pathScratch, state.board, cellAt(startX, startY),
                       cellAt(targetX, targetY));
    snake->pathValid = search.run(snake->path);
}

}  // namespace zib
