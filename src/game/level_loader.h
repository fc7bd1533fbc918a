#pragma once
// Reading a level for the game window: the level file is parsed and every picture it names is
// loaded before anything of the game is touched, so a fault leaves the board and the state as they
// were and shows nothing of a partial level.
#include <iosfwd>
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

// A level that came from the other player's machine: its file name and its text.
struct NetworkLevel {
    std::string name;
    std::string text;
    // Played online (not the editor's test play): at most kMostOnlineWalls walls.
    bool online = false;
};

// The most walls of a level played online, on both machines: each wall is painted at the load,
// and a level text of 64 KiB could hold thousands of them.
constexpr size_t kMostOnlineWalls = 256;
// A Czech message when the level, as the text the other player gets, has more walls than that;
// empty otherwise (a level that cannot be read at all is left to the reader's message).
std::string onlineWallsFault(const std::string& levelName, const std::string& text);

// Reads a level from its text (not from a file), with every check of the level reader (and the
// wall limit when it is played online). Its
// pictures are looked up by name (any case) in pictureFolders, in order (the joiner's player
// level folder, then the shipped data folder); empty entries are skipped. A picture name that is
// not a bare file name (a '/' or '\\' in it, "." or "..", a control character) refuses the level
// with a Czech message, and so does an empty name where the file reader needs one. A picture that
// is missing or cannot be loaded is drawn as a plain colour instead of refusing the game, and one
// line per picture goes to warnings (only when the level is accepted), e.g.
// "ZIB: obrázek „X“ mapy „Y“ chybí, místo něj se kreslí jednolitá barva."
std::variant<ReadyLevel, std::string> readNetworkLevel(
    const NetworkLevel& level, const std::vector<std::string>& pictureFolders, Graphics& graphics,
    std::ostream& warnings);

// The folder a level is read from: the player's folder when the file is there (any case of the
// name), else the shipped folder.
std::string folderOfLevel(const std::string& levelName, const std::string& playerFolder,
                          const std::string& shippedFolder);

}  // namespace zib
