#pragma once
// The level checker, one for every place that judges a level: zibsim --check-level and the level
// editor. It reads a level file's text field by field without stopping at the first fault and
// reports every problem with its line, in English for the tool and in Czech for the editor, and
// says what each one concerns (a wall, a snake's start, the whole file). Errors make a level
// unplayable (the game refuses it, or a game on it cannot go on); warnings do not.
#include <map>
#include <string>
#include <vector>

#include "platform/services.h"

namespace zib {

// The most walls a level should have: the editor's limit, beyond which the checker warns.
constexpr int kMostWalls = 256;

struct LevelFinding {
    enum class Severity { Error, Warning };
    enum class Subject { File, Background, Wall, Red, Blue };
    Severity severity = Severity::Error;
    int line = 0;         // 0: the finding concerns the whole file
    std::string message;  // English, for zibsim
    std::string czech;    // the same for the player, in the editor
    Subject subject = Subject::File;
    int wall = -1;  // Subject::Wall: the wall's index among the wall records, from 0
};

struct LevelCheck {
    std::vector<LevelFinding> findings;
    bool playable() const;
};

// Whether each picture path looked at loads; kept between checks so that a level checked after
// every change loads its pictures once.
using PictureLoads = std::map<std::string, bool>;

// Checks the text of a level file; pictures are looked up in folder, else in sharedFolder when one
// is given (any case of the name), and loaded with graphics (once per path when loads is given).
LevelCheck checkLevelText(const std::string& text, const std::string& folder, Graphics& graphics,
                          const std::string& sharedFolder = {}, PictureLoads* loads = nullptr);
// Checks the level file at path; its pictures are looked up beside it, else in the shipped data
// folder (dataFolder), as the game finds them for a level of the player's.
LevelCheck checkLevelFile(const std::string& path, Graphics& graphics);

}  // namespace zib
