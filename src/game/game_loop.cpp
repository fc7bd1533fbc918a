// One game inside one event of Timer1: the start (the first food, the pause, the routes), then the
// loop that runs the tick's moves, draws the state and plays its sounds, keeps the frame counter
// and the food animation going, and lets the window's events run until the tick's deadline, where
// the keys of the tick arrive. Also the food animation.
#include <algorithm>

#include "game/game_window.h"

namespace zib {

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

    menu_->hideMenu();
    uint32_t lastTick = clock.tickCount();
    clock.sleep(kStartPauseMs);
    startGame(f);
    drawFood();
    if (recorder_) recorder_->gameStarted();
    if (observer_) observer_->gameStarted();

    phase_ = Phase::Playing;
    int tick = 0;
    // The ticks keep a fixed schedule: each ends a period after the one before, however long its
    // moves and drawing took.
    const auto period = static_cast<uint32_t>(std::max(0, s.settings.gameSpeed));
    uint32_t deadline = clock.tickCount();
    while (!s.stopRequested) {
        // An observer that has seen enough (zibsim at its last tick) ends the program's loop.
        if (app().quitRequested()) return;
        const int redNeck = s.red.headIndex, blueNeck = s.blue.headIndex;
        f.sounds.clear();
        moveSnakes(f);
        playSounds(f.sounds);
        drawTick(redNeck, blueNeck);
        app().noteChange();  // the sprites moved: the frame is composed at the next doEvents
        ++frameCount_;
        if (clock.tickCount() - lastTick > kFoodFrameMs) {
            AnimateFood();
            lastTick = clock.tickCount();
        }
        const int second = clock.secondOfMinute();
        if (second != lastFpsSecond_) {
            fpsLabel_->setCaption("FPS: " + std::to_string(frameCount_));
            lastFpsSecond_ = second;
            frameCount_ = 0;
        }
        // The tick's frame shows at once; then the keys of this tick, until its deadline: the
        // window's handlers apply each as it comes (applyKey).
        deadline += period;
        // A spectator catching up runs its ticks without waiting.
        if (tickLink_ && tickLink_->catchingUp()) deadline = clock.tickCount();
        app().doEvents();
        // The program is ending (its window was closed): leave at once, nothing more to show.
        if (app().quitRequested() || !isLoaded()) return;
        for (auto left = static_cast<int32_t>(deadline - clock.tickCount()); left > 0;
             left = static_cast<int32_t>(deadline - clock.tickCount())) {
            clock.sleep(std::min(static_cast<uint32_t>(left), kEventSliceMs));
            app().doEvents();
            if (app().quitRequested() || !isLoaded()) return;
        }
        // A tick more than a period late (a frame that took long) does not make the next ones
        // hurry.
        if (clock.tickCount() - deadline > period) deadline = clock.tickCount();
        if (tickLink_) {
            // A tick whose keys are not all here waits; the window keeps answering meanwhile. The
            // wait moves the schedule on: the link holds a tick back to let the other side level.
            while (!tickLink_->tickReady(tick + 1)) {
                clock.sleep(kLinkWaitMs);
                app().doEvents();
                if (app().quitRequested() || !isLoaded()) return;
                deadline = clock.tickCount();
            }
            tickLink_->tick(tick + 1);
            if (app().quitRequested() || !isLoaded()) return;
        }
        if (gameEnds(s)) {
            s.stopRequested = true;
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
