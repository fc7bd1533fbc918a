// The host's start put into this program's game, and this program's settings put back after it.
#include "online/game_start.h"

#include <algorithm>
#include <string>

#include "platform/key_codes.h"
#include "state/carried_over.h"
#include "state/game_mode.h"

namespace zib {

void GameStart::applySettings(const net::StartGame& start) {
    if (!own_) {
        own_ = state_.settings;
        ownFreeMode_ = state_.freeMode;
    }
    Settings& s = state_.settings;
    for (size_t i = 0; i < 8; ++i) s.keyBindings[i] = start.keyBindings[i];
    s.gameSpeed = start.gameSpeed;
    s.levelName = start.levelName;
    s.growthPerFood = start.growthPerFood;
    s.startLength = start.startLength;
    s.gameMode = start.gameMode;
    s.endlessGrowth = gameModeOf(start.gameMode) == GameMode::EndlessGrowth;
    s.onePlayer = false;
    state_.freeMode = start.freeMode;
    state_.demoMode = false;
    menu_.setRedWins(start.carried.redWins);
    menu_.setBlueWins(start.carried.blueWins);
    window_.setNetworkLevel(NetworkLevel{start.levelName, start.levelText, true});
}

void GameStart::applyCarried(const net::StartGame& start) {
    CarriedOver carried;
    carried.bluePrevDx = start.carried.bluePrevDx;
    carried.bluePrevDy = start.carried.bluePrevDy;
    carried.redGrowNow = start.carried.redGrowNow;
    carried.blueGrowNow = start.carried.blueGrowNow;
    carried.foodFrame = start.carried.foodFrame;
    carried.redWins = start.carried.redWins;
    carried.blueWins = start.carried.blueWins;
    carryOver(state_, carried);
    state_.random.state = start.seed;
}

void GameStart::restoreOwnSettings() {
    if (own_) {
        state_.settings = *own_;
        state_.freeMode = ownFreeMode_;
        own_.reset();
    }
    window_.setNetworkLevel(std::nullopt);
}

bool appliedOnline(const Settings& game, const net::AppliedKey& event) {
    if (event.kind == net::KeyKind::Press) return event.code == kEsc;
    const auto& keys = game.keyBindings;
    return event.code != kEnter && std::find(keys.begin(), keys.end(), event.code) != keys.end();
}

}  // namespace zib
