#include "assetgen/previews.h"

#include <cmath>

#include "assetgen/paint.h"

namespace zib::assetgen {

Canvas paintLevel(const LevelFile& level, const PictureSource& pictures) {
    Canvas field(kFieldWidth, kFieldHeight);
    tileWithOverlap(field, *pictures(level.background));
    // The texture canvas starts blank and is retiled only when the texture name changes; an empty
    // name in the first wall counts as no change.
    Canvas texture(kFieldWidth, kFieldHeight);
    std::string current;
    for (const LevelWall& wall : level.walls) {
        if (wall.texture != current) {
            texture.fill(kWhite);
            tileWithOverlap(texture, *pictures(wall.texture));
            current = wall.texture;
        }
        field.blit(texture, wall.x1, wall.y1, wall.x2 - wall.x1, wall.y2 - wall.y1, wall.x1,
                   wall.y1);
    }
    return field;
}

namespace {

// A start mark: the start cell as a square, and an arrow in the first direction of travel, both
// with a white rim so that they show on any background.
bool inMark(const LevelStart& start, double px, double py, double grow) {
    if (std::abs(px) <= 3.5 + grow && std::abs(py) <= 3.5 + grow) return true;
    const double len = std::hypot(double(start.dx), double(start.dy));
    if (len == 0) return false;
    const double along = (px * start.dx + py * start.dy) / len;
    const double across = std::abs(-px * start.dy + py * start.dx) / len;
    if (along >= 3.5 && along <= 11 && across <= 1.5 + grow) return true;
    return along >= 10 && along <= 17 + grow && across <= (17 - along) * 0.85 + 0.5 + grow;
}

void markStart(Canvas& preview, const LevelStart& start, uint32_t colour) {
    const double sx = double(kPreviewWidth) / kFieldWidth,
                 sy = double(kPreviewHeight) / kFieldHeight;
    const int cx = static_cast<int>(std::lround((start.x + kCellSize / 2.0) * sx));
    const int cy = static_cast<int>(std::lround((start.y + kCellSize / 2.0) * sy));
    for (int pass = 0; pass < 2; ++pass)
        for (int y = cy - 20; y <= cy + 20; ++y)
            for (int x = cx - 20; x <= cx + 20; ++x)
                if (inMark(start, x - cx, y - cy, pass == 0 ? 1.0 : 0.0))
                    preview.setPixel(x, y, pass == 0 ? kWhite : colour);
}

}  // namespace

Canvas levelPreview(const LevelFile& level, const PictureSource& pictures) {
    Canvas preview = reduced(paintLevel(level, pictures), kPreviewWidth, kPreviewHeight);
    markStart(preview, level.red, kRedSnake);
    markStart(preview, level.blue, kBlueSnake);
    return preview;
}

}  // namespace zib::assetgen
