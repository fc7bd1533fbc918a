// The ZIB server on loopback with the game's own clients: a host registers and a joiner finds it
// by the code; wrong, used and abandoned codes are refused; a restarted server hands out a new
// code; hostile clients are cut off while the server keeps serving; only the paired joiner takes
// the host's player slot; the relay stands though either side lost the server's word of it.
#include <enet/enet.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <initializer_list>

#include "net/invite_client.h"
#include "net/invite_code.h"
#include "net/invite_server.h"
#include "net/session.h"
#include "net/watch_session.h"
#include "session_opened.h"
#include "zib-server/server_options.h"

namespace zib::net {
namespace {

using namespace std::chrono_literals;

std::unique_ptr<InviteServer> startServer(uint16_t port = 0, size_t maxHosts = 1000) {
    InviteServerOptions o;
    o.bindHost = "127.0.0.1";
    o.port = port;
    o.maxHosts = maxHosts;
    o.codesPerAddress = 3;
    o.greetingLimit = std::chrono::milliseconds(500);
    std::string error;
    auto server = InviteServer::start(o, error);
    EXPECT_TRUE(server) << error;
    return server;
}

// Serves the server and the clients until done() or a give-up limit of 5 s; says which.
bool pumpUntil(InviteServer* server, std::initializer_list<InviteClient*> clients,
               const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        if (server) server->poll(1);
        for (InviteClient* c : clients) c->poll(1);
    }
    return true;
}

std::unique_ptr<InviteClient> registered(InviteServer& server, uint16_t gamePort) {
    std::string error;
    auto host = InviteClient::registerHost("127.0.0.1", server.localPort(), gamePort, error);
    EXPECT_TRUE(host) << error;
    EXPECT_TRUE(pumpUntil(&server, {host.get()}, [&] {
        return host->stage() == InviteStage::Registered || host->stage() == InviteStage::Failed;
    }));
    return host;
}

// Asks for code and returns the joiner once it is paired or refused.
std::unique_ptr<InviteClient> joined(InviteServer& server, const std::string& code,
                                     std::initializer_list<InviteClient*> others = {}) {
    std::string error;
    auto joiner = InviteClient::joinByCode("127.0.0.1", server.localPort(), code, error);
    EXPECT_TRUE(joiner) << error;
    std::vector<InviteClient*> all(others);
    EXPECT_TRUE(pumpUntil(&server, {joiner.get()}, [&] {
        for (InviteClient* c : all) c->poll(0);
        return joiner->stage() == InviteStage::Paired || joiner->stage() == InviteStage::Failed;
    }));
    return joiner;
}

TEST(NetInviteServer, AJoinerFindsTheHostByItsCode) {
    auto server = startServer();
    auto host = registered(*server, 47999);
    ASSERT_EQ(host->stage(), InviteStage::Registered) << host->message();
    ASSERT_TRUE(isInviteCode(host->code())) << host->code();

    std::string typed = host->code();
    for (char& c : typed) c = static_cast<char>(std::tolower(c));
    auto joiner = joined(*server, typed.substr(0, 3) + "-" + typed.substr(3), {host.get()});
    ASSERT_EQ(joiner->stage(), InviteStage::Paired) << joiner->message();
    EXPECT_EQ(joiner->peerAddress(), "127.0.0.1");
    EXPECT_EQ(joiner->peerPort(), 47999);
    // The host's own network is the machine the server runs on: that path is passed on too.
    ASSERT_EQ(joiner->otherPaths().size(), 1u);
    EXPECT_EQ(joiner->otherPaths()[0].address, "127.0.0.1");
    EXPECT_EQ(joiner->otherPaths()[0].port, 47999);
    // The code lives on until the host's game starts.
    EXPECT_EQ(server->registeredHosts(), 1u);
    EXPECT_EQ(host->stage(), InviteStage::Registered);
}

TEST(NetInviteServer, CodesThatLeadNowhereAreRefusedInCzech) {
    struct Case {
        const char* what;
        std::function<void(InviteClient& host)> before;  // what the host does first
        InviteStage joiner;
        const char* message;  // a part of the joiner's message
    } const cases[] = {
        {"a right code", [](InviteClient&) {}, InviteStage::Paired, ""},
        {"the host's game started", [](InviteClient& h) { h.gameStarted(); }, InviteStage::Failed,
         "už hraje s jiným soupeřem"},
        {"the host left", [](InviteClient&) {}, InviteStage::Failed, "už odešel"},
        {"a code nobody had", [](InviteClient&) {}, InviteStage::Failed,
         "takový kód pozvánky nezná"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        auto server = startServer();
        auto host = registered(*server, 47999);
        const std::string code = host->code();
        c.before(*host);
        if (i == 2) host.reset();
        ASSERT_TRUE(pumpUntil(server.get(), {}, [&] {
            return server->registeredHosts() == (i == 1 || i == 2 ? 0u : 1u);
        })) << c.what;
        const std::string asked = i == 3 ? (code == "AAAAAA" ? "BBBBBB" : "AAAAAA") : code;
        auto joiner = host ? joined(*server, asked, {host.get()}) : joined(*server, asked);
        EXPECT_EQ(joiner->stage(), c.joiner) << c.what;
        EXPECT_NE(joiner->message().find(c.message), std::string::npos)
            << c.what << ": " << joiner->message();
    }
}

TEST(NetInviteServer, ARoutersOpenedPortReachesTheJoinerOnlyOnTheHostsPublicAddress) {
    struct Case {
        const char* address;  // as the host's router told it
        uint16_t port;
        size_t paths;  // the joiner's other paths
    } const cases[] = {
        {"127.0.0.1", 40001, 2},  // the public address the server sees
        {"192.0.2.9", 40001, 1},  // a router behind another NAT, or a lie
        {"127.0.0.1", 47999, 1},  // the same as the public endpoint
    };
    for (const Case& c : cases) {
        auto server = startServer();
        auto host = registered(*server, 47999);
        host->setMappedPort(c.address, c.port);
        // The server has taken the port once a pump has passed the message on.
        ASSERT_TRUE(
            pumpUntil(server.get(), {host.get()}, [&, n = 0]() mutable { return ++n > 20; }));
        auto joiner = joined(*server, host->code(), {host.get()});
        ASSERT_EQ(joiner->otherPaths().size(), c.paths) << c.address;
        if (c.paths == 2) {
            EXPECT_EQ(joiner->otherPaths()[1].address, "127.0.0.1");
            EXPECT_EQ(joiner->otherPaths()[1].port, 40001);
        }
    }
}

TEST(NetInviteServer, FiveWrongCodesAMinuteStopEvenTheRightOne) {
    auto server = startServer();
    auto host = registered(*server, 47999);
    const std::string right = host->code();
    const std::string wrong = right[0] == 'A' ? "BBBBBB" : "AAAAAA";
    for (int i = 0; i < 5; ++i) {
        auto joiner = joined(*server, wrong, {host.get()});
        EXPECT_NE(joiner->message().find("nezná"), std::string::npos) << i << joiner->message();
    }
    auto joiner = joined(*server, right, {host.get()});
    EXPECT_EQ(joiner->stage(), InviteStage::Failed);
    EXPECT_NE(joiner->message().find("Příliš mnoho chybných kódů"), std::string::npos)
        << joiner->message();
}

TEST(NetInviteServer, AHostReRegistersWithANewCodeWhenTheServerRestarts) {
    auto server = startServer();
    const uint16_t port = server->localPort();
    InviteClientOptions quick;
    quick.timeout = std::chrono::milliseconds(300);
    quick.retryPause = std::chrono::milliseconds(100);
    std::string error;
    auto host = InviteClient::registerHost("127.0.0.1", port, 47999, error, quick);
    ASSERT_TRUE(pumpUntil(server.get(), {host.get()},
                          [&] { return host->stage() == InviteStage::Registered; }));
    const std::string first = host->code();
    server.reset();
    ASSERT_TRUE(pumpUntil(nullptr, {host.get()}, [&] { return host->code().empty(); }));
    EXPECT_NE(host->message().find("už neplatí"), std::string::npos) << host->message();
    server = startServer(port);
    ASSERT_TRUE(pumpUntil(server.get(), {host.get()}, [&] {
        return host->stage() == InviteStage::Registered;
    })) << host->message();
    EXPECT_EQ(host->registrations(), 2u);
    EXPECT_TRUE(host->message().empty());
    auto joiner = joined(*server, host->code(), {host.get()});
    EXPECT_EQ(joiner->stage(), InviteStage::Paired);
    if (host->code() != first) {
        auto late = joined(*server, first, {host.get()});
        EXPECT_EQ(late->stage(), InviteStage::Failed);
    }
}

// A bare ENet client that sends whatever bytes it is given, from 127.0.0.2: the limits it runs
// into are those of its own address.
struct RawClient {
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;
    bool connected = false, dropped = false;
    explicit RawClient(uint16_t port) {
        ENetAddress from{};
        enet_address_set_host_ip(&from, "127.0.0.2");
        host = enet_host_create(&from, 1, 1, 0, 0);
        ENetAddress a{};
        enet_address_set_host_ip(&a, "127.0.0.1");
        a.port = port;
        peer = enet_host_connect(host, &a, 1, 0);
    }
    ~RawClient() { enet_host_destroy(host); }
    void send(const std::vector<uint8_t>& bytes) {
        enet_peer_send(peer, 0,
                       enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE));
        enet_host_flush(host);
    }
    void poll() {
        ENetEvent e;
        while (enet_host_service(host, &e, 0) > 0) {
            if (e.type == ENET_EVENT_TYPE_CONNECT) connected = true;
            if (e.type == ENET_EVENT_TYPE_DISCONNECT) dropped = true;
            if (e.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(e.packet);
        }
    }
};

TEST(NetInviteServer, HostileClientsAreCutOffAndTheServerServesOn) {
    auto server = startServer(0, 1000);
    struct Case {
        const char* what;
        std::vector<std::vector<uint8_t>> sends;  // empty: says nothing at all
    } const cases[] = {
        {"garbage", {{0xFF, 0xFF, 0xFF}}},
        {"oversized", {std::vector<uint8_t>(4000, 0x41)}},
        {"a server's message", {encodeServerMessage(Paired{0x7F000001, 1, 0, 0, 0, 0, 1})}},
        {"registers twice",
         {encodeServerMessage(RegisterHost{1, 2}), encodeServerMessage(RegisterHost{1, 2})}},
        {"another protocol", {encodeServerMessage(RegisterHost{77, 2})}},
        {"a joiner of the protocol before the relay passed datagrams on",
         {encodeServerMessage(JoinByCode{2, "ZZZZZZ"})}},
        {"silence", {}},
        {"a flood of messages",
         std::vector<std::vector<uint8_t>>(40, encodeServerMessage(JoinByCode{1, "ZZZZZZ"}))},
    };
    for (const Case& c : cases) {
        RawClient raw(server->localPort());
        ASSERT_TRUE(pumpUntil(server.get(), {}, [&] {
            raw.poll();
            return raw.connected;
        })) << c.what;
        for (const auto& bytes : c.sends) raw.send(bytes);
        EXPECT_TRUE(pumpUntil(server.get(), {}, [&] {
            raw.poll();
            return raw.dropped;
        })) << c.what;
    }
    // A flood of registrations from one address stops at its share of codes.
    std::vector<std::unique_ptr<InviteClient>> hosts;
    for (int i = 0; i < 5; ++i) hosts.push_back(registered(*server, 2000));
    int refused = 0;
    for (const auto& h : hosts) refused += h->stage() == InviteStage::Failed;
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(server->registeredHosts(), 3u);
    // The server still pairs a real host and joiner.
    auto joiner = joined(*server, hosts[0]->code(), {hosts[0].get()});
    EXPECT_EQ(joiner->stage(), InviteStage::Paired) << joiner->message();
}

SessionOptions sessionOptions(const InviteServer& server) {
    SessionOptions o;
    o.gameVersion = "1.1.0";
    o.bindHost = "127.0.0.1";
    o.port = 0;
    o.server = "127.0.0.1";
    o.serverPort = server.localPort();
    return o;
}

bool pumpSessions(InviteServer& server, const std::vector<Session*>& sessions,
                  const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        server.poll(1);
        for (Session* s : sessions) s->poll(1);
    }
    return true;
}

TEST(NetInviteServer, TwoSessionsMeetByTheCodeWhichLeadsSpectatorsUntilTheStart) {
    auto server = startServer();
    std::vector<std::string> lines;
    SessionOptions h = sessionOptions(*server);
    h.onAddressLine = [&](const std::string& line) { lines.push_back(line); };
    std::string error;
    auto host = take(Session::host(h), error);
    ASSERT_TRUE(host) << error;
    ASSERT_TRUE(pumpSessions(*server, {host.get()}, [&] { return !host->inviteCode().empty(); }));
    const std::string code = host->inviteCode();
    EXPECT_NE(host->statusLine(50).find("Kód pozvánky: " + code), std::string::npos)
        << host->statusLine(50);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("zib --join " + code + " --server 127.0.0.1:"), std::string::npos)
        << lines.back();
    EXPECT_NE(lines.back().find("zib --watch " + code + " --server 127.0.0.1:"), std::string::npos)
        << lines.back();

