#pragma once
// Writing the generated pictures: GIF and bitmaps by our own encoders (".dat" previews are
// bitmaps), PNG and JPEG through the platform's picture service.
#include <string>

#include "platform/services.h"

namespace zib::assetgen {

// Writes bytes to a file, creating nothing else; false on failure.
bool writeBytes(const std::string& path, const std::string& bytes);
// Writes the picture in the format its extension names; false on failure or an unknown extension.
bool writePicture(Graphics& graphics, const Canvas& picture, const std::string& path);

}  // namespace zib::assetgen
