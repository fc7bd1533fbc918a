// The texts of the host's address: what to give out, or why nothing from the internet gets through.
#include <arpa/inet.h>

#include "net/port_mapping.h"
#include "net/server_messages.h"

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
            : "V místní síti: zib --join " + status.localAddress + ":" + port + ".";
    const std::string byHand = "přesměrujte UDP port " + port +
                               " na tento počítač ručně, nebo použijte pozvánku přes server ZIB.";
    const auto withLocal = [&](const std::string& text) {
        return local.empty() ? text : text + " " + local;
    };
    switch (status.stage) {
        case MappingStage::Working:
            return withLocal("Žádám router o otevření portu…");
        case MappingStage::NoRouter:
            return withLocal("Router neodpověděl (NAT-PMP ani UPnP): " + byHand);
        case MappingStage::Refused:
            return withLocal("Router port neotevřel (" + status.why + "): " + byHand);
        case MappingStage::NoPublicAddress:
            return withLocal(
                "Router nemá veřejnou adresu" +
                (status.externalAddress.empty() ? "" : " (má " + status.externalAddress + ")") +
                ", je sám za dalším překladem adres (např. u operátora): z internetu se soupeř "
                "nepřipojí. Pomůže pozvánka přes server ZIB.");
        case MappingStage::Mapped:
            break;
    }
    std::string line = "Soupeř se připojí: zib --join " + status.externalAddress + ":" +
                       std::to_string(status.externalPort);
    if (!status.localAddress.empty())
        line += " (v místní síti: zib --join " + status.localAddress + ":" + port + ")";
    return line;
}

}  // namespace zib::net
