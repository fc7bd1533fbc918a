#pragma once
// Records every game the game window plays as a replay: the settings, the random source's state
// and what the game carries over from the games before, as the game starts; every key the game
// window gets while the game can still use it, with the tick in whose event processing it
// arrived; state checks as it runs; the outcome at its end. The finished record goes to a sink.
#include <functional>
#include <vector>

#include "game/game_window.h"
#include "game/menu_link.h"
#include "platform/services.h"
#include "replay/scenario.h"
#include "replay/state_check.h"
#include "state/game_state.h"

namespace zib {

class ReplayRecorder : public GameObserver {
  public:
    using Sink = std::function<void(const Scenario&)>;
    ReplayRecorder(GameWindow& window, GameState& state, MenuLink& menu, Sink sink);

    void gameStarting() override;
    void tickCompleted(int n) override;
    void gameFinished() override;
    void keyDown(int code) override;
    void keyPress(int character) override;
    // A game linked with another program that confirms its ticks: these are the game's ticks and
    // keys, and the window's own (which may be guesses) are not recorded.
    void tickConfirmed(int n, std::span<const TickKey> keys, const GameState& state) override;

    // The game being recorded so far (its outcome once it has ended).
    const Scenario& record() const { return record_; }
    bool recording() const { return recording_; }

  private:
    void keyArrived(ScenarioEvent::Kind kind, int code);
    bool linked() const;

    GameWindow& window_;
    GameState& state_;
    MenuLink& menu_;
    Sink sink_;
    Scenario record_;
    StateChecks checks_;
    std::vector<ScenarioEvent> beforeStart_;  // keys between the window's load and the start
    bool recording_ = false;
    int ticks_ = 0;
};

}  // namespace zib
