// The port mapper's thread: NAT-PMP through libnatpmp, then UPnP-IGD through miniupnpc; the
// renewal before the lease ends and the deletion at the end.
#include "net/port_mapping.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <natpmp.h>
#include <net/if.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <thread>

#include "platform/texts.h"

namespace zib::net {

namespace {

using Clock = std::chrono::steady_clock;

// The dotted form of an IPv4 address that passes a strict parse, or nullopt.
std::optional<std::string> checkedAddress(const char* text) {
    in_addr a{};
    if (!text || ::inet_pton(AF_INET, text, &a) != 1) return std::nullopt;
    char out[INET_ADDRSTRLEN] = {};
    if (!::inet_ntop(AF_INET, &a, out, sizeof out)) return std::nullopt;
    if (a.s_addr == 0) return std::nullopt;
    return std::string(out);
}

std::string dotted(in_addr a) {
    char out[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a, out, sizeof out);
    return out;
}

// The address this machine sends from towards the gateway (connecting a UDP socket sends
// nothing); else the first IPv4 address of an interface that is up and not loopback.
std::string localAddressTowards(in_addr_t gateway) {
    if (gateway != 0) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (fd >= 0) {
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(5351);
            to.sin_addr.s_addr = gateway;
            sockaddr_in me{};
            socklen_t length = sizeof me;
            std::string found;
            if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 &&
                ::getsockname(fd, reinterpret_cast<sockaddr*>(&me), &length) == 0)
                found = dotted(me.sin_addr);
            ::close(fd);
            if (!found.empty() && found != "0.0.0.0") return found;
        }
    }
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return {};
    std::string found;
    for (ifaddrs* i = list; i && found.empty(); i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) continue;
        found = dotted(reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr);
    }
    ::freeifaddrs(list);
    return found;
}

// The lengths of NAT-PMP's answers to the address request and to a mapping request.
constexpr size_t kAddressAnswer = 12, kMappingAnswer = 16;

// What waits on the socket: a datagram shorter than a whole answer, which libnatpmp would read
// without looking at its length (taking what it leaves out from its own uninitialised buffer) and
// which is taken off the socket here and dropped; an error such as "port unreachable", which a
// peek would clear before libnatpmp sees it; or anything else, for libnatpmp to read.
enum class Waiting { Dropped, Error, Answer };
Waiting peekAnswer(int fd, size_t answerSize) {
    uint8_t peek[32];
    const ssize_t n = ::recv(fd, peek, sizeof peek, MSG_PEEK | MSG_DONTWAIT);
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK ? Waiting::Answer : Waiting::Error;
    if (static_cast<size_t>(n) >= answerSize) return Waiting::Answer;
    ::recv(fd, peek, sizeof peek, MSG_DONTWAIT);
    return Waiting::Dropped;
}

const char* upnpErrorText(int code) {
    switch (code) {
        case 718:
            return tr("port už přesměrovává jinam");
        case 725:
            return tr("umí jen trvalé přesměrování");
        case 606:
        case 729:
            return tr("přesměrování nepovolil");
        default:
            return tr("přesměrování odmítl");
    }
}

}  // namespace

struct PortMapper::Impl {
    uint16_t localPort = 0;
    MappingOptions options;

    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    MappingStatus status;
    uint32_t renewals = 0;
    std::thread thread;

    // The router said it has no public address (this thread's own).
    bool noPublicAddress = false;
    // The mapping as held, for the renewal and the deletion (this thread's own).
    uint32_t lease = 0;  // seconds granted; 0: permanent
    in_addr_t gateway = 0;
    std::string controlUrl, serviceType;

    void publish(const MappingStatus& s) {
        std::lock_guard lock(mutex);
        const uint32_t changes = status.changes + 1;
        status = s;
        status.changes = changes;
    }
    bool stopped() {
        std::lock_guard lock(mutex);
        return stopping;
    }

    // ---- NAT-PMP

    // Sends what send() sends and waits for the answer until the deadline; 0 or an error code.
    // answerSize: the length of a whole answer to this request.
    int natPmpExchange(natpmp_t& n, natpmpresp_t& response, Clock::time_point deadline,
                       size_t answerSize, const std::function<int()>& send) {
        if (send() < 0) return NATPMP_ERR_SENDERR;
        for (;;) {
            timeval wait{};
            getnatpmprequesttimeout(&n, &wait);
            const auto left =
                std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
            if (left.count() <= 0) return NATPMP_TRYAGAIN;
            const long long waitUs = wait.tv_sec * 1'000'000LL + wait.tv_usec;
            const long long us = std::clamp<long long>(waitUs, 1000, left.count());
            timeval t{static_cast<time_t>(us / 1'000'000),
                      static_cast<suseconds_t>(us % 1'000'000)};
            fd_set set;
            FD_ZERO(&set);
            FD_SET(n.s, &set);
            if (::select(n.s + 1, &set, nullptr, nullptr, &t) > 0) {
                const Waiting waiting = peekAnswer(n.s, answerSize);
                if (waiting == Waiting::Error) return NATPMP_ERR_RECVFROM;  // nobody listens
                if (waiting == Waiting::Dropped) continue;
            }
            const int r = readnatpmpresponseorretry(&n, &response);
            if (r != NATPMP_TRYAGAIN) return r;
            if (stopped()) return NATPMP_TRYAGAIN;
        }
    }

