#pragma once
// A PNG encoder for the icons: 8-bit RGBA with the canvas's alpha as it is (partial alpha
// included), no filtering, the image data in stored (uncompressed) deflate blocks. Plain and valid;
// the package compresses the files anyway.
#include <string>

#include "platform/canvas.h"

namespace zib::assetgen {

std::string encodePngRgba(const Canvas& picture);

}  // namespace zib::assetgen
