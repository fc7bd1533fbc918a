#include "zibsim/level_folder.h"

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

// The scenario reader takes bare picture names only (isBareFileName); whatever else reaches here
// is left alone, and the game will not find it.
void LevelFolder::addStandIn(const std::string& pictureName) {
    if (!zib::isBareFileName(pictureName)) return;
    const fs::path file = fs::path(path()) / pictureName;
    std::error_code ignored;
    if (!fs::exists(file, ignored)) std::ofstream{file};
}

}  // namespace zibsim