    auto wrong =
        take(Session::joinByCode(code == "ZZZZZZ" ? "YYYYYY" : "ZZZZZZ", sessionOptions(*server)),
             error);
    ASSERT_TRUE(wrong) << error;
    EXPECT_NE(wrong->statusLine(50).find("Ptám se serveru ZIB"), std::string::npos);
    ASSERT_TRUE(pumpSessions(*server, {host.get(), wrong.get()},
                             [&] { return wrong->state() == SessionState::Lost; }));
    EXPECT_NE(wrong->message().find("nezná"), std::string::npos) << wrong->message();

    auto joiner = take(Session::joinByCode(code, sessionOptions(*server)), error);
    ASSERT_TRUE(joiner) << error;
    ASSERT_TRUE(pumpSessions(*server, {host.get(), joiner.get()}, [&] {
        return host->state() == SessionState::Connected &&
               joiner->state() == SessionState::Connected;
    })) << joiner->statusLine(50);
    EXPECT_EQ(server->registeredHosts(), 1u);
    // A spectator finds the waiting host by the code.
    auto watcher =
        take(WatchSession::openByCode(code, "127.0.0.1", server->localPort(), "1.1.0"), error);
    ASSERT_TRUE(watcher) << error;
    EXPECT_NE(watcher->hostLabel().find(code), std::string::npos);
    ASSERT_TRUE(pumpSessions(*server, {host.get(), joiner.get()}, [&] {
        watcher->poll(0);
        return host->watcherCount() == 1;
    })) << watcher->message();

