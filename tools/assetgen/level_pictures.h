#pragma once
// The pictures that levels name: backgrounds (tiled over the whole field) and wall textures. Each
// is painted from code and repeats with a period two pixels shorter than its size, because the
// level loader tiles pictures at steps of width - 2 and height - 2.
#include <optional>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace zib::assetgen {

// Backgrounds, 202 x 152.
Canvas grassBackground();
Canvas soilBackground();
Canvas sandBackground();
Canvas pavingBackground();

// Wall textures, 98 x 98 or 66 x 66.
Canvas brickTexture();
Canvas cobbleTexture();
Canvas woodTexture();
Canvas steelTexture();
Canvas hedgeTexture();
Canvas marbleTexture();

// The file names of all level pictures (with their extension, which decides the format).
std::vector<std::string> levelPictureNames();
// The picture for a file name, or nullopt when no such picture is made.
std::optional<Canvas> levelPicture(const std::string& name);

}  // namespace zib::assetgen
