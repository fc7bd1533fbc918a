#pragma once
// The stand-in picture loader and text renderer of the headless backend: no fonts, no image
// libraries. Text becomes a solid box (8 pixels per character, the font's pixel height), BMP files
// are decoded, and every other picture name gives a blank 10 x 10 white picture.
#include <memory>

#include "platform/services.h"

namespace zib {

std::unique_ptr<Graphics> makeStandInGraphics();

// Uncompressed BMP files (8-bit paletted, 24-bit and 32-bit). An empty canvas when the data is
// not such a file.
Canvas decodeBmp(const std::string& bytes);
std::string encodeBmp(const Canvas& picture);  // 24-bit, bottom-up

}  // namespace zib
