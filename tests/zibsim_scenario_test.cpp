// Reading zibsim scenarios: the defaults, every field, and the faults that must be refused with
// exit status 2 before any game runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "zibsim/scenario.h"
#include "zibsim_test_support.h"

namespace zibsim {
namespace {

constexpr const char* kLevel = R"("bg.bmp,100,550,1,0\n100,570,1,0\n")";

std::string withLevel(const std::string& fields) {
    std::string s = std::string("{\"level\": ") + kLevel;
    if (!fields.empty()) s += ", " + fields;
    return s + "}";
}

TEST(ZibsimScenario, DefaultsFollowTheFormat) {
    auto s = parseScenario(withLevel(""));
    ASSERT_TRUE(s) << s.error();
    EXPECT_EQ(s->level, "bg.bmp,100,550,1,0\n100,570,1,0\n");
    EXPECT_EQ(s->gameSpeed, 0);
    EXPECT_EQ(s->growthPerFood, 1);
    EXPECT_EQ(s->startLength, 10);
    EXPECT_EQ(s->gameMode, 2);
    EXPECT_FALSE(s->demo);
    EXPECT_FALSE(s->freeMode);
    EXPECT_EQ(s->seed, 0u);
    EXPECT_TRUE(s->events.empty());
    EXPECT_EQ(s->maxTicks, 10000);
}

TEST(ZibsimScenario, ReadsEveryField) {
    auto s = parseScenario(
        withLevel(R"("gameSpeed": 33, "growthPerFood": 0, "startLength": 2, "gameMode": 3,
                     "demo": true, "free": true, "seed": 18446744073709551615, "maxTicks": 0,
                     "events": [{"tick": 4, "down": 38}, {"press": 27, "tick": 2}])"));
    ASSERT_TRUE(s) << s.error();
    EXPECT_EQ(s->gameSpeed, 33);
    EXPECT_EQ(s->growthPerFood, 0);
    EXPECT_EQ(s->startLength, 2);
    EXPECT_EQ(s->gameMode, 3);
    EXPECT_TRUE(s->demo);
    EXPECT_TRUE(s->freeMode);
    EXPECT_EQ(s->seed, 18446744073709551615ull);
    EXPECT_EQ(s->maxTicks, 0);
    ASSERT_EQ(s->events.size(), 2u);
    EXPECT_EQ(s->events[0].tick, 4);
    EXPECT_EQ(s->events[0].kind, ScenarioEvent::Kind::Down);
    EXPECT_EQ(s->events[0].code, 38);
    EXPECT_EQ(s->events[1].tick, 2);
    EXPECT_EQ(s->events[1].kind, ScenarioEvent::Kind::Press);
    EXPECT_EQ(s->events[1].code, 27);
}

struct BadCase {
    const char* name;
    std::string text;
    const char* mentions;  // a word the message must contain
};

class ZibsimBadScenario : public ::testing::TestWithParam<BadCase> {};

TEST_P(ZibsimBadScenario, IsRefusedWithExitTwo) {
    const BadCase& c = GetParam();
    const auto read = parseScenario(c.text);
    ASSERT_FALSE(read);
    EXPECT_NE(read.error().find(c.mentions), std::string::npos) << read.error();

    testing::SimResult r = testing::simulateText(c.text);
    EXPECT_EQ(r.exitCode, kBadScenario);
    EXPECT_EQ(r.out, "") << "nothing runs for a bad scenario";
    EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ZibsimBadScenario,
    ::testing::Values(
        BadCase{"NotJson", "{\"level\": ", "JSON"}, BadCase{"NotAnObject", "[1, 2]", "object"},
        BadCase{"NoLevel", "{\"seed\": 1}", "level"},
        BadCase{"LevelNotText", "{\"level\": 5}", "level"},
        BadCase{"SpeedAsText", withLevel(R"("gameSpeed": "5")"), "gameSpeed"},
        BadCase{"SpeedFraction", withLevel(R"("gameSpeed": 1.5)"), "gameSpeed"},
        BadCase{"SpeedNegative", withLevel(R"("gameSpeed": -1)"), "gameSpeed"},
        BadCase{"SpeedTooLarge", withLevel(R"("gameSpeed": 4294967296)"), "gameSpeed"},
        BadCase{"GrowthBeyondInt", withLevel(R"("growthPerFood": -2147483649)"), "growthPerFood"},
        BadCase{"StartLengthZero", withLevel(R"("startLength": 0)"), "startLength"},
        BadCase{"ModeFour", withLevel(R"("gameMode": 4)"), "gameMode"},
        BadCase{"ModeZero", withLevel(R"("gameMode": 0)"), "gameMode"},
        BadCase{"DemoAsNumber", withLevel(R"("demo": 1)"), "demo"},
        BadCase{"FreeAsText", withLevel(R"("free": "yes")"), "free"},
        BadCase{"SeedNegative", withLevel(R"("seed": -1)"), "seed"},
        BadCase{"SeedFraction", withLevel(R"("seed": 0.5)"), "seed"},
        BadCase{"MaxTicksNegative", withLevel(R"("maxTicks": -5)"), "maxTicks"},
        BadCase{"EventsNotArray", withLevel(R"("events": {"tick": 1, "down": 38})"), "events"},
        BadCase{"EventNotObject", withLevel(R"("events": [38])"), "events[0]"},
        BadCase{"EventTickNegative", withLevel(R"("events": [{"tick": -1, "down": 38}])"), "tick"},
        BadCase{"EventTickMissing", withLevel(R"("events": [{"down": 38}])"), "tick"},
        BadCase{"EventKindUnknown", withLevel(R"("events": [{"tick": 1, "up": 38}])"), "up"},
        BadCase{"EventKindMissing", withLevel(R"("events": [{"tick": 1}])"), "down"},
        BadCase{"EventBothKinds", withLevel(R"("events": [{"tick": 1, "down": 38, "press": 27}])"),
                "only one"},
        BadCase{"EventCodeText", withLevel(R"("events": [{"tick": 1, "down": "W"}])"), "down"},
        BadCase{"EventCodeNegative", withLevel(R"("events": [{"tick": 1, "press": -27}])"),
                "press"},
        BadCase{"EventCodeAbove16Bits", withLevel(R"("events": [{"tick": 1, "down": 65536}])"),
                "down"},
        BadCase{"SecondEventBad",
                withLevel(R"("events": [{"tick": 1, "down": 38}, {"tick": "2", "down": 38}])"),
                "events[1]"},
        BadCase{"UnknownField", withLevel(R"("gamespeed": 5)"), "gamespeed"},
        // The fields of replays.
        BadCase{"LevelFileWithFolder", withLevel(R"("levelFile": "../x.zq7")"), "levelFile"},
        BadCase{"LevelFileEmpty", withLevel(R"("levelFile": "")"), "levelFile"},
        BadCase{"KeyBindingsShort", withLevel(R"("keyBindings": [1, 2, 3])"), "keyBindings"},
        BadCase{"KeyBindingAbove16Bits",
                withLevel(R"("keyBindings": [1, 2, 3, 4, 5, 6, 7, 65536])"), "keyBindings[7]"},
        BadCase{"PrevBeyondAWrap", withLevel(R"("bluePrev": [80, 0])"), "bluePrev[0]"},
        BadCase{"PrevNotAPair", withLevel(R"("redPrev": [1])"), "redPrev"},
        BadCase{"FoodFrameThree", withLevel(R"("foodFrame": 3)"), "foodFrame"},
        BadCase{"WinsNegative", withLevel(R"("redWins": -1)"), "redWins"},
        BadCase{"GrowNowAsNumber", withLevel(R"("blueGrowNow": 1)"), "blueGrowNow"},
        BadCase{"OutcomeUnknownField", withLevel(R"("outcome": {"winner": 1})"), "winner"},
        BadCase{"OutcomeTicksNegative", withLevel(R"("outcome": {"ticks": -1})"), "outcome.ticks"},
        BadCase{"CheckHashShort", withLevel(R"("outcome": {"checks": [[64, "abc"]]})"),
                "checks[0][1]"},
        BadCase{"ChecksOutOfOrder", withLevel(R"("outcome": {"checks": [[64, "0000000000000001"],
                                                    [64, "0000000000000002"]]})"),
                "order"},
        BadCase{"VersionNotText", withLevel(R"("version": 1)"), "version"},
        // The limits of ZIB.ini.
        BadCase{"SpeedAboveTheSettings", withLevel(R"("gameSpeed": 1001)"), "1000"},
        BadCase{"StartLengthAboveTheSettings", withLevel(R"("startLength": 10000)"), "9999"},
        BadCase{"GrowthAboveTheSettings", withLevel(R"("growthPerFood": 10000)"), "9999"},
        // Pictures by bare name only, as the network's levels.
        BadCase{"BackgroundAbove",
                R"({"level": "\"../../tmp/x/magenta.bmp\",100,550,1,0\n100,570,1,0\n"})",
                "../../tmp/x/magenta.bmp"},
        BadCase{"TextureAbsolute",
                R"({"level": "bg.bmp,100,550,1,0\n100,570,1,0\n0,0,10,10,/tmp/x/magenta.bmp\n"})",
                "/tmp/x/magenta.bmp"},
        BadCase{"TextureInAFolder",
                R"({"level": "bg.bmp,100,550,1,0\n100,570,1,0\n0,0,10,10,\"kovy\\\\a.bmp\"\n"})",
                "kovy"},
        // Sizes that would cost memory before anything is refused.
        BadCase{"LevelAboveTheLevelLimit",
                "{\"level\": \"" + std::string(zib::kLargestLevelFile + 1, ' ') + "\"}", "level"},
        BadCase{"NestedTooDeep",
                withLevel("\"events\": " + std::string(17, '[') + std::string(17, ']')), "nested"}),
    [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST(ZibsimScenario, TheSizeIsCheckedBeforeAnythingIsRead) {
    // A file one byte over the limit, without the bytes (a sparse file), is refused unread.
    const std::string path = ::testing::TempDir() + "zib_large_scenario.json";
    { std::ofstream(path, std::ios::binary) << withLevel(""); }
    std::string text;
    EXPECT_EQ(zib::readScenarioFile(path, text), zib::FileRead::Ok);
    ASSERT_EQ(::truncate(path.c_str(), zib::kLargestScenarioText + 1), 0);
    EXPECT_EQ(zib::readScenarioFile(path, text), zib::FileRead::TooLarge);
    std::remove(path.c_str());

    // Text as large, from standard input, is refused before it is parsed.
    const auto large = parseScenario(withLevel("") + std::string(zib::kLargestScenarioText, ' '));
    ASSERT_FALSE(large);
    EXPECT_NE(large.error().find("64 MiB"), std::string::npos) << large.error();
}

}  // namespace
}  // namespace zibsim
