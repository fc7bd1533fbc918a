// Invite codes, the limit on wrong codes and the server's messages: what the player may type, how
// fast an address may guess, and which bytes the decoder refuses.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "net/invite_code.h"
#include "net/server_messages.h"

namespace zib::net {
namespace {

TEST(NetInviteCode, TypedCodesAreReadOrRefused) {
    struct Case {
        const char* typed;
        const char* code;  // null: refused
    } const cases[] = {
        {"ABC234", "ABC234"},
        {"abc234", "ABC234"},
        {"ab-c2 34", "ABC234"},
        {"ZZZZZZ", "ZZZZZZ"},
        {"ABC23", nullptr},
        {"ABC2345", nullptr},
        {"ABCO23", nullptr},
        {"ABC023", nullptr},
        {"ABC123", nullptr},
        {"ABCI23", nullptr},
        {"ABCL23", nullptr},
        {"abcl23", nullptr},
        {"ABC!23", nullptr},
        {"", nullptr},
        {"ABC\xC3\x8D"
         "23",
         nullptr},
        {"A-B-C-2-3-4-5-6-7-8", nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> code = normalizeInviteCode(c.typed);
        if (c.code) {
            EXPECT_EQ(code, std::optional<std::string>(c.code)) << c.typed;
        } else {
            EXPECT_FALSE(code) << c.typed << " read as " << code.value_or("");
        }
    }
}

TEST(NetInviteCode, CodesUseTheWholeAlphabetAndNoLookAlikes) {
    for (char lookAlike : std::string("0O1IL"))
        EXPECT_EQ(kInviteAlphabet.find(lookAlike), std::string_view::npos) << lookAlike;
    std::set<char> seen;
    std::mt19937_64 random(7);
    for (int i = 0; i < 2000; ++i) {
        const std::string code = inviteCodeFromBits(random());
        ASSERT_TRUE(isInviteCode(code)) << code;
        seen.insert(code.begin(), code.end());
    }
    EXPECT_EQ(seen.size(), kInviteAlphabet.size());
    // Each character comes from bits of its own.
    EXPECT_NE(inviteCodeFromBits(1).substr(1), inviteCodeFromBits(1ull << 50).substr(1));
    EXPECT_NE(newInviteCode(), newInviteCode());
}

TEST(NetInviteCode, WrongCodesAreLimitedPerAddressInASlidingMinute) {
    using namespace std::chrono_literals;
    const auto t0 = WrongCodeLimit::Clock::time_point{} + 1h;
    struct Step {
        uint32_t address;
        std::chrono::milliseconds at;
        bool wrong;   // a wrong code is recorded (after the check)
        bool allows;  // what allows() says first
    } const steps[] = {
        {1, 0ms, true, true},       {1, 1000ms, true, true},    {1, 2000ms, true, true},
        {1, 3000ms, true, true},    {1, 4000ms, true, true},    {1, 5000ms, false, false},
        {2, 5000ms, true, true},    {1, 59999ms, false, false}, {1, 60000ms, true, true},
        {1, 60500ms, false, false}, {1, 61000ms, false, true},  {1, 125000ms, false, true},
    };
    WrongCodeLimit limit;
    for (const Step& s : steps) {
        EXPECT_EQ(limit.allows(s.address, t0 + s.at), s.allows)
            << "address " << s.address << " at " << s.at.count() << " ms";
        if (s.wrong) limit.recordWrong(s.address, t0 + s.at);
    }
}

TEST(NetInviteCode, AFullTableRefusesNewAddressesUntilEntriesRunOut) {
    using namespace std::chrono_literals;
    const auto t0 = WrongCodeLimit::Clock::time_point{} + 1h;
    WrongCodeLimit limit(3);
    for (uint32_t a = 1; a <= 3; ++a) limit.recordWrong(a, t0);
    EXPECT_TRUE(limit.allows(1, t0 + 1s));
    EXPECT_FALSE(limit.allows(4, t0 + 1s));
    limit.recordWrong(4, t0 + 1s);
    EXPECT_EQ(limit.size(), 3u);
    EXPECT_TRUE(limit.allows(4, t0 + 61s));
    limit.recordWrong(4, t0 + 61s);
    EXPECT_EQ(limit.size(), 1u);
}

TEST(NetServerMessages, EveryTypeDecodesToItself) {
    const ServerMessage messages[] = {
        RegisterHost{kServerProtocolVersion, 47777},
        RegisterHost{kServerProtocolVersion, 0},
        RegisterHost{kServerProtocolVersion, 47777, 0x0A2F0002, 47777},
        Registered{"ABC234"},
        JoinByCode{9, "ZZ2233"},
        Paired{0xC0000201, 47777, kMaxStartDelayMs, 0, 0, 0, 1},
        Paired{0xC0000201, 47777, 300, 0xC0A80105, 47777, 40001, 0xFFFFFFFF},
        MappedPort{0xC0000201, 40001},
        ServerRefused{ServerRefusal::HostPlaying},
        ServerRefused{ServerRefusal::WrongCode},
        ServerRefused{ServerRefusal::BadMessage},
        GameStarted{},
        RelayRequest{},
        RelayReady{},
    };
    for (const ServerMessage& m : messages) {
        const DecodedServerMessage d = decodeServerMessage(encodeServerMessage(m));
        ASSERT_TRUE(d.message) << "type " << m.index() << ": " << d.error;
        EXPECT_EQ(*d.message, m) << "type " << m.index();
    }
    EXPECT_EQ(encodeServerMessage(Paired{0x01020304, 0x0506, 7, 0x0A000001, 8, 9, 0x11223344}),
              (std::vector<uint8_t>{0x44, 4,  3, 2, 1, 6, 5,    7,    0,    1,   0,
                                    0,    10, 8, 0, 9, 0, 0x44, 0x33, 0x22, 0x11}));
}

TEST(NetServerMessages, MalformedPacketsAreRefused) {
    struct Malformed {
        const char* what;
        std::vector<uint8_t> bytes;
    } const cases[] = {
        {"empty", {}},
        {"unknown type", {0x4A}},
        {"a game message", {1, 2, 0, 5, '1', '.', '1', '.', '0'}},
        {"register cut short", {0x41, 2, 0, 0x61, 0xBB}},
        {"register with a tail", {0x41, 2, 0, 0x61, 0xBB, 0, 0, 0, 0, 0, 0, 0}},
        {"register a local address without a port", {0x41, 2, 0, 0x61, 0xBB, 2, 0, 47, 10, 0, 0}},
        {"code with a look-alike", {0x42, 'A', 'B', 'C', 'O', '2', '3'}},
        {"code with a zero byte", {0x43, 1, 0, 'A', 'B', 'C', 0, '2', '3'}},
        {"code cut short", {0x43, 1, 0, 'A', 'B', 'C'}},
        {"paired to nobody", {0x44, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0}},
        {"paired to port 0", {0x44, 1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0}},
        {"start too late",
         {0x44, 1, 2, 3, 4, 1, 0, 0x89, 0x13, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0}},
        {"paired with a local port but no address",
         {0x44, 1, 2, 3, 4, 1, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 7, 0, 0, 0}},
        {"paired without a key",
         {0x44, 1, 2, 3, 4, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"paired with the spectator's word for a key",
         {0x44, 1, 2, 3, 4, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x57, 0x42, 0x49, 0x5A}},
        {"paired as the third version did", {0x44, 1, 2, 3, 4, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"paired as the first version did", {0x44, 1, 2, 3, 4, 1, 0, 0, 0}},
        {"mapped port 0", {0x4A, 1, 2, 3, 4, 0, 0}},
        {"refusal 0", {0x45, 0}},
        {"refusal 9", {0x45, 9}},
        {"a relayed packet of the second protocol", {0x49, 0, 1}},
        {"too long", std::vector<uint8_t>(kMaxServerMessage + 1, 0x47)},
        {"relay request with a tail", {0x47, 0}},
        {"started with a tail", {0x46, 0}},
        {"oversized", std::vector<uint8_t>(kMaxServerMessage + 1, 0x46)},
    };
    for (const Malformed& c : cases) {
        const DecodedServerMessage d = decodeServerMessage(c.bytes);
        EXPECT_FALSE(d.message) << c.what;
        EXPECT_FALSE(d.error.empty()) << c.what;
    }
}

TEST(NetServerMessages, AJoinerIsSentOnlyToAHostsOwnNetwork) {
    struct Case {
        uint32_t address;
        uint16_t port;
        uint32_t seenAt;  // the host's public address
        bool taken;
    } const cases[] = {
        {0x0A2F0002, 47777, 0xC0000301, true},   // 10.47.0.2
        {0xAC1F0001, 47777, 0xC0000301, true},   // 172.31.0.1
        {0xAC200001, 47777, 0xC0000301, false},  // 172.32.0.1: public
        {0xC0A80105, 47777, 0xC0000301, true},   // 192.168.1.5
        {0x64400001, 47777, 0xC0000301, true},   // 100.64.0.1
        {0xA9FE0101, 47777, 0xC0000301, true},   // 169.254.1.1
        {0xC0A80105, 0, 0xC0000301, false},      // no port
        {0x08080808, 47777, 0xC0000301, false},  // somebody on the internet
        {0xC0000301, 47777, 0xC0000301, false},  // the public address is no local one
        {0x7F000001, 47777, 0xC0000301, false},  // the joiner's own machine
        {0x7F000001, 47777, 0x7F000001, true},   // a host on the server's own machine
        {0x00000000, 47777, 0xC0000301, false},
        {0xE0000001, 47777, 0xC0000301, false},  // multicast
    };
    for (const Case& c : cases)
        EXPECT_EQ(isLocalEndpoint(c.address, c.port, c.seenAt), c.taken) << std::hex << c.address;
}

TEST(NetServerMessages, MutatedPacketsDecodeOnlyToWhatReencodesTheSame) {
    std::mt19937 random(17);
    const std::vector<uint8_t> seeds[] = {encodeServerMessage(RegisterHost{1, 47777}),
                                          encodeServerMessage(Registered{"ABC234"}),
                                          encodeServerMessage(JoinByCode{1, "ABC234"}),
                                          encodeServerMessage(Paired{1, 2, 3, 4, 5, 6, 7}),
                                          encodeServerMessage(MappedPort{1, 2}),
                                          encodeServerMessage(ServerRefused{ServerRefusal::Full}),
                                          encodeServerMessage(RelayReady{})};
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        std::vector<uint8_t> bytes = seeds[random() % std::size(seeds)];
        for (int flips = 1 + static_cast<int>(random() % 3); flips > 0; --flips) {
            switch (random() % 3) {
                case 0:
                    bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
                    break;
                case 1:
                    if (bytes.size() > 1) bytes.pop_back();
                    break;
                default:
                    bytes.push_back(static_cast<uint8_t>(random()));
            }
        }
        const DecodedServerMessage d = decodeServerMessage(bytes);
        if (!d.message) continue;
        ++accepted;
        ASSERT_EQ(encodeServerMessage(*d.message), bytes);
    }
    EXPECT_GT(accepted, 0);
}

}  // namespace
}  // namespace zib::net
