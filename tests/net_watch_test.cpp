// Spectators of a host on the loopback interface, without a game window: the watch messages'
// checks, the ninth spectator, a spectator that sends what only a player may, the count the
// joiner hears, and a spectator that joins late and gets the game from its start.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "net/session.h"
#include "net/watch_session.h"

namespace zib::net {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

SessionOptions options() {
    SessionOptions o;
    o.gameVersion = "1.1.0";
    o.bindHost = "127.0.0.1";
    o.port = 0;
    return o;
}

struct Served {
    std::vector<Session*> sessions;
    std::vector<WatchSession*> watchers;
    std::vector<Connection*> raw;
    void poll() const {
        for (Session* s : sessions) s->poll(1);
        for (WatchSession* w : watchers) w->poll(0);
        for (Connection* c : raw) c->poll(0);
    }
};

bool pumpUntil(const Served& served, const std::function<bool()>& done,
               std::chrono::milliseconds limit = 10s) {
    for (const auto end = Clock::now() + limit; Clock::now() < end;) {
        served.poll();
        if (done()) return true;
    }
    return false;
}

struct Game {
    std::unique_ptr<Session> host, joiner;
    Game() {
        auto opened = Session::host(options());
        EXPECT_TRUE(opened.ok());
        if (opened) host = std::move(*opened);
        SessionOptions j = options();
        j.port = host->localPort();
        auto joined = Session::join("127.0.0.1", j);
        EXPECT_TRUE(joined.ok());
        if (joined) joiner = std::move(*joined);
        EXPECT_TRUE(pumpUntil({{host.get(), joiner.get()}, {}, {}}, [&] {
            return host->state() == SessionState::Connected &&
                   joiner->state() == SessionState::Connected;
        }));
    }
    std::unique_ptr<WatchSession> watcher() const {
        auto w = WatchSession::open("127.0.0.1", host->localPort(), "1.1.0");
        EXPECT_TRUE(w.ok());
        return w ? std::move(*w) : nullptr;
    }
    StartGame start() const {
        StartGame s;
        s.levelName = "Ohrada.zq7";
        s.levelText = "x";
        EXPECT_EQ(host->startGame(s), "");
        return s;
    }
};

WatchedTicks ticks(uint32_t first, uint32_t last, std::vector<WatchedKey> keys) {
    return WatchedTicks{1, first, last, false, std::move(keys)};
}
WatchedKey key(uint32_t tick, Side side, uint8_t code) {
    return WatchedKey{tick, side, AppliedKey{KeyKind::Down, code}};
}

TEST(NetWatch, TheDecoderTakesWellFormedTicksAndRefusesTheRest) {
    const std::vector<WatchedKey> many(kMaxEventsPerTick + 1, key(3, Side::Blue, 40));
    const std::vector<WatchedKey> tooMany(kMaxWatchedKeys + 1, key(3, Side::Red, 40));
    struct Case {
        WatchMessage message;
        bool good;
    };
    const std::vector<Case> cases = {
        {ticks(1, 10, {key(2, Side::Red, 38), key(2, Side::Blue, 87), key(9, Side::Red, 27)}),
         true},
        {WatchedTicks{4, 11, 10, true, {}}, true},  // only the end
        {WatcherCount{8}, true},
        {WatchedTicks{4, 11, 10, false, {}}, false},    // empty and not the end
        {ticks(5, 4, {}), false},                       // backwards
        {ticks(0, 4, {}), false},                       // tick 0
        {WatchedTicks{0, 1, 4, false, {}}, false},      // game 0
        {ticks(1, 4, {key(5, Side::Red, 38)}), false},  // a key after its run
        {ticks(1, 4, {key(3, Side::Red, 38), key(2, Side::Red, 38)}), false},   // out of order
        {ticks(1, 4, {key(3, Side::Blue, 38), key(3, Side::Red, 38)}), false},  // blue first
        {ticks(1, 4, {key(3, Side::Red, 0)}), false},                           // no key
        {ticks(1, 4, many), false},
        {ticks(1, 4, tooMany), false},
        {WatcherCount{9}, false},
    };
    for (const Case& c : cases) {
        const DecodedWatch d = decodeWatch(encodeWatch(c.message));
        EXPECT_EQ(d.message.has_value(), c.good) << d.error;
        if (c.good && d.message) {
            EXPECT_TRUE(*d.message == c.message);
        }
    }
    // A side byte out of range, and a byte too many.
    std::vector<uint8_t> bytes = encodeWatch(ticks(1, 4, {key(3, Side::Red, 38)}));
    bytes[bytes.size() - 3] = 2;
    EXPECT_FALSE(decodeWatch(bytes).message);
    bytes = encodeWatch(WatcherCount{1});
    bytes.push_back(0);
    EXPECT_FALSE(decodeWatch(bytes).message);
}

// Eight watch; the ninth is told in Czech that there is no room, and both players hear the count.
TEST(NetWatch, EightSpectatorsWatchAndTheNinthIsRefused) {
    Game g;
    std::vector<std::unique_ptr<WatchSession>> watchers;
    Served served{{g.host.get(), g.joiner.get()}, {}, {}};
    for (int i = 0; i < 9; ++i) {
        watchers.push_back(g.watcher());
        served.watchers.push_back(watchers.back().get());
        // One at a time, so that the ninth is the last to come.
        ASSERT_TRUE(pumpUntil(served, [&] {
            return g.host->watcherCount() == std::min(i + 1, 8) ||
                   watchers.back()->state() == WatchSession::State::Lost;
        }));
    }
    ASSERT_TRUE(pumpUntil(served, [&] {
        return watchers[8]->state() == WatchSession::State::Lost && g.joiner->watcherCount() == 8;
    }));
    EXPECT_EQ(watchers[8]->message(), "Hostitel už má 8 diváků. Zkuste to později.");
    EXPECT_EQ(g.host->watcherCount(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(watchers[static_cast<size_t>(i)]->state(), WatchSession::State::Watching);
    // One leaves: the count goes down on both sides, and there is room again.
    watchers[0]->close();
    ASSERT_TRUE(pumpUntil(served, [&] { return g.joiner->watcherCount() == 7; }));
    EXPECT_EQ(g.host->watcherCount(), 7);
}

// Keys, a start, an end or a restart from a spectator cut that spectator off; the players' game
// goes on, and another spectator keeps watching.
TEST(NetWatch, ASpectatorThatActsAsAPlayerIsCutOffAndTheGameGoesOn) {
    const std::vector<Message> forbidden = {Input{1, 2, 1, 1, 0, {{2, {KeyEvent{1}}}}}, StartGame{},
                                            EndGame{1, EndReason::Quit, 0}, Restart{1},
                                            Checksum{1, 16, 5}};
    for (const Message& m : forbidden) {
        Game g;
        const StartGame start = g.start();
        auto fair = g.watcher();
        ConnectionOptions o;
        o.watcher = true;
        std::string error;
        auto rogue = Connection::connect("127.0.0.1", g.host->localPort(), o, error);
        ASSERT_TRUE(rogue) << error;
        Served served{{g.host.get(), g.joiner.get()}, {fair.get()}, {rogue.get()}};
        ASSERT_TRUE(pumpUntil(served, [&] { return rogue->connected(); }));
        rogue->send(encode(Hello{kProtocolVersion, "1.1.0"}), Channel::Reliable);
        ASSERT_TRUE(pumpUntil(served, [&] { return g.host->watcherCount() == 2; }));
        rogue->send(encode(m), Channel::Reliable);
        ASSERT_TRUE(pumpUntil(served, [&] { return !rogue->connected(); }));
        EXPECT_EQ(g.host->watcherCount(), 1);
        EXPECT_EQ(g.host->state(), SessionState::Connected);
        EXPECT_TRUE(g.host->inGame());
        // The game goes on: the host's keys still reach the joiner, and the fair spectator.
        const AppliedKey up{KeyKind::Down, 38};
        for (uint32_t t = 1; t <= 4; ++t) g.host->sendLocalInput(t, std::vector{KeyEvent{1}});
        for (uint32_t t = 1; t <= 4; ++t) g.host->spectators()->confirmed(t, std::vector{up}, {});
        ASSERT_TRUE(pumpUntil(
            served, [&] { return g.joiner->hasRemoteInput(4) && fair->confirmedTick() == 4; }));
        EXPECT_EQ(fair->takeStart(), start);
        EXPECT_EQ(fair->takeKeys(3), (std::vector<WatchedKey>{WatchedKey{3, Side::Red, up}}));
        // The host ends the game on its side (Esc while the joiner is silent): so do spectators.
        g.host->endGame(EndReason::Quit);
        EXPECT_TRUE(pumpUntil(served, [&] { return fair->ended(); }));
        EXPECT_EQ(fair->confirmedTick(), 4u);
    }
}

// A spectator that comes late gets the game from its start, every key in order, and its end;
// more keys than one message holds take several. One that comes after the end waits for the next
// game.
TEST(NetWatch, ALateSpectatorGetsTheWholeGameAndItsEnd) {
    Game g;
    const StartGame start = g.start();
    Spectators& spectators = *g.host->spectators();
    std::vector<WatchedKey> sent;
    const uint32_t last = 3000;
    for (uint32_t t = 1; t <= last; ++t) {
        std::vector<AppliedKey> red, blue;
        if (t % 3 == 0) red.push_back(AppliedKey{KeyKind::Down, static_cast<uint8_t>(37 + t % 4)});
        if (t % 5 == 0) blue.push_back(AppliedKey{KeyKind::Down, 'W'});
        if (t == last) red.push_back(AppliedKey{KeyKind::Press, 27});
        for (const AppliedKey& e : red) sent.push_back({t, Side::Red, e});
        for (const AppliedKey& e : blue) sent.push_back({t, Side::Blue, e});
        spectators.confirmed(t, red, blue);
    }
    ASSERT_GT(sent.size(), kMaxWatchedKeys);
    auto late = g.watcher();
    Served served{{g.host.get(), g.joiner.get()}, {late.get()}, {}};
    ASSERT_TRUE(pumpUntil(served, [&] { return g.host->watcherCount() == 1; }));
    spectators.gameEnded();
    ASSERT_TRUE(pumpUntil(served, [&] { return late->ended(); }));
    EXPECT_EQ(late->takeStart(), start);
    EXPECT_EQ(late->confirmedTick(), last);
    std::vector<WatchedKey> got;
    for (uint32_t t = 1; t <= last; ++t)
        for (const WatchedKey& k : late->takeKeys(t)) got.push_back(k);
    EXPECT_EQ(got, sent);

    auto after = g.watcher();
    served.watchers.push_back(after.get());
    ASSERT_TRUE(pumpUntil(served, [&] { return g.host->watcherCount() == 2; }));
    for (int i = 0; i < 50; ++i) served.poll();
    EXPECT_FALSE(after->hasGame());
    const StartGame next = g.start();
    ASSERT_TRUE(pumpUntil(served, [&] { return after->hasGame(); }));
    EXPECT_EQ(after->takeStart(), next);
}

// A spectator that stops answering holds nothing up and costs the host a bounded queue: while it
// has too much unacknowledged, it simply gets no more.
TEST(NetWatch, ASpectatorThatStopsAnsweringGetsABoundedQueue) {
    ConnectionOptions o;
    o.port = 0;
    o.bindHost = "127.0.0.1";
    std::string error;
    auto host = Connection::listen(o, error);
    ASSERT_TRUE(host) << error;
    o.watcher = true;
    auto silent = Connection::connect("127.0.0.1", host->localPort(), o, error);
    ASSERT_TRUE(silent) << error;
    Spectators spectators(*host, "1.1.0");
    const auto serve = [&] {
        host->poll(1);
        spectators.serve();
    };
    const auto until = [&](const std::function<bool()>& done) {
        for (const auto end = Clock::now() + 10s; Clock::now() < end;) {
            serve();
            silent->poll(0);
            if (done()) return true;
        }
        return false;
    };
    ASSERT_TRUE(until([&] { return silent->connected(); }));
    silent->send(encode(Hello{kProtocolVersion, "1.1.0"}), Channel::Reliable);
    ASSERT_TRUE(until([&] { return spectators.count() == 1; }));
    StartGame start;
    start.gameId = 1;
    spectators.gameStarted(start);
    // From now on the spectator reads and acknowledges nothing; a second of play follows, with
    // as many keys as a tick may have, so that there is always more than one message to send.
    const std::vector<AppliedKey> keys(kMaxEventsPerTick, AppliedKey{KeyKind::Down, 38});
    uint32_t tick = 0;
    for (const auto end = Clock::now() + 1s; Clock::now() < end;) {
        for (int i = 0; i < 20; ++i) spectators.confirmed(++tick, keys, keys);
        serve();
    }
    EXPECT_EQ(spectators.count(), 1);
    const uint32_t firstWatcher = 1;  // the host numbers its spectators from 1
    EXPECT_GT(host->watcherBacklog(firstWatcher), 0u);
    EXPECT_LE(host->watcherBacklog(firstWatcher), 80u);
}

}  // namespace
}  // namespace zib::net
