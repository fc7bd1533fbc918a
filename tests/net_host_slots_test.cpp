// The host's slots on the loopback interface: connections that never finish their handshake, or
// finish it and never greet, or just said goodbye, do not keep a real joiner out; and a port that
// cannot be opened says why.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <fstream>
#include <functional>

#include "net/session.h"
#include "net_relay.h"
#include "session_opened.h"

namespace zib::net {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

SessionOptions options(uint16_t port = 0) {
    SessionOptions o;
    o.gameVersion = "1.1.0";
    o.bindHost = "127.0.0.1";
    o.port = port;
    return o;
}

// ENet's 52-byte connect request, fields big-endian: whoever sends it never answers the host's
// reply, so the connection stays half-open on the host.
std::array<uint8_t, 52> forgedConnect(uint8_t id) {
    return {0x8F, 0xFF, 0,    0,     // no peer yet; a sent time follows
            0x82, 0xFF, 0,    1,     // connect (to be acknowledged), no channel, sequence 1
            0,    0,    0xFF, 0xFF,  // outgoing peer id, session ids
            0,    0,    0x05, 0x78,  // MTU 1400
            0,    0,    0x80, 0,     // window 32768
            0,    0,    0,    kChannelCount,  // channels
            0,    0,    0,    0,
            0,    0,    0,    0,     // bandwidth in and out
            0,    0,    0x13, 0x88,  // throttle interval 5000
            0,    0,    0,    2,
            0,    0,    0,    2,   // throttle acceleration and deceleration
            0x5E, 0xED, 0,    id,  // connect id
            0,    0,    0,    0};  // data
}

// Sends count forged connect requests from as many sockets of their own.
void forgeConnects(uint16_t port, int count) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = 0; i < count; ++i) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        ASSERT_GE(fd, 0);
        const std::array<uint8_t, 52> packet = forgedConnect(static_cast<uint8_t>(i));
        EXPECT_EQ(::sendto(fd, packet.data(), packet.size(), 0,
                           reinterpret_cast<const sockaddr*>(&to), sizeof to),
                  52);
        ::close(fd);
    }
}

bool pumpUntil(const std::vector<Session*>& sessions, const std::function<bool()>& done,
               std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        for (Session* s : sessions) s->poll(1);
        if (done()) return true;
    }
    return false;
}

