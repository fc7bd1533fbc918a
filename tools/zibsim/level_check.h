#pragma once
// zibsim --check-level FILE...: the game's level checker (game/level_check.h) run over files, one
// line per finding.
#include <iosfwd>
#include <string>
#include <vector>

#include "game/level_check.h"

namespace zibsim {

using zib::checkLevelFile;
using zib::checkLevelText;
using zib::LevelCheck;
using zib::LevelFinding;

// Checks every file and writes one line per finding ("FILE:LINE: error: ..."), then one summary
// line per file. Returns 0 when every level can be played, 1 when some cannot, 2 without files.
int runLevelCheck(const std::vector<std::string>& paths, std::ostream& out,
                  zib::Graphics& graphics);

}  // namespace zibsim
