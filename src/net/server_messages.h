#pragma once
// The messages between the game and a ZIB server, as plain records, and their binary form (that
// of net/wire.h: a type byte, then the fields, nothing after the last one). The type bytes lie
// apart from the game's own messages, so neither side mistakes one for the other. The decoder
// trusts nothing and refuses the packet with a Czech reason; whatever it accepts re-encodes to the
// same bytes.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace zib::net {

// Raised whenever a server message changes its layout.
constexpr uint16_t kServerProtocolVersion = 4;
constexpr uint16_t kDefaultServerPort = 47778;
// No server message is longer: ENet refuses longer packets.
constexpr size_t kMaxServerMessage = 64;
// The longest wait the server may ask for before both sides start sending to each other.
constexpr uint16_t kMaxStartDelayMs = 5000;

// The host asks for an invite code. gamePort is where it waits for the joiner; 0 means the port
// this message came from. localAddress and localPort are where it waits on its own network (0: not
// told), for a joiner on the same network.
struct RegisterHost {
    uint16_t protocolVersion = kServerProtocolVersion;
    uint16_t gamePort = 0;
    uint32_t localAddress = 0;  // host order
    uint16_t localPort = 0;
    friend bool operator==(const RegisterHost&, const RegisterHost&) = default;
};

// The server's answer to a registration: the code to give out.
struct Registered {
    std::string code;  // six characters of the invite alphabet
    friend bool operator==(const Registered&, const Registered&) = default;
};

// The joiner asks for the host with this code.
struct JoinByCode {
    uint16_t protocolVersion = kServerProtocolVersion;
    std::string code;
    friend bool operator==(const JoinByCode&, const JoinByCode&) = default;
};

// To both sides of a pairing: the other side's public IPv4 address and port as the server sees
// them, and after how many milliseconds both start sending to each other. The joiner also learns
// the host's endpoint on its own network and the port its router opened on the public address,
// where the host told them (0: not told): paths it may try at once. Both learn the pairing's key,
// which the joiner's game connection carries and without which the host takes no player.
struct Paired {
    uint32_t address = 0;  // host order, e.g. 0xC0000201 for 192.0.2.1
    uint16_t port = 0;
    uint16_t startInMs = 0;
    uint32_t localAddress = 0;
    uint16_t localPort = 0;
    uint16_t mappedPort = 0;
    uint32_t key = 0;  // isPairingKey
    friend bool operator==(const Paired&, const Paired&) = default;
};

enum class ServerRefusal : uint8_t {
    WrongCode = 1,      // no host has this code (never had, or it is gone)
    TooManyCodes = 2,   // five wrong codes within a minute from this address
    Full = 3,           // the server's tables are full, or this address holds too many codes
    OtherProtocol = 4,  // the client speaks another protocol version
    BadMessage = 5,     // the message was refused by the decoder or came out of turn
    NoRelay = 6,        // the host is gone or relayed already, or the server relays no more pairs
    HostLeft = 7,       // the code was given out, but its host has left since
    HostPlaying = 8,    // the code was given out, but its host has started a game since
};

struct ServerRefused {
    ServerRefusal reason = ServerRefusal::WrongCode;
    friend bool operator==(const ServerRefused&, const ServerRefused&) = default;
};

// The host's game has started: its code is freed.
struct GameStarted {
    friend bool operator==(const GameStarted&, const GameStarted&) = default;
};

// The host, registered: its router opened mappedPort on address (the router's public address).
// The server takes it only when address is the one it sees the host at.
struct MappedPort {
    uint32_t address = 0;
    uint16_t port = 0;
    friend bool operator==(const MappedPort&, const MappedPort&) = default;
};

// The joiner: no direct path answered, the server is to carry the game's datagrams.
struct RelayRequest {
    friend bool operator==(const RelayRequest&, const RelayRequest&) = default;
};

// The server to both sides of a pair, its last message to them: from now on it passes every
// datagram of one side to the other. Each side drops its connection to the server, and the
// joiner's game connects to the server's address, where the host's game answers it.
struct RelayReady {
    friend bool operator==(const RelayReady&, const RelayReady&) = default;
};

using ServerMessage = std::variant<RegisterHost, Registered, JoinByCode, Paired, ServerRefused,
                                   GameStarted, RelayRequest, RelayReady, MappedPort>;

enum class ServerMessageType : uint8_t {
    RegisterHost = 0x41,
    Registered = 0x42,
    JoinByCode = 0x43,
    Paired = 0x44,
    ServerRefused = 0x45,
    GameStarted = 0x46,
    RelayRequest = 0x47,
    RelayReady = 0x48,
    // 0x49 carried a relayed game packet in the server's second protocol.
    MappedPort = 0x4A,
};

std::vector<uint8_t> encodeServerMessage(const ServerMessage& message);

struct DecodedServerMessage {
    std::optional<ServerMessage> message;
    std::string error;  // in Czech, when message is empty
};
DecodedServerMessage decodeServerMessage(std::span<const uint8_t> bytes);

// Whether an IPv4 address (host order) belongs to a private network: 10/8, 172.16/12, 192.168/16,
// 100.64/10 (shared by carriers), 169.254/16 (link-local).
bool isPrivateAddress(uint32_t address);

// Whether a host's endpoint on its own network is one a joiner may be sent to: an address of a
// private network (10/8, 172.16/12, 192.168/16, 100.64/10, 169.254/16), or loopback when the host
// itself is seen at loopback. Anything else would point the joiner at a third party.
bool isLocalEndpoint(uint32_t address, uint16_t port, uint32_t publicAddress);

// Whether key may be a pairing's: never 0 (no key), nor the word a spectator connects with.
bool isPairingKey(uint32_t key);

// What the player reads when the server says no, in Czech.
std::string refusalText(ServerRefusal reason);

}  // namespace zib::net
