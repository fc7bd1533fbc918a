#pragma once
// The pictures the game draws itself: the ten body and head pieces of each snake (C1..C10 red,
// CM1..CM10 blue) and the food's two frames. All are 10 x 10 pixels on transparent; the snake
// pieces are in one colour, the food white with a dark outline.
#include <array>
#include <cstdint>

#include "platform/canvas.h"
#include "platform/toolkit.h"
#include "snakes/play_field.h"

namespace zib {

// The ten body and head pictures of one snake: holder k (C1..C10 or CM1..CM10) at index k; index 0
// is unused.
using SnakePictures = std::array<Picture, 11>;

constexpr uint32_t kRedSnakeColour = rgb(255, 0, 0);
constexpr uint32_t kBlueSnakeColour = rgb(4, 2, 252);
constexpr int kSpriteSize = kCellSize;  // a piece fills one cell

// The edges of a cell that a piece's body band touches.
enum PieceEdge : unsigned { kEdgeLeft = 1, kEdgeRight = 2, kEdgeTop = 4, kEdgeBottom = 8 };

// Holders 1..10: 1 left-right, 2 top-bottom, 3 right-bottom, 4 left-bottom, 5 left-top,
// 6 right-top; heads 7 facing right (body from the left), 8 facing down (from the top), 9 facing
// left (from the right), 10 facing up (from the bottom).
unsigned pieceEdges(int holder);
Canvas drawSnakePiece(int holder, uint32_t colour);
SnakePictures makeSnakePictures(uint32_t colour);

// The food's two frames, each white inside a dark outline so that both read on any background: a
// ring filling the cell (outlined inside and out, a 2 x 2 hole in the middle) and a smaller
// filled disc.
Canvas drawFoodRing();
Canvas drawFoodDot();

}  // namespace zib
