#pragma once
// Online play in the game: one program hosts, the other joins, and both run the same game, each
// ahead of the other's keys (online/rollback.h). This machine's keys (those bound to either snake,
// and any gamepad) steer its own snake (the host's red, the joiner's blue): they act after the
// local input delay (2 ticks unless set), travel to the other side as slots of that snake, and
// the other side's keys not yet come are guessed as none. When they come and differ, the game is
// stepped again from the first wrong tick and the window draws the corrected state. Nobody runs
// more than eight ticks past the last tick both sides' keys are known for; a game ends only on
// such a confirmed tick. The replay and the checksums follow the confirmed ticks only.
//
// The host's settings, level text, random state and the state carried over from earlier games
// travel with each start, with the moment the first tick begins; the joiner plays with them and
// gets its own settings back after the game, so EXIT writes its own ZIB.ini.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "game/game_window.h"
#include "game/key_slots.h"
#include "game/menu_link.h"
#include "game/tick_link.h"
#include "net/session.h"
#include "online/game_start.h"
#include "online/rollback.h"
#include "platform/texts.h"
#include "platform/toolkit.h"
#include "state/game_state.h"

namespace zib {

// How often the connection is served while connected, in the menu and between a game's ticks
// (the menu's timer runs then too) (ms).
inline constexpr uint32_t kServeMs = 1;

// The message when the other side is gone in the middle of a game.
inline constexpr const char* kConnectionLostMessage = N_("Spojení se soupeřem bylo přerušeno");
// The status line while a tick waits for the other side for longer than half a second.
inline constexpr const char* kWaitingMessage = N_("Čekám na soupeře…");
// The joiner's START while connected.
inline constexpr const char* kJoinerStartMessage =
    N_("Hru spouští hostitel (červený). Počkejte, až ji spustí.");

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
    // This machine's keys act this many ticks after they are pressed (0..4; 2 unless set).
    static constexpr int kDefaultInputDelay = 2, kMaxInputDelay = 4;
    void setInputDelay(int ticks) { inputDelay_ = std::clamp(ticks, 0, kMaxInputDelay); }
    int inputDelay() const { return inputDelay_; }
    // Called for every tick that becomes confirmed, in order, with both sides' keys of that tick
    // as the replay stores them (red's first).
    // The rollback of the game being played, or of the last one (null before the first).
    const Rollback* rollback() const { return game_ ? &*game_ : nullptr; }
    // What the waits and corrections of the games so far cost.
    struct Figures {
        uint64_t stalls = 0;      // ticks that waited for the other side (not a guessed end)
        uint64_t longStalls = 0;  // of them, those that waited longer than a tick's period
        uint64_t played = 0;      // ticks played
        uint64_t guessed = 0;     // summed over them: the ticks past the last confirmed one shown
        uint32_t deepest = 0;     // the deepest correction
        double deepestRecomputeMs = 0;  // the time it took
    };
    const Figures& figures() const { return figures_; }

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
    void gameEnded() override;
    bool confirmsTicks() const override { return linked_; }

  private:
    net::StartGame buildStart() const;
    bool launch(const net::StartGame& start, std::chrono::steady_clock::time_point firstTick);
    void handleEvents();
    void endHere(const std::string& message);
    void queueLocal(uint8_t slot);
    void steerOwn(Heading heading);
    std::vector<TickKey> keysOf(const std::vector<net::KeyEvent>& events) const;
    void sendOwn(int n);
    void takeOthers();
    void confirmed(uint32_t tick, std::span<const TickKey> keys, size_t redKeys,
                   const GameState& state);
    void show(bool redraw);
    void showWaiting(bool on);
    bool stretch(int n);
    std::chrono::steady_clock::time_point firstTickOf(const net::StartGame& start) const;
    Side ownSide() const { return isHost() ? Side::Red : Side::Blue; }

    std::unique_ptr<net::Session> session_;
    Application& app_;
    GameState& state_;
    GameWindow& window_;
    MenuLink& menu_;
    std::function<void()> startGame_;
    GameStart gameStart_;

    bool linked_ = false;         // an online game runs (or is about to)
    bool lastWasOnline_ = false;  // the game in the window (maybe in its end pause) was online
    bool endedHere_ = false;  // this side ended the game early (Esc while waiting, desync, loss)
    bool escWhileStalled_ = false;  // Esc was pressed while a tick waited
    std::string endWhenStalled_;    // the other side is gone: the message once its keys run out
    int inputDelay_ = kDefaultInputDelay;
    std::optional<Rollback> game_;        // the game being played
    std::vector<net::KeyEvent> pending_;  // local keys for the next tick sent
    uint32_t sent_ = 0;                   // the last tick this side's keys were sent for
    std::chrono::steady_clock::time_point firstTick_{};                  // when tick 1 may run
    std::optional<std::chrono::steady_clock::time_point> waitingSince_;  // a tick waits
    bool stalled_ = false;  // the wait is a stall: the tick was not a guessed end
    bool waitingShown_ = false;
    int stretchedTick_ = 0;  // the last tick held back to let the other side catch up
    std::chrono::steady_clock::time_point stretchUntil_{};
    int measuredTick_ = 0;  // the last tick the lead was measured in
    double leadTicks_ = 0;  // how far this machine runs ahead of the other, smoothed
    bool redraw_ = false;   // a correction changed what the window shows
    Figures figures_;
    std::optional<net::StartGame> pendingStart_;            // the joiner: a start to act on
    std::chrono::steady_clock::time_point startArrived_{};  // when it came
    bool restartWanted_ = false;                            // the host: the joiner asked
};

}  // namespace zib
