#pragma once
// Where the game finds its shipped files and keeps the player's. Two layouts:
//   - a portable copy or the build tree: the data folder "baseq7" beside the program;
//   - an installed game: the program in PREFIX/games (or PREFIX/bin) and its data folder in
//     PREFIX/share/games/zib/baseq7. Such a folder is not the player's to write, so the settings
//     go to the player's configuration folder instead (user_folders.h).
#include <string>

namespace zib {

// The folder that holds "baseq7": the program's folder when "baseq7" (any case) is beside the
// program, else PREFIX/share/games/zib when the installed data folder is there, else the
// program's folder.
std::string dataRoot();

// The shipped level folder: dataRoot() + "/baseq7" in the real case of its name.
std::string dataFolder();

// True when the data came from PREFIX/share/games/zib, not from beside the program.
bool runsInstalled();

// Where a settings file (ZIB.ini and its kin) that is not in the current folder lives: for an
// installed game in the player's configuration folder (in the current folder when the player has
// none), else beside the program when it is there (any case of the name), else in the current
// folder. The folder may not exist yet: whoever writes the file first makes it (makeFolders).
std::string settingsFile(const std::string& name);

// The player's own levels: userDataFolder() + "/levels" (may not exist); empty when the player
// has no data folder.
std::string playerLevelFolder();

}  // namespace zib
