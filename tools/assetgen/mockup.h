#pragma once
// Mock-ups of the menu window and of the levels, composed from the files of a generated data
// folder the way the game shows them, for looking at the artwork as a whole.
#include <ostream>
#include <string>

namespace zib::assetgen {

// Writes menu_title.png, menu_options.png, menu_mods.png, menu_help.png and level_<name>.png into
// outDir from programDir/baseq7. False when a file is missing.
bool writeMockups(const std::string& programDir, const std::string& outDir, std::ostream& log);

}  // namespace zib::assetgen
