#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "menu/level_list.h"

namespace zib {
namespace {

using Names = std::vector<std::string>;

struct ListingCase {
    const char* name;
    Names entries;
    Names levels;
};

class ListLevels : public ::testing::TestWithParam<ListingCase> {};

TEST_P(ListLevels, KeepsEntriesEndingInZq7WithoutTheirLastFourCharacters) {
    const ListingCase& c = GetParam();
    LevelList list = listLevels(c.entries);
    EXPECT_EQ(list.levelList, c.levels);
    EXPECT_EQ(list.lastLevelIndex, static_cast<int>(c.levels.size()) - 1);
    EXPECT_EQ(list.listBottom, 5);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ListLevels,
    ::testing::Values(ListingCase{"caseSensitiveExtension",
                                  {".", "..", "Alpha.zq7", "b.zq7", "c.ZQ7", "Maps.zq7"},
                                  {"Alpha", "b", "Maps"}},
                      ListingCase{"noDotNeeded", {"levelzq7"}, {"leve"}},
                      // By name ignoring case, letters as upper case ("_" after them); the same
                      // name in several cases in byte order.
                      ListingCase{"sortedIgnoringCase",
                                  {"z.zq7", "abc.zq7", "B.zq7", "_x.zq7", "Abc.zq7", "a_b.zq7",
                                   "ab.zq7", "ABC.zq7", "a.zq7"},
                                  {"a", "ab", "ABC", "Abc", "abc", "a_b", "B", "z", "_x"}},
                      ListingCase{"tooShort", {"zq7", "xzq7", ".zq7", "a.zq7"}, {"a"}},
                      ListingCase{
                          "extensionMustEndTheName", {"a.zq7.bak", "a.zq7 ", "a.Zq7", "a.zQ7"}, {}},
                      ListingCase{"otherFiles", {"a.dat", "a.bmp", "ZIB.ini"}, {}},
                      ListingCase{"namesAsTheyAre",
                                  {"Ďábel.zq7", "two words.zq7", "a,b.zq7"},
                                  {"a,b", "two words", "Ďábel"}},
                      ListingCase{"empty", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

Names numbered(int count) {
    Names names;
    for (int i = 0; i < count; ++i) names.push_back("L" + std::to_string(i) + ".zq7");
    return names;
}

std::array<std::string, kLevelRows> rowsFrom(const LevelList& list, int first) {
    std::array<std::string, kLevelRows> rows;
    for (int k = 0; k < kLevelRows; ++k)
        if (first + k <= list.lastLevelIndex) rows[k] = list.levelList[first + k];
    return rows;
}

TEST(LevelList, RowsShowTheFirstSixAfterLoad) {
    LevelList list = listLevels(numbered(8));
    EXPECT_EQ(levelRowCaptions(list), rowsFrom(list, 0));
    EXPECT_EQ(levelRowCaptions(list)[0], "L0");
    EXPECT_EQ(levelRowCaptions(list)[5], "L5");
}

// Arrow presses (+1 down, -1 up; a double click is two presses) and the first entry shown after.
struct ScrollCase {
    const char* name;
    int levels;
    std::vector<int> presses;
    std::vector<int> firstShown;  // after each press
};

class ScrollLevelList : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(ScrollLevelList, MovesBetweenFiveAndTheLastLevel) {
    const ScrollCase& c = GetParam();
    LevelList list = listLevels(numbered(c.levels));
    ASSERT_EQ(c.presses.size(), c.firstShown.size());
    int first = 0;
    for (size_t i = 0; i < c.presses.size(); ++i) {
        bool moved = scrollLevelList(list, c.presses[i]);
        EXPECT_EQ(moved, c.firstShown[i] != first) << "press " << i;
        first = c.firstShown[i];
        EXPECT_EQ(list.listBottom, first + 5) << "press " << i;
        EXPECT_EQ(levelRowCaptions(list), rowsFrom(list, first)) << "press " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arrows, ScrollLevelList,
    ::testing::Values(
        // Eight levels: two presses down show entries 2..7, a third changes nothing.
        ScrollCase{"eightDown", 8, {1, 1, 1}, {1, 2, 2}},
        ScrollCase{"eightUpAtTheTop", 8, {-1, 1, -1, -1}, {0, 1, 0, 0}},
        // A double click on the up arrow moves two rows.
        ScrollCase{"doubleClickUp", 8, {1, 1, -1, -1}, {1, 2, 1, 0}},
        ScrollCase{"anyPositiveIsDown", 9, {5, 0, -3}, {1, 0, 0}},
        ScrollCase{"exactlySix", 6, {1, -1}, {0, 0}},
        ScrollCase{"fewerThanSix", 3, {1, -1}, {0, 0}}, ScrollCase{"none", 0, {1, -1}, {0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LevelList, FewerThanSixLevelsLeaveTheOtherRowsEmpty) {
    LevelList list = listLevels({"a.zq7", "b.zq7"});
    std::array<std::string, kLevelRows> expected = {"a", "b", "", "", "", ""};
    EXPECT_EQ(levelRowCaptions(list), expected);
    EXPECT_EQ(levelNameForRow(list, 1), "b.zq7");
    EXPECT_FALSE(levelNameForRow(list, 2));  // an empty row chooses nothing
    EXPECT_FALSE(levelNameForRow(list, 6));
    EXPECT_FALSE(levelNameForRow(list, -1));
}

TEST(LevelList, ARowChoosesTheLevelItShows) {
    LevelList list = listLevels(numbered(10));
    scrollLevelList(list, 1);
    scrollLevelList(list, 1);
    scrollLevelList(list, 1);
    for (int k = 0; k < kLevelRows; ++k)
        EXPECT_EQ(levelNameForRow(list, k), levelRowCaptions(list)[k] + ".zq7");
    EXPECT_EQ(levelNameForRow(list, 5), "L8.zq7");
}

TEST(LevelList, MoreThan1001LevelsAreAllListedAndReachable) {
    constexpr int kCount = 1500;
    LevelList list = listLevels(numbered(kCount));
    ASSERT_EQ(list.lastLevelIndex, kCount - 1);
    while (scrollLevelList(list, 1)) {
    }
    EXPECT_EQ(list.listBottom, kCount - 1);
    EXPECT_EQ(levelRowCaptions(list)[5], "L999");  // sorted by name: "L999" comes last
    EXPECT_EQ(randomLevelName(list, 0.9999999), "L999.zq7");
}

struct CheckCase {
    const char* name;
    Names entries;
    std::string stored;
    std::string expected;
    bool hasLevels;
};

class CheckLevelName : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckLevelName, KeepsAListedLevelElseTakesTheFirst) {
    const CheckCase& c = GetParam();
    LevelList list = listLevels(c.entries);
    std::string levelName = c.stored;
    EXPECT_EQ(checkLevelName(list, levelName), c.hasLevels);
    EXPECT_EQ(levelName, c.expected);
}

const Names kThree = {"first.zq7", "Second.zq7", "third.zq7"};

INSTANTIATE_TEST_SUITE_P(
    Stored, CheckLevelName,
    ::testing::Values(CheckCase{"firstStays", kThree, "first.zq7", "first.zq7", true},
                      CheckCase{"otherListedStays", kThree, "third.zq7", "third.zq7", true},
                      CheckCase{"caseDiffers", kThree, "second.zq7", "first.zq7", true},
                      CheckCase{"firstByName", {"b.zq7", "A.zq7"}, "gone.zq7", "A.zq7", true},
                      CheckCase{"extensionCaseDiffers", kThree, "third.ZQ7", "first.zq7", true},
                      CheckCase{"withoutExtension", kThree, "third", "first.zq7", true},
                      CheckCase{"noLongerListed", kThree, "gone.zq7", "first.zq7", true},
                      CheckCase{"emptyName", kThree, "", "first.zq7", true},
                      CheckCase{"noLevels", {}, "gone.zq7", "", false},
                      CheckCase{"noLevelsEmptyName", {".", ".."}, "", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct RandomCase {
    const char* name;
    int levels;
    double r;
    int index;
};

class RandomLevel : public ::testing::TestWithParam<RandomCase> {};

TEST_P(RandomLevel, RoundsRTimesTheLastIndexHalfToEven) {
    const RandomCase& c = GetParam();
    LevelList list = listLevels(numbered(c.levels));
    EXPECT_EQ(randomLevelName(list, c.r), "L" + std::to_string(c.index) + ".zq7");
}

INSTANTIATE_TEST_SUITE_P(
    Draws, RandomLevel,
    ::testing::Values(RandomCase{"zero", 8, 0.0, 0},
                      RandomCase{"justBelowOne", 8, std::nextafter(1.0, 0.0), 7},
                      RandomCase{"halfOfFirstGoesDown", 5, 0.125, 0},  // 0.5 -> 0
                      RandomCase{"oneAndAHalfGoesUp", 5, 0.375, 2},    // 1.5 -> 2
                      RandomCase{"twoAndAHalfGoesDown", 5, 0.625, 2},  // 2.5 -> 2
                      RandomCase{"aboveHalf", 5, 0.126, 1},
                      RandomCase{"lastNeedsTheTopHalfCell", 5, 0.874, 3},
                      RandomCase{"last", 5, 0.876, 4}, RandomCase{"singleLevel", 1, 0.99, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LevelList, NoLevelMeansNoDemoLevel) {
    EXPECT_FALSE(randomLevelName(listLevels({}), 0.0));
    EXPECT_FALSE(randomLevelName(listLevels({"a.ZQ7"}), 0.5));
    EXPECT_NE(std::string(kNoLevelsMessage), "");
}

TEST(LevelList, ListsARealFolderWithItsSubFolders) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("zib_levels_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "Maps.zq7");
    for (const char* name : {"Alpha.zq7", "b.zq7", "c.ZQ7", "notes.txt"})
        std::ofstream(dir / name) << "x";

    Names entries = listLevelFolder(dir.string());
    LevelList list = listLevels(entries);
    EXPECT_EQ(list.levelList, (Names{"Alpha", "b", "Maps"}));
    fs::remove_all(dir);

    EXPECT_TRUE(listLevelFolder((dir / "missing").string()).empty());
}

}  // namespace
}  // namespace zib
