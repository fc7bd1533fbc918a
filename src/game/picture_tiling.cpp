// The tiling of a picture over a canvas, as the level's background and wall textures are drawn.
#include "game/picture_tiling.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace zib {

namespace {

int tileStep(int size) {
    return size > 2 ? size - 2 : 1;
}

}  // namespace

void tilePicture(Canvas& target, const Canvas& picture, int limitW, int limitH) {
    tilePicture(target, picture, limitW, limitH, target.bounds());
}

void tilePicture(Canvas& target, const Canvas& picture, int limitW, int limitH, const Rect& area) {
    const int w = picture.width(), h = picture.height();
    if (picture.empty() || limitW < 0 || limitH < 0) return;
    // Tiles are drawn column by column, each column top to bottom, so a pixel shows the last tile
    // that starts at or before it in both directions: the picture's rows and columns repeat with
    // the steps. So each target row is put together once per picture row and copied after that,
    // instead of drawing the tiles one by one.
    const int stepX = tileStep(w), stepY = tileStep(h);
    const int lastX = limitW / stepX * stepX, lastY = limitH / stepY * stepY;
    const Rect covered{0, 0,
                       static_cast<int>(std::min<int64_t>(target.width(), int64_t{lastX} + w)),
                       static_cast<int>(std::min<int64_t>(target.height(), int64_t{lastY} + h))};
    const Rect a = area.intersect(covered);
    if (a.empty()) return;
    std::vector<int> column(static_cast<size_t>(a.w));  // the picture column of each target column
    for (int x = 0; x < a.w; ++x)
        column[static_cast<size_t>(x)] = a.x + x - std::min((a.x + x) / stepX * stepX, lastX);
    std::vector<int> shownAt(static_cast<size_t>(h), -1);  // the target row showing a picture row
    for (int y = a.y; y < a.y + a.h; ++y) {
        const int r = y - std::min(y / stepY * stepY, lastY);
        int& first = shownAt[static_cast<size_t>(r)];
        uint32_t* out = target.row(y) + a.x;
        if (first >= 0) {
            std::copy_n(target.row(first) + a.x, a.w, out);
            continue;
        }
        const uint32_t* in = picture.row(r);
        for (int x = 0; x < a.w; ++x) out[x] = in[column[static_cast<size_t>(x)]];
        first = y;
    }
}

}  // namespace zib
