#pragma once
// A game of a scenario played with no window at all: the level's set-up, the start and every tick
// through the game's step, with the scenario's keys. The state is the whole game: saving it and
// putting it back replays the same ticks.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/game_step.h"
#include "game/level_file.h"
#include "replay/scenario.h"
#include "state/game_state.h"

namespace zibsim {

class PlainGame {
  public:
    // The scenario's game set up and started, or the reason it cannot start (put into error).
    static std::unique_ptr<PlainGame> start(const zib::Scenario& scenario, std::string& error);
    // The same on a level already read.
    static std::unique_ptr<PlainGame> start(const zib::Scenario& scenario,
                                            const zib::LevelFile& level, std::string& error);

    // One tick with the scenario's keys of that tick: what it did.
    zib::TickResult play();
    // One tick as play; returns the state's hash after it.
    uint64_t tick();
    const zib::GameState& state() const { return state_; }
    // For what runs beside the game's ticks (the window's food animation in a trace).
    zib::GameState& mutableState() { return state_; }
    // The number of ticks played.
    int ticks() const { return tick_; }
    // Over: the game ended by itself, or the scenario's ticks are used up.
    bool over() const;

    // Everything the next ticks depend on.
    struct Saved {
        zib::GameState state;
        int tick = 0;
    };
    void save(Saved& into) const;
    void restore(const Saved& from);

  private:
    explicit PlainGame(const zib::Scenario& scenario);

    zib::Scenario scenario_;
    // The keys of each tick, by tick (index 0: before the start).
    std::vector<std::vector<zib::TickKey>> keys_;
    zib::GameState state_;
    zib::PlayField field_;
    int tick_ = 0;
};

// zibsim --rollback-check K FILE...: plays each scenario or replay with no window; at every tick
// saves the game, plays the next K ticks, puts the saved game back and plays them again, and
// compares the states' hashes of both with those of a plain run. Writes "FILE: ok (N ticks)" or
// the first tick that differs. 0 when all agree, 1 when some differ, 2 when some file cannot be
// read or its game cannot start.
int rollbackCheckFiles(int depth, const std::vector<std::string>& paths, std::ostream& out);

// The first tick whose state differs between a run with rollbacks of the given depth and a plain
// run, as "tick N: ...", or nullopt when none does; ticks: the plain run's length.
std::optional<std::string> rollbackCheck(const zib::Scenario& scenario, int depth, int& ticks);

}  // namespace zibsim
