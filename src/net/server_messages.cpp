// The binary form of the server's messages.
#include "net/server_messages.h"

#include <iterator>

#include "net/connection.h"
#include "net/invite_code.h"
#include "net/wire.h"
#include "platform/texts.h"

namespace zib::net {

namespace {

void fixedCode(wire::Writer& w, const std::string& code) {
    for (size_t i = 0; i < kInviteCodeLength; ++i) w.u8(i < code.size() ? code[i] : 0);
}

std::string fixedCode(wire::Reader& r) {
    std::string code;
    for (size_t i = 0; i < kInviteCodeLength; ++i) code += static_cast<char>(r.u8());
    r.check(isInviteCode(code), N_("kód pozvánky má nepřípustné znaky"));
    return code;
}

void write(wire::Writer& w, const RegisterHost& m) {
    w.u16(m.protocolVersion);
    w.u16(m.gamePort);
    w.u32(m.localAddress);
    w.u16(m.localPort);
}
void write(wire::Writer& w, const Registered& m) {
    fixedCode(w, m.code);
}
void write(wire::Writer& w, const JoinByCode& m) {
    w.u16(m.protocolVersion);
    fixedCode(w, m.code);
}
void write(wire::Writer& w, const Paired& m) {
    w.u32(m.address);
    w.u16(m.port);
    w.u16(m.startInMs);
    w.u32(m.localAddress);
    w.u16(m.localPort);
    w.u16(m.mappedPort);
    w.u32(m.key);
}
void write(wire::Writer& w, const MappedPort& m) {
    w.u32(m.address);
    w.u16(m.port);
}
void write(wire::Writer& w, const ServerRefused& m) {
    w.u8(static_cast<uint8_t>(m.reason));
}
void write(wire::Writer&, const GameStarted&) {}
void write(wire::Writer&, const RelayRequest&) {}
void write(wire::Writer&, const RelayReady&) {}

}  // namespace

std::vector<uint8_t> encodeServerMessage(const ServerMessage& message) {
    constexpr ServerMessageType types[] = {
        ServerMessageType::RegisterHost,  ServerMessageType::Registered,
        ServerMessageType::JoinByCode,    ServerMessageType::Paired,
        ServerMessageType::ServerRefused, ServerMessageType::GameStarted,
        ServerMessageType::RelayRequest,  ServerMessageType::RelayReady,
        ServerMessageType::MappedPort};
    static_assert(std::size(types) == std::variant_size_v<ServerMessage>);
    wire::Writer w;
    w.u8(static_cast<uint8_t>(types[message.index()]));
    std::visit([&w](const auto& m) { write(w, m); }, message);
    return w.take();
}

DecodedServerMessage decodeServerMessage(std::span<const uint8_t> bytes) {
    DecodedServerMessage out;
    if (bytes.empty()) {
        out.error = tr("prázdná zpráva");
        return out;
    }
    if (bytes.size() > kMaxServerMessage) {
        out.error = tr("zpráva je příliš dlouhá");
        return out;
    }
    wire::Reader r(bytes);
    ServerMessage m;
    switch (static_cast<ServerMessageType>(r.u8())) {
        case ServerMessageType::RegisterHost: {
            RegisterHost x;
            x.protocolVersion = r.u16();
            x.gamePort = r.u16();
            x.localAddress = r.u32();
            x.localPort = r.u16();
            r.check((x.localAddress == 0) == (x.localPort == 0), N_("místní adresa bez portu"));
            m = x;
            break;
        }
        case ServerMessageType::Registered:
            m = Registered{fixedCode(r)};
            break;
        case ServerMessageType::JoinByCode: {
            JoinByCode x;
            x.protocolVersion = r.u16();
            x.code = fixedCode(r);
            m = x;
            break;
        }
        case ServerMessageType::Paired: {
            Paired x;
            x.address = r.u32();
            x.port = r.u16();
            x.startInMs = r.u16();
            x.localAddress = r.u32();
            x.localPort = r.u16();
            x.mappedPort = r.u16();
            x.key = r.u32();
            r.check(x.address != 0 && x.port != 0, N_("adresa protějšku je prázdná"));
            r.check((x.localAddress == 0) == (x.localPort == 0), N_("místní adresa bez portu"));
            r.check(x.startInMs <= kMaxStartDelayMs, N_("začátek je příliš daleko"));
            r.check(isPairingKey(x.key), N_("klíč párování je neplatný"));
            m = x;
            break;
        }
        case ServerMessageType::ServerRefused: {
            const uint8_t reason = r.u8();
            r.check(reason >= 1 && reason <= 8, N_("neznámý důvod odmítnutí"));
            m = ServerRefused{static_cast<ServerRefusal>(reason)};
            break;
        }
        case ServerMessageType::GameStarted:
            m = GameStarted{};
            break;
        case ServerMessageType::RelayRequest:
            m = RelayRequest{};
            break;
        case ServerMessageType::RelayReady:
            m = RelayReady{};
            break;
        case ServerMessageType::MappedPort: {
            MappedPort x;
            x.address = r.u32();
            x.port = r.u16();
            r.check(x.address != 0 && x.port != 0, N_("otevřený port je prázdný"));
            m = x;
            break;
        }
        default:
            out.error = tr("neznámý druh zprávy serveru");
            return out;
    }
    return wire::finish<DecodedServerMessage>(r, std::move(m));
}

bool isPairingKey(uint32_t key) {
    return key != 0 && key != kWatcherConnectData;
}

bool isPrivateAddress(uint32_t address) {
    struct Range {
        uint32_t base, mask;
    };
    constexpr Range ranges[] = {
        {0x0A000000, 0xFF000000},  // 10/8
        {0xAC100000, 0xFFF00000},  // 172.16/12
        {0xC0A80000, 0xFFFF0000},  // 192.168/16
        {0x64400000, 0xFFC00000},  // 100.64/10, shared by carriers
        {0xA9FE0000, 0xFFFF0000},  // 169.254/16, link-local
    };
    for (const Range& r : ranges)
        if ((address & r.mask) == r.base) return true;
    return false;
}

bool isLocalEndpoint(uint32_t address, uint16_t port, uint32_t publicAddress) {
    const auto loopback = [](uint32_t a) { return (a & 0xFF000000) == 0x7F000000; };
    if (port == 0) return false;
    if (loopback(address)) return loopback(publicAddress);
    return isPrivateAddress(address);
}

std::string refusalText(ServerRefusal reason) {
    switch (reason) {
        case ServerRefusal::WrongCode:
            return tr(
                "Server ZIB takový kód pozvánky nezná: je chybně opsaný, nebo hostitel už "
                "odešel či začal hrát.");
        case ServerRefusal::TooManyCodes:
            return tr("Příliš mnoho chybných kódů pozvánky; zkuste to znovu za minutu.");
        case ServerRefusal::Full:
            return tr("Server ZIB je plný; zkuste to později.");
        case ServerRefusal::OtherProtocol:
            return tr(
                "Server ZIB mluví jinou verzí protokolu; je potřeba jiná verze hry nebo "
                "serveru.");
        case ServerRefusal::BadMessage:
            return tr("Server ZIB odmítl zprávu hry.");
        case ServerRefusal::HostLeft:
            return tr("Hostitel s tímto kódem pozvánky už odešel; požádejte ho o nový kód.");
        case ServerRefusal::HostPlaying:
            return tr("Hostitel s tímto kódem pozvánky už hraje s jiným soupeřem.");
        case ServerRefusal::NoRelay:
            return tr(
                "Přímé spojení se nepodařilo a server ZIB je nemůže zprostředkovat (hostitel "
                "odešel, nebo je server plný).");
    }
    return tr("Server ZIB odmítl žádost.");
}

}  // namespace zib::net
