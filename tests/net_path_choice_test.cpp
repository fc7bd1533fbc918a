// The joiner's racing paths reach the host as separate connections, and more than one may get
// through at once: the host must settle on the one the joiner chose, which is the first to speak.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/connection.h"

namespace zib::net {
namespace {

struct End {
    std::unique_ptr<Connection> connection;
    std::vector<ConnectionEvent> events;
    void poll() {
        for (ConnectionEvent& e : connection->poll(0)) events.push_back(std::move(e));
    }
    int count(ConnectionEvent::Type type) const {
        int n = 0;
        for (const ConnectionEvent& e : events) n += e.type == type;
        return n;
    }
    bool got(const std::vector<uint8_t>& bytes) const {
        for (const ConnectionEvent& e : events)
            if (e.type == ConnectionEvent::Type::Received && e.bytes == bytes) return true;
        return false;
    }
};

bool pump(std::initializer_list<End*> ends, const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        for (End* e : ends) e->poll();
    }
    return true;
}

TEST(NetPathChoice, TheHostFollowsThePathOnWhichItsJoinerFirstSpeaks) {
    const std::vector<uint8_t> hello{1, 2, 3}, mine{4, 5};
    for (const bool laterPathSpeaks : {false, true}) {
        SCOPED_TRACE(laterPathSpeaks ? "the later path speaks" : "the first path speaks");
        std::string error;
        ConnectionOptions listen;
        listen.bindHost = "127.0.0.1";
        End host, first, later;
        host.connection = Connection::listen(listen, error);
        ASSERT_TRUE(host.connection) << error;
        const uint16_t port = host.connection->localPort();
        // The first path answers, and the host greets its player there at once.
        first.connection = Connection::connect("127.0.0.1", port, {}, error);
        ASSERT_TRUE(pump({&host, &first}, [&] {
            return host.connection->connected() && first.connection->connected();
        }));
        ASSERT_TRUE(host.connection->send(hello, Channel::Reliable));
        // The joiner's other path gets through as well, before its player has said anything.
        later.connection = Connection::connect("127.0.0.1", port, {}, error);
        ASSERT_TRUE(pump({&host, &first, &later}, [&] { return later.connection->connected(); }));

        End& chosen = laterPathSpeaks ? later : first;
        End& left = laterPathSpeaks ? first : later;
        ASSERT_TRUE(chosen.connection->send(mine, Channel::Reliable));
        EXPECT_TRUE(pump({&host, &first, &later}, [&] {
            return host.got(mine) && chosen.got(hello) && !left.connection->connected();
        }));
        // One player, connected once, never lost on the way.
        EXPECT_EQ(host.count(ConnectionEvent::Type::Connected), 1);
        EXPECT_EQ(host.count(ConnectionEvent::Type::Disconnected), 0);
        EXPECT_TRUE(host.connection->connected());
        EXPECT_TRUE(chosen.connection->connected());

        // The host's further packets go the chosen way.
        ASSERT_TRUE(host.connection->send(mine, Channel::Unreliable));
        EXPECT_TRUE(pump({&host, &chosen}, [&] {
            for (const ConnectionEvent& e : chosen.events)
                if (e.channel == Channel::Unreliable && e.bytes == mine) return true;
            return false;
        }));
    }
}

TEST(NetPathChoice, APlayerSentAwayBeforeSpeakingTakesItsOtherPathsAlong) {
    std::string error;
    ConnectionOptions listen;
    listen.bindHost = "127.0.0.1";
    End host, first, later, next;
    host.connection = Connection::listen(listen, error);
    ASSERT_TRUE(host.connection) << error;
    const uint16_t port = host.connection->localPort();
    first.connection = Connection::connect("127.0.0.1", port, {}, error);
    ASSERT_TRUE(pump({&host, &first}, [&] { return host.connection->connected(); }));
    later.connection = Connection::connect("127.0.0.1", port, {}, error);
    ASSERT_TRUE(pump({&host, &first, &later}, [&] { return later.connection->connected(); }));
    host.poll();  // takes in the other path's last handshake datagram, sent on loopback already
    // The host's session gives up on a player who never greets; the other path speaks only now.
    host.connection->disconnect(true);
    ASSERT_TRUE(later.connection->send(std::vector<uint8_t>{7}, Channel::Reliable));
    EXPECT_TRUE(pump({&host, &first, &later}, [&] { return !later.connection->connected(); }));
    EXPECT_FALSE(host.connection->connected());
    EXPECT_EQ(host.count(ConnectionEvent::Type::Received), 0);
    // The next joiner is the host's player.
    next.connection = Connection::connect("127.0.0.1", port, {}, error);
    EXPECT_TRUE(pump({&host, &next},
                     [&] { return host.connection->connected() && next.connection->connected(); }));
    EXPECT_EQ(host.count(ConnectionEvent::Type::Connected), 2);
}

}  // namespace
}  // namespace zib::net
