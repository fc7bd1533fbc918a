// Two sessions on the loopback interface, directly or through the fault-injecting relay: the
// lockstep exchange, the handshake, lost connections, hostile packets and desync detection.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <random>
#include <regex>

#include "net/session.h"
#include "net_relay.h"

namespace zib::net {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

SessionOptions options(const std::string& version = "1.1.0",
                       std::chrono::milliseconds timeout = 5000ms) {
    SessionOptions o;
    o.gameVersion = version;
    o.bindHost = "127.0.0.1";
    o.port = 0;
    o.timeout = timeout;
    return o;
}

// Polls both until done() holds or the time is up; true when done.
bool pumpUntil(const std::vector<Session*>& sessions, const std::function<bool()>& done,
               std::chrono::milliseconds limit = 10s) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        for (Session* s : sessions) s->poll(1);
        if (done()) return true;
    }
    return false;
}

struct Pair {
    std::unique_ptr<Session> host, joiner;
    std::unique_ptr<test::UdpRelay> relay;

    explicit Pair(const test::RelayFaults* faults = nullptr,
                  const std::string& joinerVersion = "1.1.0",
                  std::chrono::milliseconds timeout = 5000ms) {
        auto opened = Session::host(options("1.1.0", timeout));
        EXPECT_TRUE(opened.ok()) << opened.error();
        if (opened) host = std::move(*opened);
        SessionOptions j = options(joinerVersion, timeout);
        j.port = host->localPort();
        if (faults) {
            relay = std::make_unique<test::UdpRelay>(j.port, *faults, 60s);
            j.port = relay->port();
        }
        auto joined = Session::join("127.0.0.1", j);
        EXPECT_TRUE(joined.ok()) << joined.error();
        if (joined) joiner = std::move(*joined);
    }
    bool connect() {
        return pumpUntil({host.get(), joiner.get()}, [&] {
            return host->state() == SessionState::Connected &&
                   joiner->state() == SessionState::Connected && host->roundTripMs() &&
                   joiner->roundTripMs();
        });
    }
    // The host starts a game and the joiner receives it.
    bool start() {
        StartGame s;
        s.levelName = "Ohrada.zq7";
        s.startLeadMs = 300;
        if (!host->startGame(s).empty()) return false;
        std::optional<SessionEvent> e;
        pumpUntil({host.get(), joiner.get()},
                  [&] { return (e = joiner->takeEvent()).has_value(); });
        return e && e->type == SessionEvent::Type::Start && e->start == s;
    }
};

// One side of a game that waits for the other side's keys: sends its own `delay` ticks ahead
// (those of the first ticks empty) and takes the other side's in order.
struct Player {
    Player(Session& s, unsigned seed, uint32_t delay) : session(s), random(seed), delay(delay) {
        for (uint32_t t = 1; t <= delay; ++t) {
            EXPECT_TRUE(session.sendLocalInput(t, {}, 0)) << session.message();
            sent.emplace_back();
        }
    }
    Session& session;
    std::mt19937 random;
    uint32_t delay;
    uint32_t tick = 1;  // the next tick to take
    std::vector<std::vector<KeyEvent>> sent, received;

    bool step(uint32_t lastTick) {
        if (tick > lastTick || !session.hasRemoteInput(tick)) return false;
        received.push_back(*session.remoteInput(tick));
        const uint32_t stamp = tick + delay;
        if (stamp <= lastTick) {
            // Slots of this side's own snake (red's are odd), and Esc.
            const uint8_t own = session.role() == Role::Host ? 1 : 0;
            std::vector<KeyEvent> keys;
            for (int n = static_cast<int>(random() % 4); n > 0; --n)
                keys.push_back({random() % 5 == 0
                                    ? kEscSlot
                                    : static_cast<uint8_t>(2 * (random() % 4) + own)});
            EXPECT_TRUE(session.sendLocalInput(stamp, keys, tick)) << session.message();
            sent.push_back(keys);
        }
        ++tick;
        return true;
    }
};

