#pragma once
// The player's own levels beside the shipped ones: the MODS list shows the entries of both
// folders together.
#include <string>
#include <vector>

namespace zib {

// The entries of the shipped level folder and of the player's (none when playerFolder is empty),
// as one list for listLevels: the player's level files first, then the shipped entries. A shipped
// level whose name equals one of the player's, in any case, is left out: the player's file is the
// one played.
std::vector<std::string> mergeLevelEntries(const std::vector<std::string>& shipped,
                                           const std::vector<std::string>& player);
std::vector<std::string> listLevelFolders(const std::string& shippedFolder,
                                          const std::string& playerFolder);

}  // namespace zib
