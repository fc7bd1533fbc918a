// One game inside one event of Timer1: the first food, the pause, the routes, then the loop that
// grows and steps both snakes, keeps the frame counter and the food animation going, sleeps and
// lets the window's events run. Also the food animation.
#include <algorithm>
#include <limits>

#include "computer/computer_player.h"
#include "game/game_window.h"
#include "snakes/food.h"
#include "snakes/snake_step.h"

namespace zib {

namespace {

// The game loop turns owed growth into a grow flag for the next step; in endless growth every step
// grows and the owed count keeps falling below 0, but not past the int limit (a large negative
// growth per food can take it there).
void owedGrowth(SnakeRecord& snake, bool endlessGrowth) {
    if (snake.pendingGrowth > 0 || endlessGrowth) {
        snake.growNow = true;
        if (snake.pendingGrowth > std::numeric_limits<int>::min()) snake.pendingGrowth -= 1;
    }
}

}  // namespace

void GameWindow::AnimateFood() {
    state_.foodFrame += 1;
    if (state_.foodFrame == 3) state_.foodFrame = 1;
    (*foodSprites_)[0].setPicture((*foodSprites_)[state_.foodFrame].picture());
}

void GameWindow::Timer1_Timer() {
    if (recorder_) recorder_->gameStarting();
    if (observer_) observer_->gameStarting();
    PlayField& f = *field_;
    Clock& clock = services().clock;
    GameState& s = state_;
    phase_ = Phase::Starting;

    putFoodOnFreeCell(f);
    menu_->hideMenu();
    uint32_t lastTick = clock.tickCount();
    clock.sleep(200);
    const Image& food = f.food();
    if (s.settings.onePlayer)
        FindPath(s, s.blue.headX, s.blue.headY, food.left, food.top, Player::Blue);
    if (s.demoMode) FindPath(s, s.red.headX, s.red.headY, food.left, food.top, Player::Red);
    if (recorder_) recorder_->gameStarted();
    if (observer_) observer_->gameStarted();

    phase_ = Phase::Playing;
    int tick = 0;
    while (!stopRequested_) {
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
            fpsLabel_->setCaption("FPS: " + std::to_string(frameCount_));
            lastFpsSecond_ = second;
            frameCount_ = 0;
        }
        clock.sleep(static_cast<uint32_t>(std::max(0, s.settings.gameSpeed)));
        app().doEvents();
        // The program is ending (its window was closed): leave at once, nothing more to show.
        if (app().quitRequested() || !isLoaded()) return;
        if (tickLink_) {
            tickLink_->tick(tick + 1);
            if (app().quitRequested() || !isLoaded()) return;
        }
        if (!s.freeMode && (s.gameOver != GameOver::None || !gameTimer_->enabled())) {
            stopRequested_ = true;
            gameTimer_->setEnabled(false);
        }
        ++tick;
        if (recorder_) recorder_->tickCompleted(tick);
        if (observer_) observer_->tickCompleted(tick);
    }
    phase_ = Phase::Finished;
    endPauseTimer_->setEnabled(true);
    // An Esc ends the loop with Timer1 still enabled; it is switched off here so that the game is
    // played once per load and not started again during the pause.
    gameTimer_->setEnabled(false);
    showResult();
    if (tickLink_) tickLink_->gameEnded();
}

}  // namespace zib
