#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "menu/configuration.h"
#include "menu/key_names.h"
#include "menu/speed_gauge.h"
#include "state/game_mode.h"

namespace zib {
namespace {

using Keys = std::array<int, 8>;

struct ReadCase {
    const char* name;
    std::string text;
    Keys keys;
    int gameSpeed;
    std::string levelName;
    int growthPerFood, startLength, gameMode;
};

class ReadConfiguration : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadConfiguration, ReadsThirteenFields) {
    const ReadCase& c = GetParam();
    ConfigurationLoad load = readConfiguration(c.text);
    ASSERT_EQ(load.status, ConfigurationStatus::Ok) << load.message;
    EXPECT_EQ(load.message, "");
    EXPECT_EQ(load.settings.keyBindings, c.keys);
    EXPECT_EQ(load.settings.gameSpeed, c.gameSpeed);
    EXPECT_EQ(load.settings.levelName, c.levelName);
    EXPECT_EQ(load.settings.growthPerFood, c.growthPerFood);
    EXPECT_EQ(load.settings.startLength, c.startLength);
    EXPECT_EQ(load.settings.gameMode, c.gameMode);
}

const Keys kWasd = {87, 38, 83, 40, 68, 39, 65, 37};

INSTANTIATE_TEST_SUITE_P(
    Files, ReadConfiguration,
    ::testing::Values(
        ReadCase{"asWritten", "87,38,83,40,68,39,65,37\r\n46,abc.zq7,5,10,2\r\n", kWasd, 46,
                 "abc.zq7", 5, 10, 2},
        ReadCase{"lineFeedsOnly",
                 "1,2,3,4,5,6,7,8\n0,x.zq7,20,200,3\n",
                 {1, 2, 3, 4, 5, 6, 7, 8},
                 0,
                 "x.zq7",
                 20,
                 200,
                 3},
        ReadCase{"oneLine",
                 "1,2,3,4,5,6,7,8,33,x.zq7,1,10,1",
                 {1, 2, 3, 4, 5, 6, 7, 8},
                 33,
                 "x.zq7",
                 1,
                 10,
                 1},
        ReadCase{"everyFieldOnItsLine",
                 "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\nx\r\n1\r\n2\r\n3",
                 {1, 2, 3, 4, 5, 6, 7, 8},
                 9,
                 "x",
                 1,
                 2,
                 3},
        ReadCase{"leadingSpaces", "  87, 38,83,40,68,39,65,37\r\n 46,   lead.zq7, 5,10,2\r\n",
                 kWasd, 46, "lead.zq7", 5, 10, 2},
        ReadCase{"quotedName", "87,38,83,40,68,39,65,37\r\n46,\"a,b.zq7\",5,10,2\r\n", kWasd, 46,
                 "a,b.zq7", 5, 10, 2},
        ReadCase{"extraFieldsIgnored", "87,38,83,40,68,39,65,37\r\n46,a.zq7,5,10,2,99\r\nxyz\r\n",
                 kWasd, 46, "a.zq7", 5, 10, 2},
        // Values the menu cannot reach stay as read.
        ReadCase{"speedOutOfRange", "87,38,83,40,68,39,65,37\r\n150,a.zq7,5,10,2\r\n", kWasd, 150,
                 "a.zq7", 5, 10, 2},
        ReadCase{"negativeSpeed", "87,38,83,40,68,39,65,37\r\n-7,a.zq7,5,10,2\r\n", kWasd, -7,
                 "a.zq7", 5, 10, 2},
        ReadCase{"unknownMode", "87,38,83,40,68,39,65,37\r\n46,a.zq7,0,195,7\r\n", kWasd, 46,
                 "a.zq7", 0, 195, 7},
        ReadCase{"fractionRoundsHalfToEven", "87,38,83,40,68,39,65,37\r\n46.5,a.zq7,5.5,10,2\r\n",
                 kWasd, 46, "a.zq7", 6, 10, 2},
        ReadCase{"emptyNumberIsZero", "87,38,83,40,68,39,65,37\r\n,a.zq7,5,10,2\r\n", kWasd, 0,
                 "a.zq7", 5, 10, 2},
        ReadCase{"numericLevelName", "87,38,83,40,68,39,65,37\r\n46,12,5,10,2\r\n", kWasd, 46, "12",
                 5, 10, 2},
        // Every size a game can use is kept, however far outside the menu's ranges.
        ReadCase{"shortStart", "87,38,83,40,68,39,65,37\r\n46,a.zq7,5,5,2\r\n", kWasd, 46, "a.zq7",
                 5, 5, 2},
        ReadCase{"longStart", "87,38,83,40,68,39,65,37\r\n46,a.zq7,30,300,2\r\n", kWasd, 46,
                 "a.zq7", 30, 300, 2},
        ReadCase{"largestSizes", "87,38,83,40,68,39,65,37\r\n1000,a.zq7,9999,9999,2\r\n", kWasd,
                 1000, "a.zq7", 9999, 9999, 2},
        ReadCase{"largestSizesAsFractions",
                 "87,38,83,40,68,39,65,37\r\n1000.5,a.zq7,9999.49,9998.5,2\r\n", kWasd, 1000,
                 "a.zq7", 9999, 9998, 2},
        ReadCase{"smallestInts",
                 "87,38,83,40,68,39,65,37\r\n"
                 "-2147483648,a.zq7,-2147483648,-2147483648,-2147483648\r\n",
                 kWasd, std::numeric_limits<int>::min(), "a.zq7", std::numeric_limits<int>::min(),
                 std::numeric_limits<int>::min(), std::numeric_limits<int>::min()},
        ReadCase{"largestMode", "87,38,83,40,68,39,65,37\r\n46,a.zq7,5,10,2147483647\r\n", kWasd,
                 46, "a.zq7", 5, 10, std::numeric_limits<int>::max()},
        ReadCase{"keyCodesBeyondAByte",
                 "-32768,32767,0,256,-1,39,65,37\r\n46,a.zq7,5,10,2\r\n",
                 {-32768, 32767, 0, 256, -1, 39, 65, 37},
                 46,
                 "a.zq7",
                 5,
                 10,
                 2}),
    [](const auto& info) { return std::string(info.param.name); });

struct DamagedCase {
    const char* name;
    std::string text;
    const char* why;  // part of the message
};

class DamagedConfiguration : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedConfiguration, GivesTheDefaultsAndSaysWhy) {
    const DamagedCase& c = GetParam();
    ConfigurationLoad load = readConfiguration(c.text);
    EXPECT_EQ(load.status, ConfigurationStatus::Damaged);
    EXPECT_NE(load.message.find("Soubor ZIB.ini je poškozený"), std::string::npos) << load.message;
    EXPECT_NE(load.message.find("výchozí nastavení"), std::string::npos) << load.message;
    EXPECT_NE(load.message.find(c.why), std::string::npos) << load.message;