    // The start gives the code back: the spectator watches, and a later player hears from the
    // server that the host plays.
    StartGame start;
    start.levelName = "Ohrada.zq7";
    ASSERT_EQ(host->startGame(start), "");
    std::optional<StartGame> shown;
    EXPECT_TRUE(pumpSessions(*server, {host.get(), joiner.get()}, [&] {
        watcher->poll(0);
        if (!shown) shown = watcher->takeStart();
        return server->registeredHosts() == 0 && shown;
    }));
    EXPECT_EQ(shown, start);
    EXPECT_EQ(host->inviteCode(), "");
    auto late = take(Session::joinByCode(code, sessionOptions(*server)), error);
    ASSERT_TRUE(late) << error;
    ASSERT_TRUE(pumpSessions(*server, {host.get(), joiner.get(), late.get()}, [&] {
        watcher->poll(0);
        return late->state() == SessionState::Lost;
    }));
    EXPECT_NE(late->message().find("už hraje"), std::string::npos) << late->message();
    EXPECT_EQ(host->state(), SessionState::Connected);
    EXPECT_EQ(joiner->state(), SessionState::Connected);
    EXPECT_EQ(watcher->state(), WatchSession::State::Watching);
}

TEST(NetInviteServer, ASpectatorByCodeEndsInCzechWhenTheServerOrTheHostFailIt) {
    auto server = startServer();
    std::string error;
    struct Case {
        const char* what;
        bool rightCode;
        const char* says;
    };
    // The host's game port has nobody behind it: no direct path answers.
    auto host = registered(*server, 9);
    ASSERT_TRUE(host);
    const std::string code = host->code();
    for (const Case& c : {Case{"a wrong code", false, "nezná"},
                          Case{"no direct path", true, "není přímo dosažitelný"}}) {
        SCOPED_TRACE(c.what);
        auto watcher = take(WatchSession::openByCode(c.rightCode        ? code
                                                     : code == "ZZZZZZ" ? "YYYYYY"
                                                                        : "ZZZZZZ",
                                                     "127.0.0.1", server->localPort(), "1.1.0"),
                            error);
        ASSERT_TRUE(watcher) << error;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(8);
        while (watcher->state() != WatchSession::State::Lost &&
               std::chrono::steady_clock::now() < end) {
            server->poll(1);
            host->poll(0);
            watcher->poll(1);
        }
        ASSERT_EQ(watcher->state(), WatchSession::State::Lost);
        EXPECT_NE(watcher->message().find(c.says), std::string::npos) << watcher->message();
    }
}

