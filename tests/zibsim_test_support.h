#pragma once
// Runs zibsim scenarios in-process for the tests and reads their traces back as JSON.
#include <gtest/gtest.h>

#include <cstdint>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "zibsim/simulator.h"

namespace zibsim::testing {

using nlohmann::json;

struct SimResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    std::vector<json> lines;  // every line of the trace, the end line last

    // The state line of tick t; fails the test when there is none.
    const json& at(int t) const {
        for (const auto& line : lines)
            if (line.contains("t") && line["t"] == t) return line;
        ADD_FAILURE() << "no trace line for tick " << t;
        static const json none = json::object();
        return none;
    }
    const json& end() const {
        static const json none = json::object();
        if (lines.empty()) {
            ADD_FAILURE() << "empty trace";
            return none;
        }
        return lines.back();
    }
};

inline SimResult simulateText(const std::string& scenario, bool quiet = false) {
    std::ostringstream out, err;
    SimResult r;
    r.exitCode = runScenarioText(scenario, out, err, quiet);
    r.out = out.str();
    r.err = err.str();
    std::istringstream in(r.out);
    std::string line;
    while (std::getline(in, line)) r.lines.push_back(json::parse(line));
    return r;
}

inline SimResult simulate(const json& scenario, bool quiet = false) {
    return simulateText(scenario.dump(), quiet);
}

// The splitmix64 sequence as the game's random source draws it, written out again here so that
// food cells can be worked out independently of the game.
class HandSplitMix {
  public:
    explicit HandSplitMix(uint64_t seed) : state_(seed) {}
    double next() {
        state_ += 0x9E3779B97F4A7C15ull;
        uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * 0x1.0p-53;
    }
    // The next food candidate: x first, then y.
    std::pair<int, int> nextFoodCell() {
        int x = 10 * static_cast<int>(next() * 70) + 10;
        int y = 10 * static_cast<int>(next() * 50) + 10;
        return {x, y};
    }

  private:
    uint64_t state_;
};

}  // namespace zibsim::testing
