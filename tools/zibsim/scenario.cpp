#include "zibsim/scenario.h"

#include <limits>
#include <nlohmann/json.hpp>

namespace zibsim {
namespace {

using nlohmann::json;

struct ScenarioFault {
    std::string message;
};

int readInt(const json& value, const std::string& name, long long low, long long high) {
    if (!value.is_number_integer()) throw ScenarioFault{"\"" + name + "\" must be an integer"};
    // Large non-negative numbers are read as unsigned; they are out of range here anyway.
    bool tooLarge =
        value.is_number_unsigned() && value.get<uint64_t>() > static_cast<uint64_t>(high);
    long long v = tooLarge ? high : value.get<long long>();
    if (tooLarge || v < low || v > high)
        throw ScenarioFault{"\"" + name + "\" must be between " + std::to_string(low) + " and " +
                            std::to_string(high)};
    return static_cast<int>(v);
}

bool readBool(const json& value, const std::string& name) {
    if (!value.is_boolean()) throw ScenarioFault{"\"" + name + "\" must be true or false"};
    return value.get<bool>();
}

uint64_t readSeed(const json& value) {
    if (!value.is_number_integer()) throw ScenarioFault{"\"seed\" must be an integer"};
    if (!value.is_number_unsigned()) throw ScenarioFault{"\"seed\" must not be negative"};
    return value.get<uint64_t>();
}

constexpr long long kIntMax = std::numeric_limits<int>::max();
constexpr long long kKeyCodeMax = 0xFFFF;  // key and character codes are 16-bit

ScenarioEvent readEvent(const json& value, size_t position) {
    const std::string where = "events[" + std::to_string(position) + "]";
    if (!value.is_object()) throw ScenarioFault{where + " must be an object"};
    ScenarioEvent event;
    bool haveTick = false, haveKind = false;
    for (const auto& [key, field] : value.items()) {
        if (key == "tick") {
            event.tick = readInt(field, where + ".tick", 1, kIntMax);
            haveTick = true;
        } else if (key == "down" || key == "press") {
            if (haveKind)
                throw ScenarioFault{where + " must hold only one of \"down\" and \"press\""};
            event.kind = key == "down" ? ScenarioEvent::Kind::Down : ScenarioEvent::Kind::Press;
            event.code = readInt(field, where + "." + key, 0, kKeyCodeMax);
            haveKind = true;
        } else {
            throw ScenarioFault{where + ": unknown event field \"" + key + "\""};
        }
    }
    if (!haveTick) throw ScenarioFault{where + " has no \"tick\""};
    if (!haveKind) throw ScenarioFault{where + " needs \"down\" or \"press\""};
    return event;
}

Scenario readScenario(const json& root) {
    if (!root.is_object()) throw ScenarioFault{"the scenario must be a JSON object"};
    Scenario s;
    bool haveLevel = false;
    for (const auto& [key, value] : root.items()) {
        if (key == "level") {
            if (!value.is_string()) throw ScenarioFault{"\"level\" must be a string"};
            s.level = value.get<std::string>();
            haveLevel = true;
        } else if (key == "gameSpeed") {
            s.gameSpeed = readInt(value, key, 0, kIntMax);
        } else if (key == "growthPerFood") {
            s.growthPerFood = readInt(value, key, 0, kIntMax);
        } else if (key == "startLength") {
            // Every body list needs a tail and a head; the upper limit keeps the sprite count sane.
            s.startLength = readInt(value, key, 1, 100000);
        } else if (key == "gameMode") {
            s.gameMode = readInt(value, key, 1, 3);
        } else if (key == "demo") {
            s.demo = readBool(value, key);
        } else if (key == "free") {
            s.freeMode = readBool(value, key);
        } else if (key == "seed") {
            s.seed = readSeed(value);
        } else if (key == "events") {
            if (!value.is_array()) throw ScenarioFault{"\"events\" must be an array"};
            for (size_t i = 0; i < value.size(); ++i) s.events.push_back(readEvent(value[i], i));
        } else if (key == "maxTicks") {
            s.maxTicks = readInt(value, key, 0, kIntMax);
        } else {
            throw ScenarioFault{"unknown field \"" + key + "\""};
        }
    }
    if (!haveLevel) throw ScenarioFault{"\"level\" is missing"};
    return s;
}

}  // namespace

std::optional<Scenario> parseScenario(const std::string& text, std::string& error) {
    json root;
    try {
        root = json::parse(text);
    } catch (const json::exception& e) {
        error = std::string("not valid JSON: ") + e.what();
        return std::nullopt;
    }
    try {
        return readScenario(root);
    } catch (const ScenarioFault& fault) {
        error = fault.message;
    } catch (const json::exception& e) {
        error = e.what();
    }
    return std::nullopt;
}

}  // namespace zibsim
