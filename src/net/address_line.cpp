// The texts of the host's address: what to give out, or why nothing from the internet gets through.
#include <arpa/inet.h>

#include "net/port_mapping.h"
#include "net/server_messages.h"
#include "platform/texts.h"

namespace zib::net {

bool isUnreachableFromInternet(const std::string& address) {
    in_addr a{};
    if (::inet_pton(AF_INET, address.c_str(), &a) != 1) return true;
    const uint32_t v = ntohl(a.s_addr);
    // Private and shared networks, loopback and "this network".
    return isPrivateAddress(v) || (v >> 24) == 0x7F || (v >> 24) == 0;
}

std::string addressLine(const MappingStatus& status, uint16_t localPort) {
    const std::string port = std::to_string(localPort);
    const std::string local =
        status.localAddress.empty()
            ? ""
            : format(tr("V místní síti: zib --join {}:{}."), status.localAddress, port);
    const std::string byHand = format(
        tr("přesměrujte UDP port {} na tento počítač ručně, nebo použijte pozvánku přes server "
           "ZIB."),
        port);
    const auto withLocal = [&](const std::string& text) {
        return local.empty() ? text : text + " " + local;
    };
    switch (status.stage) {
        case MappingStage::Working:
            return withLocal(tr("Žádám router o otevření portu…"));
        case MappingStage::NoRouter:
            return withLocal(format(tr("Router neodpověděl (NAT-PMP ani UPnP): {}"), byHand));
        case MappingStage::Refused:
            return withLocal(format(tr("Router port neotevřel ({}): {}"), status.why, byHand));
        case MappingStage::NoPublicAddress:
            return withLocal(
                status.externalAddress.empty()
                    ? tr("Router nemá veřejnou adresu, je sám za dalším překladem adres (např. u "
                         "operátora): z internetu se soupeř nepřipojí. Pomůže pozvánka přes server "
                         "ZIB.")
                    : format(tr("Router nemá veřejnou adresu (má {}), je sám za dalším překladem "
                                "adres (např. u operátora): z internetu se soupeř nepřipojí. "
                                "Pomůže pozvánka přes server ZIB."),
                             status.externalAddress));
        case MappingStage::Mapped:
            break;
    }
    if (status.localAddress.empty())
        return format(tr("Soupeř se připojí: zib --join {}:{}"), status.externalAddress,
                      std::to_string(status.externalPort));
    return format(tr("Soupeř se připojí: zib --join {}:{} (v místní síti: zib --join {}:{})"),
                  status.externalAddress, std::to_string(status.externalPort), status.localAddress,
                  port);
}

}  // namespace zib::net
