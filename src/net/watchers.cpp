// The host's spectators: their greetings and goodbyes, and each one's share of the game record.
#include "net/watchers.h"

#include <algorithm>
#include <utility>

namespace zib::net {

namespace {

// New confirmed ticks go out at most this often to a spectator that keeps up...
constexpr std::chrono::milliseconds kBatchInterval{40};
// ...and not at all while this many of its packets wait for an acknowledgement.
constexpr size_t kMostUnacknowledged = 64;
// Batches sent at once to one spectator that is catching up.
constexpr int kBatchesAtOnce = 8;

}  // namespace

Spectators::Spectators(Connection& connection, std::string gameVersion)
    : connection_(connection), gameVersion_(std::move(gameVersion)) {}

int Spectators::count() const {
    return static_cast<int>(std::count_if(watchers_.begin(), watchers_.end(),
                                          [](const Watcher& w) { return w.greeted; }));
}

void Spectators::serve() {
    for (WatcherEvent& e : connection_.takeWatcherEvents()) {
        auto it = std::find_if(watchers_.begin(), watchers_.end(),
                               [&](const Watcher& w) { return w.id == e.id; });
        switch (e.event.type) {
            case ConnectionEvent::Type::Connected:
                if (it == watchers_.end()) watchers_.push_back(Watcher{e.id});
                break;
            case ConnectionEvent::Type::Disconnected:
                if (it != watchers_.end()) watchers_.erase(it);
                break;
            case ConnectionEvent::Type::Received:
                if (it != watchers_.end()) receive(*it, e.event.bytes);
                break;
        }
    }
    const auto now = std::chrono::steady_clock::now();
    for (Watcher& w : watchers_)
        if (w.greeted) feed(w, now);
}

void Spectators::receive(Watcher& watcher, std::span<const uint8_t> bytes) {
    const uint32_t id = watcher.id;
    if (isWatchMessage(bytes)) return cutOff(id, false);
    const Decoded decoded = decode(bytes);
    if (!decoded.message) return cutOff(id, false);
    const Message& m = *decoded.message;
    if (const auto* hello = std::get_if<Hello>(&m)) {
        if (watcher.greeted) return cutOff(id, false);
        if (hello->protocolVersion != kProtocolVersion || hello->gameVersion != gameVersion_) {
            connection_.sendToWatcher(id, encode(Refuse{RefuseReason::VersionMismatch}),
                                      Channel::Reliable);
            return cutOff(id, true);
        }
        watcher.greeted = true;
        connection_.greetWatcher(id);
        return;
    }
    if (const auto* ping = std::get_if<Ping>(&m)) {
        if (connection_.watcherBacklog(id) < kMostUnacknowledged)
            connection_.sendToWatcher(id, encode(Pong{ping->id, ping->timeUs}),
                                      Channel::Unreliable);
        return;
    }
    if (std::holds_alternative<Pong>(m)) return;
    // A goodbye, or anything a spectator has no business sending: keys, a start, an end.
    cutOff(id, std::holds_alternative<Bye>(m));
}

void Spectators::cutOff(uint32_t id, bool gently) {
    connection_.dropWatcher(id, gently);
    std::erase_if(watchers_, [id](const Watcher& w) { return w.id == id; });
}

void Spectators::feed(Watcher& w, std::chrono::steady_clock::time_point now) {
    if (!start_) return;
    if (w.gameId != start_->gameId) {
        if (ended_) return;  // a game already over is not shown; the next one will be
        w = Watcher{w.id, true, start_->gameId};
        connection_.sendToWatcher(w.id, encode(*start_), Channel::Reliable);
    }
    for (int i = 0; i < kBatchesAtOnce; ++i) {
        const bool news = lastTick_ > w.sentTick || (ended_ && !w.endSent);
        if (!news || connection_.watcherBacklog(w.id) >= kMostUnacknowledged) return;
        // A spectator that keeps up gets a few ticks at a time; one that catches up, all it can.
        if (i == 0 && now - w.lastSent < kBatchInterval && !ended_) return;
        send(w, nextBatch(w), now);
    }
}

void Spectators::send(Watcher& w, const WatchedTicks& batch,
                      std::chrono::steady_clock::time_point now) {
    connection_.sendToWatcher(w.id, encodeWatch(batch), Channel::Reliable);
    w.sentTick = batch.lastTick;
    w.sentKeys += batch.keys.size();
    w.endSent = batch.ended;
    w.lastSent = now;
}

WatchedTicks Spectators::nextBatch(const Watcher& w) const {
    WatchedTicks batch;
    batch.gameId = start_->gameId;
    batch.firstTick = w.sentTick + 1;
    batch.lastTick = lastTick_;
    const size_t end = std::min(keys_.size(), w.sentKeys + kMaxWatchedKeys);
    batch.keys.assign(keys_.begin() + static_cast<std::ptrdiff_t>(w.sentKeys),
                      keys_.begin() + static_cast<std::ptrdiff_t>(end));
    if (end < keys_.size()) {
        // The keys of a tick travel together: the batch stops before the tick that did not fit.
        batch.lastTick = keys_[end].tick - 1;
        std::erase_if(batch.keys, [&](const WatchedKey& k) { return k.tick > batch.lastTick; });
    }
    batch.ended = ended_ && batch.lastTick == lastTick_;
    return batch;
}

void Spectators::gameStarted(const StartGame& start) {
    // The game before is sent to its end first: a spectator shows each game it began whole.
    if (start_) {
        ended_ = true;
        for (Watcher& w : watchers_) {
            if (!w.greeted || w.gameId != start_->gameId) continue;
            while (!w.endSent) send(w, nextBatch(w), std::chrono::steady_clock::now());
        }
    }
    start_ = start;
    keys_.clear();
    lastTick_ = 0;
    ended_ = false;
}

void Spectators::confirmed(uint32_t tick, std::span<const AppliedKey> red,
                           std::span<const AppliedKey> blue) {
    if (!start_ || ended_ || tick != lastTick_ + 1) return;
    if (keys_.size() + red.size() + blue.size() > kMaxRecordedKeys) {
        // Too long a game to keep: its spectators see it up to here.
        ended_ = true;
        return;
    }
    for (const auto& [side, events] : {std::pair{Side::Red, red}, std::pair{Side::Blue, blue}})
        for (const AppliedKey& e : events.first(std::min(events.size(), kMaxEventsPerTick)))
            if (e.code != 0) keys_.push_back(WatchedKey{tick, side, e});
    lastTick_ = tick;
}

void Spectators::gameEnded() {
    if (start_) ended_ = true;
}

void Spectators::close() {
    for (const Watcher& w : watchers_) connection_.dropWatcher(w.id, true);
    watchers_.clear();
}

}  // namespace zib::net
