// The network messages: every type survives its binary form, and malformed packets are refused.
#include <gtest/gtest.h>

#include "net/messages.h"

namespace zib::net {
namespace {

StartGame sampleStart() {
    StartGame s;
    s.gameId = 7;
    s.levelName = "Ohrada.zq7";
    s.levelText = "\"Ohrada\"\r\n1,2,3\r\n";
    s.gameMode = 3;
    s.growthPerFood = -4;
    s.startLength = 9999;
    s.gameSpeed = 13;
    s.freeMode = true;
    s.seed = 0x0123456789abcdefull;
    s.startLeadMs = 5000;
    s.carried = {-79, 1, true, false, 1, 12, 1000000};
    s.keyBindings = {38, 87, 40, 83, 39, 68, -1, 32767};
    return s;
}

std::vector<uint8_t> bytesOf(const Message& m) {
    return encode(m);
}

TEST(NetMessages, EveryTypeDecodesToItself) {
    const Message messages[] = {
        Hello{kProtocolVersion, "1.1.0"},
        Refuse{RefuseReason::VersionMismatch},
        Ping{3, 123456789012ull},
        Pong{4, 5},
        sampleStart(),
        Input{2, kMaxTick, 1, kMaxTick - 4, kMaxTick, {{kMaxTick, {{1}, {kEscSlot}}}}},
        Input{2, 1, 1, 0, 0, {}},
        Input{2, 8, 0, 7, 3, {}},  // only an acknowledgement
        Input{2, 8, 255, 8, 0, {{8, {{6}}}, {9, {{kEscSlot}}}, {262, {{0}, {2}, {4}}}}},
        Checksum{9, 32, ~0ull},
        Restart{1},
        EndGame{3, EndReason::Quit, 0},
        EndGame{3, EndReason::Desync, 48},
        Bye{},
    };
    for (const Message& m : messages) {
        const Decoded d = decode(encode(m));
        ASSERT_TRUE(d.message) << "type " << m.index() << ": " << d.error;
        EXPECT_EQ(*d.message, m) << "type " << m.index();
    }
    // Little-endian, fixed sizes: ticks 3 to 5 of game 2 sent in tick 1, acknowledging tick 2, with
    // the slot of red's up in tick 4 and nothing in the others.
    EXPECT_EQ(
        bytesOf(Input{2, 3, 3, 1, 2, {{4, {{1}}}}}),
        (std::vector<uint8_t>{6, 2, 0, 0, 0, 3, 0, 0, 0, 3, 1, 0, 0, 0, 2, 0, 0, 0, 1, 1, 1, 1}));
}

struct Malformed {
    const char* what;
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> withByte(std::vector<uint8_t> bytes, size_t at, uint8_t value) {
    bytes.at(at) = value;
    return bytes;
}

std::vector<uint8_t> startNamed(const std::string& name) {
    StartGame s = sampleStart();
    s.levelName = name;
    return encode(s);
}

TEST(NetMessages, MalformedPacketsAreRefused) {
    // Ticks 5 and 6, red's up in 5 and Esc in 6: the offsets are at 19 and 22, the slots at 21
    // and 24.
    const std::vector<uint8_t> input = encode(Input{2, 5, 2, 3, 0, {{5, {{1}}}, {6, {{8}}}}});
    std::vector<uint8_t> longer = input;
    longer.push_back(0);
    std::vector<uint8_t> seventeen = {6, 2, 0, 0, 0, 5, 0, 0, 0, 1, 3,
                                      0, 0, 0, 0, 0, 0, 0, 1, 0, 17};
    for (int i = 0; i < 17; ++i) seventeen.push_back(1);
    std::vector<uint8_t> threeKeyed = encode(Input{2, 5, 2, 3, 0, {{5, {{1}}}, {6, {{1}}}}});
    threeKeyed.at(18) = 3;
    threeKeyed.insert(threeKeyed.end(), {0, 1, 1});
    StartGame tooLongText = sampleStart();
    tooLongText.levelText.assign(kMaxLevelText + 1, 'x');
    StartGame lateStart = sampleStart();
    lateStart.startLeadMs = 5001;
    StartGame badMode = sampleStart();
    badMode.gameMode = 4;
    StartGame badDirection = sampleStart();
    badDirection.carried.bluePrevDx = 80;
    StartGame fastSpeed = sampleStart();
    fastSpeed.gameSpeed = 1001;

    const Malformed cases[] = {
        {"empty", {}},
        {"unknown type", {0}},
        {"unknown type 11", {11}},
        {"short input", std::vector<uint8_t>(input.begin(), input.end() - 1)},
        {"trailing byte", longer},
        {"trailing byte after Bye", {10, 0}},
        {"tick 0", withByte(input, 5, 0)},
        {"tick above 2^31", encode(Input{2, kMaxTick + 1, 1, 0, 0, {}})},
        {"a range beyond 2^31", encode(Input{2, kMaxTick, 2, 0, 0, {}})},
        {"game id 0", encode(Input{0, 5, 1, 0, 0, {}})},
        {"sender's tick after the last tick", encode(Input{2, 5, 1, 6, 0, {}})},
        {"acknowledgement above 2^31", encode(Input{2, 5, 1, 0, kMaxTick + 1, {}})},
        {"slot 9", withByte(input, 21, 9)},
        {"a raw key code", withByte(input, 24, 38)},
        {"17 keys in a tick", seventeen},
        {"no keys in a listed tick", withByte(input, 23, 0)},
        {"a listed tick outside the range", withByte(input, 22, 2)},
        {"listed ticks out of order", withByte(input, 22, 0)},
        {"more listed ticks than the range", threeKeyed},
        {"checksum tick not a multiple of 16", encode(Checksum{1, 17, 0})},
        {"level name with a slash", startNamed("levels/Ohrada.zq7")},
        {"level name with a backslash", startNamed("..\\Ohrada.zq7")},
        {"level name with ..", startNamed("..zq7.zq7")},
        {"level name without .zq7", startNamed("Ohrada.txt")},
        {"level name with a control character", startNamed("Oh\nrada.zq7")},
        {"level text over 64 KiB", encode(tooLongText)},
        {"a first tick over 5 s away", encode(lateStart)},
        {"game mode 4", encode(badMode)},
        {"direction beyond an edge", encode(badDirection)},
        {"game speed over 1000", encode(fastSpeed)},
        {"end reason 3", withByte(encode(EndGame{1, EndReason::Quit, 0}), 5, 3)},
        {"quit with a tick", encode(EndGame{1, EndReason::Quit, 5})},
        {"version with a control character", encode(Hello{1, "1.0\x1b[2J"})},
        {"empty version", encode(Hello{1, ""})},
        {"refuse reason 2", {2, 2}},
        {"length beyond the packet", {1, 1, 0, 200, '1'}},
    };
    for (const Malformed& c : cases) {
        const Decoded d = decode(c.bytes);
        EXPECT_FALSE(d.message) << c.what;
        EXPECT_FALSE(d.error.empty()) << c.what;
    }
}

}  // namespace
}  // namespace zib::net