TEST(NetInviteServer, AWaitingHostSessionGetsANewCodeFromARestartedServer) {
    auto server = startServer();
    const uint16_t port = server->localPort();
    std::vector<std::string> lines;
    SessionOptions h = sessionOptions(*server);
    h.timeout = std::chrono::milliseconds(500);
    h.onAddressLine = [&](const std::string& line) { lines.push_back(line); };
    std::string error;
    auto host = take(Session::host(h), error);
    ASSERT_TRUE(host) << error;
    ASSERT_TRUE(pumpSessions(*server, {host.get()}, [&] { return !host->inviteCode().empty(); }));
    const std::string first = host->inviteCode();
    server.reset();
    auto restarted = startServer(port);
    ASSERT_TRUE(pumpSessions(*restarted, {host.get()}, [&] {
        return !host->inviteCode().empty() && host->inviteCode() != first;
    })) << (lines.empty() ? "" : lines.back());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 2],
              "Server ZIB se odmlčel a kód " + first + " už neplatí; žádám o nový…");
}

// One side of a relayed pair: the game's connection and the invite client on it, and what the
// connection reported.
struct Side {
    std::unique_ptr<Connection> connection;
    std::unique_ptr<InviteClient> invite;
    std::vector<ConnectionEvent> events;
    void poll() {
        for (ConnectionEvent& e : connection->poll(1)) events.push_back(std::move(e));
        invite->poll(0);
    }
    bool received(const std::vector<uint8_t>& bytes, Channel channel) const {
        for (const ConnectionEvent& e : events)
            if (e.type == ConnectionEvent::Type::Received && e.bytes == bytes &&
                e.channel == channel)
                return true;
        return false;
    }
};