TEST(NetSession, LockstepThroughAFaultyRelayDeliversEveryKeyInOrder) {
    const test::RelayFaults faults{5, 10, 0.03, 0.03, 0.03, 42};
    Pair p(&faults);
    ASSERT_TRUE(p.connect());
    EXPECT_TRUE(std::regex_match(
        p.joiner->statusLine(2),
        std::regex("Soupeř připojen přímo v místní síti, zpoždění [0-9]+ ms, zpoždění vstupu 2 "
                   "tahy")))
        << p.joiner->statusLine(2);
    ASSERT_TRUE(p.start());
    constexpr uint32_t kTicks = 2000;
    Player host(*p.host, 1, 8), joiner(*p.joiner, 2, 3);
    const bool done = pumpUntil(
        {p.host.get(), p.joiner.get()},
        [&] {
            while (host.step(kTicks)) {
            }
            while (joiner.step(kTicks)) {
            }
            return host.tick > kTicks && joiner.tick > kTicks;
        },
        60s);
    ASSERT_TRUE(done) << "host at tick " << host.tick << ", joiner at " << joiner.tick;
    EXPECT_EQ(host.received, joiner.sent);
    EXPECT_EQ(joiner.received, host.sent);
    EXPECT_EQ(p.host->peerTick()->tick, kTicks - 3);
    EXPECT_EQ(p.joiner->peerTick()->tick, kTicks - 8);
    EXPECT_EQ(p.host->state(), SessionState::Connected);
    const test::RelayCounts counts = p.relay->counts();
    EXPECT_GT(counts.datagrams[0], 1000u);  // the faults really had traffic to work on
}

TEST(NetSession, EitherSideNoticesTheOtherGone) {
    const test::RelayFaults clean{};
    for (const bool hostDies : {true, false}) {
        Pair p(&clean, "1.1.0", 400ms);
        ASSERT_TRUE(p.connect());
        ASSERT_TRUE(p.start());
        std::unique_ptr<Session>& dead = hostDies ? p.host : p.joiner;
        Session& alive = hostDies ? *p.joiner : *p.host;
        p.relay->cut();  // the killed program says nothing more
        dead.reset();
        EXPECT_TRUE(pumpUntil(
            {&alive}, [&] { return alive.state() == SessionState::Lost; }, 5s));
        EXPECT_EQ(alive.message(), "Spojení se soupeřem bylo přerušeno");
        std::optional<SessionEvent> e = alive.takeEvent();
        ASSERT_TRUE(e);
        EXPECT_EQ(e->type, SessionEvent::Type::Lost);
        EXPECT_FALSE(alive.inGame());
    }
    // A goodbye is told apart from a silence.
    Pair p;
    ASSERT_TRUE(p.connect());
    p.joiner->close();
    EXPECT_TRUE(pumpUntil({p.host.get()}, [&] { return p.host->state() == SessionState::Lost; }));
    EXPECT_EQ(p.host->message(), "Soupeř ukončil hru a odpojil se.");
    EXPECT_EQ(p.host->statusLine(13),
              "Soupeř ukončil hru a odpojil se. Čekám na soupeře na portu " +
                  std::to_string(p.host->localPort()) + "…");
}

TEST(NetSession, DifferentVersionsAreRefusedOnBothSides) {
    Pair p(nullptr, "1.0.0");
    EXPECT_TRUE(pumpUntil({p.host.get(), p.joiner.get()}, [&] {
        return p.host->state() == SessionState::Refused &&
               p.joiner->state() == SessionState::Refused;
    }));
    EXPECT_EQ(p.host->message(), "Soupeř má jinou verzi hry (1.0.0, zde 1.1.0).");
    EXPECT_EQ(p.joiner->message(), "Soupeř má jinou verzi hry (1.1.0, zde 1.0.0).");
    StartGame s;
    s.levelName = "Ohrada.zq7";
    EXPECT_FALSE(p.host->startGame(s).empty());
}

