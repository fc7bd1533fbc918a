#include "game/game_window.h"

namespace zib {

GameWindow::GameWindow(Application& app, GameState& state, MenuLink& menu)
    : Form(app), state_(state), menu_(menu) {}

}  // namespace zib
