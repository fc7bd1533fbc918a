#pragma once
// Watching a host's games: the spectator's game window shows each game as a live replay, about
// kWatchLag behind the players, from the host's start and the confirmed keys of every tick, which
// the window applies through its usual key handlers (so its recorder writes the spectator's
// replay). A game joined in the middle is played from its start at full speed until it is that
// far behind. Nothing this program's player presses reaches the game; Esc stops watching.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "game/game_window.h"
#include "game/menu_link.h"
#include "game/tick_link.h"
#include "net/watch_session.h"
#include "online/game_start.h"
#include "platform/texts.h"
#include "state/game_state.h"

namespace zib {

// How far behind the players a spectator shows the game.
inline constexpr std::chrono::milliseconds kWatchLag{250};
// The spectator's START.
inline constexpr const char* kWatcherStartMessage =
    N_("Jste divák: hru spouští hostitel. Počkejte, až ji spustí.");

class WatchPlay : public TickLink {
  public:
    WatchPlay(std::unique_ptr<net::WatchSession> session, GameState& state, GameWindow& window,
              MenuLink& menu);
    ~WatchPlay() override;
    WatchPlay(const WatchPlay&) = delete;
    WatchPlay& operator=(const WatchPlay&) = delete;

    // How the menu starts a game with the current settings (shows the game window, hides itself).
    void setStartGame(std::function<void()> start) { startGame_ = std::move(start); }
    // Serves the connection from the menu: starts the next game when the window is free.
    void poll();
    // The menu's line: what is watched, or why not.
    std::string statusLine() const;
    // EXIT: a goodbye to the host.
    void close();
    net::WatchSession& session() { return *session_; }

    // TickLink
    bool takeKeyDown(int code) override;
    bool takeKeyPress(int character) override;
    bool takePad(PadInput input) override;
    bool tickReady(int n) override;
    void tick(int n) override;
    void gameEnded() override;
    bool catchingUp() const override;

  private:
    void launch(const net::StartGame& start);
    bool due(uint32_t tick) const;

    std::unique_ptr<net::WatchSession> session_;
    GameState& state_;
    GameWindow& window_;
    GameStart gameStart_;
    std::function<void()> startGame_;
    bool linked_ = false;     // a watched game runs in the window (or is about to)
    bool shownHere_ = false;  // the window holds a watched game (maybe in its end pause)
    bool leaving_ = false;    // Esc: the game ends here and the watching with it
    uint32_t lastTick_ = 0;   // the last tick applied
};

}  // namespace zib
