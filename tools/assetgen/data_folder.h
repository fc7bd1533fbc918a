#pragma once
// Builds the data folder "baseq7" beside the program from the level files in data/levels and
// from code: level pictures and previews, sounds, the menu texture and artwork, the help picture,
// and a default configuration file when none exists.
#include <ostream>
#include <string>

namespace zib::assetgen {

// dataDir: the repository's data folder; buildDir: the folder of the program. Reports progress
// and faults to log; false when something could not be made.
bool buildDataFolder(const std::string& dataDir, const std::string& buildDir, std::ostream& log);

}  // namespace zib::assetgen