bool pumpSides(InviteServer& server, std::initializer_list<Side*> sides,
               const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        server.poll(1);
        for (Side* s : sides) s->poll();
    }
    return true;
}

TEST(NetInviteServer, TheRelayCarriesThePairsPacketsAndNobodyElses) {
    auto server = startServer();
    std::string error;
    Side host, joiner;
    ConnectionOptions listen;
    listen.bindHost = "127.0.0.1";
    listen.port = 0;
    host.connection = Connection::listen(listen, error);
    ASSERT_TRUE(host.connection) << error;
    host.invite = InviteClient::registerHost("127.0.0.1", server->localPort(), 0, error, {},
                                             host.connection.get());
    ASSERT_TRUE(pumpSides(*server, {&host},
                          [&] { return host.invite->stage() == InviteStage::Registered; }));
    joiner.connection = Connection::open({}, error);
    joiner.invite = InviteClient::joinByCode("127.0.0.1", server->localPort(), host.invite->code(),
                                             error, {}, joiner.connection.get());
    ASSERT_TRUE(pumpSides(*server, {&host, &joiner},
                          [&] { return joiner.invite->stage() == InviteStage::Paired; }));

    // Somebody else asks for a relay, or sends relayed bytes, without a pairing: cut off.
    for (const ServerMessage& m : {ServerMessage(RelayRequest{}), ServerMessage(RelayReady{})}) {
        RawClient raw(server->localPort());
        ASSERT_TRUE(pumpUntil(server.get(), {}, [&] {
            raw.poll();
            return raw.connected;
        }));
        raw.send(encodeServerMessage(m));
        EXPECT_TRUE(pumpUntil(server.get(), {}, [&] {
            raw.poll();
            return raw.dropped;
        })) << m.index();
    }
    EXPECT_EQ(server->relayedPairs(), 0u);

    joiner.invite->requestRelay();
    ASSERT_TRUE(pumpSides(*server, {&host, &joiner}, [&] {
        return host.connection->connected() && joiner.connection->connected();
    }));
    EXPECT_TRUE(host.connection->relayed());
    EXPECT_TRUE(joiner.connection->relayed());
    EXPECT_EQ(server->relayedPairs(), 1u);
    EXPECT_EQ(server->relaySockets(), 2u);
    EXPECT_EQ(host.connection->peerAddress(), "127.0.0.1");

    const std::vector<uint8_t> big(70000, 0x5A), small{1, 2, 3};
    ASSERT_TRUE(joiner.connection->send(small, Channel::Unreliable));
    ASSERT_TRUE(joiner.connection->send(big, Channel::Reliable));
    ASSERT_TRUE(host.connection->send(small, Channel::Unreliable));
    EXPECT_TRUE(pumpSides(*server, {&host, &joiner}, [&] {
        return host.received(small, Channel::Unreliable) && host.received(big, Channel::Reliable) &&
               joiner.received(small, Channel::Unreliable);
    }));

    // The joiner leaves: the host's game ends too. The host, back for a new code from the same
    // socket, reaches the server itself again, and the pair ends.
    joiner.connection->disconnect(true);
    EXPECT_TRUE(pumpSides(*server, {&host}, [&] { return !host.connection->connected(); }));
    host.invite = InviteClient::registerHost("127.0.0.1", server->localPort(), 0, error, {},
                                             host.connection.get());
    EXPECT_TRUE(pumpSides(*server, {&host},
                          [&] { return host.invite->stage() == InviteStage::Registered; }));
    EXPECT_EQ(server->relayedPairs(), 0u);
    EXPECT_EQ(server->relaySockets(), 0u);
}

