#pragma once
// The menu's brushed-metal texture, 256 x 256, repeating edge to edge.
#include "platform/canvas.h"

namespace zib::assetgen {

constexpr int kMetalSize = 256;
Canvas brushedMetal();

}  // namespace zib::assetgen
