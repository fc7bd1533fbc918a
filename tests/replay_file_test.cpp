// Replay files: their names, a second game in the same second, the newest 500 kept, and a folder
// that cannot be written.
#include "replay/replay_file.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(ReplayFile, AFolderThatCannotBeMadeIsReportedNotThrown) {
    test::TempFolder folder;
    folder.write("file", "");
    ReplaySave save = saveReplay(folder.path() + "/file/replays", Scenario{}, 0);
    EXPECT_FALSE(save.path);
    EXPECT_NE(save.error.find("nelze"), std::string::npos) << save.error;
}

}  // namespace
}  // namespace zib
