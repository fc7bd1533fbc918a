#pragma once
// zibsim reads the scenario format of the replays (replay/scenario.h) under its own names.
#include "replay/scenario.h"

namespace zibsim {

using zib::parseScenario;
using zib::Scenario;
using zib::ScenarioEvent;

}  // namespace zibsim