TEST(NetSession, ASecondJoinerIsTurnedAway) {
    Pair p;
    ASSERT_TRUE(p.connect());
    SessionOptions o = options();
    o.port = p.host->localPort();
    auto joined = Session::join("127.0.0.1", o);
    ASSERT_TRUE(joined.ok()) << joined.error();
    std::unique_ptr<Session> third = std::move(*joined);
    EXPECT_TRUE(pumpUntil({p.host.get(), p.joiner.get(), third.get()},
                          [&] { return third->state() == SessionState::Refused; }));
    EXPECT_EQ(third->message(), "Hostitel už hraje s jiným soupeřem.");
    EXPECT_EQ(p.host->state(), SessionState::Connected);
}

TEST(NetSession, ChecksumsThatDifferNameTheTick) {
    Pair p;
    ASSERT_TRUE(p.connect());
    ASSERT_TRUE(p.start());
    for (uint32_t tick = 16; tick <= 64; tick += 16) {
        p.host->sendChecksum(tick, tick);
        p.joiner->sendChecksum(tick, tick == 48 || tick == 64 ? tick + 1 : tick);
    }
    EXPECT_TRUE(pumpUntil({p.host.get(), p.joiner.get()},
                          [&] { return p.host->desyncTick() && p.joiner->desyncTick(); }));
    EXPECT_EQ(p.host->desyncTick(), 48u);
    EXPECT_EQ(p.joiner->desyncTick(), 48u);
}

// A bare ENet peer in the joiner's place. Greeted, it is a joiner as far as the host knows; in a
// game the host started with an input delay of 2, so its keys run from tick 3 (odd, the second
// channel) and 4 (even, the first).
struct RawJoiner {
    enum class Stage { Connected, Greeted, Playing };
    std::unique_ptr<Session> host;
    std::unique_ptr<Connection> peer;

    bool pump(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
        return pumpUntil(
            {host.get()},
            [&] {
                peer->poll(0);
                return done();
            },
            limit);
    }
    bool reach(Stage stage, std::chrono::milliseconds checksumPatience = 2000ms) {
        std::string error;
        SessionOptions so = options();
        so.checksumPatience = checksumPatience;
        if (auto opened = Session::host(so)) host = std::move(*opened);
        ConnectionOptions o;
        if (host) peer = Connection::connect("127.0.0.1", host->localPort(), o, error);
        if (!peer || !pump([&] { return peer->connected(); })) return false;
        if (stage == Stage::Connected) return true;
        send(Hello{kProtocolVersion, "1.1.0"});
        if (!pump([&] { return host->state() == SessionState::Connected; })) return false;
        if (stage == Stage::Greeted) return true;
        StartGame s;
        s.levelName = "Ohrada.zq7";
        return host->startGame(s).empty();
    }
    void send(const Message& m, Channel c = Channel::Reliable) { peer->send(encode(m), c); }
    bool hostHas(uint32_t tick) {
        pump(
            [&] { return host->hasRemoteInput(tick) || host->state() != SessionState::Connected; });
        return host->hasRemoteInput(tick);
    }
};

