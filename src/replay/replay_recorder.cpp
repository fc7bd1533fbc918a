#include "replay/replay_recorder.h"

#include <algorithm>

#include "game/level_loader.h"
#include "platform/files.h"
#include "replay/state_check.h"
#include "state/game_mode.h"
#include "state/settings_limits.h"

namespace zib {

ReplayRecorder::ReplayRecorder(GameWindow& window, GameState& state, MenuLink& menu, Sink sink)
    : window_(window), state_(state), menu_(menu), sink_(std::move(sink)) {}

void ReplayRecorder::gameStarting() {
    recording_ = false;
    ticks_ = 0;
    std::vector<ScenarioEvent> early = std::move(beforeStart_);
    beforeStart_.clear();
    const Settings& settings = state_.settings;
    Scenario s;
    // A game that cannot be replayed: no level text, or a start length that
    // no body list can have (only a hand-edited ZIB.ini gives one).
    // A level from the network is recorded as it came; others are read from the file the window
    // read them from, the player's own before a shipped one of the same name.
    if (const auto& network = window_.networkLevel()) {
        s.level = network->text;
    } else {
        const std::string folder =
            folderOfLevel(settings.levelName, window_.playerLevelFolder(), window_.levelFolder());
        const std::optional<std::string> path = resolvePath(folder, settings.levelName);
        if (!path || !readWholeFile(*path, s.level)) return;
    }
    if (settings.startLength < 1 || settings.startLength > kLargestStartLength) return;

    const size_t slash = settings.levelName.find_last_of("/\\");
    s.levelFile =
        slash == std::string::npos ? settings.levelName : settings.levelName.substr(slash + 1);
    s.seed = state_.random.state;
    s.gameSpeed = std::max(0, settings.gameSpeed);  // the loop sleeps no less than 0 ms
    s.growthPerFood = settings.growthPerFood;
    s.startLength = settings.startLength;
    // A mode number from ZIB.ini outside 1..3 leaves the two flags as they were; the flags are
    // what the game reads, and they are recorded.
    s.gameMode = gameModeOf(settings.gameMode) ? settings.gameMode : modeNumber(GameMode::Classic);
    s.demo = state_.demoMode;
    s.freeMode = state_.freeMode == 1;
    s.endlessGrowth = settings.endlessGrowth == 1;
    s.onePlayer = settings.onePlayer;
    s.keyBindings = settings.keyBindings;
    s.carried = carriedOverFrom(state_, menu_.redWins(), menu_.blueWins());
    s.events = std::move(early);
    record_ = std::move(s);
    checks_ = {};
    recording_ = true;
}

bool ReplayRecorder::linked() const {
    return window_.tickLink() && window_.tickLink()->confirmsTicks();
}

void ReplayRecorder::tickConfirmed(int n, std::span<const TickKey> keys, const GameState& state) {
    if (!recording_) return;
    for (const TickKey& key : keys)
        record_.events.push_back(ScenarioEvent{n,
                                               key.kind == TickKey::Kind::Down
                                                   ? ScenarioEvent::Kind::Down
                                                   : ScenarioEvent::Kind::Press,
                                               key.code});
    ticks_ = n;
    checks_.ticked(n, state);
}

void ReplayRecorder::tickCompleted(int n) {
    if (!recording_ || linked()) return;
    ticks_ = n;
    checks_.ticked(n, state_);
}

void ReplayRecorder::gameFinished() {
    beforeStart_.clear();
    if (!recording_) return;
    recording_ = false;
    if (!record_.outcome) record_.outcome.emplace();
    RecordedOutcome& o = *record_.outcome;
    checks_.ended(ticks_, state_);
    o.checks = checks_.checks;
    o.result = window_.resultCaption();
    o.ticks = ticks_;
    o.redWins = menu_.redWins();
    o.blueWins = menu_.blueWins();
    o.redDead = state_.red.dead == 1;
    o.blueDead = state_.blue.dead == 1;
    record_.maxTicks = ticks_;
    if (sink_) sink_(record_);
}

void ReplayRecorder::keyArrived(ScenarioEvent::Kind kind, int code) {
    // Keys after the loop ended change nothing the game shows; they are the next game's business.
    if (window_.gameEnded()) return;
    if (window_.loopRunning()) {
        if (recording_ && !linked())
            record_.events.push_back(ScenarioEvent{ticks_ + 1, kind, code});
    } else {
        beforeStart_.push_back(ScenarioEvent{0, kind, code});
    }
}

void ReplayRecorder::keyDown(int code) {
    keyArrived(ScenarioEvent::Kind::Down, code);
}

void ReplayRecorder::keyPress(int character) {
    keyArrived(ScenarioEvent::Kind::Press, character);
}

}  // namespace zib
