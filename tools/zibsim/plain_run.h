#pragma once
// A scenario's game played with no window: the level read as the game window reads it (on a
// folder of blank stand-in pictures, so that a level the window refuses is refused with its
// message), then every tick through the game's step. What the trace shows of the window is worked
// out as the window shows it on the headless host, whose virtual clock only the start pause and
// the game speed's sleeps move: the food animation, the frame counter's caption, whether Timer1
// is still on, the sounds by file name, the result's caption and the win counts.
#include <iosfwd>

#include "game/game_step.h"
#include "replay/scenario.h"
#include "state/game_state.h"
#include "zibsim/trace_lines.h"

namespace zibsim {

// Told of a game as it goes; each call may end the run early by returning false.
class PlainWatcher {
  public:
    virtual ~PlainWatcher() = default;
    // The state after the start (tick 0) and after tick n.
    virtual bool ticked(int n, const zib::GameState& state, const WindowView& view) = 0;
    // The game ended by itself after its last tick, the result step done.
    virtual void finished(const zib::GameState& state, const GameEnd& end) = 0;
    // The scenario's ticks ran out before the game ended.
    virtual void outOfTicks() = 0;
};

// Plays the scenario; returns an ExitCode (simulator.h). Messages (the level's, a key before the
// start, a stop signal) go to err.
int playPlain(const zib::Scenario& scenario, PlainWatcher& watcher, std::ostream& err);

}  // namespace zibsim
