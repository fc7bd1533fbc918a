// One game inside one event of Timer1: the first food, the pause, the routes, then the loop that
// grows and steps both snakes, keeps the frame counter and the food animation going, sleeps and
// lets the window's events run. Also the food placement and the food animation.
#include "game/game_loop.h"

#include <algorithm>
#include <limits>

#include "computer/computer_player.h"
#include "game/game_window.h"
#include "snakes/food.h"
#include "snakes/snake_step.h"

namespace zib {

namespace {

constexpr int kFoodColumns = 70;  // x = 10..700
constexpr int kFoodRows = 50;     // y = 10..500
// Blocked draws in a row after which the candidates are counted once, to find out whether any is
// free at all. Below it, placement costs exactly the draws it always did.
constexpr int kDrawsBeforeCount = 256;

// The game loop turns owed growth into a grow flag for the next step; in endless growth every step
// grows and the owed count keeps falling below 0, but not past the int limit (a large negative
// growth per food can take it there).
void owedGrowth(SnakeRecord& snake, int endlessGrowth) {
    if (snake.pendingGrowth > 0 || endlessGrowth == 1) {
        snake.growNow = 1;
        if (snake.pendingGrowth > std::numeric_limits<int>::min()) snake.pendingGrowth -= 1;
    }
}

}  // namespace

int countFreeFoodCells(const Board& board) {
    int free = 0;
    for (int r = 0; r < kFoodRows; ++r)
        for (int c = 0; c < kFoodColumns; ++c)
            if (board.get(kCellSize * c + kCellSize, kCellSize * r + kCellSize) != 1) ++free;
    return free;
}

std::optional<FoodCell> PlaceFood(const Board& board, Random& random) {
    int blockedDraws = 0;
    for (;;) {
        // x is always drawn first, then y; a blocked cell draws both again.
        const int r1 = static_cast<int>(random.next() * kFoodColumns);
        const int x = kCellSize * r1 + kCellSize;
        const int r2 = static_cast<int>(random.next() * kFoodRows);
        const int y = kCellSize * r2 + kCellSize;
        if (board.get(x, y) != 1) return FoodCell{x, y};
        if (++blockedDraws == kDrawsBeforeCount && countFreeFoodCells(board) == 0)
            return std::nullopt;
    }
}

void GameWindow::AnimateFood() {
    state_.foodFrame += 1;
    if (state_.foodFrame == 3) state_.foodFrame = 1;
    (*picture1_)[0].setPicture((*picture1_)[state_.foodFrame].picture());
}

void GameWindow::Timer1_Timer() {
    if (recorder_) recorder_->gameStarting();
    if (observer_) observer_->gameStarting();
    PlayField& f = *field_;
    Clock& clock = services().clock;
    GameState& s = state_;
    phase_ = Phase::Starting;

    putFoodOnFreeCell(f);
    menu_.hideMenu();
    uint32_t lastTick = clock.tickCount();
    clock.sleep(200);
    const Image& food = f.food();
    if (s.settings.onePlayer == 1) FindPath(s, s.blue.headX, s.blue.headY, food.left, food.top, 2);
    if (s.demoMode == 1) FindPath(s, s.red.headX, s.red.headY, food.left, food.top, 1);
    if (recorder_) recorder_->gameStarted();
    if (observer_) observer_->gameStarted();

    phase_ = Phase::Playing;
    int tick = 0;
    while (stopRequested_ != 1) {
        owedGrowth(s.red, s.settings.endlessGrowth);
        owedGrowth(s.blue, s.settings.endlessGrowth);
        StepRed(f);
        StepBlue(f);
        ++frameCount_;
        if (clock.tickCount() - lastTick > 200) {
            AnimateFood();
            lastTick = clock.tickCount();
        }
        const int second = clock.secondOfMinute();
        if (second != lastFpsSecond_) {
            label1_->setCaption("FPS: " + std::to_string(frameCount_));
            lastFpsSecond_ = second;
            frameCount_ = 0;
        }
        clock.sleep(static_cast<uint32_t>(std::max(0, s.settings.gameSpeed)));
        app().doEvents();
        // The program is ending (its window was closed): leave at once, nothing more to show.
        if (app().quitRequested() || !isLoaded()) return;
        if (s.freeMode != 1 && (s.gameOver != 0 || !timer1_->enabled())) {
            stopRequested_ = 1;
            timer1_->setEnabled(false);
        }
        ++tick;
        if (recorder_) recorder_->tickCompleted(tick);
        if (observer_) observer_->tickCompleted(tick);
    }
    phase_ = Phase::Finished;
    timer2_->setEnabled(true);
    // An Esc ends the loop with Timer1 still enabled; it is switched off here so that the game is
    // played once per load and not started again during the pause.
    timer1_->setEnabled(false);
    showResult();
}

}  // namespace zib
