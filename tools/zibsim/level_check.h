#pragma once
// The level checker for people who make levels (zibsim --check-level FILE...): reads a level file
// field by field without stopping at the first fault and reports every problem with its line.
// Errors make a level unplayable (the game refuses it, or a game on it cannot go on); warnings do
// not.
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/services.h"

namespace zibsim {

struct LevelFinding {
    enum class Severity { Error, Warning };
    Severity severity = Severity::Error;
    int line = 0;  // 0: the finding concerns the whole file
    std::string message;
};

struct LevelCheck {
    std::vector<LevelFinding> findings;
    bool playable() const;
};

// Checks the text of a level file; pictures are looked up in folder, else in sharedFolder when one
// is given (any case of the name), and loaded with graphics.
LevelCheck checkLevelText(const std::string& text, const std::string& folder,
                          zib::Graphics& graphics, const std::string& sharedFolder = {});
// Checks the level file at path; its pictures are looked up beside it, else in the shipped data
// folder (dataFolder), as the game finds them for a level of the player's.
LevelCheck checkLevelFile(const std::string& path, zib::Graphics& graphics);

// Checks every file and writes one line per finding ("FILE:LINE: error: ..."), then one summary
// line per file. Returns 0 when every level can be played, 1 when some cannot, 2 without files.
int runLevelCheck(const std::vector<std::string>& paths, std::ostream& out,
                  zib::Graphics& graphics);

}  // namespace zibsim
