// The relayed sides' own sockets on loopback: plain UDP sockets stand for the server's ENet
// socket and for the two sides and a stranger.
#include <arpa/inet.h>
#include <enet/enet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "net/relay_sockets.h"
#include "net_relay.h"

namespace zib::net {
namespace {

using namespace std::chrono_literals;

struct Udp {
    int fd = test::loopbackSocket();
    RelayEndpoint at{INADDR_LOOPBACK, test::localPortOf(fd)};
    ~Udp() { ::close(fd); }
    void sendTo(const Udp& to, const std::vector<uint8_t>& bytes) const {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(to.at.address);
        a.sin_port = htons(to.at.port);
        ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    // The next datagram waiting, and who sent it (empty: none).
    std::vector<uint8_t> take(RelayEndpoint* from = nullptr) const {
        std::vector<uint8_t> bytes(70000);
        sockaddr_in a{};
        socklen_t length = sizeof a;
        const ssize_t n = ::recvfrom(fd, bytes.data(), bytes.size(), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&a), &length);
        bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
        if (from) *from = {ntohl(a.sin_addr.s_addr), ntohs(a.sin_port)};
        return bytes;
    }
};

TEST(NetRelaySockets, PassOnOnlyThePairsDatagramsAndLeaveTheRestToTheServer) {
    Udp server, host, joiner, stranger;
    RelayTable table(RelayRules{});
    auto sockets = RelaySockets::create(server.fd, table);
    ASSERT_TRUE(sockets);
    ASSERT_TRUE(table.add(host.at, joiner.at, RelayTable::Clock::now()));
    ASSERT_TRUE(sockets->open(host.at, joiner.at));
    EXPECT_EQ(sockets->sockets(), 2u);
    // Waits for what the sockets pass on, up to a second; true when the server's socket has a
    // datagram of its own.
    const auto serve = [&](const Udp& watched) {
        for (int i = 0; i < 100; ++i) {
            if (sockets->wait(10)) return true;
            pollfd p{watched.fd, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0) return false;
        }
        return false;
    };

    const std::vector<uint8_t> game{0, 3, 0, 0, 6, 1, 2, 3};
    host.sendTo(server, game);
    EXPECT_FALSE(serve(joiner));
    RelayEndpoint from;
    EXPECT_EQ(joiner.take(&from), game);
    EXPECT_EQ(from, server.at);  // as if the server's own socket had sent it
    joiner.sendTo(server, {9, 9});
    serve(host);
    EXPECT_EQ(host.take(), (std::vector<uint8_t>{9, 9}));

    // A stranger's datagram is the server's to read.
    stranger.sendTo(server, game);
    EXPECT_TRUE(serve(joiner));
    EXPECT_EQ(server.take(&from), game);
    EXPECT_EQ(from, stranger.at);

    // Several at once, each as it came; one longer than any ENet datagram is dropped, not
    // passed on cut short.
    host.sendTo(server, {5});
    host.sendTo(server, std::vector<uint8_t>(5000, 1));
    host.sendTo(server, {6});
    host.sendTo(server, {7, 7});
    serve(joiner);
    for (const std::vector<uint8_t>& expected : {std::vector<uint8_t>{5}, {6}, {7, 7}}) {
        for (int i = 0; i < 100 && !sockets->wait(0); ++i) {
            pollfd p{joiner.fd, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0) break;
        }
        EXPECT_EQ(joiner.take(), expected);
    }

    // The host opens a connection of its own to the server: the pair ends, its sockets close,
    // and the host's next datagram reaches the server's socket.
    std::vector<uint8_t> connect(52, 0);
    connect[0] = ENET_PROTOCOL_MAXIMUM_PEER_ID >> 8;
    connect[1] = ENET_PROTOCOL_MAXIMUM_PEER_ID & 0xff;
    connect[2] = ENET_PROTOCOL_COMMAND_CONNECT | 0x80;
    host.sendTo(server, connect);
    for (int i = 0; i < 100 && sockets->sockets() > 0; ++i) sockets->wait(10);
    EXPECT_EQ(sockets->sockets(), 0u);
    EXPECT_EQ(table.pairs(), 0u);
    host.sendTo(server, connect);
    EXPECT_TRUE(serve(joiner));
    EXPECT_EQ(server.take(&from), connect);
    EXPECT_EQ(from, host.at);
    EXPECT_TRUE(joiner.take().empty());
}

}  // namespace
}  // namespace zib::net
