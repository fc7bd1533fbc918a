#pragma once
// The tiling of a picture over a canvas, as the level's background and wall textures are drawn.
#include "platform/canvas.h"

namespace zib {

// Tiles the whole picture over target from (0, 0): tiles step by width - 2 and height - 2 (each
// later tile covering the last 2 columns or rows of the one before) while tx <= limitW and
// ty <= limitH, columns left to right, each column top to bottom. A picture 2 pixels wide or high
// or smaller steps by 1 on that axis.
void tilePicture(Canvas& target, const Canvas& picture, int limitW, int limitH);
// The same, drawing only the pixels of target inside area.
void tilePicture(Canvas& target, const Canvas& picture, int limitW, int limitH, const Rect& area);

}  // namespace zib