TEST(NetHostSlots, ARealJoinerIsAnsweredWhateverHoldsTheOtherSlots) {
    struct Case {
        const char* what;
        // What takes the host's slots before the real joiner comes.
        std::function<void(Session& host)> before;
    };
    const Case cases[] = {
        {"two half-open connections",
         [](Session& host) {
             forgeConnects(host.localPort(), 2);
             pumpUntil(
                 {&host}, [] { return false; }, 100ms);
         }},
        {"every slot half-open",
         [](Session& host) {
             forgeConnects(host.localPort(), static_cast<int>(kHostSlots));
             pumpUntil(
                 {&host}, [] { return false; }, 100ms);
         }},
        {"a connection that never greets",
         [](Session& host) {
             std::string error;
             ConnectionOptions o;
             auto bare = Connection::connect("127.0.0.1", host.localPort(), o, error);
             EXPECT_TRUE(bare) << error;
             pumpUntil(
                 {&host},
                 [&] {
                     bare->poll(0);
                     return bare->connected() && host.state() == SessionState::Connecting;
                 },
                 3s);
             EXPECT_EQ(host.state(), SessionState::Connecting);
             // It goes on answering ENet, so only the missing greeting can tell it apart.
             pumpUntil(
                 {&host},
                 [&] {
                     bare->poll(0);
                     return host.state() == SessionState::Waiting;
                 },
                 3s);
         }},
        {"a joiner that has just said goodbye",
         [](Session& host) {
             std::string error;
             auto first = take(Session::join("127.0.0.1", options(host.localPort())), error);
             EXPECT_TRUE(first) << error;
             pumpUntil(
                 {&host, first.get()}, [&] { return first->state() == SessionState::Connected; },
                 3s);
             first->close();
             first.reset();  // the program ended: nothing acknowledges the host's goodbye
             pumpUntil(
                 {&host}, [&] { return host.state() == SessionState::Lost; }, 3s);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        auto host = take(Session::host(options()), error);
        ASSERT_TRUE(host) << error;
        c.before(*host);
        SessionOptions j = options(host->localPort());
        j.timeout = 8000ms;  // the joiner keeps asking while the stragglers are dropped
        auto joiner = take(Session::join("127.0.0.1", j), error);
        ASSERT_TRUE(joiner) << error;
        EXPECT_TRUE(pumpUntil(
            {host.get(), joiner.get()},
            [&] {
                return host->state() == SessionState::Connected &&
                       joiner->state() == SessionState::Connected;
            },
            8s))
            << "host: " << host->statusLine(13) << "; joiner: " << joiner->statusLine(13);
    }
}

// The message of Session::host for the options, from a child that runs as an ordinary user
// when this test runs as root.
std::string hostFault(const SessionOptions& o, bool asOrdinaryUser) {
    if (!asOrdinaryUser || ::geteuid() != 0) {
        std::string error;
        auto s = take(Session::host(o), error);
        return s ? "" : error;
    }
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        std::string error = "setuid failed";
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
            auto s = take(Session::host(o), error);
            if (s) error.clear();
        }
        const ssize_t written = ::write(fds[1], error.data(), error.size());
        ::_exit(written == static_cast<ssize_t>(error.size()) ? 0 : 1);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) out.append(buffer, buffer + n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return out;
}

TEST(NetHostSlots, APortThatCannotBeOpenedSaysWhy) {
    std::string error;
    auto taken = take(Session::host(options()), error);
    ASSERT_TRUE(taken) << error;
    struct Case {
        const char* what;
        std::string bindHost;
        uint16_t port;
        bool asOrdinaryUser;
        std::string message;
    };
    const std::string takenPort = std::to_string(taken->localPort());
    const Case cases[] = {
        {"taken", "127.0.0.1", taken->localPort(), false,
         "Na portu " + takenPort + " nelze naslouchat: je obsazený jiným programem."},
        // A documentation address that no machine has: binding sends nothing.
        {"not this machine's", "192.0.2.1", 47777, false,
         "Na adrese 192.0.2.1 nelze naslouchat: tento počítač takovou adresu nemá."},
        {"privileged", "127.0.0.1", 80, true,
         "Na portu 80 smí naslouchat jen správce systému; zvolte port 1024 nebo vyšší."},
    };
    int firstOpen = 1024;
    std::ifstream("/proc/sys/net/ipv4/ip_unprivileged_port_start") >> firstOpen;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.asOrdinaryUser && firstOpen <= c.port) {
            GTEST_LOG_(INFO) << "skipped: this system lets anybody open port " << c.port;
            continue;
        }
        SessionOptions o = options(c.port);
        o.bindHost = c.bindHost;
        EXPECT_EQ(hostFault(o, c.asOrdinaryUser), c.message);
    }
}

}  // namespace
}  // namespace zib::net

namespace zib::net {
namespace {

// A UDP port that nothing answers on: bound here and never read.
struct SilentPort {
    int fd = test::loopbackSocket();
    uint16_t port = test::localPortOf(fd);
    ~SilentPort() { ::close(fd); }
};

TEST(NetHostSlots, TheFirstOfRacingPathsToAnswerIsTheGamesAndOnlyAllFailingEndsTheAttempt) {
    enum class Host { First, Last, Absent };
    for (const Host where : {Host::First, Host::Last, Host::Absent}) {
        SCOPED_TRACE(static_cast<int>(where));
        ConnectionOptions listen;
        listen.bindHost = "127.0.0.1";
        std::string error;
        auto host = Connection::listen(listen, error);
        SilentPort silent, silent2;
        ConnectionOptions quick;
        quick.timeout = 300ms;
        auto joiner = Connection::open(quick, error);
        std::vector<uint16_t> ports = {silent.port, silent2.port};
        if (where != Host::Absent)
            ports.insert(where == Host::First ? ports.begin() : ports.end(), host->localPort());
        for (uint16_t port : ports) ASSERT_TRUE(joiner->connectTo("127.0.0.1", port, error));
        EXPECT_EQ(joiner->connectTo("127.0.0.1", silent.port, error), where == Host::Absent);
        int connected = 0, lost = 0;
        for (auto end = Clock::now() + 1500ms; Clock::now() < end;) {
            host->poll(1);
            for (const ConnectionEvent& e : joiner->poll(1)) {
                connected += e.type == ConnectionEvent::Type::Connected;
                lost += e.type == ConnectionEvent::Type::Disconnected;
            }
        }
        // The silent paths have timed out by now without a word to the game.
        EXPECT_EQ(connected, where == Host::Absent ? 0 : 1);
        EXPECT_EQ(lost, where == Host::Absent ? 1 : 0);
        EXPECT_EQ(joiner->send(std::vector<uint8_t>{1}, Channel::Reliable), where != Host::Absent);
    }
}

}  // namespace
}  // namespace zib::net
