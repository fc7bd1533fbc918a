// ENet's start and a listening host.
#include "net/enet_host.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/texts.h"

namespace zib::net {

namespace {

// Why a UDP socket cannot listen on address:port, asked of the system directly: ENet only says
// that it failed.
std::string listenFault(const ENetAddress& address, const std::string& bindHost) {
    const std::string port = std::to_string(address.port);
    int fault = 0;
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) {
        fault = errno;
    } else {
        sockaddr_in in{};
        in.sin_family = AF_INET;
        in.sin_port = htons(address.port);
        in.sin_addr.s_addr = address.host;  // ENet keeps it in network order
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&in), sizeof in) != 0) fault = errno;
        ::close(fd);
    }
    switch (fault) {
        case EADDRINUSE:
            return format(tr("Na portu {} nelze naslouchat: je obsazený jiným programem."), port);
        case EADDRNOTAVAIL:
            return format(tr("Na adrese {} nelze naslouchat: tento počítač takovou adresu nemá."),
                          bindHost);
        case EACCES:
        case EPERM:
            return format(
                tr("Na portu {} smí naslouchat jen správce systému; zvolte port 1024 nebo vyšší."),
                port);
        case 0:
            return format(tr("Na portu {} nelze naslouchat."), port);
        default:
            return format(tr("Na portu {} nelze naslouchat ({})."), port, std::strerror(fault));
    }
}

}  // namespace

bool initializeEnet() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = enet_initialize() == 0; });
    return ok;
}

ENetHost* listenEnet(const std::string& bindHost, uint16_t port, size_t slots, size_t channels,
                     std::string& error) {
    if (!initializeEnet()) {
        error = tr("Síť nelze spustit (ENet).");
        return nullptr;
    }
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    if (!bindHost.empty() && enet_address_set_host_ip(&address, bindHost.c_str()) != 0) {
        error = format(tr("Adresa {} není platná IP adresa."), bindHost);
        return nullptr;
    }
    ENetHost* host = enet_host_create(&address, slots, channels, 0, 0);
    if (!host) error = listenFault(address, bindHost);
    return host;
}

}  // namespace zib::net
