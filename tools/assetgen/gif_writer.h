#pragma once
// A GIF89a encoder: one image, a global palette taken from the picture (at most 255 colours plus
// the transparent entry; pictures with more colours are reduced by median cut), LZW-compressed.
// Transparent pixels (alpha 0) get a palette entry of their own, named by a Graphic Control
// Extension.
#include <string>

#include "platform/canvas.h"

namespace zib::assetgen {

std::string encodeGif(const Canvas& picture);

}  // namespace zib::assetgen
