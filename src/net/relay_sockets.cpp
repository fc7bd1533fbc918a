// The relayed sides' sockets, and the server's wait over them.
#include "net/relay_sockets.h"

#include <arpa/inet.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace zib::net {

namespace {

constexpr uint64_t kServerTag = ~uint64_t{0};

uint64_t tagOf(RelayEndpoint e) {
    return uint64_t{e.address} << 16 | e.port;
}

RelayEndpoint endpointOf(uint64_t tag) {
    return {static_cast<uint32_t>(tag >> 16), static_cast<uint16_t>(tag & 0xffff)};
}

sockaddr_in socketAddress(RelayEndpoint e) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(e.address);
    a.sin_port = htons(e.port);
    return a;
}

bool setReuse(int socket, int on) {
    return ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0;
}

}  // namespace

RelaySockets::RelaySockets(int serverSocket, int epoll, RelayTable& table)
    : server_(serverSocket), epoll_(epoll), table_(table), buffers_(kBatch) {
    for (size_t i = 0; i < kBatch; ++i) {
        in_[i].msg_hdr.msg_iov = &inVec_[i];
        in_[i].msg_hdr.msg_iovlen = 1;
        out_[i].msg_hdr.msg_iov = &outVec_[i];
        out_[i].msg_hdr.msg_iovlen = 1;
        out_[i].msg_hdr.msg_name = &to_[i];
        out_[i].msg_hdr.msg_namelen = sizeof to_[i];
        outVec_[i].iov_base = buffers_[i].data();
    }
}

RelaySockets::~RelaySockets() {
    for (const auto& [endpoint, side] : sides_) ::close(side.socket);
    ::close(epoll_);
}

std::unique_ptr<RelaySockets> RelaySockets::create(int serverSocket, RelayTable& table) {
    const int epoll = ::epoll_create1(EPOLL_CLOEXEC);
    if (epoll < 0) return nullptr;
    epoll_event server{};
    server.events = EPOLLIN;
    server.data.u64 = kServerTag;
    if (::epoll_ctl(epoll, EPOLL_CTL_ADD, serverSocket, &server) != 0) {
        ::close(epoll);
        return nullptr;
    }
    return std::unique_ptr<RelaySockets>(new RelaySockets(serverSocket, epoll, table));
}

int RelaySockets::openOne(RelayEndpoint endpoint) {
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (::getsockname(server_, reinterpret_cast<sockaddr*>(&bound), &length) != 0) return -1;
    const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0) return -1;
    // The server's socket lets another bind its port only for this moment, so that no other
    // program can take the port beside it later.
    bool ok = setReuse(s, 1) && setReuse(server_, 1);
    ok = ok && ::bind(s, reinterpret_cast<const sockaddr*>(&bound), sizeof bound) == 0;
    setReuse(server_, 0);
    const sockaddr_in to = socketAddress(endpoint);
    ok = ok && ::connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
    epoll_event wanted{};
    wanted.events = EPOLLIN;
    wanted.data.u64 = tagOf(endpoint);
    if (!ok || ::epoll_ctl(epoll_, EPOLL_CTL_ADD, s, &wanted) != 0) {
        ::close(s);
        return -1;
    }
    return s;
}

bool RelaySockets::open(RelayEndpoint host, RelayEndpoint joiner) {
    if (sides_.count(host) || sides_.count(joiner)) return false;
    const int h = openOne(host);
    if (h < 0) return false;
    const int j = openOne(joiner);
    if (j < 0) {
        ::close(h);  // leaves the waiting set with it
        return false;
    }
    sides_[host] = {h, joiner};
    sides_[joiner] = {j, host};
    return true;
}

void RelaySockets::close(RelayEndpoint endpoint) {
    const auto found = sides_.find(endpoint);
    if (found == sides_.end()) return;
    const RelayEndpoint other = found->second.partner;
    for (const RelayEndpoint e : {endpoint, other}) {
        ::close(sides_.at(e).socket);
        sides_.erase(e);
    }
}

bool RelaySockets::wait(int timeoutMs) {
    using Clock = RelayTable::Clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::array<epoll_event, 512> events{};
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        const int n = ::epoll_wait(epoll_, events.data(), static_cast<int>(events.size()),
                                   static_cast<int>(std::max<int64_t>(0, left.count())));
        if (n <= 0) return false;  // the time is up, or a signal: the caller looks round
        const Clock::time_point now = Clock::now();
        bool forEnet = false;
        for (int i = 0; i < n; ++i) {
            if (events[i].data.u64 == kServerTag) {
                forEnet = true;
                continue;
            }
            const RelayEndpoint from = endpointOf(events[i].data.u64);
            if (const auto s = sides_.find(from); s != sides_.end())
                drain(from, s->second.socket, now);
        }
        flush();
        closeEnded();
        if (forEnet) return true;
        if (now >= deadline) return false;
    }
}

void RelaySockets::drain(RelayEndpoint from, int socket, RelayTable::Clock::time_point now) {
    if (pending_ == kBatch) flush();
    const size_t room = kBatch - pending_;
    for (size_t k = 0; k < room; ++k) {
        inVec_[k].iov_base = buffers_[pending_ + k].data();
        inVec_[k].iov_len = kDatagram;
        in_[k].msg_hdr.msg_name = &from_[k];
        in_[k].msg_hdr.msg_namelen = sizeof from_[k];
    }
    // A refused earlier send (the other side's port is closed) is reported here and passed by.
    const int got =
        ::recvmmsg(socket, in_.data(), static_cast<unsigned>(room), MSG_DONTWAIT, nullptr);
    const size_t first = pending_;  // pending_ grows below, as datagrams are kept to be sent
    for (int k = 0; k < got; ++k) {
        const uint8_t* data = buffers_[first + static_cast<size_t>(k)].data();
        const size_t length = in_[static_cast<size_t>(k)].msg_len;
        // Anything that came before the socket was connected is not the endpoint's.
        const sockaddr_in& source = from_[static_cast<size_t>(k)];
        if (source.sin_addr.s_addr != htonl(from.address) || source.sin_port != htons(from.port))
            continue;
        // Longer than any ENet datagram: cut short here, and nothing the other side could use.
        if (in_[static_cast<size_t>(k)].msg_hdr.msg_flags & MSG_TRUNC) continue;
        const RelayTable::Route route = table_.route(from, {data, length}, now);
        if (route.verdict == RelayTable::Verdict::Mine) {
            // The pair ended (silence, or the host is back for a new code: ENet sends its
            // request again, to the server's socket once this one is closed).
            ended_.push_back(from);
            continue;
        }
        if (route.verdict == RelayTable::Verdict::Drop) continue;
        if (buffers_[pending_].data() != data) std::memcpy(buffers_[pending_].data(), data, length);
        outVec_[pending_].iov_len = length;
        to_[pending_] = socketAddress(route.to);
        ++pending_;
    }
}

void RelaySockets::flush() {
    size_t sent = 0;
    while (sent < pending_) {
        const int n =
            ::sendmmsg(server_, out_.data() + sent, static_cast<unsigned>(pending_ - sent), 0);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            ++sent;  // this one cannot go (a full buffer, an unreachable side): it is dropped
        }
    }
    pending_ = 0;
}

void RelaySockets::closeEnded() {
    for (const RelayEndpoint e : ended_) close(e);
    ended_.clear();
}

}  // namespace zib::net
