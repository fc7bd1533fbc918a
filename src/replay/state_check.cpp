#include "replay/state_check.h"

namespace zib {
namespace {

// 64-bit FNV-1a over whole numbers.
class Hash {
  public:
    void add(long long v) {
        auto u = static_cast<uint64_t>(v);
        for (int i = 0; i < 8; ++i) {
            h_ ^= (u >> (8 * i)) & 0xFF;
            h_ *= 0x100000001B3ull;
        }
    }
    uint64_t value() const { return h_; }

  private:
    uint64_t h_ = 0xCBF29CE484222325ull;
};

void addSnake(Hash& h, const SnakeRecord& snake) {
    h.add(snake.dx), h.add(snake.dy), h.add(snake.prevDx), h.add(snake.prevDy);
    h.add(snake.headX), h.add(snake.headY), h.add(snake.headIndex), h.add(snake.nextIndex);
    h.add(snake.growNow ? 1 : 0), h.add(snake.pendingGrowth), h.add(snake.dead ? 1 : 0);
    h.add(static_cast<long long>(snake.segments.size()));
    for (size_t i = 0; i < snake.segments.size(); ++i) {
        const int index = snake.segments.at(i);
        const Piece& piece = snake.pieces[static_cast<size_t>(index)];
        h.add(index), h.add(piece.x), h.add(piece.y), h.add(piece.visible ? 1 : 0);
        h.add(piece.holder);
    }
    h.add(snake.pathValid ? 1 : 0);
    h.add(static_cast<long long>(snake.path.size()));
    for (size_t i = 0; i < snake.path.size(); ++i) h.add(snake.path[i].x), h.add(snake.path[i].y);
}

}  // namespace

uint64_t stateHash(const GameState& state) {
    Hash h;
    for (int cell = 0; cell < Board::kGridCells; ++cell) h.add(state.board.gridBlocked(cell));
    addSnake(h, state.red);
    addSnake(h, state.blue);
    h.add(state.food.x), h.add(state.food.y), h.add(state.foodPresent ? 1 : 0);
    h.add(static_cast<long long>(state.gameOver));
    h.add(state.stopRequested);
    return h.value();
}

}  // namespace zib