// A peer that speaks ENet but breaks the protocol is cut off with a message.
TEST(NetSession, APeerOutOfTurnIsCutOff) {
    using Stage = RawJoiner::Stage;
    struct Sent {
        Message message;
        Channel channel = Channel::Reliable;
    };
    struct Case {
        const char* what;
        Stage stage;
        std::vector<Sent> sent;
    };
    const KeyEvent up{0}, down{2};  // blue's, the joiner's own
    const Case cases[] = {
        {"keys before the greeting", Stage::Connected, {{Input{1, 1, 0, {}, {}}}}},
        {"a second greeting", Stage::Greeted, {{Hello{kProtocolVersion, "1.1.0"}}}},
        {"keys of a game not started", Stage::Greeted, {{Input{1, 1, 0, {}, {}}}}},
        {"a start from the joiner",
         Stage::Greeted,
         {{StartGame{1, "a.zq7", "", 2, 1, 10, 0, false, 0, 1, {}, {}}}}},
        {"undecodable bytes", Stage::Greeted, {}},
        {"keys on the channel of other messages", Stage::Playing, {{Input{1, 1, 0, {}, {}}}}},
        {"keys on the channel of another tick",
         Stage::Playing,
         {{Input{1, 1, 0, {}, {}}, keyChannel(2)}}},
        {"a restart on a key channel", Stage::Playing, {{Restart{1}, keyChannel(3)}}},
        {"a channel that skips a tick", Stage::Playing, {{Input{1, 4, 0, {}, {}}, keyChannel(4)}}},
        {"keys before the first tick",
         Stage::Playing,
         {{Input{1, 2, 0, {}, {{{}, {up}}}}, keyChannel(2)}}},
        {"two different keys for one tick",
         Stage::Playing,
         {{Input{1, 3, 1, {}, {{{}, {up}}}}, keyChannel(3)},
          {Input{1, 1, 0, {down}, {}}, keyChannel(1)}}},
        // The joiner steers blue only: red's slots from it are refused, also among earlier ticks.
        {"a slot of the other snake", Stage::Playing, {{Input{1, 1, 0, {{1}}, {}}, keyChannel(1)}}},
        {"a slot of the other snake before",
         Stage::Playing,
         {{Input{1, 3, 1, {up}, {{{KeyEvent{7}}, {}}}}, keyChannel(3)}}},
        // A refusal answers only a greeting: later it would leave the other side frozen.
        {"a refusal once greeted", Stage::Greeted, {{Refuse{}}}},
        {"a refusal in the middle of a game", Stage::Playing, {{Refuse{}}}},
    };
    for (const Case& c : cases) {
        RawJoiner j;
        ASSERT_TRUE(j.reach(c.stage)) << c.what;
        for (const Sent& m : c.sent) j.send(m.message, m.channel);
        if (c.sent.empty()) {
            const uint8_t junk[] = {6, 1, 2};
            j.peer->send(junk, Channel::Reliable);
        }
        EXPECT_TRUE(j.pump([&] { return j.host->state() == SessionState::Lost; })) << c.what;
        EXPECT_NE(j.host->message().find("chybnou zprávu"), std::string::npos)
            << c.what << ": " << j.host->message();
        std::optional<SessionEvent> e = j.host->takeEvent();
        EXPECT_TRUE(e && e->type == SessionEvent::Type::Lost) << c.what;
        EXPECT_FALSE(j.host->inGame()) << c.what;
    }
}

// A program of the same version that speaks an older protocol is refused at its greeting.
TEST(NetSession, AnOlderProtocolIsRefused) {
    RawJoiner j;
    ASSERT_TRUE(j.reach(RawJoiner::Stage::Connected));
    j.send(Hello{2, "1.1.0"});
    EXPECT_TRUE(j.pump([&] { return j.host->state() == SessionState::Refused; }));
    EXPECT_EQ(j.host->message(), "Soupeř má jinou verzi síťové hry (protokol 2, zde 3).");
}

// A peer that plays but never sends a checksum is cut off once it has been more than four behind
// for a while (200 ms here), before the checksums kept for it pile up.
TEST(NetSession, APeerThatSendsNoChecksumsIsCutOff) {
    RawJoiner j;
    ASSERT_TRUE(j.reach(RawJoiner::Stage::Playing, 200ms));
    for (uint32_t tick = 16; tick <= 80; tick += 16) j.host->sendChecksum(tick, tick);
    j.pump([] { return false; }, 300ms);
    EXPECT_EQ(j.host->state(), SessionState::Connected);
    // One checksum of its own brings it back within four: the wait starts anew.
    j.send(Checksum{1, 16, 16});
    j.pump([] { return false; }, 100ms);
    j.host->sendChecksum(96, 96);
    j.host->sendChecksum(112, 112);
    EXPECT_EQ(j.host->state(), SessionState::Connected) << j.host->message();
    j.pump([] { return false; }, 300ms);
    j.host->sendChecksum(128, 128);
    EXPECT_EQ(j.host->state(), SessionState::Lost);
    EXPECT_EQ(j.host->message(), "Soupeř neposílá kontrolní součty hry, spojení je ukončeno.");
    std::optional<SessionEvent> e = j.host->takeEvent();
    EXPECT_TRUE(e && e->type == SessionEvent::Type::Lost);
}

