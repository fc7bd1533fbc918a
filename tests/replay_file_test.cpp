// Replay files: their names, a second game in the same second, the newest 500 kept, and a folder
// that cannot be written.
#include "replay/replay_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "game_fixture.h"

namespace zib {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ReplayFile, NamedAfterTimeAndLevelAndNeverOverwritten) {
    std::tm t{};
    t.tm_year = 125, t.tm_mon = 2, t.tm_mday = 4, t.tm_hour = 8, t.tm_min = 5, t.tm_sec = 9;
    EXPECT_EQ(replayFileName(t, "Spirala.zq7"), "2025-03-04_08-05-09_Spirala.zibreplay.json");
    EXPECT_EQ(replayFileName(t, "my level?.ZQ7", 2),
              "2025-03-04_08-05-09_my_level__2.zibreplay.json");

    test::TempFolder folder;
    Scenario record;
    record.level = "x";
    record.levelFile = "Pole.zq7";
    const std::time_t when = 1'700'000'000;
    ReplaySave first = saveReplay(folder.path() + "/replays", record, when);
    ReplaySave second = saveReplay(folder.path() + "/replays", record, when);
    ASSERT_TRUE(first.path && second.path) << first.error << second.error;
    EXPECT_NE(*first.path, *second.path);
    EXPECT_EQ(namesIn(folder.path() + "/replays").size(), 2u);
}

TEST(ReplayFile, KeepsTheNewestFiveHundred) {
    test::TempFolder folder;
    Scenario record;
    record.levelFile = "Pole.zq7";
    for (std::time_t t = 0; t < static_cast<std::time_t>(kKeptReplays) + 3; ++t)
        ASSERT_TRUE(saveReplay(folder.path(), record, 1'700'000'000 + t * 60).path);
    folder.write("notes.txt", "kept");
    const std::vector<std::string> names = namesIn(folder.path());
    ASSERT_EQ(names.size(), kKeptReplays + 1);
    std::tm first{};
    const std::time_t oldestKept = 1'700'000'000 + 3 * 60;
    localtime_r(&oldestKept, &first);
    EXPECT_EQ(names[0], replayFileName(first, "Pole.zq7"));
}

TEST(ReplayFile, OnlyNamesTheGameGivesAreItsOwn) {
    std::tm t{};
    t.tm_year = 125, t.tm_mon = 11, t.tm_mday = 31, t.tm_hour = 23, t.tm_min = 59, t.tm_sec = 58;
    for (const char* level : {"Spirala.zq7", "my level?.zq7", "Žíla.zq7", ".zq7", ""})
        for (const int suffix : {1, 2, 1000})
            EXPECT_TRUE(isReplayFileName(replayFileName(t, level, suffix))) << level << suffix;
    for (const char* name :
         {"!keep.zibreplay.json", "notes.txt", "2025-12-31_23-59-58_.zibreplay.json",
          "2025-12-31_23-59-58_a b.zibreplay.json", "2025-12-31 23-59-58_a.zibreplay.json",
          "2025-12-31_23-59-5x_a.zibreplay.json", "2025-12-31_23-59-58_a.zibreplay.json.bak",
          "x2025-12-31_23-59-58_a.zibreplay.json", ".2025-12-31_23-59-58_a.zibreplay.json.Ab12Cd"})
        EXPECT_FALSE(isReplayFileName(name)) << name;
}

// The keep rule goes by the files' times and removes only the game's own replays: not the one just
// written, even when 500 others are dated later, and never a file the player named.
TEST(ReplayFile, KeepsTheNewestOfItsOwnByTheirTime) {
    test::TempFolder folder;
    const auto now = fs::file_time_type::clock::now();
    std::tm later{};
    later.tm_year = 199, later.tm_mday = 1;
    for (size_t i = 0; i < kKeptReplays; ++i) {
        later.tm_sec = static_cast<int>(i % 60), later.tm_min = static_cast<int>(i / 60);
        const std::string name = replayFileName(later, "Pole.zq7");
        folder.write(name, "{}");
        fs::last_write_time(folder.path() + "/" + name, now + std::chrono::hours(24 * 365 + i));
    }
    for (const char* own : {"!keep.zibreplay.json", "moje.zibreplay.json"}) {
        folder.write(own, "{}");
        fs::last_write_time(folder.path() + "/" + own, now - std::chrono::hours(24 * 365));
    }
    Scenario record;
    record.levelFile = "Pole.zq7";
    const ReplaySave save = saveReplay(folder.path(), record, 1'700'000'000);
    ASSERT_TRUE(save.path) << save.error;
    EXPECT_TRUE(fs::exists(*save.path));
    EXPECT_TRUE(fs::exists(folder.path() + "/!keep.zibreplay.json"));
    EXPECT_TRUE(fs::exists(folder.path() + "/moje.zibreplay.json"));
    const std::vector<std::string> names = namesIn(folder.path());
    EXPECT_EQ(std::count_if(names.begin(), names.end(), isReplayFileName),
              static_cast<long>(kKeptReplays));
    // The one gone is the future replay with the oldest file time.
    later.tm_sec = 0, later.tm_min = 0;
    EXPECT_FALSE(fs::exists(folder.path() + "/" + replayFileName(later, "Pole.zq7")));
}

TEST(ReplayFile, AFolderThatCannotBeMadeIsReportedNotThrown) {
    test::TempFolder folder;
    folder.write("file", "");
    ReplaySave save = saveReplay(folder.path() + "/file/replays", Scenario{}, 0);
    EXPECT_FALSE(save.path);
    EXPECT_NE(save.error.find("nelze"), std::string::npos) << save.error;
}

}  // namespace
}  // namespace zib
