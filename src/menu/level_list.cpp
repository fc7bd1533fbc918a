#include "menu/level_list.h"

#include <algorithm>
#include <cmath>

#include "menu/round_half_even.h"
#include "platform/data_folder.h"
#include "platform/files.h"
#include "platform/texts.h"

namespace zib {

const char* const kNoLevelsMessage =
    N_("Ve složce baseq7 není žádný level (soubor .zq7), hru nelze spustit.");

namespace {

constexpr int kFirstBottom = kLevelRows - 1;

bool isLevelEntry(const std::string& entry) {
    // Only the last three characters are tested, exactly as written; the character before them is
    // dropped with them whatever it is ("levelzq7" is the level "leve").
    return entry.size() > 4 && entry.compare(entry.size() - 3, 3, "zq7") == 0;
}

unsigned char upper(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 32) : u;
}

bool beforeIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return upper(x) < upper(y); });
}

const std::string* entryAt(const LevelList& list, int index) {
    if (index < 0 || index > list.lastLevelIndex) return nullptr;
    return &list.levelList[static_cast<size_t>(index)];
}

}  // namespace

std::string levelFolder() {
    return dataFolder();
}

std::vector<std::string> listLevelFolder(const std::string& folder) {
    return listDirectory(folder);
}

void sortLevelNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        if (beforeIgnoringCase(a, b)) return true;
        if (beforeIgnoringCase(b, a)) return false;
        return a < b;
    });
}

LevelList listLevels(const std::vector<std::string>& entries) {
    LevelList list;
    for (const std::string& entry : entries)
        if (isLevelEntry(entry)) list.levelList.push_back(entry.substr(0, entry.size() - 4));
    // The system lists a folder in no useful order (hash order on many Linux file systems); the
    // original platform listed it by name, and "the first level" and the demo draw depend on it.
    sortLevelNames(list.levelList);
    list.lastLevelIndex = static_cast<int>(list.levelList.size()) - 1;
    list.listBottom = kFirstBottom;
    return list;
}

bool scrollLevelList(LevelList& list, int direction) {
    if (direction > 0) {
        if (list.listBottom < list.lastLevelIndex) {
            ++list.listBottom;
            return true;
        }
    } else if (list.listBottom > kFirstBottom) {
        --list.listBottom;
        return true;
    }
    return false;
}

std::array<std::string, kLevelRows> levelRowCaptions(const LevelList& list) {
    std::array<std::string, kLevelRows> rows;
    for (int k = 0; k < kLevelRows; ++k)
        if (const std::string* name = entryAt(list, list.listBottom - kFirstBottom + k))
            rows[static_cast<size_t>(k)] = *name;
    return rows;
}

std::optional<std::string> levelNameForRow(const LevelList& list, int row) {
    if (row < 0 || row >= kLevelRows) return std::nullopt;
    const std::string* name = entryAt(list, list.listBottom - kFirstBottom + row);
    if (!name) return std::nullopt;
    return *name + ".zq7";
}

bool checkLevelName(const LevelList& list, std::string& levelName) {
    if (list.levelList.empty()) {
        levelName.clear();
        return false;
    }
    for (const std::string& name : list.levelList)
        if (levelName == name + ".zq7") return true;
    levelName = list.levelList.front() + ".zq7";
    return true;
}

std::optional<std::string> randomLevelName(const LevelList& list, double r) {
    if (list.levelList.empty()) return std::nullopt;
    const std::string* name = entryAt(list, roundHalfEven(r * list.lastLevelIndex));
    if (!name) return std::nullopt;
    return *name + ".zq7";
}

}  // namespace zib
