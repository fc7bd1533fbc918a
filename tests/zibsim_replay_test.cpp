// Replays every scenario in tests/scenarios: NAME.json is the scenario, NAME.expect.json the
// outcome worked out by hand from the rules ("why" says how), with the whole end line and, per
// tick, the fields that the reasoning fixes (objects compare field by field, arrays and numbers
// exactly).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "zibsim_test_support.h"

namespace zibsim {
namespace {

using testing::json;
namespace fs = std::filesystem;

const fs::path kScenarioFolder = fs::path(ZIB_SOURCE_DIR) / "tests" / "scenarios";
constexpr const char* kExpectSuffix = ".expect.json";

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<std::string> scenarioNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kScenarioFolder)) {
        std::string file = entry.path().filename().string();
        if (endsWith(file, ".json") && !endsWith(file, kExpectSuffix))
            names.push_back(file.substr(0, file.size() - 5));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every field of expected is in actual with the same value; objects may hold more fields.
void expectSubset(const json& expected, const json& actual, const std::string& where) {
    if (expected.is_object()) {
        ASSERT_TRUE(actual.is_object()) << where << ": " << actual.dump();
        for (const auto& [key, value] : expected.items()) {
            ASSERT_TRUE(actual.contains(key)) << where << ": no field " << key;
            expectSubset(value, actual[key], where + "." + key);
        }
    } else {
        EXPECT_EQ(expected, actual) << where;
    }
}

class ZibsimReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(ZibsimReplay, EndsAsWorkedOutByHand) {
    const std::string name = GetParam();
    const fs::path expectPath = kScenarioFolder / (name + kExpectSuffix);
    ASSERT_TRUE(fs::exists(expectPath)) << "every scenario needs its " << kExpectSuffix;
    const json expect = json::parse(readText(expectPath));
    ASSERT_TRUE(expect.contains("why")) << "say how the outcome was worked out";
    ASSERT_TRUE(expect.contains("end"));

    testing::SimResult r = testing::simulateText(readText(kScenarioFolder / (name + ".json")));
    ASSERT_EQ(r.exitCode, kRan) << r.err;
    ASSERT_FALSE(r.lines.empty());

    // Lines t = 0, 1, ..., n, then the end line.
    const json& end = r.lines.back();
    ASSERT_TRUE(end.contains("end")) << end.dump();
    int ticks = end["end"].is_null() ? end["ticks"].get<int>() : end["end"]["ticks"].get<int>();
    ASSERT_EQ(r.lines.size(), static_cast<size_t>(ticks) + 2);
    for (int t = 0; t <= ticks; ++t) ASSERT_EQ(r.lines[static_cast<size_t>(t)]["t"], t);

    EXPECT_EQ(end, expect["end"]);
    if (expect.contains("lines"))
        for (const auto& [tick, fields] : expect["lines"].items())
            expectSubset(fields, r.at(std::stoi(tick)), name + " t=" + tick);

    // The quiet run prints just the same end line.
    testing::SimResult quiet =
        testing::simulateText(readText(kScenarioFolder / (name + ".json")), true);
    ASSERT_EQ(quiet.lines.size(), 1u);
    EXPECT_EQ(quiet.lines[0], end);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ZibsimReplay, ::testing::ValuesIn(scenarioNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string n = info.param;
                             std::replace_if(
                                 n.begin(), n.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return n;
                         });

}  // namespace
}  // namespace zibsim
