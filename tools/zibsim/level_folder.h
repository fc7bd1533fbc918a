#pragma once
// The level folder of a simulated game: a temporary folder that holds the scenario's level text
// as a level file, and an empty stand-in file for every picture the level names, so that the
// game finds each name there; the blank pictures of the simulation take their place.
#include <string>

#include "zibsim/temp_folder.h"

namespace zibsim {

class LevelFolder {
  public:
    static constexpr const char* kLevelFileName = "zibsim.zq7";

    // Throws std::runtime_error when the folder or the level file cannot be written.
    explicit LevelFolder(const std::string& levelText);
    const std::string& path() const { return folder_.path(); }

  private:
    void addStandIn(const std::string& pictureName);

    TempFolder folder_;
};

}  // namespace zibsim
