#pragma once
// The level list of the mods panel: the names of the ".zq7" entries of the level folder, shown six
// at a time.
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace zib {

inline constexpr int kLevelRows = 6;

struct LevelList {
    std::vector<std::string> levelList;  // names without extension, sorted (sortLevelNames)
    int lastLevelIndex = -1;             // number of levels - 1
    int listBottom = 5;                  // entry shown in the last row; 5 .. lastLevelIndex
};

// The shipped level folder "baseq7": beside the program, or the installed one (dataFolder).
std::string levelFolder();
// The folder's entries, sub-folders included, in the order the system returns them.
std::vector<std::string> listLevelFolder(const std::string& folder);

// Sorts level names as the original platform listed a folder: by name ignoring ASCII case (letters
// compare as upper case, so "_" comes after the letters); names that differ only in case follow
// one another in byte order ("ABC", "Abc", "abc"). Bytes above 127 compare by value.
void sortLevelNames(std::vector<std::string>& names);

// Every entry longer than 4 characters whose last three are exactly "zq7" is a level; its name is
// the entry without its last four characters. The names are sorted (sortLevelNames), whatever
// order the entries came in. listBottom is 5.
LevelList listLevels(const std::vector<std::string>& entries);

// The arrows: direction > 0 down (stops at lastLevelIndex), else up (stops at 5). True when the
// list moved. A double click calls it twice.
bool scrollLevelList(LevelList& list, int direction);

// Captions of rows 0..5: levelList[listBottom - 5 + k], empty beyond the last level.
std::array<std::string, kLevelRows> levelRowCaptions(const LevelList& list);

// The level chosen by a click on row k: its caption + ".zq7"; empty for an empty row.
std::optional<std::string> levelNameForRow(const LevelList& list, int row);

// The check of the stored level at load: a name equal to a listed level + ".zq7" (exact case)
// stays, anything else becomes the first level + ".zq7". Without any level it becomes "" and the
// result is false: the menu then tells the user instead of loading a game.
bool checkLevelName(const LevelList& list, std::string& levelName);

// The level of a demo game from r in [0, 1): index r * lastLevelIndex rounded half to even; the
// name + ".zq7". Empty when there is no level.
std::optional<std::string> randomLevelName(const LevelList& list, double r);

// Czech message for a level folder without levels.
extern const char* const kNoLevelsMessage;

}  // namespace zib
