#pragma once
// zibsim reads the scenario format of the replays (replay/scenario.h) under its own names.
#include <string>

#include "replay/scenario.h"

namespace zibsim {

using zib::parseScenario;
using zib::Scenario;
using zib::ScenarioEvent;

// Why a scenario file named on the command line was not read, e.g. "cannot read x.json".
inline std::string readFault(const std::string& path, zib::FileRead read) {
    if (read == zib::FileRead::TooLarge)
        return path + " is larger than " + std::to_string(zib::kLargestScenarioText >> 20) + " MiB";
    return "cannot read " + path;
}

}  // namespace zibsim
