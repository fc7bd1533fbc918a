#include "zibsim/level_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <variant>

#include "game/level_file.h"

namespace zibsim {

namespace fs = std::filesystem;

LevelFolder::LevelFolder(const std::string& levelText) {
    {
        std::ofstream level(fs::path(path()) / kLevelFileName, std::ios::binary);
        level << levelText;
        if (!level) throw std::runtime_error("cannot write the level file");
    }
    // A level that does not parse gets no pictures: the game's loader reports it.
    auto parsed = zib::parseLevel(levelText, kLevelFileName);
    if (const auto* level = std::get_if<zib::LevelFile>(&parsed)) {
        addStandIn(level->background);
        for (const auto& wall : level->walls) addStandIn(wall.texture);
    }
}

// Names are relative to the level folder, with either separator. Names that would leave the
// folder are left alone, and the game will not find them.
void LevelFolder::addStandIn(const std::string& pictureName) {
    if (pictureName.empty()) return;
    std::string relative = pictureName;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    fs::path name(relative);
    if (name.is_absolute()) return;
    for (const auto& part : name)
        if (part == "..") return;
    fs::path file = fs::path(path()) / name;
    std::error_code ignored;
    if (fs::exists(file, ignored)) return;
    fs::create_directories(file.parent_path(), ignored);
    std::ofstream{file};
}

}  // namespace zibsim
