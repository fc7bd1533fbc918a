// The snake step, one routine for both colours. Where red and blue differ (the order of steering,
// turn sound, food and crash tests) the routine asks which snake it moves.
#include "snakes/snake_step.h"

#include "snakes/food.h"
#include "snakes/snake_sprites.h"
#include "state/field_geometry.h"

namespace zib {

namespace {

void playTurnSoundIfTurned(PlayField& f, const SnakeRecord& s) {
    if (s.prevDx != s.dx || s.prevDy != s.dy) f.sounds.add(SoundCue::Turn);
}

// Red is computer-driven in a demo game, blue in a one-player game.
void steerIfComputerDriven(PlayField& f, const Snake& s) {
    const FoodCell food = f.state.food;
    if (s.blue) {
        if (f.state.settings.onePlayer) f.computer.steerBlue(f.state, food.x, food.y);
    } else if (f.state.demoMode) {
        f.computer.steerRed(f.state, food.x, food.y);
    }
}

void crashTest(PlayField& f, const Snake& s) {
    if (IsBlocked(f.state.board, s.rec.headX, s.rec.headY)) {
        f.state.gameOver = s.blue ? GameOver::BlueDied : GameOver::RedDied;
        s.rec.dead = true;
    }
}

void foodTest(PlayField& f, const Snake& s) {
    if (checkFood(f, s)) s.rec.growNow = true;
}

// The four edge tests in their order, each on the position the earlier ones left. A head that a
// computer snake sent past the right or bottom edge (it crossed the left or top edge with an
// edge-crossing direction and then lost its route) is brought back onto the field as well, so that
// no head position can leave the board.
void wrap(SnakeRecord& r) {
    constexpr int w = kFieldWidth, h = kFieldHeight;
    if (r.headX == w) r.headX = 0;
    if (r.headY == h) r.headY = 0;
    if (r.headX < 0) r.headX = w - kCellSize;
    if (r.headY < 0) r.headY = h - kCellSize;
    if (r.headX > w) r.headX = r.headX % w;
    if (r.headY > h) r.headY = r.headY % h;
}

}  // namespace

bool IsBlocked(const Board& board, int x, int y) {
    return board.get(x, y) != kCellFree;
}

int takeTail(Snake s) {
    return s.rec.segments.rotate();
}

void addSegment(Snake s) {
    SnakeRecord& r = s.rec;
    r.nextIndex += 1;
    // The new segment copies segment 0's picture as it is now; (12, 12) lies off the 10-pixel
    // lattice, so freeing the spot it leaves clears an entry that no cell uses.
    const auto index = static_cast<size_t>(r.nextIndex);
    if (r.pieces.size() <= index) r.pieces.resize(index + 1);
    r.pieces[index] = Piece{12, 12, r.pieces[0].holder, false};
    r.segments.pushFront(r.nextIndex);
    r.growNow = false;
}

void stepSnake(PlayField& f, Snake s) {
    SnakeRecord& r = s.rec;
    if (!s.blue) {
        steerIfComputerDriven(f, s);
        playTurnSoundIfTurned(f, r);
    }
    if (r.growNow) addSegment(s);
    const int t = takeTail(s);
    if (s.blue) {
        // Blue tests for a turn before and after its steering; each test that finds the direction
        // changed plays the sound, so a turn by key sounds twice. Kept as the game has always
        // sounded.
        playTurnSoundIfTurned(f, r);
        steerIfComputerDriven(f, s);
        playTurnSoundIfTurned(f, r);
    }
    Piece& moved = r.pieces[static_cast<size_t>(t)];
    r.headX += kCellSize * r.dx;
    r.headY += kCellSize * r.dy;
    // The tail is freed before the crash test, so a snake may follow its own tail.
    f.state.board.set(moved.x, moved.y, kCellFree);
    updatePieces(s, t);
    r.prevDx = r.dx;
    r.prevDy = r.dy;
    r.headIndex = t;
    wrap(r);
    moved.x = static_cast<int16_t>(r.headX);
    moved.y = static_cast<int16_t>(r.headY);
    if (s.blue) {
        // Blue looks for the food before its crash test, while its new head cell is still free:
        // new food may land under blue's own head. Kept: the game has always played so.
        foodTest(f, s);
        crashTest(f, s);
    } else {
        crashTest(f, s);
        foodTest(f, s);
    }
    f.state.board.set(r.headX, r.headY, kCellBlocked);
    moved.visible = true;
}

void StepRed(PlayField& field) {
    stepSnake(field, redSnake(field));
}
void StepBlue(PlayField& field) {
    stepSnake(field, blueSnake(field));
}

}  // namespace zib
