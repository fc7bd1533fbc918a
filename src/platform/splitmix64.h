#pragma once
// The program's pseudo-random sequence as a plain value: splitmix64 over a 64-bit state; each
// number in [0, 1) takes the next output z and returns (z >> 11) * 2^-53. A copy goes on exactly
// as the original, and a sequence started with a state as its seed goes on as the one it came from.
#include <cstdint>

namespace zib {

struct SplitMix64 {
    uint64_t state = 0;

    uint64_t nextRaw() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double next() { return static_cast<double>(nextRaw() >> 11) * 0x1.0p-53; }
    bool operator==(const SplitMix64&) const = default;
};

}  // namespace zib
