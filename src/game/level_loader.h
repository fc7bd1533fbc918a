#pragma once
// Reading a level for the game window: the level file is parsed and every picture it names is
// loaded before anything of the game is touched, so a fault leaves the board and the state as they
// were and shows nothing of a partial level.
#include <string>
#include <variant>
#include <vector>

#include "game/level_file.h"
#include "platform/services.h"

namespace zib {

struct ReadyLevel {
    LevelFile file;
    Picture background;
    // One entry per wall: the texture to load and tile when the wall's texture name differs from
    // the one before (an empty name in the first wall counts as no change), else null.
    std::vector<Picture> textures;
};

// Reads folder/levelName (the name in any case) and loads its pictures from the same folder, or
// from sharedFolder when a picture is not there (the player's levels use the shipped pictures so).
// The error is a Czech message naming the file, the line where it applies, and what is wrong.
std::variant<ReadyLevel, std::string> readLevel(const std::string& folder,
                                                const std::string& levelName, Graphics& graphics,
                                                const std::string& sharedFolder = {});

// A level that came over the network: its bare file name and its text. Its pictures are looked up
// by name in the given folders.
struct NetworkLevel {
    std::string name;
    std::string text;
};
std::variant<ReadyLevel, std::string> readNetworkLevel(const NetworkLevel& level,
                                                       const std::string& folder,
                                                       Graphics& graphics,
                                                       const std::string& sharedFolder = {});

// The folder a level is read from: the player's folder when the file is there (any case of the
// name), else the shipped folder.
std::string folderOfLevel(const std::string& levelName, const std::string& playerFolder,
                          const std::string& shippedFolder);

}  // namespace zib
