#pragma once
// A game started from the host's start, on any machine that is not the host: the joiner, which
// plays it, and a spectator, which watches it. The start's settings, level text, random state and
// the state carried over from earlier games replace this program's for the game; its own settings
// come back after it, so EXIT writes its own ZIB.ini.
#include <optional>

#include "game/game_window.h"
#include "game/menu_link.h"
#include "net/messages.h"
#include "net/watch_messages.h"
#include "state/game_state.h"

namespace zib {

class GameStart {
  public:
    GameStart(GameState& state, GameWindow& window, MenuLink& menu)
        : state_(state), window_(window), menu_(menu) {}

    // Before the window loads the level: the game's settings, level and win counts.
    void applySettings(const net::StartGame& start);
    // After the window has loaded the level: the state of earlier games and the random source.
    void applyCarried(const net::StartGame& start);
    // After the game: this player's own settings again, and no level from the network.
    void restoreOwnSettings();
    // This player's own settings, during a game too.
    const Settings& ownSettings() const { return own_ ? *own_ : state_.settings; }

  private:
    GameState& state_;
    GameWindow& window_;
    MenuLink& menu_;
    std::optional<Settings> own_;
    bool ownFreeMode_ = false;
};

// What a game applies of the keys either side sends: a key bound in the game (never Enter), or
// Esc as a character. Anything else is dropped, on every machine alike, so that they stay in step.
bool appliedOnline(const Settings& game, const net::AppliedKey& event);

}  // namespace zib
