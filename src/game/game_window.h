#pragma once
// The game window form1: its design, Form_Load with the level, the game loop in Timer1_Timer, the
// key handlers and the end-of-game pause in Timer2_Timer. The object outlives every unload, so its
// own fields (frame counter, stop and restart requests) carry over from one game to the next.
#include "game/game_state.h"
#include "game/menu_link.h"
#include "platform/toolkit.h"

namespace zib {

class GameWindow : public Form {
public:
    GameWindow(Application& app, GameState& state, MenuLink& menu);

protected:
    void design() override {}

private:
    GameState& state_;
    MenuLink& menu_;
};

}  // namespace zib
