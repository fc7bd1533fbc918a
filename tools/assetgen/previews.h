#pragma once
// Level pictures as the game paints them, and the 330 x 250 previews of the mods panel made from
// them: the background tiled with the loader's two-pixel overlap, every wall copied from its
// texture tiled from (0, 0), and the snakes' start cells marked in their colours.
#include <functional>
#include <string>

#include "game/level_file.h"
#include "platform/canvas.h"

namespace zib::assetgen {

constexpr int kPreviewWidth = 330;
constexpr int kPreviewHeight = 250;
constexpr uint32_t kRedSnake = rgb(255, 0, 0);
constexpr uint32_t kBlueSnake = rgb(4, 2, 252);

// The picture of a file name the level gives; throws when it cannot be had.
using PictureSource = std::function<Picture(const std::string& name)>;

// The 800 x 600 field with the background and the walls, as the level loader paints it.
Canvas paintLevel(const LevelFile& level, const PictureSource& pictures);
// The preview: the painted field reduced to 330 x 250 with the start cells and first directions of
// both snakes drawn on top.
Canvas levelPreview(const LevelFile& level, const PictureSource& pictures);

}  // namespace zib::assetgen
