#include "replay/scenario_game.h"

#include <algorithm>

#include "state/game_mode.h"

namespace zib {

void prepareGame(GameState& state, MenuLink& menu, const Scenario& s,
                 const std::string& levelName) {
    Settings& settings = state.settings;
    settings.keyBindings = s.keyBindings;
    settings.gameSpeed = s.gameSpeed;
    settings.levelName = levelName;
    settings.growthPerFood = s.growthPerFood;
    settings.startLength = s.startLength;
    settings.gameMode = s.gameMode;
    settings.endlessGrowth =
        s.endlessGrowth.value_or(gameModeOf(s.gameMode) == GameMode::EndlessGrowth);
    settings.onePlayer =
        s.onePlayer.value_or(gameModeOf(s.gameMode) == GameMode::OnePlayer || s.demo);
    state.demoMode = s.demo;
    state.freeMode = s.freeMode;
    state.random.state = s.seed;

    carryOver(state, s.carried);
    menu.setRedWins(s.carried.redWins);
    menu.setBlueWins(s.carried.blueWins);
}

ScenarioFeed::ScenarioFeed(std::vector<ScenarioEvent> events) : events_(std::move(events)) {
    std::stable_sort(
        events_.begin(), events_.end(),
        [](const ScenarioEvent& a, const ScenarioEvent& b) { return a.tick < b.tick; });
}

void ScenarioFeed::take(int tick, const std::function<void(const ScenarioEvent&)>& deliver) {
    while (next_ < events_.size() && events_[next_].tick < tick) ++next_;
    for (; next_ < events_.size() && events_[next_].tick == tick; ++next_) deliver(events_[next_]);
}

void deliverBeforeStart(ScenarioFeed& feed, GameWindow& window) {
    feed.take(0, [&window](const ScenarioEvent& e) {
        if (e.kind == ScenarioEvent::Kind::Down)
            window.Form_KeyDown(e.code, 0);
        else
            window.Form_KeyPress(e.code);
    });
}

}  // namespace zib