    Settings defaults = defaultSettings();
    EXPECT_EQ(load.settings.keyBindings, defaults.keyBindings);
    EXPECT_EQ(load.settings.gameSpeed, defaults.gameSpeed);
    EXPECT_EQ(load.settings.levelName, defaults.levelName);
    EXPECT_EQ(load.settings.growthPerFood, defaults.growthPerFood);
    EXPECT_EQ(load.settings.startLength, defaults.startLength);
    EXPECT_EQ(load.settings.gameMode, defaults.gameMode);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedConfiguration,
    ::testing::Values(
        DamagedCase{"empty", "", "jen 0 z 13"},
        DamagedCase{"blankLines", "\r\n\r\n  \r\n", "jen 0 z 13"},
        DamagedCase{"firstLineOnly", "87,38,83,40,68,39,65,37\r\n", "jen 8 z 13"},
        DamagedCase{"twelveFields", "87,38,83,40,68,39,65,37\r\n46,a.zq7,5,10\r\n", "jen 12 z 13"},
        DamagedCase{"letterForAKey", "87,38,W,40,68,39,65,37\r\n46,a.zq7,5,10,2\r\n",
                    "údaj č. 3 na řádku 1 není číslo"},
        DamagedCase{"letterForTheMode", "87,38,83,40,68,39,65,37\r\n46,a.zq7,5,10,x\r\n",
                    "údaj č. 13 na řádku 2 není číslo"},
        DamagedCase{"nameWhereTheSpeedBelongs", "87,38,83,40,68,39,65,37\r\na.zq7,5,10,2\r\n",
                    "údaj č. 9 na řádku 2 není číslo"},
        DamagedCase{"keyCodeBeyond16Bits", "87,38,83,40,68,39,65,70000\r\n46,a.zq7,5,10,2\r\n",
                    "údaj č. 8 na řádku 1 je mimo rozsah"},
        DamagedCase{"speedBeyondInt", "87,38,83,40,68,39,65,37\r\n9999999999,a.zq7,5,10,2\r\n",
                    "údaj č. 9 na řádku 2 je mimo rozsah"},
        DamagedCase{"keyCodeBelow16Bits", "87,38,83,40,68,39,65,-32769\r\n46,a.zq7,5,10,2\r\n",
                    "údaj č. 8 na řádku 1 je mimo rozsah, nejméně -32768"},
        DamagedCase{"modeBeyondInt", "87,38,83,40,68,39,65,37\r\n46,a.zq7,5,10,2147483648\r\n",
                    "údaj č. 13 na řádku 2 je mimo rozsah, nejvýše 2147483647"},
        // Sizes no game can use: a step that sleeps for days, a start or a growth that only
        // fills memory.
        DamagedCase{"speedAboveASecond", "87,38,83,40,68,39,65,37\r\n1001,a.zq7,5,10,2\r\n",
                    "údaj č. 9 na řádku 2 je mimo rozsah, nejvýše 1000"},
        DamagedCase{"speedOfDays", "87,38,83,40,68,39,65,37\r\n2000000000,a.zq7,5,10,2\r\n",
                    "údaj č. 9 na řádku 2 je mimo rozsah, nejvýše 1000"},
        DamagedCase{"growthOfFiveDigits", "87,38,83,40,68,39,65,37\r\n46,a.zq7,10000,10,2\r\n",
                    "údaj č. 11 na řádku 2 je mimo rozsah, nejvýše 9999"},
        DamagedCase{"growthRoundedToFiveDigits",
                    "87,38,83,40,68,39,65,37\r\n46,a.zq7,9999.5,10,2\r\n",
                    "údaj č. 11 na řádku 2 je mimo rozsah, nejvýše 9999"},
        DamagedCase{"growthLargestInt", "87,38,83,40,68,39,65,37\r\n46,a.zq7,2147483647,10,2\r\n",
                    "údaj č. 11 na řádku 2 je mimo rozsah, nejvýše 9999"},
        DamagedCase{"startOfFiveDigits", "87,38,83,40,68,39,65,37\r\n46,a.zq7,5,10000,2\r\n",
                    "údaj č. 12 na řádku 2 je mimo rozsah, nejvýše 9999"},
        DamagedCase{"startOfMillions", "87,38,83,40,68,39,65,37\r\n46,a.zq7,5,5000000,2\r\n",
                    "údaj č. 12 na řádku 2 je mimo rozsah, nejvýše 9999"},
        DamagedCase{"startLargestInt", "87,38,83,40,68,39,65,37\r\n46,a.zq7,5,2147483647,2\r\n",
                    "údaj č. 12 na řádku 2 je mimo rozsah, nejvýše 9999"},
        DamagedCase{"everySizeTooLarge",
                    "87,38,83,40,68,39,65,37\r\n2147483647,a.zq7,2147483647,2147483647,2\r\n",
                    "(údaj č. 9 na řádku 2 je mimo rozsah, nejvýše 1000)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Configuration, DefaultsAreThoseOfAFirstStart) {
    Settings s = defaultSettings();
    const char* names[] = {"W", "UP", "S", "DOWN", "D", "RIGHT", "A", "LEFT"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(nameOfKey(s.keyBindings[i]), names[i]) << i;
    EXPECT_EQ(s.gameSpeed, speedForPosition(8));
    EXPECT_EQ(s.gameSpeed, 46);
    EXPECT_EQ(s.levelName, "");  // the level check puts the first listed level here
    EXPECT_EQ(s.growthPerFood, 5);
    EXPECT_EQ(s.startLength, 10);
    EXPECT_EQ(s.gameMode, 2);
}

Settings sample(const std::string& levelName) {
    Settings s = defaultSettings();
    s.keyBindings = {1, 300, -2, 40, 68, 39, 65, 37};
    s.gameSpeed = 33;
    s.levelName = levelName;
    s.growthPerFood = 20;
    s.startLength = 205;
    s.gameMode = 3;
    return s;
}

TEST(Configuration, WritesExactlyTwoLines) {
    EXPECT_EQ(writeConfiguration(sample("abc.zq7")),
              "1,300,-2,40,68,39,65,37\r\n33,abc.zq7,20,205,3\r\n");
    Settings odd = defaultSettings();
    odd.gameSpeed = -7;
    odd.gameMode = 0;
    odd.levelName = "";
    EXPECT_EQ(writeConfiguration(odd), "87,38,83,40,68,39,65,37\r\n-7,,5,10,0\r\n");
}

struct NameCase {
    const char* name;
    std::string levelName;
    std::string written;  // as it appears on line 2
};

class LevelNameRoundTrip : public ::testing::TestWithParam<NameCase> {};

TEST_P(LevelNameRoundTrip, ReadsBackAsOneField) {
    const NameCase& c = GetParam();
    Settings s = sample(c.levelName);
    std::string text = writeConfiguration(s);
    EXPECT_EQ(text, "1,300,-2,40,68,39,65,37\r\n33," + c.written + ",20,205,3\r\n");

    ConfigurationLoad load = readConfiguration(text);
    ASSERT_EQ(load.status, ConfigurationStatus::Ok) << load.message;
    EXPECT_EQ(load.settings.levelName, c.levelName);
    EXPECT_EQ(load.settings.keyBindings, s.keyBindings);
    EXPECT_EQ(load.settings.gameSpeed, s.gameSpeed);
    EXPECT_EQ(load.settings.growthPerFood, s.growthPerFood);
    EXPECT_EQ(load.settings.startLength, s.startLength);
    EXPECT_EQ(load.settings.gameMode, s.gameMode);
}

INSTANTIATE_TEST_SUITE_P(
    Names, LevelNameRoundTrip,
    ::testing::Values(NameCase{"plain", "abc.zq7", "abc.zq7"},
                      NameCase{"comma", "a,b.zq7", "\"a,b.zq7\""},
                      NameCase{"leadingSpace", " lead.zq7", "\" lead.zq7\""},
                      NameCase{"innerSpaces", "two words .zq7", "two words .zq7"},
                      NameCase{"innerQuote", "it\"s.zq7", "it\"s.zq7"},
                      NameCase{"czech", "Ďábelská cesta.zq7", "Ďábelská cesta.zq7"},
                      NameCase{"empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct ModeCase {
    int gameMode;
    bool endlessBefore, oneBefore;
    bool endlessAfter, oneAfter;
};

class GameModeFlags : public ::testing::TestWithParam<ModeCase> {};

TEST_P(GameModeFlags, FollowTheMode) {
    const ModeCase& c = GetParam();
    Settings s;
    s.gameMode = c.gameMode;
    s.endlessGrowth = c.endlessBefore;
    s.onePlayer = c.oneBefore;
    applyGameModeFlags(s);
    EXPECT_EQ(s.endlessGrowth, c.endlessAfter);
    EXPECT_EQ(s.onePlayer, c.oneAfter);
    EXPECT_EQ(s.gameMode, c.gameMode);
}

INSTANTIATE_TEST_SUITE_P(Modes, GameModeFlags,
                         ::testing::Values(ModeCase{1, false, true, true, false},
                                           ModeCase{2, true, true, false, false},
                                           ModeCase{3, true, false, false, true},
                                           ModeCase{0, true, true, true, true},
                                           ModeCase{7, false, false, false, false},
                                           ModeCase{4, true, false, true, false}));

// The numbers ZIB.ini stores name the modes; any other number names none.
TEST(GameModeNumbers, NameTheModesOnlyFromOneToThree) {
    const std::pair<int, std::optional<GameMode>> cases[] = {
        {-1, std::nullopt},      {0, std::nullopt},        {1, GameMode::EndlessGrowth},
        {2, GameMode::Classic},  {3, GameMode::OnePlayer}, {4, std::nullopt},
        {256 + 2, std::nullopt},
    };
    for (const auto& [stored, mode] : cases) {
        EXPECT_EQ(gameModeOf(stored), mode) << stored;
        if (mode) {
            EXPECT_EQ(modeNumber(*mode), stored);
        }
    }
}

// Runs each test in a fresh empty current folder.
class ConfigurationFile : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() /
               ("zib_config_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }
    // loadConfiguration, insisting that it found the file here and not beside the test program
    // (whose own ZIB.ini a later save must never overwrite).
    ConfigurationLoad loadHere() const {
        ConfigurationLoad load = loadConfiguration();
        bool here =
            std::filesystem::equivalent(std::filesystem::absolute(load.path).parent_path(), dir_);
        EXPECT_TRUE(here) << load.path;
        if (!here) load.path = (dir_ / "ZIB.ini").string();
        return load;
    }
    static void put(const std::string& name, const std::string& content) {
        std::ofstream(name, std::ios::binary) << content;
    }
    static std::string get(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::filesystem::path dir_;

  private:
    std::filesystem::path previous_;
};

// (The program folder of the tests holds a ZIB.ini of its own, so a missing file is read by path.)
TEST_F(ConfigurationFile, AMissingFileGivesTheDefaultsAndIsWrittenWhereItWasLookedFor) {
    ConfigurationLoad load = loadConfigurationFile("ZIB.ini");
    EXPECT_EQ(load.status, ConfigurationStatus::Missing);
    EXPECT_NE(load.message.find("nebyl nalezen"), std::string::npos);
    EXPECT_EQ(load.settings.gameSpeed, defaultSettings().gameSpeed);
    EXPECT_EQ(load.path, "ZIB.ini");

    Settings chosen = sample("abc.zq7");
    const Status save = saveConfiguration(load.path, chosen, false);
    ASSERT_TRUE(save.ok()) << save.error();
    EXPECT_EQ(get("ZIB.ini"), writeConfiguration(chosen));

    ConfigurationLoad again = loadHere();
    EXPECT_EQ(again.status, ConfigurationStatus::Ok);
    EXPECT_EQ(again.settings.levelName, "abc.zq7");
    EXPECT_EQ(again.settings.startLength, 205);
}

TEST_F(ConfigurationFile, ALowerCaseNameIsTheSameFile) {
    put("zib.ini", "87,38,83,40,68,39,65,37\r\n13,low.zq7,3,30,1\r\n");
    ConfigurationLoad load = loadHere();
    ASSERT_EQ(load.status, ConfigurationStatus::Ok) << load.message;
    EXPECT_EQ(load.settings.levelName, "low.zq7");
    EXPECT_EQ(std::filesystem::path(load.path).filename(), "zib.ini");

    Settings changed = load.settings;
    changed.gameSpeed = 0;
    ASSERT_TRUE(saveConfiguration(load.path, changed, false).ok());
    EXPECT_EQ(get("zib.ini"), writeConfiguration(changed));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);  // no second file beside it
}

TEST_F(ConfigurationFile, ADamagedFileIsKeptAsBadWhenTheNewOneIsWritten) {
    const std::string damaged = "87,38,83\r\ngarbage";
    put("ZIB.ini", damaged);
    ConfigurationLoad load = loadHere();
    ASSERT_EQ(load.status, ConfigurationStatus::Damaged);
    EXPECT_NE(load.message.find("ZIB.ini.bad"), std::string::npos);

    Settings chosen = load.settings;
    chosen.levelName = "first.zq7";
    const Status save = saveConfiguration(load.path, chosen, true);
    ASSERT_TRUE(save.ok()) << save.error();
    EXPECT_EQ(get("ZIB.ini.bad"), damaged);
    EXPECT_EQ(get("ZIB.ini"), writeConfiguration(chosen));
    EXPECT_EQ(loadHere().status, ConfigurationStatus::Ok);
}

TEST_F(ConfigurationFile, ADamagedLowerCaseFileIsKeptUnderTheNameTheMessageGives) {
    put("zib.ini", "1,2,3");
    ConfigurationLoad load = loadHere();
    ASSERT_EQ(load.status, ConfigurationStatus::Damaged);
    ASSERT_TRUE(saveConfiguration(load.path, load.settings, true).ok());
    EXPECT_EQ(get("ZIB.ini.bad"), "1,2,3");
    EXPECT_EQ(get("zib.ini"), writeConfiguration(load.settings));
}

TEST_F(ConfigurationFile, ASizeNoGameCanUseIsKeptAsBadWhenTheNewOneIsWritten) {
    const std::string huge = "87,38,83,40,68,39,65,37\r\n2000000000,a.zq7,5,2147483647,2\r\n";
    put("ZIB.ini", huge);
    ConfigurationLoad load = loadHere();
    ASSERT_EQ(load.status, ConfigurationStatus::Damaged);
    EXPECT_NE(load.message.find("mimo rozsah"), std::string::npos) << load.message;
    EXPECT_EQ(load.settings.gameSpeed, 46);
    EXPECT_EQ(load.settings.startLength, 10);

    ASSERT_TRUE(saveConfiguration(load.path, load.settings, true).ok());
    EXPECT_EQ(get("ZIB.ini.bad"), huge);
    ConfigurationLoad again = loadHere();
    ASSERT_EQ(again.status, ConfigurationStatus::Ok) << again.message;
    EXPECT_EQ(again.settings.gameSpeed, 46);
    EXPECT_EQ(again.settings.startLength, 10);
}

TEST_F(ConfigurationFile, WithoutTheDamagedFlagNoCopyIsMade) {
    put("ZIB.ini", "87,38,83,40,68,39,65,37\r\n46,a.zq7,5,10,2\r\n");
    ConfigurationLoad load = loadHere();
    ASSERT_TRUE(saveConfiguration(load.path, load.settings, false).ok());
    EXPECT_FALSE(std::filesystem::exists("ZIB.ini.bad"));
}

TEST_F(ConfigurationFile, AFailedWriteLeavesTheOldFileAndSaysSo) {
    // A folder in the way of the file: nothing can replace it.
    std::filesystem::create_directories("ZIB.ini/inside");
    const Status save = saveConfiguration((dir_ / "ZIB.ini").string(), defaultSettings(), false);
    ASSERT_FALSE(save.ok());
    EXPECT_NE(save.error().find("nepodařilo uložit"), std::string::npos) << save.error();
    EXPECT_TRUE(std::filesystem::is_directory("ZIB.ini/inside"));

    const Status nowhere =
        saveConfiguration((dir_ / "missing" / "ZIB.ini").string(), defaultSettings(), false);
    ASSERT_FALSE(nowhere.ok());
    EXPECT_NE(nowhere.error(), "");
}

// A damaged file that cannot be kept as ZIB.ini.bad is always reported, whether or not the new
// file could be written, and the message says which; the new file is readable again.
TEST_F(ConfigurationFile, ADamagedFileThatCannotBeKeptIsReported) {
    const struct {
        const char* what;
        bool needsPermissions;  // root reads any file
        void (*prepare)();
        bool written;
        const char* why;
    } cases[] = {
        {"badIsAFolder", false,
         [] {
             put("ZIB.ini", "1,2");
             std::filesystem::create_directories("ZIB.ini.bad/inside");
         },
         true, "(zápis selhal)"},
        {"unreadableFolder", false, [] { std::filesystem::create_directories("ZIB.ini/inside"); },
         false, "(nelze jej přečíst)"},
        {"unreadableFile", true,
         [] {
             put("ZIB.ini", "1,2");
             std::filesystem::permissions("ZIB.ini", std::filesystem::perms::none);
         },
         true, "(nelze jej přečíst)"},
    };
    for (const auto& c : cases) {
        if (c.needsPermissions && ::geteuid() == 0) continue;
        SCOPED_TRACE(c.what);
        for (const char* f : {"ZIB.ini", "ZIB.ini.bad"}) std::filesystem::remove_all(f);
        c.prepare();
        ConfigurationLoad load = loadHere();
        ASSERT_EQ(load.status, ConfigurationStatus::Damaged);
        const Status save = saveConfiguration(load.path, load.settings, true);
        ASSERT_FALSE(save.ok());
        const std::string& message = save.error();
        EXPECT_NE(message.find("Poškozený soubor ZIB.ini se nepodařilo uschovat"),
                  std::string::npos)
            << message;
        EXPECT_NE(message.find(c.why), std::string::npos) << message;
        EXPECT_EQ(message.find("Nové nastavení je uloženo") != std::string::npos, c.written)
            << message;
        EXPECT_EQ(message.find("nepodařilo uložit") != std::string::npos, !c.written) << message;
        if (c.written) {
            EXPECT_EQ(loadHere().status, ConfigurationStatus::Ok);
        }
    }
}

TEST_F(ConfigurationFile, AnUnreadableFileCountsAsDamaged) {
    std::filesystem::create_directories("ZIB.ini");  // found, but no text to read
    ConfigurationLoad load = loadHere();
    EXPECT_EQ(load.status, ConfigurationStatus::Damaged);
    EXPECT_NE(load.message.find("poškozený"), std::string::npos);
}

}  // namespace
}  // namespace zib