// The round trip is timed by this side's clock against the id it sent: an answer with an id never
// sent, or one already answered, changes nothing, whatever time it carries.
TEST(NetSession, OnlyTheFirstAnswerToAProbeOfOursCounts) {
    RawJoiner j;
    ASSERT_TRUE(j.reach(RawJoiner::Stage::Greeted));
    std::optional<Ping> ping;
    const auto serve = [&](std::chrono::milliseconds limit, const std::function<bool()>& done) {
        return pumpUntil(
            {j.host.get()},
            [&] {
                for (ConnectionEvent& event : j.peer->poll(0)) {
                    if (event.type != ConnectionEvent::Type::Received) continue;
                    Decoded d = decode(event.bytes);
                    if (d.message && std::holds_alternative<Ping>(*d.message) && !ping)
                        ping = std::get<Ping>(*d.message);
                }
                return done();
            },
            limit);
    };
    ASSERT_TRUE(serve(2s, [&] { return ping.has_value(); }));
    constexpr uint64_t kPeerClock = 5'000'000'000;
    j.send(Pong{ping->id + 1000, 0}, Channel::Unreliable);
    j.send(Pong{0, ~0ull}, Channel::Unreliable);
    serve(200ms, [] { return false; });
    EXPECT_FALSE(j.host->roundTripMs());
    EXPECT_FALSE(j.host->clockOffsetUs());

    j.send(Pong{ping->id, kPeerClock}, Channel::Unreliable);
    ASSERT_TRUE(serve(2s, [&] { return j.host->roundTripMs().has_value(); }));
    const uint64_t answered = j.host->clockUs();
    // Timed from the probe's own send time, before the 200 ms of foreign answers.
    const double first = *j.host->roundTripMs();
    EXPECT_GE(first, 200.0);
    // The peer's clock read at half the round trip: between the probe's send and its answer.
    const int64_t offset = *j.host->clockOffsetUs();
    EXPECT_GE(offset, static_cast<int64_t>(kPeerClock - answered));
    EXPECT_LE(offset, static_cast<int64_t>(kPeerClock - ping->timeUs));
    EXPECT_EQ(j.host->localClockOf(kPeerClock), -offset + static_cast<int64_t>(kPeerClock));

    // The same answer again, later, is no second measurement.
    serve(300ms, [] { return false; });
    j.send(Pong{ping->id, kPeerClock + 300'000}, Channel::Unreliable);
    serve(200ms, [] { return false; });
    EXPECT_EQ(j.host->roundTripMs(), first);
    EXPECT_EQ(j.host->clockOffsetUs(), offset);
    EXPECT_EQ(j.host->state(), SessionState::Connected);
}

// The keys of ticks whose own packets are held back arrive with a later tick's, on another
// channel; the late packets themselves, when they come, agree and are taken quietly.
TEST(NetSession, ALaterTickOnAnotherChannelBringsTheKeysOfLateOnes) {
    const KeyEvent up{0};
    RawJoiner j;
    ASSERT_TRUE(j.reach(RawJoiner::Stage::Playing));
    j.send(Input{1, 3, 1, {}, {{{}, {up}}}}, keyChannel(3));
    ASSERT_TRUE(j.hostHas(1));
    EXPECT_EQ(j.host->remoteInput(1), std::vector<KeyEvent>{up});
    EXPECT_EQ(j.host->remoteInput(2), std::vector<KeyEvent>{});
    EXPECT_TRUE(j.host->hasRemoteInput(3));
    j.send(Input{1, 1, 0, {up}, {}}, keyChannel(1));
    j.send(Input{1, 2, 0, {}, {{{up}, {}}}}, keyChannel(2));
    j.send(Input{1, 4, 2, {}, {{{}, {}}}}, keyChannel(4));
    ASSERT_TRUE(j.hostHas(4));
    EXPECT_EQ(j.host->peerTick()->tick, 2u);
    EXPECT_EQ(j.host->state(), SessionState::Connected);
}

// A bare ENet host in the host's place, greeted by a joiner session.
struct RawHost {
    std::unique_ptr<Connection> host;
    std::unique_ptr<Session> joiner;

    bool pump(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
        return pumpUntil(
            {joiner.get()},
            [&] {
                host->poll(0);
                return done();
            },
            limit);
    }
    bool greet() {
        std::string error;
        ConnectionOptions o;
        o.bindHost = "127.0.0.1";
        if (!(host = Connection::listen(o, error))) return false;
        SessionOptions j = options();
        j.port = host->localPort();
        if (auto joined = Session::join("127.0.0.1", j)) joiner = std::move(*joined);
        if (!joiner || !pump([&] { return host->connected(); })) return false;
        send(Hello{kProtocolVersion, "1.1.0"});
        return pump([&] { return joiner->state() == SessionState::Connected; });
    }
    void send(const Message& m, Channel c = Channel::Reliable) { host->send(encode(m), c); }
    static StartGame start(uint32_t gameId) {
        StartGame s;
        s.gameId = gameId;
        s.levelName = "Ohrada.zq7";
        return s;
    }
};

// The start of a game and its keys travel on different channels, so a start that ENet has to send
// again is overtaken by the host's first keys; the joiner keeps them for the game.
TEST(NetSession, KeysThatOvertakeTheirStartWaitForIt) {
    RawHost h;
    ASSERT_TRUE(h.greet());
    const KeyEvent up{1};  // red's, the host's own
    h.send(Input{1, 1, 0, {up}, {}}, keyChannel(1));
    h.send(RawHost::start(1));
    h.pump([&] {
        return h.joiner->hasRemoteInput(1) || h.joiner->state() != SessionState::Connected;
    });
    EXPECT_EQ(h.joiner->state(), SessionState::Connected) << h.joiner->message();
    EXPECT_EQ(h.joiner->remoteInput(1), std::vector<KeyEvent>{up});
}

// The host's next start can overtake the last keys of the game before it, which travel on other
// channels. The joiner keeps the start (and what follows it) until that game has ended here, so
// the old game gets its keys and is not stalled.
TEST(NetSession, AStartWaitsForTheLastKeysOfTheGameBefore) {
    RawHost h;
    ASSERT_TRUE(h.greet());
    Session& joiner = *h.joiner;
    h.send(RawHost::start(1));
    for (uint32_t tick = 1; tick <= 3; ++tick) h.send(Input{1, tick, 0, {}, {}}, keyChannel(tick));
    bool started = false;
    ASSERT_TRUE(h.pump([&] {
        started = started || joiner.takeEvent();
        return started && joiner.hasRemoteInput(3);
    }));
    // The next game's start, then its end and the start after it, all before game 1's last keys.
    h.send(RawHost::start(2));
    h.send(EndGame{2, EndReason::Quit, 0});
    h.send(RawHost::start(3));
    h.pump([] { return false; }, 100ms);
    const KeyEvent up{1};
    h.send(Input{1, 4, 0, {up}, {{{}, {}}}}, keyChannel(4));
    ASSERT_TRUE(h.pump([&] { return joiner.hasRemoteInput(4); }));
    EXPECT_EQ(joiner.remoteInput(4), std::vector<KeyEvent>{up});
    EXPECT_EQ(joiner.gameId(), 1u);
    EXPECT_FALSE(joiner.takeEvent());

    // Game 1 ends here: game 2 starts and ends, and game 3 starts, in the order sent.
    joiner.finishGame();
    std::vector<std::pair<SessionEvent::Type, uint32_t>> seen;
    while (std::optional<SessionEvent> e = joiner.takeEvent())
        seen.emplace_back(e->type, e->start.gameId + e->end.gameId);
    using T = SessionEvent::Type;
    EXPECT_EQ(seen,
              (std::vector<std::pair<T, uint32_t>>{{T::Start, 2}, {T::End, 2}, {T::Start, 3}}));
    EXPECT_TRUE(joiner.inGame());
    EXPECT_EQ(joiner.state(), SessionState::Connected) << joiner.message();
}

}  // namespace
}  // namespace zib::net
