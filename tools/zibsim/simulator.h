#pragma once
// Runs one game of a scenario with the game's own code on a simulated platform and writes its
// trace: a JSON line after the start, one after every tick, and an end line.
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "game/game_window.h"
#include "game/menu_link.h"
#include "state/game_state.h"
#include "zibsim/scenario.h"

namespace zibsim {

enum ExitCode : int {
    kRan = 0,          // the game ran, whatever its result
    kFailed = 1,       // the game stopped with an error
    kBadScenario = 2,  // the scenario could not be read
    kBadLevel = 3,     // the level could not be loaded
};

struct RunOptions {
    bool quiet = false;  // only the end line
    // The SDL host in a window on the real clock instead of the headless host. The run then also
    // writes its timing to err: the ticks, the wall time from the start of the loop to the last
    // tick, and the mean time per tick over the game speed (see timingLine).
    bool realClock = false;
    // Makes a second observer for the game (the replay recorder of zibsim --verify), told of
    // everything before the trace.
    std::function<std::unique_ptr<zib::GameObserver>(zib::GameWindow&, zib::GameState&,
                                                     zib::MenuLink&)>
        makeRecorder;
};

// Messages (the level loader's, the game's) go to err.
int runScenario(const Scenario& scenario, std::ostream& out, std::ostream& err,
                const RunOptions& options);
int runScenario(const Scenario& scenario, std::ostream& out, std::ostream& err, bool quiet);
// The same for a scenario given as JSON text.
int runScenarioText(const std::string& json, std::ostream& out, std::ostream& err,
                    const RunOptions& options);
int runScenarioText(const std::string& json, std::ostream& out, std::ostream& err, bool quiet);

// The timing line of a real-clock run, e.g.
//   zibsim: timing: ticks 500 wall_ms 6512.310 ms_per_tick 13.0246 extra_us_per_tick 24.62
//   cpu_us_per_tick 31.50
// (one line) where extra_us_per_tick is the mean time per tick beyond the game speed's sleep and
// cpu_us_per_tick the processor time of the whole process (all its threads) per tick.
std::string timingLine(int ticks, double wallMs, int gameSpeed, double cpuMs);

}  // namespace zibsim
