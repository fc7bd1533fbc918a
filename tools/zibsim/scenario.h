#pragma once
// A zibsim scenario: the level text, the settings of the game, the seed of the random source and
// the keys to deliver, read from one JSON object.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zibsim {

struct ScenarioEvent {
    enum class Kind { Down, Press };
    int tick = 1;  // delivered by the event processing of this tick (ticks count from 1)
    Kind kind = Kind::Down;
    int code = 0;  // virtual-key code (Down) or character code (Press)
};

struct Scenario {
    std::string level;  // the text of the level file
    int gameSpeed = 0;
    int growthPerFood = 1;
    int startLength = 10;
    int gameMode = 2;  // 1 endless growth, 2 classic, 3 one player
    bool demo = false;
    bool freeMode = false;
    uint64_t seed = 0;
    std::vector<ScenarioEvent> events;
    int maxTicks = 10000;
};

// Reads a scenario from JSON text. On a fault returns nullopt and puts a message into error.
std::optional<Scenario> parseScenario(const std::string& json, std::string& error);

}  // namespace zibsim
