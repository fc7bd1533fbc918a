#pragma once
// The messages two programs exchange in online play, as plain records, and their binary form.
//
// A message is one ENet packet: a type byte, then the fields in the order below, integers
// little-endian with the sizes given, strings as a length (u8, or u32 for the level text) followed
// by that many bytes. Nothing may follow the last field. The decoder trusts nothing: it checks the
// size, the type, every range and every string, and refuses the packet with a Czech reason when
// anything is out of place. Whatever it accepts re-encodes to the same bytes.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace zib::net {

// Raised whenever a message changes its layout. The Hello message keeps its layout for ever, so
// that two different protocols can always tell each other apart.
constexpr uint16_t kProtocolVersion = 3;

constexpr uint16_t kDefaultPort = 47777;
constexpr size_t kMaxGameVersion = 32;
constexpr size_t kMaxLevelName = 64;
constexpr size_t kMaxLevelText = 64 * 1024;
constexpr size_t kMaxEventsPerTick = 16;
constexpr uint32_t kMaxTick = 0x80000000u;  // ticks count from 1 up to 2^31
constexpr uint32_t kChecksumInterval = 16;  // a checksum every 16 ticks
// How long after the start the first tick begins at most.
constexpr uint16_t kMaxStartLeadMs = 5000;
// The settings a game may travel with: what ZIB.ini accepts (negative values included, which the
// game copes with), mode 1 to 3 only.
constexpr int32_t kMaxGameSpeed = 1000;
constexpr int32_t kMaxGrowthPerFood = 9999;
constexpr int32_t kMaxStartLength = 9999;
constexpr int kMaxEdgeStep = 79;        // a direction is -79..79 cells (crossing an edge)
constexpr uint32_t kMaxWins = 1000000;  // the win counts carried with a start

struct Hello {
    uint16_t protocolVersion = kProtocolVersion;
    std::string gameVersion;  // printable ASCII, at most 32 bytes
    friend bool operator==(const Hello&, const Hello&) = default;
};

enum class RefuseReason : uint8_t {
    VersionMismatch = 1,  // the other side's Hello names another protocol or game version
};

struct Refuse {
    RefuseReason reason = RefuseReason::VersionMismatch;
    friend bool operator==(const Refuse&, const Refuse&) = default;
};

// Round trip measurement: the receiver answers a Ping at once with a Pong of the same id and its
// own clock. The sender times the round trip by its own clock against the id it sent; neither
// clock is ever taken back from the other side as a time of its own.
struct Ping {
    uint32_t id = 0;
    uint64_t timeUs = 0;  // the sender's clock when sent
    friend bool operator==(const Ping&, const Ping&) = default;
};
struct Pong {
    uint32_t id = 0;      // the Ping's
    uint64_t timeUs = 0;  // the answering side's clock when answered
    friend bool operator==(const Pong&, const Pong&) = default;
};

// The state a game carries over from earlier games of the run.
struct CarriedState {
    int8_t bluePrevDx = 0, bluePrevDy = 0;  // -79..79
    bool redGrowNow = false, blueGrowNow = false;
    uint8_t foodFrame = 0;  // 0 or 1
    uint32_t redWins = 0, blueWins = 0;
    friend bool operator==(const CarriedState&, const CarriedState&) = default;
};

struct StartGame {
    uint32_t gameId = 0;        // 1 and up, new for every start (a restart included)
    std::string levelName;      // a bare file name ending in .zq7
    std::string levelText;      // the level file's text, at most 64 KiB
    uint8_t gameMode = 2;       // 1 endless growth, 2 classic, 3 one player
    int32_t growthPerFood = 1;  // at most 9999
    int32_t startLength = 10;   // at most 9999
    int32_t gameSpeed = 0;      // ms slept per step, at most 1000
    bool freeMode = false;
    uint64_t seed = 0;  // the random source's state at the start
    // The host's first tick begins this long after it sent the start. At most 5000.
    uint16_t startLeadMs = 0;
    // That moment on the host's session clock (microseconds): the joiner finds it on its own
    // clock through the clocks' offset the round trip probes measured.
    uint64_t firstTickUs = 0;
    CarriedState carried;
    std::array<int16_t, 8> keyBindings{};  // the host's key codes, in ZIB.ini's order
    friend bool operator==(const StartGame&, const StartGame&) = default;
};

