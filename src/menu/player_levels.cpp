#include "menu/player_levels.h"

#include <algorithm>
#include <optional>
#include <set>

#include "menu/level_list.h"

namespace zib {
namespace {

std::string lowerCase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return s;
}

// The level name of a folder entry, by the very rule of listLevels; nullopt when it is no level.
std::optional<std::string> levelNameOf(const std::string& entry) {
    const LevelList one = listLevels({entry});
    if (one.levelList.empty()) return std::nullopt;
    return one.levelList.front();
}

}  // namespace

std::vector<std::string> mergeLevelEntries(const std::vector<std::string>& shipped,
                                           const std::vector<std::string>& player) {
    std::vector<std::string> merged;
    std::set<std::string> ownNames;
    for (const std::string& entry : player) {
        if (std::optional<std::string> name = levelNameOf(entry)) {
            merged.push_back(entry);
            ownNames.insert(lowerCase(*name));
        }
    }
    for (const std::string& entry : shipped) {
        std::optional<std::string> name = levelNameOf(entry);
        if (!name || !ownNames.count(lowerCase(*name))) merged.push_back(entry);
    }
    return merged;
}

std::vector<std::string> listLevelFolders(const std::string& shippedFolder,
                                          const std::string& playerFolder) {
    return mergeLevelEntries(listLevelFolder(shippedFolder), playerFolder.empty()
                                                                 ? std::vector<std::string>{}
                                                                 : listLevelFolder(playerFolder));
}

}  // namespace zib