    // The public address and a mapping; false when NAT-PMP got nowhere (refusal in why).
    bool natPmp(MappingStatus& s, uint16_t externalPort, std::string& why) {
        natpmp_t n{};
        in_addr forced{};
        const bool force = !options.natPmpGateway.empty();
        if (force && ::inet_pton(AF_INET, options.natPmpGateway.c_str(), &forced) != 1)
            return false;
        // Without a default route there is no router to ask.
        if (initnatpmp(&n, force ? 1 : 0, forced.s_addr) != 0) return false;
        gateway = n.gateway;
        s.localAddress = localAddressTowards(n.gateway);
        if (status.stage == MappingStage::Working) {
            // Players on the same network can be told the address while the router is asked.
            MappingStatus working;
            working.localAddress = s.localAddress;
            publish(working);
        }
        const auto deadline = Clock::now() + options.natPmpLimit;
        natpmpresp_t response{};
        int r = natPmpExchange(n, response, deadline, kAddressAnswer,
                               [&] { return sendpublicaddressrequest(&n); });
        if (r == 0 && response.type == NATPMP_RESPTYPE_PUBLICADDRESS)
            s.externalAddress =
                checkedAddress(dotted(response.pnu.publicaddress.addr).c_str()).value_or("");
        // "Network failure": the router has no address of its own on the outside that it could
        // give out.
        if (r == NATPMP_ERR_NETWORKFAILURE) noPublicAddress = true;
        if (r == 0) {
            r = natPmpExchange(n, response, deadline, kMappingAnswer, [&] {
                return sendnewportmappingrequest(&n, NATPMP_PROTOCOL_UDP, localPort, externalPort,
                                                 options.leaseSeconds);
            });
        }
        closenatpmp(&n);
        if (r == 0 && response.type == NATPMP_RESPTYPE_UDPPORTMAPPING &&
            response.pnu.newportmapping.mappedpublicport != 0 &&
            response.pnu.newportmapping.lifetime != 0) {
            s.externalPort = response.pnu.newportmapping.mappedpublicport;
            lease = response.pnu.newportmapping.lifetime;
            s.method = MappingMethod::NatPmp;
            return true;
        }
        if (r == NATPMP_ERR_NOTAUTHORIZED || r == NATPMP_ERR_NETWORKFAILURE ||
            r == NATPMP_ERR_OUTOFRESOURCES)
            why =
                format(tr("NAT-PMP: router přesměrování odmítl (kód {})"), std::to_string(-r - 49));
        return false;
    }

    void natPmpRemove() {
        natpmp_t n{};
        if (initnatpmp(&n, 1, gateway) != 0) return;
        natpmpresp_t response{};
        natPmpExchange(n, response, Clock::now() + std::chrono::seconds(1), kMappingAnswer, [&] {
            return sendnewportmappingrequest(&n, NATPMP_PROTOCOL_UDP, localPort, 0, 0);
        });
        closenatpmp(&n);
    }

    // ---- UPnP-IGD

    int upnpAdd(const std::string& lan, uint16_t externalPort, uint32_t leaseSeconds) {
        const std::string ext = std::to_string(externalPort), in = std::to_string(localPort);
        const std::string duration = std::to_string(leaseSeconds);
        return UPNP_AddPortMapping(controlUrl.c_str(), serviceType.c_str(), ext.c_str(), in.c_str(),
                                   lan.c_str(), "ZIB", "UDP", nullptr, duration.c_str());
    }

