// The snake step, one routine for both colours. Where red and blue differ (the order of steering,
// turn sound, food and crash tests) the routine asks which snake it moves.
#include "snakes/snake_step.h"

#include "snakes/food.h"
#include "snakes/snake_sprites.h"
#include "state/field_geometry.h"

namespace zib {

namespace {

void playTurnSoundIfTurned(PlayField& f, const SnakeRecord& s) {
    if (s.prevDx != s.dx || s.prevDy != s.dy) f.services.sound.play(f.turnSound);
}

// Red is computer-driven in a demo game, blue in a one-player game.
void steerIfComputerDriven(PlayField& f, const Snake& s) {
    const Image& food = f.food();
    if (s.blue) {
        if (f.state.settings.onePlayer) f.computer.steerBlue(f.state, food.left, food.top);
    } else if (f.state.demoMode) {
        f.computer.steerRed(f.state, food.left, food.top);
    }
}

void crashTest(PlayField& f, const Snake& s) {
    if (IsBlocked(f.state.board, s.rec.headX, s.rec.headY)) {
        f.state.gameOver = s.blue ? GameOver::BlueDied : GameOver::RedDied;
        s.rec.dead = true;
    }
}

void foodTest(PlayField& f, const Snake& s, int t) {
    if (checkFood(f, s, t)) s.rec.growNow = true;
}

// The four edge tests in their order, each on the position the earlier ones left. A head that a
// computer snake sent past the right or bottom edge (it crossed the left or top edge with an
// edge-crossing direction and then lost its route) is brought back onto the field as well, so that
// no head position can leave the board.
void wrap(Image& moved, SnakeRecord& r) {
    constexpr int w = kFieldWidth, h = kFieldHeight;
    if (moved.left == w) r.headX = moved.left = 0;
    if (moved.top == h) r.headY = moved.top = 0;
    if (moved.left < 0) r.headX = moved.left = w - kCellSize;
    if (moved.top < 0) r.headY = moved.top = h - kCellSize;
    if (moved.left > w) r.headX = moved.left = moved.left % w;
    if (moved.top > h) r.headY = moved.top = moved.top % h;
}

}  // namespace

bool IsBlocked(const Board& board, int x, int y) {
    return board.get(x, y) != 0;
}

int takeTail(Snake s) {
    return s.rec.segments.rotate();
}

void addSegment(Snake s) {
    s.rec.nextIndex += 1;
    // The new sprite copies element 0's picture as it is now; (12, 12) lies off the 10-pixel
    // lattice, so freeing the spot it leaves clears an entry that no cell uses.
    Image& added = s.sprites.create(s.rec.nextIndex);
    added.move(12, 12);
    s.rec.segments.pushFront(s.rec.nextIndex);
    s.rec.growNow = false;
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
    Image& moved = s.sprites[t];
    moved.visible = false;
    r.headX += kCellSize * r.dx;
    r.headY += kCellSize * r.dy;
    // The tail is freed before the crash test, so a snake may follow its own tail.
    f.state.board.set(moved.left, moved.top, 0);
    moved.move(r.headX, r.headY);
    updateSprites(f, s, t);
    r.prevDx = r.dx;
    r.prevDy = r.dy;
    r.headIndex = t;
    wrap(moved, r);
    if (s.blue) {
        // Blue looks for the food before its crash test, while its new head cell is still free:
        // new food may land under blue's own head. Kept: the game has always played so.
        foodTest(f, s, t);
        crashTest(f, s);
    } else {
        crashTest(f, s);
        foodTest(f, s, t);
    }
    f.state.board.set(r.headX, r.headY, 1);
    moved.visible = true;
}

void StepRed(PlayField& field) {
    stepSnake(field, redSnake(field));
}
void StepBlue(PlayField& field) {
    stepSnake(field, blueSnake(field));
}

}  // namespace zib
