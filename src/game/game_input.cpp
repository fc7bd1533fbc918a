// Keys during play and during the pause after a game: the bound keys steer, Enter asks for a
// restart of the level, Esc ends the game, and in a demo game any key ends it.
#include "game/game_window.h"

namespace zib {

namespace {

struct KeyDirection {
    int binding;  // index into keyBindings
    int dx, dy;
};

// In the order they are compared; the first match steers.
constexpr KeyDirection kRedKeys[] = {{1, 0, -1}, {5, 1, 0}, {3, 0, 1}, {7, -1, 0}};
constexpr KeyDirection kBlueKeys[] = {{0, 0, -1}, {4, 1, 0}, {2, 0, 1}, {6, -1, 0}};

constexpr int kEnter = 13;
constexpr int kEsc = 27;

bool steer(SnakeRecord& snake, const KeyDirection (&keys)[4], const Settings& settings, int code) {
    for (const KeyDirection& k : keys) {
        if (code != settings.keyBindings[static_cast<size_t>(k.binding)]) continue;
        snake.dx = k.dx;
        snake.dy = k.dy;
        return true;
    }
    return false;
}

}  // namespace

void GameWindow::Form_KeyDown(int code, int) {
    if (tickLink_ && tickLink_->takeKeyDown(code)) return;
    applyKeyDown(code);
}

void GameWindow::Form_KeyPress(int character) {
    if (tickLink_ && tickLink_->takeKeyPress(character)) return;
    applyKeyPress(character);
}

void GameWindow::applyKeyDown(int code) {
    if (recorder_) recorder_->keyDown(code);
    if (observer_) observer_->keyDown(code);
    // A key bound to both snakes steers both.
    steer(state_.red, kRedKeys, state_.settings, code);
    const bool blueMatched = steer(state_.blue, kBlueKeys, state_.settings, code);
    if (!blueMatched && code == kEnter) {
        restartRequested_ = true;
        if (endPauseTimer_) endPauseTimer_->setInterval(10);
        // At once only when the game loop has really ended; a demo key that switched Timer1 off
        // earlier in the same event processing has not ended it yet.
        if (phase_ == Phase::Finished) Timer2_Timer();
    }
    if (state_.demoMode && gameTimer_) gameTimer_->setEnabled(false);
}

void GameWindow::applyKeyPress(int character) {
    if (recorder_) recorder_->keyPress(character);
    if (observer_) observer_->keyPress(character);
    if (character == kEsc) {
        stopRequested_ = true;
        state_.demoMode = true;
    }
}

}  // namespace zib
