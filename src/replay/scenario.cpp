#include "replay/scenario.h"

#include <limits>
#include <nlohmann/json.hpp>
#include <variant>

#include "game/level_file.h"
#include "state/settings_limits.h"

namespace zib {
namespace {

using nlohmann::json;

// Stores a read value, or passes its failure on.
template <typename Into, typename T>
Status store(Into& into, Result<T> read) {
    if (!read) return read.failure();
    into = std::move(*read);
    return {};
}

Result<int> readInt(const json& value, const std::string& name, long long low, long long high) {
    if (!value.is_number_integer()) return Failure{"\"" + name + "\" must be an integer"};
    // Large non-negative numbers are read as unsigned; they are out of range here anyway.
    bool tooLarge =
        value.is_number_unsigned() && value.get<uint64_t>() > static_cast<uint64_t>(high);
    long long v = tooLarge ? high : value.get<long long>();
    if (tooLarge || v < low || v > high)
        return Failure{"\"" + name + "\" must be between " + std::to_string(low) + " and " +
                       std::to_string(high)};
    return static_cast<int>(v);
}

Result<long long> readCount(const json& value, const std::string& name) {
    constexpr long long kCountMax = 1LL << 53;  // exact in any JSON reader
    if (!value.is_number_integer()) return Failure{"\"" + name + "\" must be an integer"};
    const bool tooLarge =
        value.is_number_unsigned() && value.get<uint64_t>() > static_cast<uint64_t>(kCountMax);
    const long long v = tooLarge ? kCountMax : value.get<long long>();
    if (tooLarge || v < 0 || v > kCountMax)
        return Failure{"\"" + name + "\" must be between 0 and " + std::to_string(kCountMax)};
    return v;
}

Result<std::string> readString(const json& value, const std::string& name, size_t longest) {
    if (!value.is_string()) return Failure{"\"" + name + "\" must be a string"};
    std::string s = value.get<std::string>();
    if (s.size() > longest)
        return Failure{"\"" + name + "\" must not be longer than " + std::to_string(longest)};
    return s;
}

// A level's file name: a bare name, so that a replay can never name a file elsewhere.
Result<std::string> readFileName(const json& value, const std::string& name) {
    Result<std::string> s = readString(value, name, 255);
    if (!s) return s;
    if (s->empty() || *s == "." || *s == ".." ||
        s->find_first_of(std::string("/\\\0", 3)) != std::string::npos)
        return Failure{"\"" + name + "\" must be a plain file name"};
    return s;
}

// A direction as [dx, dy]; a step across an edge moves up to 79 cells.
Status readDirection(const json& value, const std::string& name, int& dx, int& dy) {
    if (!value.is_array() || value.size() != 2)
        return Failure{"\"" + name + "\" must be an array [dx, dy]"};
    if (Status read = store(dx, readInt(value[0], name + "[0]", -79, 79)); !read) return read;
    return store(dy, readInt(value[1], name + "[1]", -79, 79));
}

Result<bool> readBool(const json& value, const std::string& name) {
    if (!value.is_boolean()) return Failure{"\"" + name + "\" must be true or false"};
    return value.get<bool>();
}

Result<uint64_t> readSeed(const json& value) {
    if (!value.is_number_integer()) return Failure{"\"seed\" must be an integer"};
    if (!value.is_number_unsigned()) return Failure{"\"seed\" must not be negative"};
    return value.get<uint64_t>();
}

constexpr long long kIntMax = std::numeric_limits<int>::max();
constexpr long long kKeyCodeMax = 0xFFFF;  // key and character codes are 16-bit

Result<std::array<int, 8>> readKeyBindings(const json& value) {
    if (!value.is_array() || value.size() != 8)
        return Failure{"\"keyBindings\" must be an array of 8 key codes"};
    std::array<int, 8> keys{};
    for (size_t i = 0; i < keys.size(); ++i) {
        Status read = store(
            keys[i], readInt(value[i], "keyBindings[" + std::to_string(i) + "]", 0, kKeyCodeMax));
        if (!read) return read.failure();
    }
    return keys;
}

// A state check: [tick, "16 hexadecimal digits"].
Result<StateCheck> readCheck(const json& value, size_t position) {
    const std::string where = "outcome.checks[" + std::to_string(position) + "]";
    if (!value.is_array() || value.size() != 2)
        return Failure{where + " must be an array [tick, hash]"};
    StateCheck check;
    if (Status read = store(check.tick, readInt(value[0], where + "[0]", 0, kIntMax)); !read)
        return read.failure();
    const Result<std::string> hex = readString(value[1], where + "[1]", 16);
    if (!hex) return hex.failure();
    if (hex->size() != 16 || hex->find_first_not_of("0123456789abcdef") != std::string::npos)
        return Failure{where + "[1] must be 16 lower-case hexadecimal digits"};
    check.hash = std::stoull(*hex, nullptr, 16);
    return check;
}

Result<std::vector<StateCheck>> readChecks(const json& value) {
    if (!value.is_array()) return Failure{"\"outcome.checks\" must be an array"};
    std::vector<StateCheck> checks;
    for (size_t i = 0; i < value.size(); ++i) {
        Result<StateCheck> check = readCheck(value[i], i);
        if (!check) return check.failure();
        checks.push_back(*check);
        if (i > 0 && checks[i].tick <= checks[i - 1].tick)
            return Failure{"\"outcome.checks\" must be in order of ticks"};
    }
    return checks;
}

Status readOutcomeField(RecordedOutcome& o, const std::string& key, const json& field) {
    const std::string name = "outcome." + key;
    if (key == "result") return store(o.result, readString(field, name, 1000));
    if (key == "ticks") return store(o.ticks, readInt(field, name, 0, kIntMax));
    if (key == "redWins") return store(o.redWins, readCount(field, name));
    if (key == "blueWins") return store(o.blueWins, readCount(field, name));
    if (key == "redDead") return store(o.redDead, readBool(field, name));
    if (key == "blueDead") return store(o.blueDead, readBool(field, name));
    if (key == "checks") return store(o.checks, readChecks(field));
    return Failure{"unknown outcome field \"" + key + "\""};
}

Result<RecordedOutcome> readOutcome(const json& value) {
    if (!value.is_object()) return Failure{"\"outcome\" must be an object"};
    RecordedOutcome o;
    for (const auto& [key, field] : value.items())
        if (Status read = readOutcomeField(o, key, field); !read) return read.failure();
    return o;
}

Result<ScenarioEvent> readEvent(const json& value, size_t position) {
    const std::string where = "events[" + std::to_string(position) + "]";
    if (!value.is_object()) return Failure{where + " must be an object"};
    ScenarioEvent event;
    bool haveTick = false, haveKind = false;
    for (const auto& [key, field] : value.items()) {
        if (key == "tick") {
            if (Status read = store(event.tick, readInt(field, where + ".tick", 0, kIntMax)); !read)
                return read.failure();
            haveTick = true;
        } else if (key == "down" || key == "press") {
            if (haveKind) return Failure{where + " must hold only one of \"down\" and \"press\""};
            event.kind = key == "down" ? ScenarioEvent::Kind::Down : ScenarioEvent::Kind::Press;
            if (Status read = store(event.code, readInt(field, where + "." + key, 0, kKeyCodeMax));
                !read)
                return read.failure();
            haveKind = true;
        } else {
            return Failure{where + ": unknown event field \"" + key + "\""};
        }
    }
    if (!haveTick) return Failure{where + " has no \"tick\""};
    if (!haveKind) return Failure{where + " needs \"down\" or \"press\""};
    return event;
}

// The level's pictures are looked up by bare name only. A level that does not parse names none:
// the level loader reports it.
Status checkPictureNames(const std::string& level) {
    const auto parsed = parseLevel(level, "level");
    const auto* file = std::get_if<LevelFile>(&parsed);
    if (!file) return {};
    auto check = [](const std::string& name) -> Status {
        if (!name.empty() && !isBareFileName(name))
            return Failure{"\"level\" names the picture \"" + name +
                           "\", which is not a plain file name"};
        return {};
    };
    if (Status bare = check(file->background); !bare) return bare;
    for (const LevelWall& wall : file->walls)
        if (Status bare = check(wall.texture); !bare) return bare;
    return {};
}

// Whether the text nests arrays and objects deeper than allowed; brackets inside strings do not
// count.
bool nestsTooDeep(const std::string& text) {
    int depth = 0;
    bool inString = false, escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kDeepestScenarioNesting) return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

Result<std::vector<ScenarioEvent>> readEvents(const json& value) {
    if (!value.is_array()) return Failure{"\"events\" must be an array"};
    std::vector<ScenarioEvent> events;
    for (size_t i = 0; i < value.size(); ++i) {
        Result<ScenarioEvent> event = readEvent(value[i], i);
        if (!event) return event.failure();
        events.push_back(*event);
    }
    return events;
}

Result<std::string> readLevel(const json& value) {
    return readString(value, "level", kLargestLevelFile);
}

Status readField(Scenario& s, const std::string& key, const json& value) {
    if (key == "level") return store(s.level, readLevel(value));
    if (key == "gameSpeed") return store(s.gameSpeed, readInt(value, key, 0, kLargestGameSpeed));
    if (key == "growthPerFood")
        return store(s.growthPerFood,
                     readInt(value, key, std::numeric_limits<int>::min(), kLargestGrowthPerFood));
    if (key == "startLength")
        return store(s.startLength, readInt(value, key, 1, kLargestStartLength));
    if (key == "gameMode") return store(s.gameMode, readInt(value, key, 1, 3));
    if (key == "demo") return store(s.demo, readBool(value, key));
    if (key == "free") return store(s.freeMode, readBool(value, key));
    if (key == "seed") return store(s.seed, readSeed(value));
    if (key == "events") return store(s.events, readEvents(value));
    if (key == "maxTicks") return store(s.maxTicks, readInt(value, key, 0, kIntMax));
    if (key == "levelFile") return store(s.levelFile, readFileName(value, key));
    if (key == "endlessGrowth") return store(s.endlessGrowth, readBool(value, key));
    if (key == "onePlayer") return store(s.onePlayer, readBool(value, key));
    if (key == "keyBindings") return store(s.keyBindings, readKeyBindings(value));
    if (key == "redPrev")
        return readDirection(value, key, s.carried.redPrevDx, s.carried.redPrevDy);
    if (key == "bluePrev")
        return readDirection(value, key, s.carried.bluePrevDx, s.carried.bluePrevDy);
    if (key == "redGrowNow") return store(s.carried.redGrowNow, readBool(value, key));
    if (key == "blueGrowNow") return store(s.carried.blueGrowNow, readBool(value, key));
    if (key == "foodFrame") return store(s.carried.foodFrame, readInt(value, key, 0, 2));
    if (key == "redWins") return store(s.carried.redWins, readCount(value, key));
    if (key == "blueWins") return store(s.carried.blueWins, readCount(value, key));
    if (key == "outcome") return store(s.outcome, readOutcome(value));
    if (key == "version") return store(s.version, readString(value, key, 100));
    if (key == "date") return store(s.date, readString(value, key, 100));
    return Failure{"unknown field \"" + key + "\""};
}

Result<Scenario> readScenario(const json& root) {
    if (!root.is_object()) return Failure{"the scenario must be a JSON object"};
    Scenario s;
    bool haveLevel = false;
    for (const auto& [key, value] : root.items()) {
        if (Status read = readField(s, key, value); !read) return read.failure();
        haveLevel = haveLevel || key == "level";
    }
    if (!haveLevel) return Failure{"\"level\" is missing"};
    if (Status bare = checkPictureNames(s.level); !bare) return bare.failure();
    return s;
}

}  // namespace

Result<Scenario> parseScenario(const std::string& text) {
    if (text.size() > kLargestScenarioText)
        return Failure{"larger than " + std::to_string(kLargestScenarioText >> 20) + " MiB"};
    if (nestsTooDeep(text))
        return Failure{"nested deeper than " + std::to_string(kDeepestScenarioNesting) + " levels"};
    // The JSON reader reports its faults by exceptions; they end here.
    json root;
    try {
        root = json::parse(text);
    } catch (const json::exception& e) {
        return Failure{std::string("not valid JSON: ") + e.what()};
    }
    try {
        return readScenario(root);
    } catch (const json::exception& e) {
        return Failure{e.what()};
    }
}

FileRead readScenarioFile(const std::string& path, std::string& text) {
    return readNamedInput(path == "-" ? "/dev/stdin" : path, text, kLargestScenarioText);
}

}  // namespace zib
