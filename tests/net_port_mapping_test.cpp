// The port mapper against a NAT-PMP gateway of the test's own on a loopback address: what each
// answer (fair, refusing, hostile or none) makes of the status, the renewal before the lease ends
// and the deletion at the end. UPnP stays off: its discovery would go to the machine's network.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "net/port_mapping.h"

namespace zib::net {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

// A gateway on 127.X.Y.1:5351 (X.Y from the process id, so parallel tests do not meet) that
// answers each request with what answer() returns (nothing when empty) and keeps the requests.
class FakeGateway {
  public:
    explicit FakeGateway(std::function<Bytes(const Bytes&)> answer) : answer_(std::move(answer)) {
        const unsigned pid = static_cast<unsigned>(::getpid());
        address_ =
            "127." + std::to_string((pid >> 8) & 255) + "." + std::to_string(pid & 255) + ".1";
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in me{};
        me.sin_family = AF_INET;
        me.sin_port = htons(5351);
        ::inet_pton(AF_INET, address_.c_str(), &me.sin_addr);
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&me), sizeof me) != 0) {
            address_.clear();
            return;
        }
        thread_ = std::thread([this] { run(); });
    }
    ~FakeGateway() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (fd_ >= 0) ::close(fd_);
    }
    const std::string& address() const { return address_; }
    std::vector<Bytes> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    void run() {
        const auto end = std::chrono::steady_clock::now() + 20s;  // stops by itself
        while (!stop_ && std::chrono::steady_clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            uint8_t buffer[64];
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t n = ::recvfrom(fd_, buffer, sizeof buffer, 0,
                                         reinterpret_cast<sockaddr*>(&from), &length);
            if (n <= 0) continue;
            const Bytes request(buffer, buffer + n);
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(request);
            }
            const Bytes reply = answer_(request);
            if (!reply.empty())
                ::sendto(fd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from),
                         length);
        }
    }

    std::function<Bytes(const Bytes&)> answer_;
    std::string address_;
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Bytes> requests_;
    std::thread thread_;
};

void put16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, static_cast<uint16_t>(v >> 16));
    put16(b, static_cast<uint16_t>(v));
}
uint16_t get16(const Bytes& b, size_t at) {
    return static_cast<uint16_t>(b[at] << 8 | b[at + 1]);
}
uint32_t get32(const Bytes& b, size_t at) {
    return static_cast<uint32_t>(get16(b, at)) << 16 | get16(b, at + 2);
}

// A gateway's answers: to the address request (opcode 0) and to a UDP mapping (opcode 1).
struct Answers {
    uint16_t addressResult = 0;
    uint32_t address = 0xCB007107;  // 203.0.113.7
    uint16_t mappingResult = 0;
    int publicPort = -1;  // -1: the port asked for
    uint32_t lifetime = 3600;
    bool silent = false;
    size_t cutTo = 0;  // non-zero: the answer cut to this many bytes
};

Bytes answer(const Answers& a, const Bytes& request) {
    if (a.silent || request.size() < 2 || request[0] != 0) return {};
    Bytes b{0, static_cast<uint8_t>(128 + request[1])};
    if (request[1] == 0) {
        put16(b, a.addressResult);
        put32(b, 1000);  // seconds since the gateway started
        put32(b, a.address);
    } else if (request[1] == 1 && request.size() >= 12) {
        const uint16_t asked = get16(request, 6);
        const uint32_t life = get32(request, 8);
        put16(b, a.mappingResult);
        put32(b, 1000);
        put16(b, get16(request, 4));
        put16(b, a.publicPort < 0 ? asked : static_cast<uint16_t>(a.publicPort));
        put32(b, life == 0 ? 0 : a.lifetime);
    } else {
        return {};
    }
    if (a.cutTo) b.resize(a.cutTo);
    return b;
}

MappingOptions natPmpOnly(const std::string& gateway) {
    MappingOptions o;
    o.natPmpGateway = gateway;
    o.natPmpLimit = 500ms;
    o.upnp = false;
    return o;
}

MappingStatus settled(PortMapper& mapper) {
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (mapper.status().stage == MappingStage::Working && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(5ms);
    return mapper.status();
}

TEST(NetPortMapping, EachAnswerOfTheGatewayGivesItsStatus) {
    struct Case {
        const char* what;
        Answers answers;
        MappingStage stage;
        std::string external;
        uint16_t externalPort;
        std::string whyPart;
    };
    const Case cases[] = {
        {"maps the port asked for", {}, MappingStage::Mapped, "203.0.113.7", 47999, ""},
        {"maps another port",
         {.publicPort = 50001},
         MappingStage::Mapped,
         "203.0.113.7",
         50001,
         ""},
        {"refuses", {.mappingResult = 2}, MappingStage::Refused, "203.0.113.7", 0, "(kód 2)"},
        {"has no address of its own",
         {.addressResult = 3},
         MappingStage::NoPublicAddress,
         "",
         0,
         ""},
        {"has a shared address",
         {.address = 0x64400001},
         MappingStage::NoPublicAddress,
         "100.64.0.1",
         47999,
         ""},
        {"maps port 0", {.publicPort = 0}, MappingStage::NoRouter, "203.0.113.7", 0, ""},
        {"grants no time", {.lifetime = 0}, MappingStage::NoRouter, "203.0.113.7", 0, ""},
        {"says 0.0.0.0", {.address = 0}, MappingStage::NoPublicAddress, "", 47999, ""},
        {"answers in part", {.cutTo = 7}, MappingStage::NoRouter, "", 0, ""},
        {"stays silent", {.silent = true}, MappingStage::NoRouter, "", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeGateway gateway([&](const Bytes& r) { return answer(c.answers, r); });
        ASSERT_FALSE(gateway.address().empty()) << "no loopback address for the gateway";
        PortMapper mapper(47999, natPmpOnly(gateway.address()));
        const MappingStatus s = settled(mapper);
        EXPECT_EQ(s.stage, c.stage);
        EXPECT_EQ(s.externalAddress, c.external);
        EXPECT_EQ(s.externalPort, c.externalPort);
        EXPECT_NE(s.why.find(c.whyPart), std::string::npos) << s.why;
        EXPECT_EQ(s.method, c.externalPort ? MappingMethod::NatPmp : MappingMethod::None);
    }
}

TEST(NetPortMapping, RenewsBeforeTheLeaseEndsAndDeletesAtTheEnd) {
    FakeGateway gateway([](const Bytes& r) { return answer(Answers{.lifetime = 2}, r); });
    ASSERT_FALSE(gateway.address().empty());
    PortMapper mapper(47998, natPmpOnly(gateway.address()));
    ASSERT_EQ(settled(mapper).stage, MappingStage::Mapped);
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (mapper.renewals() == 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(10ms);
    EXPECT_GE(mapper.renewals(), 1u);
    mapper.stop();
    const std::vector<Bytes> requests = gateway.requests();
    ASSERT_FALSE(requests.empty());
    const Bytes& last = requests.back();
    ASSERT_EQ(last.size(), 12u);
    EXPECT_EQ(last[1], 1);                                   // a UDP mapping
    EXPECT_EQ(get16(last, 4), 47998);                        // of this port
    EXPECT_EQ(get32(last, 8), 0u);                           // for no time: deleted
    EXPECT_EQ(mapper.status().stage, MappingStage::Mapped);  // stop() leaves the status
}

}  // namespace
}  // namespace zib::net
