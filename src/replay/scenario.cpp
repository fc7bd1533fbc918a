#include "replay/scenario.h"

#include <limits>
#include <nlohmann/json.hpp>

namespace zib {
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

long long readCount(const json& value, const std::string& name) {
    constexpr long long kCountMax = 1LL << 53;  // exact in any JSON reader
    if (!value.is_number_integer()) throw ScenarioFault{"\"" + name + "\" must be an integer"};
    const bool tooLarge =
        value.is_number_unsigned() && value.get<uint64_t>() > static_cast<uint64_t>(kCountMax);
    const long long v = tooLarge ? kCountMax : value.get<long long>();
    if (tooLarge || v < 0 || v > kCountMax)
        throw ScenarioFault{"\"" + name + "\" must be between 0 and " + std::to_string(kCountMax)};
    return v;
}

std::string readString(const json& value, const std::string& name, size_t longest) {
    if (!value.is_string()) throw ScenarioFault{"\"" + name + "\" must be a string"};
    std::string s = value.get<std::string>();
    if (s.size() > longest)
        throw ScenarioFault{"\"" + name + "\" must not be longer than " + std::to_string(longest)};
    return s;
}

// A level's file name: a bare name, so that a replay can never name a file elsewhere.
std::string readFileName(const json& value, const std::string& name) {
    std::string s = readString(value, name, 255);
    if (s.empty() || s == "." || s == ".." ||
        s.find_first_of(std::string("/\\\0", 3)) != std::string::npos)
        throw ScenarioFault{"\"" + name + "\" must be a plain file name"};
    return s;
}

// A direction as [dx, dy]; a step across an edge moves up to 79 cells.
void readDirection(const json& value, const std::string& name, int& dx, int& dy) {
    if (!value.is_array() || value.size() != 2)
        throw ScenarioFault{"\"" + name + "\" must be an array [dx, dy]"};
    dx = readInt(value[0], name + "[0]", -79, 79);
    dy = readInt(value[1], name + "[1]", -79, 79);
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

std::array<int, 8> readKeyBindings(const json& value) {
    if (!value.is_array() || value.size() != 8)
        throw ScenarioFault{"\"keyBindings\" must be an array of 8 key codes"};
    std::array<int, 8> keys{};
    for (size_t i = 0; i < keys.size(); ++i)
        keys[i] = readInt(value[i], "keyBindings[" + std::to_string(i) + "]", 0, kKeyCodeMax);
    return keys;
}

// A state check: [tick, "16 hexadecimal digits"].
StateCheck readCheck(const json& value, size_t position) {
    const std::string where = "outcome.checks[" + std::to_string(position) + "]";
    if (!value.is_array() || value.size() != 2)
        throw ScenarioFault{where + " must be an array [tick, hash]"};
    StateCheck check;
    check.tick = readInt(value[0], where + "[0]", 0, kIntMax);
    const std::string hex = readString(value[1], where + "[1]", 16);
    if (hex.size() != 16 || hex.find_first_not_of("0123456789abcdef") != std::string::npos)
        throw ScenarioFault{where + "[1] must be 16 lower-case hexadecimal digits"};
    check.hash = std::stoull(hex, nullptr, 16);
    return check;
}

RecordedOutcome readOutcome(const json& value) {
    if (!value.is_object()) throw ScenarioFault{"\"outcome\" must be an object"};
    RecordedOutcome o;
    for (const auto& [key, field] : value.items()) {
        const std::string name = "outcome." + key;
        if (key == "result") {
            o.result = readString(field, name, 1000);
        } else if (key == "ticks") {
            o.ticks = readInt(field, name, 0, kIntMax);
        } else if (key == "redWins") {
            o.redWins = readCount(field, name);
        } else if (key == "blueWins") {
            o.blueWins = readCount(field, name);
        } else if (key == "redDead") {
            o.redDead = readBool(field, name);
        } else if (key == "blueDead") {
            o.blueDead = readBool(field, name);
        } else if (key == "checks") {
            if (!field.is_array()) throw ScenarioFault{"\"outcome.checks\" must be an array"};
            for (size_t i = 0; i < field.size(); ++i) {
                o.checks.push_back(readCheck(field[i], i));
                if (i > 0 && o.checks[i].tick <= o.checks[i - 1].tick)
                    throw ScenarioFault{"\"outcome.checks\" must be in order of ticks"};
            }
        } else {
            throw ScenarioFault{"unknown outcome field \"" + key + "\""};
        }
    }
    return o;
}

ScenarioEvent readEvent(const json& value, size_t position) {
    const std::string where = "events[" + std::to_string(position) + "]";
    if (!value.is_object()) throw ScenarioFault{where + " must be an object"};
    ScenarioEvent event;
    bool haveTick = false, haveKind = false;
    for (const auto& [key, field] : value.items()) {
        if (key == "tick") {
            event.tick = readInt(field, where + ".tick", 0, kIntMax);
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
            s.growthPerFood = readInt(value, key, std::numeric_limits<int>::min(), kIntMax);
        } else if (key == "startLength") {
            s.startLength = readInt(value, key, 1, kMostStartLength);
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
        } else if (key == "levelFile") {
            s.levelFile = readFileName(value, key);
        } else if (key == "endlessGrowth") {
            s.endlessGrowth = readBool(value, key);
        } else if (key == "onePlayer") {
            s.onePlayer = readBool(value, key);
        } else if (key == "keyBindings") {
            s.keyBindings = readKeyBindings(value);
        } else if (key == "redPrev") {
            readDirection(value, key, s.carried.redPrevDx, s.carried.redPrevDy);
        } else if (key == "bluePrev") {
            readDirection(value, key, s.carried.bluePrevDx, s.carried.bluePrevDy);
        } else if (key == "redGrowNow") {
            s.carried.redGrowNow = readBool(value, key);
        } else if (key == "blueGrowNow") {
            s.carried.blueGrowNow = readBool(value, key);
        } else if (key == "foodFrame") {
            s.carried.foodFrame = readInt(value, key, 0, 2);
        } else if (key == "redWins") {
            s.carried.redWins = readCount(value, key);
        } else if (key == "blueWins") {
            s.carried.blueWins = readCount(value, key);
        } else if (key == "outcome") {
            s.outcome = readOutcome(value);
        } else if (key == "version") {
            s.version = readString(value, key, 100);
        } else if (key == "date") {
            s.date = readString(value, key, 100);
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

}  // namespace zib
