// The host's address line: what the player gives out, or why the internet cannot reach the host
// and what helps; and which addresses the internet cannot reach.
#include <gtest/gtest.h>

#include "net/port_mapping.h"

namespace zib::net {
namespace {

TEST(NetAddressLine, TellsWhatToGiveOutOrWhyNothingHelps) {
    struct Case {
        MappingStage stage;
        std::string external, local, why;
        uint16_t externalPort;
        std::string line;
    };
    const std::string byHand =
        "přesměrujte UDP port 47777 na tento počítač ručně, nebo použijte pozvánku přes server "
        "ZIB.";
    const std::string anotherNat =
        ", je sám za dalším překladem adres (např. u operátora): z internetu se soupeř nepřipojí. "
        "Pomůže pozvánka přes server ZIB.";
    const Case cases[] = {
        {MappingStage::Mapped, "203.0.113.7", "192.168.1.5", "", 47777,
         "Soupeř se připojí: zib --join 203.0.113.7:47777 (v místní síti: zib --join "
         "192.168.1.5:47777)"},
        // The router chose another external port.
        {MappingStage::Mapped, "203.0.113.7", "", "", 50123,
         "Soupeř se připojí: zib --join 203.0.113.7:50123"},
        {MappingStage::Working, "", "192.168.1.5", "", 0,
         "Žádám router o otevření portu… V místní síti: zib --join 192.168.1.5:47777."},
        {MappingStage::NoRouter, "", "10.0.0.3", "", 0,
         "Router neodpověděl (NAT-PMP ani UPnP): " + byHand +
             " V místní síti: zib --join 10.0.0.3:47777."},
        {MappingStage::NoRouter, "", "", "", 0, "Router neodpověděl (NAT-PMP ani UPnP): " + byHand},
        {MappingStage::Refused, "", "10.0.0.3",
         "UPnP: router port už přesměrovává jinam (chyba 718)", 0,
         "Router port neotevřel (UPnP: router port už přesměrovává jinam (chyba 718)): " + byHand +
             " V místní síti: zib --join 10.0.0.3:47777."},
        {MappingStage::NoPublicAddress, "100.64.0.1", "", "", 0,
         "Router nemá veřejnou adresu (má 100.64.0.1)" + anotherNat},
        {MappingStage::NoPublicAddress, "", "10.0.0.3", "", 0,
         "Router nemá veřejnou adresu" + anotherNat + " V místní síti: zib --join 10.0.0.3:47777."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        MappingStatus s;
        s.stage = c.stage;
        s.externalAddress = c.external;
        s.localAddress = c.local;
        s.why = c.why;
        s.externalPort = c.externalPort;
        EXPECT_EQ(addressLine(s, 47777), c.line);
    }
}

TEST(NetAddressLine, PrivateSharedAndMalformedAddressesAreUnreachable) {
    const struct {
        const char* address;
        bool unreachable;
    } cases[] = {
        {"10.1.2.3", true},
        {"172.16.0.1", true},
        {"172.31.255.255", true},
        {"172.32.0.1", false},
        {"192.168.0.1", true},
        {"192.169.0.1", false},
        {"100.64.0.1", true},
        {"100.127.255.255", true},
        {"100.128.0.1", false},
        {"100.63.255.255", false},
        {"127.0.0.1", true},
        {"169.254.1.1", true},
        {"0.0.0.0", true},
        {"192.0.3.1", false},
        {"203.0.113.7", false},
        {"", true},
        {"10.1.2", true},
        {"1.2.3.4 ", true},
        {"::1", true},
        {"8.8.8.8", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isUnreachableFromInternet(c.address), c.unreachable) << c.address;
}

}  // namespace
}  // namespace zib::net
