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

// A bare ENet peer in the joiner's place. Greeted, it is a joiner as far as the host knows.
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
    // Serves both until done() holds, keeping the host's Inputs that come meanwhile.
    std::vector<Input> heard;
    bool listen(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
        return pumpUntil(
            {host.get()},
            [&] {
                for (ConnectionEvent& event : peer->poll(0)) {
                    if (event.type != ConnectionEvent::Type::Received) continue;
                    Decoded d = decode(event.bytes);
                    if (d.message && std::holds_alternative<Input>(*d.message))
                        heard.push_back(std::get<Input>(*d.message));
                }
                return done() || host->state() != SessionState::Connected;
            },
            limit);
    }
    // Until the host has said it holds this side's keys up to tick.
    bool hostAcknowledges(uint32_t tick) {
        return listen([&] { return !heard.empty() && heard.back().ack >= tick; }) &&
               host->state() == SessionState::Connected;
    }
};

// A peer that speaks ENet but breaks the protocol is cut off with a message that says how.
TEST(NetSession, APeerOutOfTurnIsCutOff) {
    using Stage = RawJoiner::Stage;
    struct Sent {
        Message message;
        Channel channel = Channel::Unreliable;
        uint32_t afterAck = 0;  // sent once the host acknowledged this tick
    };
    struct Case {
        const char* what;
        Stage stage;
        std::vector<Sent> sent;
        const char* why;  // the part of the host's message that names the fault
    };
    const KeyEvent up{0}, down{2};  // blue's, the joiner's own
    const Input first{1, 1, 1, 0, 0, {}};
    const Case cases[] = {
        // (A probe or keys before it are let go: they travel unreliably and may overtake it.)
        {"a checksum before the greeting",
         Stage::Connected,
         {{Checksum{1, 16, 0}, Channel::Reliable}},
         "před pozdravem"},
        {"a second greeting",
         Stage::Greeted,
         {{Hello{kProtocolVersion, "1.1.0"}, Channel::Reliable}},
         "druhý pozdrav"},
        {"keys of a game not started", Stage::Greeted, {{first}}, "nezačala"},
        {"a start from the joiner",
         Stage::Greeted,
         {{StartGame{1, "a.zq7", "", 2, 1, 10, 0, false, 0, 1, 0, {}, {}}, Channel::Reliable}},
         "nehostí"},
        {"undecodable bytes", Stage::Greeted, {}, "kratší"},
        {"keys on the channel of other messages",
         Stage::Playing,
         {{first, Channel::Reliable}},
         "nesprávném kanálu"},
        {"a restart on the channel of keys", Stage::Playing, {{Restart{1}}}, "nesprávném kanálu"},
        {"a range that skips ticks not acknowledged",
         Stage::Playing,
         {{Input{1, 2, 1, 0, 0, {}}}},
         "nejdou po sobě"},
        {"a range beyond the acknowledgement heard",
         Stage::Playing,
         {{Input{1, 1, 3, 0, 0, {}}}, {Input{1, 5, 1, 0, 0, {}}, Channel::Unreliable, 3}},
         "nejdou po sobě"},
        {"an acknowledgement of keys never sent",
         Stage::Playing,
         {{Input{1, 1, 1, 0, 1, {}}}},
         "nebyl poslán"},
        {"two different keys for one tick",
         Stage::Playing,
         {{Input{1, 1, 3, 1, 0, {{2, {up}}}}}, {Input{1, 1, 3, 1, 0, {{2, {down}}}}}},
         "dvoje různé"},
        {"keys for a tick first sent without",
         Stage::Playing,
         {{Input{1, 1, 2, 0, 0, {}}}, {Input{1, 1, 2, 0, 0, {{1, {up}}}}}},
         "dvoje různé"},
        // The joiner steers blue only: red's slots from it are refused, in any tick of a range.
        {"a slot of the other snake",
         Stage::Playing,
         {{Input{1, 1, 1, 0, 0, {{1, {{1}}}}}}},
         "cizího hada"},
        {"a slot of the other snake later in the range",
         Stage::Playing,
         {{Input{1, 1, 4, 1, 0, {{1, {up}}, {4, {down, KeyEvent{7}}}}}}},
         "cizího hada"},
        {"ticks too far ahead",
         Stage::Playing,
         {{Input{1, 1, 255, 0, 0, {}}}, {Input{1, 256, 2, 0, 0, {}}, Channel::Unreliable, 255}},
         "příliš napřed"},
        // A refusal answers only a greeting: later it would leave the other side frozen.
        {"a refusal once greeted",
         Stage::Greeted,
         {{Refuse{}, Channel::Reliable}},
         "odmítnutí po navázání"},
        {"a refusal in the middle of a game",
         Stage::Playing,
         {{Refuse{}, Channel::Reliable}},
         "odmítnutí po navázání"},
    };
    for (const Case& c : cases) {
        RawJoiner j;
        ASSERT_TRUE(j.reach(c.stage)) << c.what;
        for (const Sent& m : c.sent) {
            if (m.afterAck) {
                ASSERT_TRUE(j.hostAcknowledges(m.afterAck)) << c.what;
            }
            j.send(m.message, m.channel);
        }
        if (c.sent.empty()) {
            const uint8_t junk[] = {6, 1, 2};
            j.peer->send(junk, Channel::Reliable);
        }
        EXPECT_TRUE(j.pump([&] { return j.host->state() == SessionState::Lost; })) << c.what;
        EXPECT_NE(j.host->message().find("chybnou zprávu"), std::string::npos)
            << c.what << ": " << j.host->message();
        EXPECT_NE(j.host->message().find(c.why), std::string::npos)
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

// What a fair joiner sends for ticks 1 to 6 when the host acknowledges none of them: each Input
// from tick 1 to the newest, blue's up in tick 2 and down in tick 5. Whichever of them are lost,
// come twice or out of order, the host ends up with the keys of every tick the ones that came
// cover, and says how far it holds them.
TEST(NetSession, InputsLostTwiceOrOutOfOrderLeaveTheSameKeys) {
    const KeyEvent up{0}, down{2};
    const auto sent = [&](uint32_t last) {
        Input input{1, 1, last, last > 2 ? last - 2 : 0, 0, {}};
        if (last >= 2) input.keyed.push_back({2, {up}});
        if (last >= 5) input.keyed.push_back({5, {down}});
        return input;
    };
    struct Case {
        const char* what;
        std::vector<uint32_t> arrive;  // which of the six Inputs come, in this order
        uint32_t held;                 // the host holds every tick up to this one
        uint32_t peerTick;             // the newest sender's tick among them
    };
    const Case cases[] = {
        {"all, in order", {1, 2, 3, 4, 5, 6}, 6, 4},
        {"every other lost", {2, 4, 6}, 6, 4},
        {"only the last", {6}, 6, 4},
        {"out of order", {6, 3, 5, 1}, 6, 4},
        {"twice each", {3, 3, 1, 6, 6}, 6, 4},
        {"the last two lost", {1, 2, 3, 4}, 4, 2},
        {"the last two lost, the rest backwards", {4, 3, 2, 1}, 4, 2},
    };
    for (const Case& c : cases) {
        RawJoiner j;
        ASSERT_TRUE(j.reach(RawJoiner::Stage::Playing)) << c.what;
        for (uint32_t n : c.arrive) j.send(sent(n), Channel::Unreliable);
        // The host acknowledges what it holds even with no keys of its own to send.
        ASSERT_TRUE(j.hostAcknowledges(c.held)) << c.what << ": " << j.host->message();
        EXPECT_EQ(j.heard.back().ack, c.held) << c.what;
        for (uint32_t tick = 1; tick <= 6; ++tick) {
            EXPECT_EQ(j.host->hasRemoteInput(tick), tick <= c.held) << c.what << " tick " << tick;
            if (tick > c.held) continue;
            const std::vector<KeyEvent> keys =
                tick == 2 ? std::vector<KeyEvent>{up}
                          : (tick == 5 ? std::vector<KeyEvent>{down} : std::vector<KeyEvent>{});
            EXPECT_EQ(j.host->remoteInput(tick), keys) << c.what << " tick " << tick;
        }
        EXPECT_EQ(j.host->peerTick()->tick, c.peerTick) << c.what;
    }
}

// The host's own keys go from the first tick not acknowledged to the newest, again and again
// while the other side says nothing, and from the next one on once it acknowledges.
TEST(NetSession, InputsCarryTheKeysNotYetAcknowledged) {
    const KeyEvent up{1}, esc{kEscSlot};  // red's, the host's own
    RawJoiner j;
    ASSERT_TRUE(j.reach(RawJoiner::Stage::Playing));
    ASSERT_TRUE(j.host->sendLocalInput(1, {}, 0));
    ASSERT_TRUE(j.host->sendLocalInput(2, std::vector<KeyEvent>{up}, 0));
    ASSERT_TRUE(j.host->sendLocalInput(3, {}, 1));
    // Without an answer the newest goes again: it needs no tick of the host's game to do so.
    ASSERT_TRUE(j.listen([&] { return j.heard.size() >= 4; }));
    for (const Input& input : j.heard) {
        EXPECT_EQ(input.firstTick, 1u);
        if (input.tickCount >= 2) {
            EXPECT_EQ(input.keyed, (std::vector<TickKeys>{{2, {up}}}));
        }
    }
    EXPECT_EQ(j.heard.back(), (Input{1, 1, 3, 1, 0, {{2, {up}}}}));
    // Keys of this side's snake only, tick after tick.
    EXPECT_FALSE(j.host->sendLocalInput(4, std::vector<KeyEvent>{KeyEvent{0}}, 1));
    EXPECT_FALSE(j.host->sendLocalInput(5, {}, 1));

    // Tick 2 acknowledged: the next Inputs start at tick 3.
    j.send(Input{1, 1, 0, 0, 2, {}}, Channel::Unreliable);
    j.heard.clear();
    ASSERT_TRUE(j.listen([&] { return !j.heard.empty() && j.heard.back().firstTick == 3; }));
    ASSERT_TRUE(j.host->sendLocalInput(4, std::vector<KeyEvent>{esc}, 2));
    j.heard.clear();
    ASSERT_TRUE(j.listen([&] { return j.heard.size() >= 2; }));
    EXPECT_EQ(j.heard.back(), (Input{1, 3, 2, 2, 0, {{4, {esc}}}}));
    // An older acknowledgement that comes late changes nothing.
    j.send(Input{1, 1, 0, 0, 1, {}}, Channel::Unreliable);
    j.heard.clear();
    ASSERT_TRUE(j.listen([&] { return j.heard.size() >= 2; }));
    EXPECT_EQ(j.heard.back().firstTick, 3u);
    // No further than the other side would take: kMaxInputSpan ticks past its acknowledgement.
    for (uint32_t tick = 5; tick <= 2 + kMaxInputSpan; ++tick)
        ASSERT_TRUE(j.host->sendLocalInput(tick, {}, 2)) << tick;
    EXPECT_FALSE(j.host->sendLocalInput(3 + kMaxInputSpan, {}, 2));
    EXPECT_EQ(j.host->state(), SessionState::Connected) << j.host->message();
}

// A start may overtake the last keys of the game before: those go on being sent, with the game's
// id, until the other side acknowledges them.
TEST(NetSession, TheLastKeysOfAGameGoAgainAfterTheNextStart) {
    const KeyEvent up{1};
    RawJoiner j;
    ASSERT_TRUE(j.reach(RawJoiner::Stage::Playing));
    ASSERT_TRUE(j.host->sendLocalInput(1, std::vector<KeyEvent>{up}, 0));
    j.host->endGame(EndReason::Quit);
    StartGame next;
    next.levelName = "Ohrada.zq7";
    ASSERT_EQ(j.host->startGame(next), "");
    ASSERT_EQ(next.gameId, 2u);
    j.heard.clear();
    ASSERT_TRUE(j.listen([&] { return j.heard.size() >= 2; }));
    EXPECT_EQ(j.heard.back(), (Input{1, 1, 1, 0, 0, {{1, {up}}}}));
    // Keys of game 2 from the other side show it has left game 1 behind.
    j.send(Input{2, 1, 1, 0, 0, {}}, Channel::Unreliable);
    ASSERT_TRUE(j.hostAcknowledges(1));
    j.heard.clear();
    ASSERT_TRUE(j.host->sendLocalInput(1, {}, 0));
    ASSERT_TRUE(j.listen([&] { return j.heard.size() >= 3; }));
    for (const Input& input : j.heard) EXPECT_EQ(input.gameId, 2u);
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

// The start of a game travels reliably and its keys do not, so a start that ENet has to send again
// is overtaken by the host's first keys; the joiner keeps them for the game.
TEST(NetSession, KeysThatOvertakeTheirStartWaitForIt) {
    RawHost h;
    ASSERT_TRUE(h.greet());
    const KeyEvent up{1};  // red's, the host's own
    h.send(Input{1, 1, 1, 0, 0, {{1, {up}}}}, Channel::Unreliable);
    h.send(RawHost::start(1));
    h.pump([&] {
        return h.joiner->hasRemoteInput(1) || h.joiner->state() != SessionState::Connected;
    });
    EXPECT_EQ(h.joiner->state(), SessionState::Connected) << h.joiner->message();
    EXPECT_EQ(h.joiner->remoteInput(1), std::vector<KeyEvent>{up});
}

// The host's next start can overtake the last keys of the game before it, which travel
// unreliably. The joiner keeps the start (and what follows it) until that game has ended here, so
// the old game gets its keys and is not stalled.
TEST(NetSession, AStartWaitsForTheLastKeysOfTheGameBefore) {
    RawHost h;
    ASSERT_TRUE(h.greet());
    Session& joiner = *h.joiner;
    h.send(RawHost::start(1));
    h.send(Input{1, 1, 3, 0, 0, {}}, Channel::Unreliable);
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
    h.send(Input{1, 1, 4, 0, 0, {{4, {up}}}}, Channel::Unreliable);
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
