#pragma once
// A scenario: the level text, the settings of the game, the state of the random source and the
// keys to deliver, read from one JSON object. zibsim runs scenarios; a replay is a scenario that
// also holds what a game of the running program carried over from the games before it and the
// outcome the program saw (see replay_file.h).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/key_slots.h"
#include "platform/files.h"
#include "platform/result.h"
#include "state/carried_over.h"
#include "state/game_mode.h"

namespace zib {

struct ScenarioEvent {
    enum class Kind { Down, Press };
    // Delivered by the event processing of this tick (ticks count from 1); 0 is the event
    // processing after the window's load and before the game starts.
    int tick = 1;
    Kind kind = Kind::Down;
    int code = 0;  // virtual-key code (Down) or character code (Press)
};

// The state of the world every few ticks, to find where a replay first goes its own way.
struct StateCheck {
    int tick = 0;
    uint64_t hash = 0;
};

// What the program saw at the end of a recorded game. A replay compares with it and is not led by
// it.
struct RecordedOutcome {
    std::string result;  // the game window's result caption, empty when none was shown
    int ticks = 0;
    long long redWins = 0;
    long long blueWins = 0;
    bool redDead = false;
    bool blueDead = false;
    std::vector<StateCheck> checks;  // in order of ticks
};

// The largest scenario or replay text read. A ten-minute game's replay takes about 50 KB, a
// day-long one a few megabytes; the level it holds is at most kLargestLevelFile.
constexpr size_t kLargestScenarioText = size_t{64} << 20;
// The deepest nesting of arrays and objects read: the format itself goes four deep. The reader
// builds a value for each level, so that a file of nothing but brackets took gigabytes.
constexpr int kDeepestScenarioNesting = 16;

struct Scenario {
    std::string level;      // the text of the level file
    std::string levelFile;  // its file name as the program knew it; empty when not known
    // The settings within the limits of ZIB.ini (state/settings_limits.h).
    int gameSpeed = 0;
    int growthPerFood = 1;  // may be negative, as ZIB.ini may give it
    int startLength = 10;   // at least 1: every body list needs a tail and a head
    int gameMode = modeNumber(GameMode::Classic);  // as ZIB.ini stores it (state/game_mode.h)
    bool demo = false;
    bool freeMode = false;
    // The two flags the game reads follow gameMode and demo unless given.
    std::optional<bool> endlessGrowth;
    std::optional<bool> onePlayer;
    std::array<int, 8> keyBindings = kDefaultKeyBindings;
    uint64_t seed = 0;  // the splitmix64 state of the random source as the game starts
    std::vector<ScenarioEvent> events;
    int maxTicks = 10000;

    // Carried over from the games before, as a program that starts holds them unless given.
    CarriedOver carried;

    // Only in replays; the run ignores them.
    std::optional<RecordedOutcome> outcome;
    std::string version;
    std::string date;
};

// Reads a scenario from JSON text; a fault fails with a message that names the field. Text longer
// than kLargestScenarioText or nested deeper than kDeepestScenarioNesting is refused before it is
// parsed; a level picture with a path (see isBareFileName) is refused too, so that a replay never
// names a file outside the folders the game looks in.
Result<Scenario> parseScenario(const std::string& json);

// Reads the scenario or replay file named on a command line ("-": standard input), at most
// kLargestScenarioText bytes, into text.
FileRead readScenarioFile(const std::string& path, std::string& text);

}  // namespace zib
