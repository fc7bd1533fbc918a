#pragma once
// The messages of watching a game, beside the players' own (messages.h): their type bytes lie
// above every type of the players' messages, so one look at the first byte tells the two apart.
//
// A spectator greets the host with the players' Hello and may send Ping and Bye; everything else
// it hears is the host's: the players' Refuse, Pong and StartGame (the very start the joiner
// gets), and WatchedTicks, the confirmed keys of a run of ticks. The host tells its player how
// many are watching with WatcherCount.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "net/connection.h"
#include "net/messages.h"

namespace zib::net {

// The keys one WatchedTicks message may carry.
constexpr size_t kMaxWatchedKeys = 512;

enum class Side : uint8_t { Red = 0, Blue = 1 };

// A key as the game applied it, as a replay keeps it: a key-down by its virtual-key code, or a
// typed character (only Esc counts).
enum class KeyKind : uint8_t { Down = 1, Press = 2 };
struct AppliedKey {
    KeyKind kind = KeyKind::Down;
    uint8_t code = 0;
    friend bool operator==(const AppliedKey&, const AppliedKey&) = default;
};

// One key of a confirmed tick: the side whose key it was, and the event as the game applied it.
struct WatchedKey {
    uint32_t tick = 1;
    Side side = Side::Red;
    AppliedKey event;
    friend bool operator==(const WatchedKey&, const WatchedKey&) = default;
};

// Ticks firstTick..lastTick of a game are confirmed, and these are all their keys, in the order
// they were applied (by tick, red's before blue's). An empty run (lastTick = firstTick - 1) only
// says that the game has ended. ended: the game ended after lastTick.
struct WatchedTicks {
    uint32_t gameId = 1;
    uint32_t firstTick = 1;
    uint32_t lastTick = 1;
    bool ended = false;
    std::vector<WatchedKey> keys;
    friend bool operator==(const WatchedTicks&, const WatchedTicks&) = default;
};

// The host to its player: how many spectators watch (0..kMaxWatchers).
struct WatcherCount {
    uint8_t count = 0;
    friend bool operator==(const WatcherCount&, const WatcherCount&) = default;
};

using WatchMessage = std::variant<WatchedTicks, WatcherCount>;

enum class WatchMessageType : uint8_t {
    WatchedTicks = 64,
    WatcherCount = 65,
};

// True when the bytes are one of the watch messages (whether well formed or not).
bool isWatchMessage(std::span<const uint8_t> bytes);

std::vector<uint8_t> encodeWatch(const WatchMessage& message);

struct DecodedWatch {
    std::optional<WatchMessage> message;
    std::string error;  // Czech, when message is empty
};
DecodedWatch decodeWatch(std::span<const uint8_t> bytes);

}  // namespace zib::net
