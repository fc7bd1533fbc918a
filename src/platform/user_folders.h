#pragma once
// The player's own folders, after the XDG base directory convention: settings under
// $XDG_CONFIG_HOME/zib (default ~/.config/zib), levels and replays under $XDG_DATA_HOME/zib
// (default ~/.local/share/zib). A variable that is unset, empty or not an absolute path counts as
// unset. Nothing here creates a folder.
#include <string>

namespace zib {

std::string userConfigFolder();  // .../zib, no trailing slash
std::string userDataFolder();    // .../zib, no trailing slash

// Creates a folder and its missing parents (mode 0700 for new ones). False when it cannot.
bool makeFolders(const std::string& folder);

}  // namespace zib
