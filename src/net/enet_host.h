#pragma once
// What every ENet user here shares: ENet started once per process, and an ENet host listening on
// one UDP address and port, with a Czech message that says why it cannot.
#include <enet/enet.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace zib::net {

// ENet wants one enet_initialize per process before any use; it is never undone (the program
// ends with it). False when ENet cannot start.
bool initializeEnet();

// A host on bindHost (empty: all interfaces) and port (0: any free one) with slots peers and
// channels channels, or nullptr with the reason in error.
ENetHost* listenEnet(const std::string& bindHost, uint16_t port, size_t slots, size_t channels,
                     std::string& error);

}  // namespace zib::net
