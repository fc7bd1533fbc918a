#pragma once
// Setting up a game as a scenario describes it, and handing its keys out tick by tick. zibsim and
// the window's replay playback share these.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "game/game_window.h"
#include "game/menu_link.h"
#include "replay/scenario.h"
#include "state/game_state.h"

namespace zib {

// Puts the scenario's settings and the state it carries over into state, and its win counts into
// the menu. levelName: the file name the game loads the level from.
void prepareGame(GameState& state, MenuLink& menu, const Scenario& scenario,
                 const std::string& levelName);

// The scenario's keys in order of ticks (events of one tick in the order given).
class ScenarioFeed {
  public:
    explicit ScenarioFeed(std::vector<ScenarioEvent> events);
    // Hands each event of the given tick to deliver, skipping any of earlier ticks not yet taken.
    void take(int tick, const std::function<void(const ScenarioEvent&)>& deliver);

  private:
    std::vector<ScenarioEvent> events_;
    size_t next_ = 0;
};

// Hands the keys of tick 0 straight to the window's key handlers, before its start timer fires:
// the window is the form on top, so the message loop would hand them to it just so.
void deliverBeforeStart(ScenarioFeed& feed, GameWindow& window);

}  // namespace zib
