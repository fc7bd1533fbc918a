// Online play in the game: the start of a game on both machines, the lockstep of every tick, the
// checksums, and the ends of a game (Esc, a desync, a lost connection).
#include "online/online_play.h"

#include <algorithm>
#include <chrono>

#include "game/level_loader.h"
#include "platform/files.h"
#include "replay/replay_recorder.h"
#include "replay/state_check.h"
#include "state/carried_over.h"
#include "state/game_mode.h"

namespace zib {

namespace {

// How long Esc waits for a silent other side before the game ends on this side alone.
constexpr std::chrono::milliseconds kEscPatience{1000};

uint32_t winsOf(long long count) {
    return static_cast<uint32_t>(std::clamp<long long>(count, 0, net::kMaxWins));
}

int8_t clampStep(int v) {
    return static_cast<int8_t>(std::clamp(v, -net::kMaxEdgeStep, net::kMaxEdgeStep));
}

std::string bareName(const std::string& name) {
    const size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

uint64_t onlineChecksum(const GameState& state) {
    uint64_t h = stateHash(state);
    const uint64_t r = state.random.state;
    // Mixed in so that a random state that differs changes every bit of the sum.
    h ^= r + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}

OnlinePlay::OnlinePlay(std::unique_ptr<net::Session> session, Application& app, GameState& state,
                       GameWindow& window, MenuLink& menu)
    : session_(std::move(session)),
      app_(app),
      state_(state),
      window_(window),
      menu_(menu),
      gameStart_(state, window, menu) {
    window_.setTickLink(this);
}

OnlinePlay::~OnlinePlay() {
    window_.setTickLink(nullptr);
}

std::string OnlinePlay::statusLine() const {
    return session_->statusLine(std::max(1, state_.settings.gameSpeed));
}

void OnlinePlay::close() {
    session_->close();
}

// ---- the start of a game

net::StartGame OnlinePlay::buildStart() const {
    const Settings& s = state_.settings;
    net::StartGame start;
    start.levelName = bareName(s.levelName);
    const std::string folder =
        folderOfLevel(s.levelName, window_.playerLevelFolder(), window_.levelFolder());
    if (const auto path = resolvePath(folder, s.levelName)) readWholeFile(*path, start.levelText);
    // One player plays online as the classic game with two people.
    const bool endless = gameModeOf(s.gameMode) == GameMode::EndlessGrowth;
    start.gameMode =
        static_cast<uint8_t>(modeNumber(endless ? GameMode::EndlessGrowth : GameMode::Classic));
    start.growthPerFood = s.growthPerFood;
    start.startLength = s.startLength;
    start.gameSpeed = std::max(0, s.gameSpeed);
    start.freeMode = state_.freeMode;
    start.seed = state_.random.state;
    start.inputDelay =
        static_cast<uint8_t>(session_->suggestedInputDelay(std::max(1, s.gameSpeed)));
    // Red's previous direction is always (0, 0) when a game starts, so it is not sent.
    const CarriedOver carried = carriedOverFrom(state_, menu_.redWins(), menu_.blueWins());
    start.carried.bluePrevDx = clampStep(carried.bluePrevDx);
    start.carried.bluePrevDy = clampStep(carried.bluePrevDy);
    start.carried.redGrowNow = carried.redGrowNow;
    start.carried.blueGrowNow = carried.blueGrowNow;
    start.carried.foodFrame = carried.foodFrame == 0 ? 0 : 1;
    start.carried.redWins = winsOf(carried.redWins);
    start.carried.blueWins = winsOf(carried.blueWins);
    for (size_t i = 0; i < 8; ++i)
        start.keyBindings[i] = static_cast<int16_t>(std::clamp(s.keyBindings[i], -32768, 32767));
    return start;
}

std::string OnlinePlay::startAsHost() {
    if (window_.loopRunning()) return {};
    if (state_.settings.levelName.empty()) return "Není vybrána žádná mapa.";
    net::StartGame start = buildStart();
    if (start.levelText.empty()) return "Mapu " + state_.settings.levelName + " nelze přečíst.";
    // The joiner would refuse it too: refused here, nothing is sent.
    if (std::string fault = onlineWallsFault(start.levelName, start.levelText); !fault.empty())
        return fault;
    if (std::string error = session_->startGame(start); !error.empty()) return error;
    launch(start);  // a level that cannot load has been reported by the window or the menu
    return {};
}

bool OnlinePlay::launch(const net::StartGame& start) {
    endWhenStalled_.clear();
    escWhileStalled_ = false;
    // A game left with Esc goes back to the menu before anything of the new one is set.
    if (window_.isLoaded() && window_.gameEnded() && state_.demoMode) window_.Timer2_Timer();
    gameStart_.applySettings(start);
    linked_ = true;
    lastWasOnline_ = true;
    endedHere_ = false;
    stalling_ = false;
    sentTick_ = 0;
    inputDelay_ = session_->inputDelay();
    pending_.clear();
    local_.clear();
    // In the pause after a game, the window starts the level again as on Enter; otherwise (or when
    // that pause led back to the menu) the menu starts the game.
    if (window_.isLoaded() && window_.gameEnded()) window_.applyKeyDown(kEnter);
    if (!window_.isLoaded() && startGame_) startGame_();
    if (!window_.isLoaded()) {
        linked_ = false;
        gameStart_.restoreOwnSettings();
        session_->endGame(net::EndReason::Quit);
        return false;
    }
    gameStart_.applyCarried(start);
    return true;
}

// ---- the menu's service

void OnlinePlay::poll() {
    session_->poll(0);
    handleEvents();
    if (!window_.isLoaded()) lastWasOnline_ = false;
    const bool windowFree = !window_.isLoaded() || window_.gameEnded();
    if (!windowFree || linked_) return;
    if (pendingStart_) {
        const net::StartGame start = std::move(*pendingStart_);
        pendingStart_.reset();
        launch(start);
    } else if (restartWanted_) {
        restartWanted_ = false;
        if (std::string error = startAsHost(); !error.empty()) menu_.showMessage(error);
    }
}

void OnlinePlay::handleEvents() {
    while (std::optional<net::SessionEvent> e = session_->takeEvent()) {
        switch (e->type) {
            case net::SessionEvent::Type::Start:
                pendingStart_ = std::move(e->start);
                break;
            case net::SessionEvent::Type::Restart:
                restartWanted_ = true;
                break;
            case net::SessionEvent::Type::End:
                pendingStart_.reset();
                if (!linked_) break;
                if (e->end.reason == net::EndReason::Desync) {
                    endHere("Hra se se soupeřem rozešla v tahu " + std::to_string(e->end.tick) +
                            ": stav hry se liší. Záznamy hry zůstaly uloženy na obou stranách.");
                } else {
                    // The keys of the other side that came before its word are still played.
                    endWhenStalled_ = "Soupeř hru ukončil.";
                }
                break;
            case net::SessionEvent::Type::Lost:
                pendingStart_.reset();
                restartWanted_ = false;
                if (linked_) endWhenStalled_ = kConnectionLostMessage;
                break;
        }
    }
}

// Ends the game on this side at once: Esc, as if pressed here, so that the replay holds it.
void OnlinePlay::endHere(const std::string& message) {
    if (endedHere_) return;
    endedHere_ = true;
    if (window_.isLoaded() && !window_.gameEnded()) window_.applyKeyPress(kEsc);
    if (!message.empty()) menu_.showMessage(message);
}

// ---- keys

void OnlinePlay::queueLocal(net::KeyKind kind, int code) {
    if (code < 1 || code > 255 || pending_.size() >= net::kMaxEventsPerTick) return;
    pending_.push_back(net::KeyEvent{kind, static_cast<uint8_t>(code)});
}

void OnlinePlay::steerOwn(Heading heading) {
    const int slot = keySlot(heading, !isHost());
    queueLocal(net::KeyKind::Down, state_.settings.keyBindings[static_cast<size_t>(slot)]);
}

bool OnlinePlay::takeKeyDown(int code) {
    if (!linked_) {
        // Enter in the pause after an online game starts the level again on both machines.
        if (code == kEnter && lastWasOnline_ && window_.gameEnded() && connected()) {
            if (isHost()) {
                restartWanted_ = true;
            } else {
                session_->requestRestart();
            }
            return true;
        }
        return false;
    }
    if (window_.gameEnded() || endedHere_) return true;
    // The player's own bindings tell the direction; the game's (the host's) give the key.
    const Settings& own = gameStart_.ownSettings();
    // Looked for as the key handler compares them: red's bindings, then blue's.
    for (const bool blue : {false, true})
        for (const Heading heading : kSteeringOrder) {
            if (own.keyBindings[static_cast<size_t>(keySlot(heading, blue))] != code) continue;
            steerOwn(heading);
            return true;
        }
    return true;  // Enter and other keys do nothing during an online game
}

bool OnlinePlay::takeKeyPress(int character) {
    if (!linked_) return false;
    if (character != kEsc || window_.gameEnded() || endedHere_) return true;
    // Esc travels like any key; should the other side stay silent for a while, the game ends here
    // without it (see tick).
    if (stalling_) escWhileStalled_ = true;
    queueLocal(net::KeyKind::Press, kEsc);
    return true;
}

bool OnlinePlay::takePad(PadInput input) {
    if (!linked_) return false;
    const std::optional<Heading> heading = headingOfPad(input);
    if (heading) steerOwn(*heading);
    return heading.has_value();  // Start and Back come as Enter and Esc
}

void OnlinePlay::apply(const std::vector<net::KeyEvent>& events) {
    for (const net::KeyEvent& e : events) {
        if (!appliedOnline(state_.settings, e) || !window_.isLoaded()) continue;
        if (e.kind == net::KeyKind::Down) {
            window_.applyKeyDown(e.code);
        } else {
            window_.applyKeyPress(e.code);
        }
    }
}

// ---- the lockstep

// Sends this side's keys of tick n once, then says whether the other side's keys of tick n are
// here. While they are not, the window's loop keeps answering and asks again; an end that cannot
// wait for them (the other side gone, Esc here while it is silent) ends the game here instead.
bool OnlinePlay::tickReady(int n) {
    if (!linked_ || endedHere_) return true;
    const auto t = static_cast<uint32_t>(n);
    if (sentTick_ != t) {
        sentTick_ = t;
        const uint32_t stamp = t + static_cast<uint32_t>(inputDelay_);
        session_->sendLocalInput(stamp, pending_);
        local_[stamp] = std::move(pending_);
        pending_.clear();
        if (t % net::kChecksumInterval == 0) session_->sendChecksum(t, onlineChecksum(state_));
        stallStart_ = std::chrono::steady_clock::now();
    }
    session_->poll(0);
    handleEvents();
    if (!linked_ || endedHere_) return true;
    if (session_->hasRemoteInput(t)) {
        stalling_ = false;
        return true;
    }
    stalling_ = true;
    if (!endWhenStalled_.empty()) {
        // The other side is gone and has nothing more for this tick.
        endHere(endWhenStalled_);
        return true;
    }
    if (escWhileStalled_ && std::chrono::steady_clock::now() - stallStart_ > kEscPatience) {
        // Esc here while the other side is silent: the game ends here now, and there when the
        // word arrives.
        session_->endGame(net::EndReason::Quit);
        endHere({});
        return true;
    }
    return false;
}

void OnlinePlay::tick(int n) {
    stalling_ = false;
    if (!linked_ || endedHere_ || !window_.isLoaded()) return;
    const auto t = static_cast<uint32_t>(n);
    const std::vector<net::KeyEvent> remote =
        session_->remoteInput(t).value_or(std::vector<net::KeyEvent>{});
    std::vector<net::KeyEvent> own;
    if (auto it = local_.find(t); it != local_.end()) {
        own = std::move(it->second);
        local_.erase(it);
    }
    apply(isHost() ? own : remote);
    apply(isHost() ? remote : own);
    if (net::Spectators* s = session_->spectators()) s->confirmed(t, own, remote);

    if (const std::optional<uint32_t> bad = session_->desyncTick()) {
        session_->endGame(net::EndReason::Desync, *bad);
        endHere("Hra se se soupeřem rozešla v tahu " + std::to_string(*bad) +
                ": stav hry se liší. Záznamy hry zůstaly uloženy na obou stranách.");
    }
}

// The pause between ticks in short sleeps, the connection served after each: the other side's
// keys and the answers to the round trip probes are taken as they come, not a tick late.
void OnlinePlay::pause(Clock& clock, uint32_t ms) {
    const uint32_t end = clock.tickCount() + ms;
    session_->poll(0);
    for (uint32_t now = clock.tickCount(); static_cast<int32_t>(end - now) > 0;
         now = clock.tickCount()) {
        clock.sleep(std::min<uint32_t>(kServeMs, end - now));
        session_->poll(0);
    }
}

void OnlinePlay::gameEnded() {
    session_->finishGame();
    if (!linked_) return;
    linked_ = false;
    if (net::Spectators* s = session_->spectators()) s->gameEnded();
    gameStart_.restoreOwnSettings();
}

}  // namespace zib
