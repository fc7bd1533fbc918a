#pragma once
// The player's own folders, after the XDG base directory convention: settings under
// $XDG_CONFIG_HOME/zib (default ~/.config/zib), levels and replays under $XDG_DATA_HOME/zib
// (default ~/.local/share/zib). A variable that is unset, empty or not an absolute path counts as
// unset. Nothing here creates a folder.
#include <string>

namespace zib {

// .../zib, no trailing slash. Empty when neither the XDG variable nor HOME is an absolute path:
// the player then has no folder of their own, and the game keeps and reads nothing there (a
// fallback such as /tmp would be shared with every other user of the machine).
std::string userConfigFolder();
std::string userDataFolder();

// The one line on standard error when the player has no data folder, e.g. for a game started
// with HOME unset; empty when they have one.
std::string noUserDataFolderNotice();

// Creates a folder and its missing parents (mode 0700 for new ones). False when it cannot.
bool makeFolders(const std::string& folder);

}  // namespace zib
