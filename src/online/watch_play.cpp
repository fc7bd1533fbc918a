// The spectator's game: starts from the host's, confirmed ticks shown a fixed time late, the
// catching up of a game joined late, and the end of a game or of the watching.
#include "online/watch_play.h"

#include <algorithm>

#include "platform/key_codes.h"
#include "platform/texts.h"

namespace zib {

WatchPlay::WatchPlay(std::unique_ptr<net::WatchSession> session, GameState& state,
                     GameWindow& window, MenuLink& menu)
    : session_(std::move(session)),
      state_(state),
      window_(window),
      gameStart_(state, window, menu) {
    window_.setTickLink(this);
}

WatchPlay::~WatchPlay() {
    window_.setTickLink(nullptr);
}

std::string WatchPlay::statusLine() const {
    const std::string host = session_->hostLabel();
    switch (session_->state()) {
        case net::WatchSession::State::Connecting:
            return format(tr("Připojuji se jako divák k hostiteli {}…"), host);
        case net::WatchSession::State::Watching:
            return linked_ ? format(tr("Sledujete hru hostitele {}."), host)
                           : format(tr("Sledujete hostitele {}: čekám, až spustí hru."), host);
        case net::WatchSession::State::Lost:
            break;
    }
    return session_->message();
}

void WatchPlay::close() {
    session_->close();
}

void WatchPlay::poll() {
    session_->poll(0);
    if (!window_.isLoaded()) shownHere_ = false;
    const bool windowFree = !window_.isLoaded() || window_.gameEnded();
    if (!windowFree || linked_ || leaving_) return;
    if (std::optional<net::StartGame> start = session_->takeStart()) launch(*start);
}

void WatchPlay::launch(const net::StartGame& start) {
    gameStart_.applySettings(start);
    linked_ = true;
    shownHere_ = true;
    lastTick_ = 0;
    // In the pause after a game the window starts the level again as on Enter; otherwise the
    // menu starts the game.
    if (window_.isLoaded() && window_.gameEnded()) window_.applyKeyDown(kEnter);
    if (!window_.isLoaded() && startGame_) startGame_();
    if (!window_.isLoaded()) {
        // The level could not load (the window or the menu has said why): the next game follows.
        linked_ = false;
        gameStart_.restoreOwnSettings();
        session_->finishGame();
        return;
    }
    gameStart_.applyCarried(start);
}

// ---- keys: none of this program's reach the game

bool WatchPlay::takeKeyDown(int /*code*/) {
    return linked_ || shownHere_;  // Enter in the pause after a watched game starts nothing
}

bool WatchPlay::takeKeyPress(int character) {
    if (!linked_) return shownHere_;
    if (character == kEsc) leaving_ = true;  // the game ends at the next tick, and the watching
    return true;
}

bool WatchPlay::takePad(PadInput /*input*/) {
    return linked_;
}

// ---- the ticks

bool WatchPlay::due(uint32_t tick) const {
    return std::chrono::steady_clock::now() >= session_->arrivedAt(tick) + kWatchLag;
}

bool WatchPlay::tickReady(int n) {
    session_->poll(0);
    if (!linked_ || leaving_) return true;
    const auto t = static_cast<uint32_t>(n);
    if (t <= session_->confirmedTick()) return due(t);
    // Past the last confirmed tick: the game is over on the host, or the host is gone.
    return session_->ended() || session_->state() == net::WatchSession::State::Lost;
}

void WatchPlay::tick(int n) {
    if (!linked_ || !window_.isLoaded() || window_.gameEnded()) return;
    const auto t = static_cast<uint32_t>(n);
    if (leaving_ || t > session_->confirmedTick()) {
        // Esc here, or the host's game ended without this tick (it was left, not decided): the
        // game ends here as with Esc, so that the replay holds it.
        window_.applyKeyPress(kEsc);
        return;
    }
    lastTick_ = t;
    for (const net::WatchedKey& key : session_->takeKeys(t)) {
        if (!appliedOnline(state_.settings, key.event)) continue;
        if (key.event.kind == net::KeyKind::Down) {
            window_.applyKeyDown(key.event.code);
        } else {
            window_.applyKeyPress(key.event.code);
        }
    }
}

// Behind by more than the lag and two ticks: the window runs the next ticks without their sleep.
bool WatchPlay::catchingUp() const {
    if (!linked_) return false;
    const uint32_t next = lastTick_ + 1;
    if (next > session_->confirmedTick()) return false;
    const auto slack = std::chrono::milliseconds(2 * std::max(1, state_.settings.gameSpeed));
    return std::chrono::steady_clock::now() > session_->arrivedAt(next) + kWatchLag + slack;
}

void WatchPlay::gameEnded() {
    if (!linked_) return;
    linked_ = false;
    gameStart_.restoreOwnSettings();
    session_->finishGame();
    if (leaving_) session_->close();
}

}  // namespace zib
