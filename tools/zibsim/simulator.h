#pragma once
// Runs one game of a scenario with the game's own code on a simulated platform and writes its
// trace: a JSON line after the start, one after every tick, and an end line.
#include <iosfwd>
#include <string>

#include "zibsim/scenario.h"

namespace zibsim {

enum ExitCode : int {
    kRan = 0,          // the game ran, whatever its result
    kFailed = 1,       // the game stopped with an error
    kBadScenario = 2,  // the scenario could not be read
    kBadLevel = 3,     // the level could not be loaded
};

// quiet: only the end line. Messages (the level loader's, the game's) go to err.
int runScenario(const Scenario& scenario, std::ostream& out, std::ostream& err, bool quiet);
// The same for a scenario given as JSON text.
int runScenarioText(const std::string& json, std::ostream& out, std::ostream& err, bool quiet);

}  // namespace zibsim
