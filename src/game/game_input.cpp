// Keys during play and during the pause after a game: the game's own rules (applyKey: the bound
// keys steer, Esc ends the game, in a demo game any key ends it), and what the window does beyond
// them: Enter asks for a restart of the level, a demo key switches the game's timer off.
#include "game/game_window.h"

namespace zib {

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
    const bool demo = state_.demoMode;
    const KeyOutcome outcome = applyKey(state_, TickKey{TickKey::Kind::Down, code});
    if (outcome.restartAsked) {
        restartRequested_ = true;
        if (endPauseTimer_) endPauseTimer_->setInterval(kRestartPauseMs);
        // At once only when the game loop has really ended; a demo key that switched Timer1 off
        // earlier in the same event processing has not ended it yet.
        if (phase_ == Phase::Finished) Timer2_Timer();
    }
    if (demo && gameTimer_) gameTimer_->setEnabled(false);
}

void GameWindow::applyKeyPress(int character) {
    if (recorder_) recorder_->keyPress(character);
    if (observer_) observer_->keyPress(character);
    applyKey(state_, TickKey{TickKey::Kind::Press, character});
}

}  // namespace zib
