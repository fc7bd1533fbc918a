// The binary form of the watch messages, read as suspiciously as the players' own.
#include "net/watch_messages.h"

#include <tuple>

#include "net/wire.h"
#include "platform/texts.h"

namespace zib::net {

using wire::Reader;
using wire::Writer;

namespace {

void write(Writer& w, const WatchedTicks& m) {
    w.u32(m.gameId);
    w.u32(m.firstTick);
    w.u32(m.lastTick);
    w.boolean(m.ended);
    w.u16(static_cast<uint16_t>(m.keys.size()));
    for (const WatchedKey& k : m.keys) {
        w.u32(k.tick);
        w.u8(static_cast<uint8_t>(k.side));
        w.u8(static_cast<uint8_t>(k.event.kind));
        w.u8(k.event.code);
    }
}

void write(Writer& w, const WatcherCount& m) {
    w.u8(m.count);
}

WatchedTicks readTicks(Reader& r) {
    WatchedTicks m;
    m.gameId = r.u32();
    m.firstTick = r.u32();
    m.lastTick = r.u32();
    m.ended = r.boolean();
    r.check(m.gameId >= 1, N_("číslo hry je 0"));
    r.check(m.firstTick >= 1 && m.firstTick <= kMaxTick && m.lastTick <= kMaxTick,
            N_("číslo tahu je mimo rozsah"));
    r.check(m.lastTick + 1 >= m.firstTick, N_("tahy jdou pozpátku"));
    r.check(m.lastTick >= m.firstTick || m.ended, N_("prázdná zpráva o tazích"));
    const uint16_t count = r.u16();
    if (!r.check(count <= kMaxWatchedKeys, N_("příliš mnoho kláves v jedné zprávě"))) return m;
    m.keys.reserve(count);
    size_t sameTickAndSide = 0;
    for (uint16_t i = 0; i < count && r.error().empty(); ++i) {
        WatchedKey k;
        k.tick = r.u32();
        const uint8_t side = r.u8();
        const uint8_t kind = r.u8();
        k.event.code = r.u8();
        r.check(side <= 1, N_("neznámá strana"));
        r.check(kind == 1 || kind == 2, N_("neznámý druh klávesové události"));
        r.check(k.event.code >= 1, N_("kód klávesy je 0"));
        r.check(k.tick >= m.firstTick && k.tick <= m.lastTick, N_("klávesa mimo své tahy"));
        k.side = static_cast<Side>(side);
        k.event.kind = static_cast<KeyKind>(kind);
        if (!m.keys.empty()) {
            const WatchedKey& before = m.keys.back();
            const auto order = [](const WatchedKey& x) { return std::tuple(x.tick, x.side); };
            r.check(order(before) <= order(k), N_("klávesy nejdou po sobě"));
            sameTickAndSide = order(before) == order(k) ? sameTickAndSide + 1 : 0;
            r.check(sameTickAndSide < kMaxEventsPerTick, N_("příliš mnoho kláves v jednom tahu"));
        }
        m.keys.push_back(k);
    }
    return m;
}

}  // namespace

bool isWatchMessage(std::span<const uint8_t> bytes) {
    return !bytes.empty() && bytes[0] >= static_cast<uint8_t>(WatchMessageType::WatchedTicks) &&
           bytes[0] <= static_cast<uint8_t>(WatchMessageType::WatcherCount);
}

std::vector<uint8_t> encodeWatch(const WatchMessage& message) {
    Writer w;
    if (const auto* ticks = std::get_if<WatchedTicks>(&message)) {
        w.u8(static_cast<uint8_t>(WatchMessageType::WatchedTicks));
        write(w, *ticks);
    } else {
        w.u8(static_cast<uint8_t>(WatchMessageType::WatcherCount));
        write(w, std::get<WatcherCount>(message));
    }
    return w.take();
}

DecodedWatch decodeWatch(std::span<const uint8_t> bytes) {
    Reader r(bytes);
    DecodedWatch out;
    WatchMessage m;
    switch (static_cast<WatchMessageType>(r.u8())) {
        case WatchMessageType::WatchedTicks:
            m = readTicks(r);
            break;
        case WatchMessageType::WatcherCount: {
            const uint8_t count = r.u8();
            r.check(count <= kMaxWatchers, N_("příliš mnoho diváků"));
            m = WatcherCount{count};
            break;
        }
        default:
            r.check(false, N_("neznámý druh zprávy"));
            break;
    }
    r.finish();
    if (!r.error().empty()) {
        out.error = r.error();
        return out;
    }
    out.message = std::move(m);
    return out;
}

}  // namespace zib::net