    bool upnp(MappingStatus& s, std::string& why) {
        // Each kind of device is searched for in turn, a quarter of the limit each, until one
        // answers: an IGD that answers the first search is found within a quarter, and with
        // nobody answering the search ends after three quarters.
        int error = 0;
        const char* types[] = {"urn:schemas-upnp-org:device:InternetGatewayDevice:1",
                               "urn:schemas-upnp-org:device:InternetGatewayDevice:2",
                               "urn:schemas-upnp-org:service:WANIPConnection:1", nullptr};
        const int delay = std::max(static_cast<int>(options.upnpDiscoveryLimit.count()) / 4, 100);
        UPNPDev* devices = upnpDiscoverDevices(types, delay, nullptr, nullptr, 0, 0, 2, &error, 0);
        if (!devices) return false;
        UPNPUrls urls{};
        IGDdatas data{};
        char lan[64] = {};
        const int found = UPNP_GetValidIGD(devices, &urls, &data, lan, sizeof lan);
        freeUPNPDevlist(devices);
        if (found != 1 && found != 2) {
            if (found != 0) FreeUPNPUrls(&urls);
            return false;
        }
        controlUrl = urls.controlURL ? urls.controlURL : "";
        serviceType = data.first.servicetype;
        FreeUPNPUrls(&urls);
        const std::optional<std::string> lanAddress = checkedAddress(lan);
        if (!lanAddress || controlUrl.empty() || stopped()) return false;
        s.localAddress = *lanAddress;
        char external[40] = {};
        if (UPNP_GetExternalIPAddress(controlUrl.c_str(), serviceType.c_str(), external) ==
            UPNPCOMMAND_SUCCESS)
            s.externalAddress = checkedAddress(external).value_or("");
        // An IGD that is not connected, or that tells no address of its own, has none to give.
        if (found == 2 || s.externalAddress.empty()) noPublicAddress = true;
        uint16_t port = localPort;
        uint32_t leaseAsked = options.leaseSeconds;
        int r = upnpAdd(s.localAddress, port, leaseAsked);
        if (r == 725) {
            leaseAsked = 0;  // the router keeps only permanent mappings: one, deleted at the end
            r = upnpAdd(s.localAddress, port, leaseAsked);
        } else if (r == 718) {
            // Someone else has this external port: another one from the dynamic range.
            std::random_device seed;
            port = static_cast<uint16_t>(49152 + seed() % 16384);
            r = upnpAdd(s.localAddress, port, leaseAsked);
        }
        if (r != UPNPCOMMAND_SUCCESS) {
            why = format(tr("UPnP: router {} (chyba {})"), upnpErrorText(r), std::to_string(r));
            return false;
        }
        s.externalPort = port;
        s.method = MappingMethod::Upnp;
        lease = leaseAsked;
        return true;
    }

    void upnpRemove(uint16_t externalPort) {
        const std::string ext = std::to_string(externalPort);
        UPNP_DeletePortMapping(controlUrl.c_str(), serviceType.c_str(), ext.c_str(), "UDP",
                               nullptr);
    }

    // ---- the thread

    bool renew(MappingStatus& s) {
        std::string why;
        MappingStatus again = s;
        if (s.method == MappingMethod::NatPmp) return natPmp(again, s.externalPort, why);
        return upnpAdd(s.localAddress, s.externalPort, lease) == UPNPCOMMAND_SUCCESS;
    }

    void run() {
        MappingStatus s;
        std::string why;
        bool mapped = options.natPmp && natPmp(s, localPort, why);
        if (!mapped && options.upnp && !stopped()) {
            MappingStatus u;
            u.localAddress = s.localAddress;
            std::string upnpWhy;
            mapped = upnp(u, upnpWhy);
            if (u.externalAddress.empty()) u.externalAddress = s.externalAddress;
            s = u;
            if (!upnpWhy.empty()) why = upnpWhy;
        }
        if (s.localAddress.empty()) s.localAddress = localAddressTowards(gateway);
        // isUnreachableFromInternet counts an empty (untold) address as unreachable.
        if (mapped && !isUnreachableFromInternet(s.externalAddress)) {
            s.stage = MappingStage::Mapped;
        } else if (mapped || noPublicAddress ||
                   (!s.externalAddress.empty() && isUnreachableFromInternet(s.externalAddress))) {
            s.stage = MappingStage::NoPublicAddress;
        } else {
            s.stage = why.empty() ? MappingStage::NoRouter : MappingStage::Refused;
            s.why = why;
        }
        publish(s);
        if (!mapped) return;
        // Renewed at half the lease; a failed renewal is tried again every half of what is left.
        auto leaseEnd = Clock::now() + std::chrono::seconds(lease);
        auto next = Clock::now() + std::chrono::seconds(lease) / 2;
        std::unique_lock lock(mutex);
        while (!stopping) {
            if (lease == 0) {
                wake.wait(lock, [&] { return stopping; });
                break;
            }
            if (wake.wait_until(lock, next, [&] { return stopping; })) break;
            lock.unlock();
            const bool renewed = renew(s);
            lock.lock();
            const auto now = Clock::now();
            if (renewed) {
                ++renewals;
                leaseEnd = now + std::chrono::seconds(lease);
                next = now + std::chrono::seconds(lease) / 2;
            } else {
                next =
                    now + std::max<Clock::duration>((leaseEnd - now) / 2, std::chrono::seconds(1));
            }
        }
        lock.unlock();
        if (s.method == MappingMethod::NatPmp)
            natPmpRemove();
        else
            upnpRemove(s.externalPort);
    }
};

PortMapper::PortMapper(uint16_t localPort, const MappingOptions& options)
    : impl_(std::make_unique<Impl>()) {
    impl_->localPort = localPort;
    impl_->options = options;
    impl_->status.changes = 1;
    impl_->thread = std::thread([impl = impl_.get()] { impl->run(); });
}

PortMapper::~PortMapper() {
    stop();
}

void PortMapper::stop() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopping = true;
    }
    impl_->wake.notify_all();
    if (impl_->thread.joinable()) impl_->thread.join();
}

MappingStatus PortMapper::status() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->status;
}

uint32_t PortMapper::renewals() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->renewals;
}

}  // namespace zib::net
