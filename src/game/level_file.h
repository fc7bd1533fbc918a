#pragma once
// Reading a level file (".zq7"): record 1 background picture, red x, y, dx, dy; record 2 blue x, y,
// dx, dy; then walls x1, y1, x2, y2, texture until the end of the file. Every fault is reported
// with the file, the line and what is wrong, so that a bad file never stops the program mid-game.
#include <string>
#include <variant>
#include <vector>

#include "state/field_geometry.h"

namespace zib {

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

// Parses the text of a level file; fileName is used in messages only.
std::variant<LevelFile, LevelError> parseLevel(const std::string& text,
                                               const std::string& fileName);

}  // namespace zib