// A key of the sender's own snake: a slot of the game's key bindings (0..7 in ZIB.ini's order,
// blue's slots even, red's odd), or Esc. Never a key code: the receiver maps a slot onto the key
// the game binds to it, and a machine steers only its own snake.
struct KeyEvent {
    uint8_t slot = 0;  // 0..8
    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};
constexpr uint8_t kEscSlot = 8;
constexpr bool isRedSlot(uint8_t slot) {
    return slot < kEscSlot && slot % 2 == 1;
}
constexpr bool isBlueSlot(uint8_t slot) {
    return slot < kEscSlot && slot % 2 == 0;
}

// The most ticks one Input covers: from the first the other side has not acknowledged up to the
// sender's latest. A fair side is never more than a few dozen ticks ahead of the other's word.
constexpr uint32_t kMaxInputSpan = 255;

// The keys of one tick in an Input: 1..16 events.
struct TickKeys {
    uint32_t tick = 1;
    std::vector<KeyEvent> events;
    friend bool operator==(const TickKeys&, const TickKeys&) = default;
};

// One side's keys of every tick from firstTick to firstTick + tickCount - 1: the first tick the
// other side has not acknowledged up to the sender's latest (none when all are acknowledged, and
// the Input only acknowledges). Inputs travel unreliably, each one
// sent again in the next until acknowledged, so a lost one costs nothing but the tick until the
// next; they may come twice or out of order. On the wire: game id (u32), first tick (u32), count
// of ticks (u8, 0..255), the sender's tick (u32), the acknowledgement (u32), the number of ticks
// with keys (u8), then for each of those its offset from the first tick (u8, rising) and its keys
// (a count u8 of 1..16, then the slots). Ticks not listed have no keys.
struct Input {
    uint32_t gameId = 0;
    uint32_t firstTick = 1;  // 1..2^31
    uint32_t tickCount = 1;  // 0..kMaxInputSpan, the last tick at most 2^31
    // The tick the sender was playing when it sent them (its keys act a few ticks later), 0 up to
    // the last tick: how far ahead of the other each machine runs.
    uint32_t senderTick = 0;
    // The highest tick up to which the sender holds all of the receiver's keys (0: none yet).
    uint32_t ack = 0;
    std::vector<TickKeys> keyed;  // the ticks of the range with keys, rising
    uint32_t lastTick() const { return firstTick + tickCount - 1; }
    friend bool operator==(const Input&, const Input&) = default;
};

struct Checksum {
    uint32_t gameId = 0;
    uint32_t tick = kChecksumInterval;  // a multiple of 16
    uint64_t value = 0;
    friend bool operator==(const Checksum&, const Checksum&) = default;
};

// Asks the host to start the level again (Enter after a game on the joiner's side).
struct Restart {
    uint32_t gameId = 0;
    friend bool operator==(const Restart&, const Restart&) = default;
};

enum class EndReason : uint8_t {
    Quit = 1,    // Esc: the player left the game
    Desync = 2,  // the checksums differ
};

struct EndGame {
    uint32_t gameId = 0;
    EndReason reason = EndReason::Quit;
    uint32_t tick = 0;  // the tick of a desync, 0 otherwise
    friend bool operator==(const EndGame&, const EndGame&) = default;
};

// The player leaves the program: the connection closes on purpose.
struct Bye {
    friend bool operator==(const Bye&, const Bye&) = default;
};

using Message =
    std::variant<Hello, Refuse, Ping, Pong, StartGame, Input, Checksum, Restart, EndGame, Bye>;

// The type byte of each message.
enum class MessageType : uint8_t {
    Hello = 1,
    Refuse = 2,
    Ping = 3,
    Pong = 4,
    StartGame = 5,
    Input = 6,
    Checksum = 7,
    Restart = 8,
    EndGame = 9,
    Bye = 10,
};

std::vector<uint8_t> encode(const Message& message);

struct Decoded {
    std::optional<Message> message;
    std::string error;  // why the bytes were refused, in Czech, when message is empty
};
Decoded decode(std::span<const uint8_t> bytes);

// The checks the decoder applies to a level name, for the sender too: a bare file name (no path
// separator, no "..", no control characters) ending in ".zq7", at most 64 bytes.
bool isBareLevelName(const std::string& name);
// A version string fit to show: 1..32 printable ASCII characters.
bool isPrintableVersion(const std::string& version);

}  // namespace zib::net
