#pragma once
// A 24-bit Windows bitmap (BITMAPINFOHEADER, bottom-up rows padded to four bytes). Used for every
// bitmap the generator writes, so that they are 24-bit whatever the picture library would choose.
#include <string>

#include "platform/canvas.h"

namespace zib::assetgen {

std::string encodeBmp24(const Canvas& picture);

}  // namespace zib::assetgen
