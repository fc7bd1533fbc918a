// The steering of a computer-driven snake, once per step before it moves: follow the planned route
// one cell per step, plan again when there is none, and swerve when the cell ahead is blocked.
// Red and blue run the same routine over their own record.
#include <cstdlib>

#include "computer/computer_player.h"

namespace zib {
namespace {

// Every board probe goes through here. A probe outside 0..800 x 0..600 ends the steering at once,
// keeping whatever it set before: at the edges the swerve's probes do not wrap and may leave the
// board, and the snake then simply keeps the direction it holds.
bool probe(const Board& board, int x, int y, int16_t& value) {
    if (!Board::inRange(x, y)) return false;
    value = board.at(x, y);
    return true;
}

void Steer(GameState& state, SnakeRecord& snake, Player player, int foodX, int foodY) {
    const Board& board = state.board;
    int16_t value = 0;
    bool blocked = false;

    if (snake.path.empty() || !snake.pathValid)
        FindPath(state, snake.headX, snake.headY, foodX, foodY, player);

    if (snake.pathValid && !snake.path.empty()) {
        Cell next = snake.path.front();
        if (next.x == snake.headX && next.y == snake.headY) {
            // The head has arrived on the first cell: drop it and aim at the following one.
            snake.path.popFront();
            // With the route used up the next cell is the head's own, and the direction becomes
            // (0, 0). The route ends on the food, whose pickup plans anew, so this is only met
            // when the food was not there; the next call finds the path empty and plans again.
            next = snake.path.empty()
                       ? Cell{static_cast<int16_t>(snake.headX), static_cast<int16_t>(snake.headY)}
                       : snake.path.front();
        }
        // A step across an edge gives -79, 79, -59 or 59: ten times that carries the head straight
        // to the far side (790 -> 0 is -79).
        snake.dx = (next.x - snake.headX) / kCellSize;
        snake.dy = (next.y - snake.headY) / kCellSize;
        if (!probe(board, next.x, next.y, value)) return;
        if (value == kCellBlocked) blocked = true;  // the board changed since the route was planned
    }

    if (!blocked && snake.pathValid) return;

    // Without a usable route the snake runs straight on and swerves only when the cell ahead is
    // blocked.
    if (!probe(board, snake.headX + kCellSize * snake.dx, snake.headY + kCellSize * snake.dy,
               value))
        return;
    if (value != kCellBlocked) return;

    // The swerve keeps the game's own rules: after a sideways step turn down if free, else up;
    // otherwise left if free, else right. The fallback side is taken unchecked and the probes do
    // not wrap, so at an edge they may read x = 800, y = 600 or leave the board (see probe).
    if (std::abs(snake.prevDx) > 0) {
        snake.dx = 0;
        if (!probe(board, snake.headX, snake.headY + kCellSize, value)) return;
        snake.dy = value == kCellFree ? 1 : -1;
    } else {
        if (!probe(board, snake.headX - kCellSize, snake.headY, value)) return;
        snake.dx = value == kCellFree ? -1 : 1;
        snake.dy = 0;
    }
    snake.pathValid = false;  // plan again on the next call
}

}  // namespace

void SteerRed(GameState& state, int foodX, int foodY) {
    Steer(state, state.red, Player::Red, foodX, foodY);
}

void SteerBlue(GameState& state, int foodX, int foodY) {
    Steer(state, state.blue, Player::Blue, foodX, foodY);
}

}  // namespace zib
