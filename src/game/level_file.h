#pragma once
// Reading a level file (".zq7"): record 1 background picture, red x, y, dx, dy; record 2 blue x, y,
// dx, dy; then walls x1, y1, x2, y2, texture until the end of the file. Every fault is reported
// with the file, the line and what is wrong, so that a bad file never stops the program mid-game.
#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "state/field_geometry.h"

namespace zib {

// The largest level file read. The field has 4,800 cells, and a wall for each of them takes
// about 150 KB. A larger file is refused before it is read (a level of hundreds of megabytes froze
// the menu for half a minute and was copied into every replay of its games).
constexpr size_t kLargestLevelFile = 1 << 20;

struct LevelStart {
    int x = 0, y = 0, dx = 0, dy = 0;
};

struct LevelWall {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string texture;
    int line = 0;  // line of the file where the wall record starts

    // Whether the wall marks the cell whose top-left pixel is (x, y) as blocked: x runs from x1 to
    // x2 - 10 and y from y1 to y2 - 10 in steps of 10. A wall with x1 >= x2 or y1 >= y2 blocks
    // nothing; one whose size is no multiple of 10 paints more than it blocks.
    bool blocks(int x, int y) const;
};

struct LevelFile {
    std::string background;
    LevelStart red;
    LevelStart blue;
    std::vector<LevelWall> walls;
};

struct LevelError {
    std::string message;  // Czech, names the file, the line and the fault
};

// Whether a picture name of a level names a file in the level's folder itself and nothing else: no
// separator, no "..", not ".", no control character (a NUL would cut the name short). Levels from
// the other player's machine and from replays may name only such pictures.
bool isBareFileName(const std::string& name);

// Parses the text of a level file; fileName is used in messages only.
std::variant<LevelFile, LevelError> parseLevel(const std::string& text,
                                               const std::string& fileName);

}  // namespace zib