// A host registered with the server and its paired joiner, each on its game's connection.
struct PairedSides {
    Side host, joiner;
    PairedSides(InviteServer& server, std::chrono::milliseconds timeout,
                const InviteClientOptions& hostOptions, const InviteClientOptions& joinerOptions) {
        std::string error;
        ConnectionOptions c;
        c.bindHost = "127.0.0.1";
        c.timeout = timeout;
        host.connection = Connection::listen(c, error);
        EXPECT_TRUE(host.connection) << error;
        host.invite = InviteClient::registerHost("127.0.0.1", server.localPort(), 0, error,
                                                 hostOptions, host.connection.get());
        EXPECT_TRUE(pumpSides(server, {&host},
                              [&] { return host.invite->stage() == InviteStage::Registered; }));
        joiner.connection = Connection::open(c, error);
        joiner.invite =
            InviteClient::joinByCode("127.0.0.1", server.localPort(), host.invite->code(), error,
                                     joinerOptions, joiner.connection.get());
        EXPECT_TRUE(pumpSides(server, {&host, &joiner}, [&] {
            return joiner.invite->stage() == InviteStage::Paired && host.invite->takePairing();
        }));
    }
};

TEST(NetInviteServer, AWaitingHostTakesOnlyItsPairedJoinerAsThePlayer) {
    auto server = startServer();
    PairedSides p(*server, 5000ms, {}, {});
    const uint16_t port = p.host.connection->localPort();
    std::string error;
    // Somebody at the host's port before the joiner: turned away, and told why.
    SessionOptions o;
    o.gameVersion = "1.1.0";
    o.port = port;
    auto stranger = take(Session::join("127.0.0.1", o), error);
    ASSERT_TRUE(stranger) << error;
    ASSERT_TRUE(pumpSides(*server, {&p.host}, [&] {
        stranger->poll(0);
        return stranger->state() == SessionState::Refused;
    }));
    EXPECT_EQ(stranger->message(),
              "Hostitel čeká na soupeře, se kterým ho spároval server ZIB; připojte se jeho kódem "
              "pozvánky.");
    EXPECT_FALSE(p.host.connection->connected());
    // The paired joiner is the player (a spectator of a paired host: TwoSessionsMeetByTheCode...).
    ASSERT_TRUE(p.joiner.connection->connectTo("127.0.0.1", port, error)) << error;
    EXPECT_TRUE(pumpSides(*server, {&p.host, &p.joiner}, [&] {
        return p.host.connection->connected() && p.joiner.connection->connected();
    }));
}

