#pragma once
// Online play in the game: one program hosts, the other joins, and both run the same game in
// lockstep. This machine's keys (those bound to either snake, and any gamepad) steer its own snake
// (the host's red, the joiner's blue); they are stamped with the tick in whose event processing
// they must arrive, the current one plus the input delay, sent to the other side and applied on
// both machines in that tick, the host's before the joiner's, through the game window's usual key
// handlers. A tick whose keys from the other side are late waits for them while the window keeps
// answering. Every 16 ticks both sides compare a checksum of the game's state.
//
// The host's settings, level text, random state and the state carried over from earlier games
// travel with each start; the joiner plays with them and gets its own settings back after the
// game, so EXIT writes its own ZIB.ini.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/game_window.h"
#include "game/key_slots.h"
#include "game/menu_link.h"
#include "game/tick_link.h"
#include "net/session.h"
#include "online/game_start.h"
#include "platform/toolkit.h"
#include "state/game_state.h"

namespace zib {

// How often the connection is served while connected, in the menu and in a game's pause (ms).
inline constexpr uint32_t kServeMs = 1;

// The message when the other side is gone in the middle of a game.
inline constexpr const char* kConnectionLostMessage = "Spojení se soupeřem bylo přerušeno";
// The joiner's START while connected.
inline constexpr const char* kJoinerStartMessage =
    "Hru spouští hostitel (červený). Počkejte, až ji spustí.";

// A hash of what decides the game (board, snakes, food, owed growth) and the random state.
uint64_t onlineChecksum(const GameState& state);

class OnlinePlay : public TickLink {
  public:
    OnlinePlay(std::unique_ptr<net::Session> session, Application& app, GameState& state,
               GameWindow& window, MenuLink& menu);
    ~OnlinePlay() override;
    OnlinePlay(const OnlinePlay&) = delete;
    OnlinePlay& operator=(const OnlinePlay&) = delete;

    // How the menu starts a game with the current settings (shows the game window, hides itself).
    void setStartGame(std::function<void()> start) { startGame_ = std::move(start); }

    net::Session& session() { return *session_; }
    bool isHost() const { return session_->role() == net::Role::Host; }
    // A player is connected: the menu plays no demo, and only EXIT of the typed words counts.
    bool connected() const { return session_->state() == net::SessionState::Connected; }
    // An online game is being played (from its start to its end).
    bool playing() const { return linked_; }
    std::string statusLine() const;

    // The host's START: sends the start and begins the game here. Returns a Czech message when no
    // game could start (nothing is sent then).
    std::string startAsHost();
    // Serves the connection from the menu: starts, restarts, ends and losses. While connected the
    // menu calls it at least every kServeMs.
    void poll();
    // EXIT: a goodbye to the other side.
    void close();

    // TickLink
    bool takeKeyDown(int code) override;
    bool takeKeyPress(int character) override;
    bool takePad(PadInput input) override;
    bool tickReady(int n) override;
    void tick(int n) override;
    void pause(Clock& clock, uint32_t ms) override;
    void gameEnded() override;

  private:
    net::StartGame buildStart() const;
    bool launch(const net::StartGame& start);
    void handleEvents();
    void endHere(const std::string& message);
    void queueLocal(net::KeyKind kind, int code);
    void steerOwn(Heading heading);
    void apply(const std::vector<net::KeyEvent>& events);

    std::unique_ptr<net::Session> session_;
    Application& app_;
    GameState& state_;
    GameWindow& window_;
    MenuLink& menu_;
    std::function<void()> startGame_;
    GameStart gameStart_;

    bool linked_ = false;         // an online game runs (or is about to)
    bool lastWasOnline_ = false;  // the game in the window (maybe in its end pause) was online
    bool stalling_ = false;       // a tick waits for the other side's keys
    bool endedHere_ = false;  // this side ended the game early (Esc while waiting, desync, loss)
    bool escWhileStalled_ = false;  // Esc was pressed while a tick waited
    uint32_t sentTick_ = 0;         // the last tick whose own keys have been sent
    std::chrono::steady_clock::time_point stallStart_{};  // when that tick began to wait
    std::string endWhenStalled_;  // the other side is gone: the message once its keys run out
    int inputDelay_ = 1;
    std::vector<net::KeyEvent> pending_;                    // local keys for the next stamp
    std::map<uint32_t, std::vector<net::KeyEvent>> local_;  // local keys by the tick they apply
    std::optional<net::StartGame> pendingStart_;            // the joiner: a start to act on
    bool restartWanted_ = false;                            // the host: the joiner asked
};

}  // namespace zib
