// The binary form of the network messages: a writer that appends little-endian fields and a
// reader that refuses anything short, long or out of range.
#include "net/messages.h"

#include <type_traits>

#include "net/wire.h"
#include "platform/texts.h"

namespace zib::net {

using wire::Reader;
using wire::Writer;

namespace {

bool validTick(uint32_t tick) {
    return tick >= 1 && tick <= kMaxTick;
}

void write(Writer& w, const Hello& m) {
    w.u16(m.protocolVersion);
    w.shortString(m.gameVersion);
}
void write(Writer& w, const Refuse& m) {
    w.u8(static_cast<uint8_t>(m.reason));
}
void write(Writer& w, const Ping& m) {
    w.u32(m.id);
    w.u64(m.timeUs);
}
void write(Writer& w, const Pong& m) {
    w.u32(m.id);
    w.u64(m.timeUs);
}
void write(Writer& w, const StartGame& m) {
    w.u32(m.gameId);
    w.shortString(m.levelName);
    w.longString(m.levelText);
    w.u8(m.gameMode);
    w.i32(m.growthPerFood);
    w.i32(m.startLength);
    w.i32(m.gameSpeed);
    w.boolean(m.freeMode);
    w.u64(m.seed);
    w.u16(m.startLeadMs);
    w.u64(m.firstTickUs);
    w.i8(m.carried.bluePrevDx);
    w.i8(m.carried.bluePrevDy);
    w.boolean(m.carried.redGrowNow);
    w.boolean(m.carried.blueGrowNow);
    w.u8(m.carried.foodFrame);
    w.u32(m.carried.redWins);
    w.u32(m.carried.blueWins);
    for (int16_t key : m.keyBindings) w.i16(key);
}
void write(Writer& w, const std::vector<KeyEvent>& events) {
    w.u8(static_cast<uint8_t>(events.size()));
    for (const KeyEvent& e : events) w.u8(e.slot);
}
void write(Writer& w, const Input& m) {
    w.u32(m.gameId);
    w.u32(m.firstTick);
    w.u8(static_cast<uint8_t>(m.tickCount));
    w.u32(m.senderTick);
    w.u32(m.ack);
    w.u8(static_cast<uint8_t>(m.keyed.size()));
    for (const TickKeys& keys : m.keyed) {
        w.u8(static_cast<uint8_t>(keys.tick - m.firstTick));
        write(w, keys.events);
    }
}
void write(Writer& w, const Checksum& m) {
    w.u32(m.gameId);
    w.u32(m.tick);
    w.u64(m.value);
}
void write(Writer& w, const Restart& m) {
    w.u32(m.gameId);
}
void write(Writer& w, const EndGame& m) {
    w.u32(m.gameId);
    w.u8(static_cast<uint8_t>(m.reason));
    w.u32(m.tick);
}
void write(Writer&, const Bye&) {}

Hello readHello(Reader& r) {
    Hello m;
    m.protocolVersion = r.u16();
    m.gameVersion = r.shortString(kMaxGameVersion);
    r.check(isPrintableVersion(m.gameVersion), N_("verze hry není čitelný text"));
    return m;
}
Refuse readRefuse(Reader& r) {
    Refuse m;
    const uint8_t reason = r.u8();
    r.check(reason == 1, N_("neznámý důvod odmítnutí"));
    m.reason = static_cast<RefuseReason>(reason);
    return m;
}
template <typename T>
T readPingPong(Reader& r) {
    T m;
    m.id = r.u32();
    m.timeUs = r.u64();
    return m;
}
bool validGameId(Reader& r, uint32_t id) {
    return r.check(id >= 1, N_("číslo hry je 0"));
}

StartGame readStartGame(Reader& r) {
    StartGame m;
    m.gameId = r.u32();
    validGameId(r, m.gameId);
    m.levelName = r.shortString(kMaxLevelName);
    r.check(isBareLevelName(m.levelName), N_("jméno levelu není holé jméno souboru .zq7"));
    m.levelText = r.longString(kMaxLevelText);
    m.gameMode = r.u8();
    r.check(m.gameMode >= 1 && m.gameMode <= 3, N_("neznámý druh hry"));
    m.growthPerFood = r.i32();
    r.check(m.growthPerFood <= kMaxGrowthPerFood, N_("růst za potravu je příliš velký"));
    m.startLength = r.i32();
    r.check(m.startLength <= kMaxStartLength, N_("počáteční délka je příliš velká"));
    m.gameSpeed = r.i32();
    r.check(m.gameSpeed <= kMaxGameSpeed, N_("rychlost hry je mimo rozsah"));
    m.freeMode = r.boolean();
    m.seed = r.u64();
    m.startLeadMs = r.u16();
    r.check(m.startLeadMs <= kMaxStartLeadMs, N_("začátek hry je příliš daleko"));
    m.firstTickUs = r.u64();
    m.carried.bluePrevDx = r.i8();
    m.carried.bluePrevDy = r.i8();
    r.check(m.carried.bluePrevDx >= -kMaxEdgeStep && m.carried.bluePrevDx <= kMaxEdgeStep &&
                m.carried.bluePrevDy >= -kMaxEdgeStep && m.carried.bluePrevDy <= kMaxEdgeStep,
            N_("směr modrého hada je mimo rozsah"));
    m.carried.redGrowNow = r.boolean();
    m.carried.blueGrowNow = r.boolean();
    m.carried.foodFrame = r.u8();
    r.check(m.carried.foodFrame <= 1, N_("snímek potravy není 0 ani 1"));
    m.carried.redWins = r.u32();
    m.carried.blueWins = r.u32();
    r.check(m.carried.redWins <= kMaxWins && m.carried.blueWins <= kMaxWins,
            N_("počet výher je mimo rozsah"));
    for (int16_t& key : m.keyBindings) key = r.i16();
    return m;
}
std::vector<KeyEvent> readEvents(Reader& r) {
    std::vector<KeyEvent> events;
    const uint8_t count = r.u8();
    if (!r.check(count <= kMaxEventsPerTick, N_("příliš mnoho kláves v jednom tahu")))
        return events;
    for (uint8_t i = 0; i < count; ++i) {
        const uint8_t slot = r.u8();
        r.check(slot <= kEscSlot, N_("neznámá klávesa"));
        events.push_back({slot});
    }
    return events;
}
Input readInput(Reader& r) {
    Input m;
    m.gameId = r.u32();
    validGameId(r, m.gameId);
    m.firstTick = r.u32();
    r.check(validTick(m.firstTick), N_("číslo tahu je mimo rozsah"));
    m.tickCount = r.u8();
    r.check(m.tickCount <= kMaxInputSpan && m.lastTick() <= kMaxTick,
            N_("počet tahů je mimo rozsah"));
    m.senderTick = r.u32();
    r.check(m.senderTick <= m.lastTick(), N_("tah odesílatele je za tahem kláves"));
    m.ack = r.u32();
    r.check(m.ack <= kMaxTick, N_("potvrzený tah je mimo rozsah"));
    const uint8_t keyed = r.u8();
    r.check(keyed <= m.tickCount, N_("víc tahů s klávesami, než zpráva nese"));
    for (uint8_t i = 0; i < keyed && r.error().empty(); ++i) {
        const uint8_t offset = r.u8();
        r.check(offset < m.tickCount, N_("tah kláves je mimo rozsah zprávy"));
        r.check(m.keyed.empty() || m.firstTick + offset > m.keyed.back().tick,
                N_("tahy kláves nejdou po sobě"));
        TickKeys keys{m.firstTick + offset, readEvents(r)};
        r.check(!keys.events.empty(), N_("tah bez kláves mezi tahy s klávesami"));
        m.keyed.push_back(std::move(keys));
    }
    return m;
}
Checksum readChecksum(Reader& r) {
    Checksum m;
    m.gameId = r.u32();
    validGameId(r, m.gameId);
    m.tick = r.u32();
    r.check(validTick(m.tick) && m.tick % kChecksumInterval == 0,
            N_("tah kontrolního součtu není násobkem 16"));
    m.value = r.u64();
    return m;
}
Restart readRestart(Reader& r) {
    Restart m;
    m.gameId = r.u32();
    validGameId(r, m.gameId);
    return m;
}
EndGame readEndGame(Reader& r) {
    EndGame m;
    m.gameId = r.u32();
    validGameId(r, m.gameId);
    const uint8_t reason = r.u8();
    r.check(reason >= 1 && reason <= 2, N_("neznámý důvod konce hry"));
    m.reason = static_cast<EndReason>(reason);
    m.tick = r.u32();
    if (m.reason == EndReason::Desync)
        r.check(validTick(m.tick), N_("tah rozdílu je mimo rozsah"));
    else
        r.check(m.tick == 0, N_("tah u konce hry bez rozdílu"));
    return m;
}

template <typename T>
constexpr MessageType typeOf() {
    if constexpr (std::is_same_v<T, Hello>) return MessageType::Hello;
    if constexpr (std::is_same_v<T, Refuse>) return MessageType::Refuse;
    if constexpr (std::is_same_v<T, Ping>) return MessageType::Ping;
    if constexpr (std::is_same_v<T, Pong>) return MessageType::Pong;
    if constexpr (std::is_same_v<T, StartGame>) return MessageType::StartGame;
    if constexpr (std::is_same_v<T, Input>) return MessageType::Input;
    if constexpr (std::is_same_v<T, Checksum>) return MessageType::Checksum;
    if constexpr (std::is_same_v<T, Restart>) return MessageType::Restart;
    if constexpr (std::is_same_v<T, EndGame>) return MessageType::EndGame;
    return MessageType::Bye;
}

}  // namespace

bool isBareLevelName(const std::string& name) {
    if (name.size() <= 4 || name.size() > kMaxLevelName) return false;
    if (name.compare(name.size() - 4, 4, ".zq7") != 0) return false;
    if (name.find("..") != std::string::npos) return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f || c == '/' || c == '\\' || c == ':') return false;
    return true;
}

