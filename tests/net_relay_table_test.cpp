// The ZIB server's relay: which datagrams go to the other side of a pair, and when a pair ends.
#include <enet/enet.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/relay_table.h"

namespace zib::net {
namespace {

using namespace std::chrono_literals;
using Verdict = RelayTable::Verdict;

const RelayEndpoint kHost{0xC0000201, 47777}, kJoiner{0xC6336402, 50000},
    kStranger{0xCB007103, 47777}, kHostOtherPort{0xC0000201, 47778};

// An ENet datagram: its header (to a peer, or to none yet for a connection request, with the
// sending time) and a first command.
std::vector<uint8_t> datagram(bool toNoPeer, uint8_t command, size_t size) {
    std::vector<uint8_t> d(size, 0);
    const unsigned header =
        (toNoPeer ? ENET_PROTOCOL_MAXIMUM_PEER_ID : 3) | ENET_PROTOCOL_HEADER_FLAG_SENT_TIME;
    d[0] = static_cast<uint8_t>(header >> 8);
    d[1] = static_cast<uint8_t>(header);
    d[4] = static_cast<uint8_t>(command | 0x80);  // acknowledge it
    return d;
}
const std::vector<uint8_t> kGame = datagram(false, ENET_PROTOCOL_COMMAND_SEND_RELIABLE, 100);
const std::vector<uint8_t> kConnect = datagram(true, ENET_PROTOCOL_COMMAND_CONNECT, 52);

TEST(NetRelayTable, PassesOnlyThePairsOwnDatagramsWithinTheirAllowance) {
    RelayRules rules;
    rules.maxPairs = 2;
    rules.bytesPerSecond = 1000;
    rules.burst = 1000;
    rules.silence = 10s;
    const RelayTable::Clock::time_point t0{};
    struct Step {
        const char* what;
        std::chrono::milliseconds at;
        RelayEndpoint from;
        std::vector<uint8_t> bytes;
        Verdict verdict;
        RelayEndpoint to;
    } const steps[] = {
        {"the joiner's connection request goes to the host", 0ms, kJoiner, kConnect,
         Verdict::Forward, kHost},
        {"the host's answer goes to the joiner", 0ms, kHost, kGame, Verdict::Forward, kJoiner},
        {"a stranger's datagram is the server's own", 0ms, kStranger, kGame, Verdict::Mine, {}},
        {"so is one from the host's address but another port",
         0ms,
         kHostOtherPort,
         kGame,
         Verdict::Mine,
         {}},
        {"both ways share the allowance: over it, dropped",
         0ms,
         kJoiner,
         std::vector<uint8_t>(900, 1),
         Verdict::Drop,
         {}},
        {"half a second later it has come back", 500ms, kJoiner, std::vector<uint8_t>(900, 1),
         Verdict::Forward, kHost},
        {"the joiner's side silent too long: the pair has ended",
         10600ms,
         kHost,
         kGame,
         Verdict::Mine,
         {}},
        {"and stays ended", 10600ms, kJoiner, kGame, Verdict::Mine, {}},
    };
    RelayTable table(rules);
    ASSERT_TRUE(table.add(kHost, kJoiner, t0));
    for (const Step& s : steps) {
        const RelayTable::Route r = table.route(s.from, s.bytes, t0 + s.at);
        EXPECT_EQ(r.verdict, s.verdict) << s.what;
        if (s.verdict == Verdict::Forward) {
            EXPECT_EQ(r.to, s.to) << s.what;
        }
    }
    EXPECT_EQ(table.pairs(), 0u);
}

TEST(NetRelayTable, APairEndsWhenTheHostConnectsToTheServerOrOnSilence) {
    RelayRules rules;
    rules.maxPairs = 2;
    rules.silence = 10s;
    const RelayTable::Clock::time_point t0{};
    RelayTable table(rules);
    ASSERT_TRUE(table.add(kHost, kJoiner, t0));
    EXPECT_FALSE(table.add(kHost, kStranger, t0)) << "an endpoint in two pairs";
    EXPECT_FALSE(table.add(kStranger, kStranger, t0)) << "a pair of one endpoint";
    ASSERT_TRUE(table.add(kStranger, kHostOtherPort, t0));
    EXPECT_FALSE(table.add({1, 1}, {2, 2}, t0)) << "over the pair limit";

    // The host is back for a new invite code: its connection request is the server's.
    EXPECT_EQ(table.route(kHost, kConnect, t0 + 1s).verdict, Verdict::Mine);
    EXPECT_FALSE(table.relays(kHost));
    EXPECT_FALSE(table.relays(kJoiner));
    EXPECT_TRUE(table.relays(kStranger));

    // The other pair: one side speaks, the other stays silent; the sweep ends it.
    EXPECT_EQ(table.route(kStranger, kGame, t0 + 9s).verdict, Verdict::Forward);
    EXPECT_TRUE(table.sweep(t0 + 9900ms).empty());
    const auto ended = table.sweep(t0 + 10s);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].host, kStranger);
    EXPECT_EQ(ended[0].joiner, kHostOtherPort);
    EXPECT_EQ(table.pairs(), 0u);
    EXPECT_TRUE(table.add(kHost, kJoiner, t0 + 10s)) << "room again";
}

TEST(NetRelayTable, OnlyAConnectionRequestToNoPeerOpensAConnection) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool connect;
    } const cases[] = {
        {"a connection request", kConnect, true},
        {"a reliable packet", kGame, false},
        {"a connect command to a peer", datagram(false, ENET_PROTOCOL_COMMAND_CONNECT, 52), false},
        {"another command to no peer", datagram(true, ENET_PROTOCOL_COMMAND_PING, 8), false},
        {"a request without the sending time",
         {0x0F, 0xFF, ENET_PROTOCOL_COMMAND_CONNECT | 0x80},
         true},
        {"cut short before the command", {0x8F, 0xFF, 0, 0}, false},
        {"one byte", {'Z'}, false},
        {"nothing", {}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(isEnetConnectRequest(c.bytes), c.connect) << c.what;
}

}  // namespace
}  // namespace zib::net