// The server's word that the relay begins is its last to either side: lost on the way, the side
// loses the server instead and goes on through the relay all the same.
TEST(NetInviteServer, TheRelayStandsWhicheverSideLostTheServersWordOfIt) {
    struct Case {
        const char* what;
        bool hostLoses, joinerLoses;
    } const cases[] = {
        {"nobody", false, false},
        {"the host", true, false},
        {"the joiner", false, true},
        {"both", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto server = startServer();
        InviteClientOptions h, j;
        h.loseRelayReady = c.hostLoses;
        j.loseRelayReady = c.joinerLoses;
        PairedSides p(*server, 1000ms, h, j);
        p.joiner.invite->requestRelay();
        ASSERT_TRUE(pumpSides(*server, {&p.host, &p.joiner}, [&] {
            return p.host.connection->connected() && p.joiner.connection->connected();
        }));
        EXPECT_TRUE(p.host.connection->relayed());
        EXPECT_TRUE(p.joiner.connection->relayed());
        EXPECT_EQ(p.host.connection->peerAddress(), "127.0.0.1");
        // The host is done with the server: no registration of it goes through the relay.
        EXPECT_TRUE(p.host.invite->relayed());
    }
}

TEST(ZibServerOptions, TheCommandLineIsReadOrRefused) {
    using Action = server::ServerCommandLine::Action;
    struct Case {
        std::vector<std::string> args;
        Action action;
        uint16_t port;
        size_t maxPairs;
        ServerLogLevel level;
    } const cases[] = {
        {{}, Action::Serve, 47778, 200, ServerLogLevel::Info},
        {{"--port", "5000", "--max-pairs=7", "--log-level", "debug"},
         Action::Serve,
         5000,
         7,
         ServerLogLevel::Debug},
        {{"--log-level=error"}, Action::Serve, 47778, 200, ServerLogLevel::Error},
        {{"--port", "0"}, Action::Error, 0, 0, {}},
        {{"--port", "65536"}, Action::Error, 0, 0, {}},
        {{"--port"}, Action::Error, 0, 0, {}},
        {{"--max-pairs", "-1"}, Action::Error, 0, 0, {}},
        {{"--log-level", "loud"}, Action::Error, 0, 0, {}},
        {{"--frobnicate"}, Action::Error, 0, 0, {}},
        {{"stray"}, Action::Error, 0, 0, {}},
        {{"--version", "--port", "x"}, Action::Version, 0, 0, {}},
        {{"-h"}, Action::Help, 0, 0, {}},
    };
    for (const Case& c : cases) {
        const server::ServerCommandLine line = server::parseServerCommandLine(c.args);
        std::string all;
        for (const auto& a : c.args) all += a + " ";
        ASSERT_EQ(line.action, c.action) << all << line.error;
        if (c.action == Action::Error) {
            EXPECT_FALSE(line.error.empty()) << all;
        }
        if (c.action != Action::Serve) continue;
        EXPECT_EQ(line.options.port, c.port) << all;
        EXPECT_EQ(line.options.maxPairs, c.maxPairs) << all;
        EXPECT_EQ(line.options.logLevel, c.level) << all;
    }
}

}  // namespace
}  // namespace zib::net
