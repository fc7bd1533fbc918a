#pragma once
// The play field's geometry, the one place these numbers are written: 800 x 600 pixels in cells of
// 10 x 10, which makes the 80 x 60 grid of the wrapped field (x 0..790, y 0..590). Food lies on
// the cells x 10..700, y 10..500: 70 x 50 candidates.
namespace zib {

constexpr int kFieldWidth = 800;
constexpr int kFieldHeight = 600;
constexpr int kCellSize = 10;

constexpr int kGridColumns = kFieldWidth / kCellSize;
constexpr int kGridRows = kFieldHeight / kCellSize;
constexpr int kGridCells = kGridColumns * kGridRows;

constexpr int kFoodMinX = 10;
constexpr int kFoodMaxX = 700;
constexpr int kFoodMinY = 10;
constexpr int kFoodMaxY = 500;
constexpr int kFoodColumns = (kFoodMaxX - kFoodMinX) / kCellSize + 1;
constexpr int kFoodRows = (kFoodMaxY - kFoodMinY) / kCellSize + 1;

static_assert(kGridColumns == 80 && kGridRows == 60);
static_assert(kFoodColumns == 70 && kFoodRows == 50);

}  // namespace zib
