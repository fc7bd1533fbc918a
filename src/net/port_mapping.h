#pragma once
// Asks the home router to forward the host's UDP port from the internet: NAT-PMP first (2 s), then
// UPnP-IGD (4 s of discovery), in a thread of its own, so the caller never waits for the router.
// A mapping is renewed before its lease ends and deleted when the mapper stops or is destroyed.
// What the router answers is checked like anything else from the network: an external address
// that is not a plain IPv4 address, or a port of 0, counts as no answer.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace zib::net {

enum class MappingStage {
    Working,   // still asking the router
    Mapped,    // the router forwards externalAddress:externalPort to this machine
    NoRouter,  // no router answered either protocol
    Refused,   // a router answered but would not forward the port (why says what it said)
    // A router answered but has no public address itself (or one of the private and shared
    // ranges): it sits behind another NAT, such as a carrier's, and its mapping would not help.
    NoPublicAddress,
};
enum class MappingMethod { None, NatPmp, Upnp };

struct MappingStatus {
    MappingStage stage = MappingStage::Working;
    MappingMethod method = MappingMethod::None;
    std::string externalAddress;  // dotted IPv4; empty when the router did not tell it
    uint16_t externalPort = 0;
    std::string localAddress;  // this machine's address towards the router (or any of its own)
    std::string why;           // NoRouter, Refused: the router's answer, for the player
    uint32_t changes = 0;      // goes up by one with every change of the above
};

struct MappingOptions {
    std::chrono::milliseconds natPmpLimit{2000};
    std::chrono::milliseconds upnpDiscoveryLimit{4000};
    uint32_t leaseSeconds = 3600;  // asked for; the router may grant less
    bool natPmp = true, upnp = true;
    // The NAT-PMP gateway's IPv4 address; empty: the gateway of the default route.
    std::string natPmpGateway;
};

class PortMapper {
  public:
    // Starts asking at once for localPort (UDP), with the same external port where possible.
    explicit PortMapper(uint16_t localPort, const MappingOptions& options = {});
    // Stops: deletes the mapping, waiting for a router call in progress to end.
    ~PortMapper();
    PortMapper(const PortMapper&) = delete;
    PortMapper& operator=(const PortMapper&) = delete;

    MappingStatus status() const;
    // How many times the mapping has been renewed.
    uint32_t renewals() const;
    // Deletes the mapping and ends the thread; status() stays as it was.
    void stop();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A private (10/8, 172.16/12, 192.168/16) or shared (100.64/10) IPv4 address, or loopback or
// link-local: one the internet cannot reach.
bool isUnreachableFromInternet(const std::string& address);

// What the host's player gives out, in Czech, e.g. "Soupeř se připojí: zib --join
// 203.0.113.7:47777 (v místní síti: zib --join 192.168.1.5:47777)"; or, when the router did not
// open the port or sits behind another NAT, why not and what the player can do.
std::string addressLine(const MappingStatus& status, uint16_t localPort);

}  // namespace zib::net
