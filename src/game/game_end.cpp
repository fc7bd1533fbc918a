// The end of a game: the head-on test and the result (the last part of Timer1_Timer), and the
// end-of-game handler Timer2_Timer with its reset and the way back to the level or the menu.
#include "game/game_texts.h"
#include "game/game_window.h"
#include "platform/texts.h"

namespace zib {

void GameWindow::showResult() {
    const GameResult result = decideResult(state_);
    if (result == GameResult::NoResult) {
        if (recorder_) recorder_->gameFinished();
        if (observer_) observer_->gameFinished();
        return;
    }
    resultLabel_->setCaption(tr(zib::resultCaption(result)));
    if (result == GameResult::BlueWon)
        menu_->setBlueWins(menu_->blueWins() + 1);
    else if (result == GameResult::RedWon)
        menu_->setRedWins(menu_->redWins() + 1);
    redWinsLabel_->setCaption(std::to_string(menu_->redWins()));
    blueWinsLabel_->setCaption(std::to_string(menu_->blueWins()));
    redWinsLabel_->visible = true;
    blueWinsLabel_->visible = true;
    if (recorder_) recorder_->gameFinished();
    if (observer_) observer_->gameFinished();
}

void GameWindow::resetPlayState() {
    GameState& s = state_;
    s.board.clearCells();
    s.red.dead = false;
    s.blue.dead = false;
    s.gameOver = GameOver::None;
    s.stopRequested = false;
    s.red.dx = s.red.dy = 0;
    s.blue.dx = s.blue.dy = 0;
    // Only red's previous direction is reset; blue's survives into the next game, so blue's first
    // step compares with its last direction of this one. Kept: its first-step sound and neck
    // picture have always depended on it.
    s.red.prevDx = s.red.prevDy = 0;
    s.blue.headIndex = 0;
    s.red.headIndex = 0;
    s.blue.pendingGrowth = 0;
    s.red.pendingGrowth = 0;
}

void GameWindow::Timer2_Timer() {
    resetPlayState();
    Display& display = services().display;
    if (restartRequested_ && !state_.demoMode) {
        menu_->showMenu();
        unload();
        show();  // a fresh load: the same level, and Timer1 starts the new game
        display.showCursor(true);
        restartRequested_ = false;
        if (!loadError_.empty()) {
            // The level could not be loaded again: stay in the menu and say why.
            menu_->enableIdleTimer();
            menu_->showMessage(loadError_);
            return;
        }
        menu_->hideMenu();
        return;
    }
    if (state_.demoMode) {
        state_.demoMode = false;
        menu_->demoEnded();
    }
    // A restart asked for in a game that ends in the menu is dropped, so that it does not restart
    // some later game.
    restartRequested_ = false;
    display.showCursor(true);
    menu_->showMenu();
    menu_->enableIdleTimer();
    unload();
}

}  // namespace zib
