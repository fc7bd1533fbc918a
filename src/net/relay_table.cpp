// The relayed pairs' table and its rules for each datagram.
#include "net/relay_table.h"

#include <enet/enet.h>

#include <algorithm>

namespace zib::net {

bool isEnetConnectRequest(std::span<const uint8_t> datagram) {
    if (datagram.size() < 2) return false;
    const unsigned header = unsigned{datagram[0]} << 8 | datagram[1];
    if ((header & ENET_PROTOCOL_MAXIMUM_PEER_ID) != ENET_PROTOCOL_MAXIMUM_PEER_ID) return false;
    const size_t command = (header & ENET_PROTOCOL_HEADER_FLAG_SENT_TIME) ? 4 : 2;
    if (header & ENET_PROTOCOL_HEADER_FLAG_COMPRESSED) return false;
    return datagram.size() > command &&
           (datagram[command] & ENET_PROTOCOL_COMMAND_MASK) == ENET_PROTOCOL_COMMAND_CONNECT;
}

bool RelayTable::add(RelayEndpoint host, RelayEndpoint joiner, Clock::time_point now) {
    if (pairs_.size() >= rules_.maxPairs || host == joiner || index_.count(host) ||
        index_.count(joiner))
        return false;
    pairs_.push_back({host, joiner, now, now, now, rules_.burst});
    index_[host] = index_[joiner] = pairs_.size() - 1;
    return true;
}

bool RelayTable::silent(const Pair& p, Clock::time_point now) const {
    return now - p.hostHeard >= rules_.silence || now - p.joinerHeard >= rules_.silence;
}

void RelayTable::end(size_t i) {
    index_.erase(pairs_[i].host);
    index_.erase(pairs_[i].joiner);
    if (i + 1 != pairs_.size()) {
        pairs_[i] = pairs_.back();
        index_[pairs_[i].host] = index_[pairs_[i].joiner] = i;
    }
    pairs_.pop_back();
}

RelayTable::Route RelayTable::route(RelayEndpoint from, std::span<const uint8_t> datagram,
                                    Clock::time_point now) {
    const auto found = index_.find(from);
    if (found == index_.end()) return {};
    Pair& p = pairs_[found->second];
    const bool fromHost = from == p.host;
    // The host's new connection is to the server: its game through the relay is over.
    if (silent(p, now) || (fromHost && isEnetConnectRequest(datagram))) {
        end(found->second);
        return {};
    }
    (fromHost ? p.hostHeard : p.joinerHeard) = now;
    p.tokens =
        std::min(rules_.burst, p.tokens + rules_.bytesPerSecond *
                                              std::chrono::duration<double>(now - p.at).count());
    p.at = now;
    const auto bytes = static_cast<double>(datagram.size());
    if (p.tokens < bytes) return {Verdict::Drop, {}};
    p.tokens -= bytes;
    return {Verdict::Forward, fromHost ? p.joiner : p.host};
}

std::vector<RelayTable::Ended> RelayTable::sweep(Clock::time_point now) {
    std::vector<Ended> ended;
    for (size_t i = pairs_.size(); i-- > 0;)
        if (silent(pairs_[i], now)) {
            ended.push_back({pairs_[i].host, pairs_[i].joiner});
            end(i);
        }
    return ended;
}

bool RelayTable::relays(RelayEndpoint endpoint) const {
    return index_.count(endpoint) != 0;
}

}  // namespace zib::net
