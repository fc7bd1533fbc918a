// Online play in the game: the start of a game on both machines, every tick played ahead of the
// other side's keys and put right when they come, the checksums of the confirmed ticks, and the
// ends of a game (Esc, a desync, a lost connection).
#include "online/online_play.h"

#include <algorithm>
#include <chrono>

#include "game/level_loader.h"
#include "platform/files.h"
#include "platform/texts.h"
#include "replay/replay_recorder.h"
#include "replay/state_check.h"
#include "state/carried_over.h"
#include "state/game_mode.h"

namespace zib {

namespace {

// How long Esc waits for a silent other side before the game ends on this side alone.
constexpr std::chrono::milliseconds kEscPatience{1000};
// A wait this long shows on the status line.
constexpr std::chrono::milliseconds kWaitShown{500};
// The first tick begins this long after the start is sent (plus half the round trip): time for
// the joiner to load the level and for both windows' pause before a game.
constexpr int kStartLeadMs = 400;
// A machine ahead of the other by more than half a tick holds each tick back this much longer.
constexpr std::chrono::microseconds kStretch{1500};
// How many ticks the measured lead is smoothed over.
constexpr double kLeadSmoothing = 8;

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

// The message of a game whose two sides went apart at tick.
std::string desyncMessage(uint32_t tick) {
    return format(tr("Hra se se soupeřem rozešla v tahu {}: stav hry se liší. Záznamy hry zůstaly "
                     "uloženy na obou stranách."),
                  std::to_string(tick));
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
    if (waitingShown_) return tr(kWaitingMessage);
    return session_->statusLine(inputDelay_);
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
    start.startLeadMs = static_cast<uint16_t>(std::min<double>(
        kStartLeadMs + session_->roundTripMs().value_or(0) / 2, net::kMaxStartLeadMs));
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
    if (state_.settings.levelName.empty()) return tr("Není vybrána žádná mapa.");
    net::StartGame start = buildStart();
    if (start.levelText.empty())
        return format(tr("Mapu {} nelze přečíst."), state_.settings.levelName);
    // The joiner would refuse it too: refused here, nothing is sent.
    if (std::string fault = onlineWallsFault(start.levelName, start.levelText); !fault.empty())
        return fault;
    const auto sent = std::chrono::steady_clock::now();
    if (std::string error = session_->startGame(start); !error.empty()) return error;
    launch(start, sent + std::chrono::milliseconds(
                             start.startLeadMs));  // a level that cannot load has been reported by
                                                   // the window or the menu
    return {};
}

bool OnlinePlay::launch(const net::StartGame& start,
                        std::chrono::steady_clock::time_point firstTick) {
    endWhenStalled_.clear();
    escWhileStalled_ = false;
    // A game left with Esc goes back to the menu before anything of the new one is set.
    if (window_.isLoaded() && window_.gameEnded() && state_.demoMode) window_.Timer2_Timer();
    gameStart_.applySettings(start);
    linked_ = true;
    lastWasOnline_ = true;
    endedHere_ = false;
    pending_.clear();
    sent_ = 0;
    firstTick_ = firstTick;
    waitingSince_.reset();
    waitingShown_ = false;
    stretchedTick_ = measuredTick_ = 0;
    leadTicks_ = 0;
    redraw_ = false;
    game_.reset();
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
    // The game as the window's loop starts it: its first food and routes, on a copy.
    GameState first = state_;
    PlayField field{first, computerMoves(), {}};
    startGame(field);
    game_.emplace(first, computerMoves());
    game_->setConfirmedSink(
        [this](uint32_t tick, std::span<const TickKey> keys, size_t redKeys,
               const GameState& state) { confirmed(tick, keys, redKeys, state); });
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
        launch(start, firstTickOf(start));
    } else if (restartWanted_) {
        restartWanted_ = false;
        if (std::string error = startAsHost(); !error.empty()) menu_.showMessage(error);
    }
}

// The host's moment of the first tick on this machine's clock, through the clocks' offset; without
// one, half the round trip after the start came. Never before the start came, nor later than the
// host's lead after it, whatever the host wrote.
std::chrono::steady_clock::time_point OnlinePlay::firstTickOf(const net::StartGame& start) const {
    const auto latest = startArrived_ + std::chrono::milliseconds(start.startLeadMs);
    const std::optional<int64_t> local = session_->localClockOf(start.firstTickUs);
    if (!local) {
        const auto halfTrip = std::chrono::microseconds(
            static_cast<int64_t>(session_->roundTripMs().value_or(0) * 500.0));
        return std::max(startArrived_, latest - halfTrip);
    }
    const auto at = std::chrono::steady_clock::now() +
                    std::chrono::microseconds(*local - static_cast<int64_t>(session_->clockUs()));
    return std::clamp(at, startArrived_, latest);
}

void OnlinePlay::handleEvents() {
    while (std::optional<net::SessionEvent> e = session_->takeEvent()) {
        switch (e->type) {
            case net::SessionEvent::Type::Start:
                pendingStart_ = std::move(e->start);
                startArrived_ = e->arrived;
                break;
            case net::SessionEvent::Type::Restart:
                restartWanted_ = true;
                break;
            case net::SessionEvent::Type::End:
                pendingStart_.reset();
                if (!linked_) break;
                if (e->end.reason == net::EndReason::Desync) {
                    endHere(desyncMessage(e->end.tick));
                } else {
                    // The keys of the other side that came before its word are still played.
                    endWhenStalled_ = tr("Soupeř hru ukončil.");
                }
                break;
            case net::SessionEvent::Type::Lost:
                pendingStart_.reset();
                restartWanted_ = false;
                if (linked_) endWhenStalled_ = tr(kConnectionLostMessage);
                break;
        }
    }
}

// Ends the game on this side at once: Esc after the last confirmed tick, as if pressed here, so
// that the replay holds it and verifies.
void OnlinePlay::endHere(const std::string& message) {
    if (endedHere_) return;
    endedHere_ = true;
    showWaiting(false);
    if (window_.isLoaded() && window_.loopRunning() && game_) {
        GameState last = game_->confirmedState();
        PlayField field{last, computerMoves(), {}};
        const TickKey esc{TickKey::Kind::Press, kEsc};
        step(field, std::span<const TickKey>(&esc, 1));
        window_.confirmTick(static_cast<int>(game_->confirmed() + 1),
                            std::span<const TickKey>(&esc, 1), last);
        const int frame = state_.foodFrame;
        state_ = last;
        state_.foodFrame = frame;
        window_.drawState();
    } else if (window_.isLoaded() && !window_.gameEnded()) {
        window_.applyKeyPress(kEsc);
    }
    if (!message.empty()) menu_.showMessage(message);
}

// ---- keys

void OnlinePlay::queueLocal(uint8_t slot) {
    if (pending_.size() < net::kMaxEventsPerTick) pending_.push_back(net::KeyEvent{slot});
}

void OnlinePlay::steerOwn(Heading heading) {
    queueLocal(static_cast<uint8_t>(keySlot(heading, !isHost())));
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
    // The player's own bindings tell the direction, looked for as the key handler compares them:
    // red's bindings, then blue's.
    const Settings& own = gameStart_.ownSettings();
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
    // without it (see tickReady).
    if (waitingSince_) escWhileStalled_ = true;
    queueLocal(net::kEscSlot);
    return true;
}

bool OnlinePlay::takePad(PadInput input) {
    if (!linked_) return false;
    const std::optional<Heading> heading = headingOfPad(input);
    if (heading) steerOwn(*heading);
    return heading.has_value();  // Start and Back come as Enter and Esc
}

// A slot steers through the key the game (the host's settings) binds to it, as the replay keeps
// it; Esc is the typed character.
std::vector<TickKey> OnlinePlay::keysOf(const std::vector<net::KeyEvent>& events) const {
    std::vector<TickKey> keys;
    for (const net::KeyEvent& e : events) {
        if (e.slot == net::kEscSlot) {
            keys.push_back(TickKey{TickKey::Kind::Press, kEsc});
        } else if (e.slot < net::kEscSlot) {
            keys.push_back(TickKey{TickKey::Kind::Down, state_.settings.keyBindings[e.slot]});
        }
    }
    return keys;
}

// ---- the ticks

// This side's keys pressed up to tick n act in tick n + the input delay; the ticks before that
// have none. Each tick's keys go out once.
void OnlinePlay::sendOwn(int n) {
    const uint32_t last = static_cast<uint32_t>(n + inputDelay_);
    while (sent_ < last) {
        const uint32_t t = sent_ + 1;
        std::vector<net::KeyEvent> events;
        if (t == last) events = std::move(pending_);
        pending_.clear();
        session_->sendLocalInput(t, events, static_cast<uint32_t>(n));
        game_->addKeys(ownSide(), t, keysOf(events));
        sent_ = t;
    }
}

void OnlinePlay::takeOthers() {
    const Side other = isHost() ? Side::Blue : Side::Red;
    for (uint32_t t = game_->known(other) + 1; session_->hasRemoteInput(t); ++t)
        if (!game_->addKeys(other, t, keysOf(*session_->remoteInput(t)))) break;
}

void OnlinePlay::confirmed(uint32_t tick, std::span<const TickKey> keys, size_t redKeys,
                           const GameState& state) {
    window_.confirmTick(static_cast<int>(tick), keys, state);
    if (tick % net::kChecksumInterval == 0) session_->sendChecksum(tick, onlineChecksum(state));
    if (net::Spectators* watching = session_->spectators()) {
        // The spectators get the keys as the game applied them, each side's apart.
        std::vector<net::AppliedKey> applied;
        for (const TickKey& key : keys) {
            const bool press = key.kind == TickKey::Kind::Press;
            const int code = std::clamp(key.code, 0, 255);
            applied.push_back({press ? net::KeyKind::Press : net::KeyKind::Down,
                               static_cast<uint8_t>(code == key.code ? code : 0)});
        }
        const std::span<const net::AppliedKey> all(applied);
        watching->confirmed(tick, all.first(redKeys), all.subspan(redKeys));
    }
}

// The window shows the rollback's present; the food's animation stays the window's own.
void OnlinePlay::show(bool redraw) {
    const int frame = state_.foodFrame;
    state_ = game_->state();
    state_.foodFrame = frame;
    if (redraw) window_.drawState();
}

// Whether tick n is held back a little because this machine runs ahead of the other. Each side
// plays ahead of the other's keys by its lag: its tick less the last tick of the other's keys it
// holds. On level machines both lags are alike; a machine a tick ahead has a lag two ticks longer
// than the other's, which the other tells with every Input (its tick and how far it holds this
// side's keys). Neither clock nor round trip enters, so a round trip measured long or short, or a
// path slower one way than the other, cannot tilt it. The difference is smoothed over a few ticks
// against the jitter; a machine ahead by more than half a tick stretches each period a little.
bool OnlinePlay::stretch(int n) {
    const auto now = std::chrono::steady_clock::now();
    if (n == stretchedTick_) return now < stretchUntil_;
    const std::optional<net::PeerTick> peer = session_->peerTick();
    if (state_.settings.gameSpeed <= 0 || !peer || n == measuredTick_) return false;
    measuredTick_ = n;
    const double ownLag = n - static_cast<double>(game_->known(isHost() ? Side::Blue : Side::Red));
    const double peerLag = static_cast<double>(peer->tick) - static_cast<double>(peer->ack);
    leadTicks_ += ((ownLag - peerLag) / 2 - leadTicks_) / kLeadSmoothing;
    if (leadTicks_ <= 0.5) return false;
    stretchedTick_ = n;
    stretchUntil_ = now + kStretch;
    return true;
}

bool OnlinePlay::tickReady(int n) {
    if (!linked_ || endedHere_ || !game_) return true;
    session_->poll(0);
    handleEvents();
    if (!linked_ || endedHere_) return true;
    const auto now = std::chrono::steady_clock::now();
    // Both machines begin the first tick together.
    if (n == 1 && now < firstTick_) return false;
    sendOwn(n);
    takeOthers();
    const auto before = std::chrono::steady_clock::now();
    if (const int depth = game_->settle(); depth > 0) {
        redraw_ = true;
        if (static_cast<uint32_t>(depth) >= figures_.deepest) {
            figures_.deepest = static_cast<uint32_t>(depth);
            figures_.deepestRecomputeMs =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before)
                    .count();
        }
    }
    while (game_->present() < static_cast<uint32_t>(n) && game_->canAdvance()) game_->advance();
    const bool ready =
        game_->endConfirmed() || (game_->present() == static_cast<uint32_t>(n) && !game_->ended());
    if (ready) {
        if (stretch(n)) return false;
        if (waitingSince_ && stalled_ &&
            now - *waitingSince_ > std::chrono::milliseconds(state_.settings.gameSpeed))
            ++figures_.longStalls;
        waitingSince_.reset();
        showWaiting(false);
        ++figures_.played;
        figures_.guessed += game_->present() - game_->confirmed();
    } else {
        // Waiting: a correction shows at once, the game stands still.
        if (redraw_) show(true);
        if (!waitingSince_) {
            waitingSince_ = now;
            // A guessed end waits for its confirmation with the game over on the screen: nothing
            // stands still that was moving.
            stalled_ = !game_->ended();
            if (stalled_) ++figures_.stalls;
        }
        if (now - *waitingSince_ > kWaitShown) showWaiting(true);
        if (!endWhenStalled_.empty()) {
            // The other side is gone and has nothing more for this tick.
            endHere(endWhenStalled_);
            return true;
        }
        if (escWhileStalled_ && now - *waitingSince_ > kEscPatience) {
            // Esc here while the other side is silent: the game ends here now, and there when the
            // word arrives.
            session_->endGame(net::EndReason::Quit);
            endHere({});
            return true;
        }
    }
    if (const std::optional<uint32_t> bad = session_->desyncTick()) {
        session_->endGame(net::EndReason::Desync, *bad);
        endHere(desyncMessage(*bad));
        return true;
    }
    return ready;
}

// The game window's result line says that the game waits for the other player (the menu's
// status line says so too).
void OnlinePlay::showWaiting(bool on) {
    if (on == waitingShown_) return;
    waitingShown_ = on;
    if (window_.isLoaded()) window_.resultLabel().setCaption(on ? tr(kWaitingMessage) : "");
}

void OnlinePlay::tick(int) {
    if (!linked_ || endedHere_ || !game_ || !window_.isLoaded()) return;
    show(redraw_);
    redraw_ = false;
}

void OnlinePlay::gameEnded() {
    session_->finishGame();
    if (!linked_) return;
    linked_ = false;
    waitingShown_ = false;
    if (net::Spectators* s = session_->spectators()) s->gameEnded();
    gameStart_.restoreOwnSettings();
}

}  // namespace zib
