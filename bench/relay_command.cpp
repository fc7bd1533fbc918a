// zib_bench --relay TARGET_PORT ONE_WAY_MS SECONDS: the fault-injecting relay of the network tests
// as a process of its own, between two real programs (bench/run's online key-to-screen latency).
// Datagrams from the first client that writes to its port go to 127.0.0.1:TARGET_PORT and the
// answers come back, each way ONE_WAY_MS late. Prints "port=N" once it listens, then relays until
// SECONDS have passed (or it is stopped).
#include "relay_command.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "net_relay.h"

namespace zib {

bool isRelayCommand(int argc, char** argv) {
    return argc >= 2 && std::string(argv[1]) == "--relay";
}

int runRelayCommand(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: zib_bench --relay TARGET_PORT ONE_WAY_MS SECONDS\n");
        return 2;
    }
    const long target = std::strtol(argv[2], nullptr, 10);
    const long delay = std::strtol(argv[3], nullptr, 10);
    const long seconds = std::strtol(argv[4], nullptr, 10);
    if (target < 1 || target > 65535 || delay < 0 || delay > 1000 || seconds < 1 ||
        seconds > 3600) {
        std::fprintf(stderr, "zib_bench --relay: a value out of range\n");
        return 2;
    }
    test::RelayFaults faults;
    faults.delayMs = static_cast<int>(delay);
    const std::chrono::seconds lifetime(seconds);
    test::UdpRelay relay(static_cast<uint16_t>(target), faults, lifetime);
    if (relay.port() == 0) {
        std::fprintf(stderr, "zib_bench --relay: no socket\n");
        return 1;
    }
    std::printf("port=%u\n", static_cast<unsigned>(relay.port()));
    std::fflush(stdout);
    std::this_thread::sleep_for(lifetime);
    return 0;
}

}  // namespace zib