bool isPrintableVersion(const std::string& version) {
    if (version.empty() || version.size() > kMaxGameVersion) return false;
    for (unsigned char c : version)
        if (c < 0x20 || c > 0x7e) return false;
    return true;
}

std::vector<uint8_t> encode(const Message& message) {
    Writer w;
    std::visit(
        [&w](const auto& m) {
            w.u8(static_cast<uint8_t>(typeOf<std::decay_t<decltype(m)>>()));
            write(w, m);
        },
        message);
    return w.take();
}

Decoded decode(std::span<const uint8_t> bytes) {
    Reader r(bytes);
    Decoded out;
    const uint8_t type = r.u8();
    Message m;
    switch (static_cast<MessageType>(type)) {
        case MessageType::Hello:
            m = readHello(r);
            break;
        case MessageType::Refuse:
            m = readRefuse(r);
            break;
        case MessageType::Ping:
            m = readPingPong<Ping>(r);
            break;
        case MessageType::Pong:
            m = readPingPong<Pong>(r);
            break;
        case MessageType::StartGame:
            m = readStartGame(r);
            break;
        case MessageType::Input:
            m = readInput(r);
            break;
        case MessageType::Checksum:
            m = readChecksum(r);
            break;
        case MessageType::Restart:
            m = readRestart(r);
            break;
        case MessageType::EndGame:
            m = readEndGame(r);
            break;
        case MessageType::Bye:
            m = Bye{};
            break;
        default:
            r.check(bytes.empty(), N_("neznámý druh zprávy"));
            out.error = r.error();
            return out;
    }
    return wire::finish<Decoded>(r, std::move(m));
}

}  // namespace zib::net
