#pragma once
// Picture files through SDL_image: loading into canvases and writing canvases out.
#include <string>

#include "platform/canvas.h"

struct SDL_Surface;

namespace zib {

// Loads a BMP, JPEG, GIF or PNG file. The transparent colour of a GIF (or of a palette PNG) and
// pixels with alpha below 128 become transparent; everything else is opaque. Throws PictureError
// naming the path and the reason when the file is missing or not a picture.
Picture loadPictureFile(const std::string& path);

// Writes a canvas as .bmp (24-bit), .png (with transparency) or .jpg/.jpeg (quality 90); the
// extension is matched ignoring case. False when the extension is unknown or writing fails.
bool savePictureFile(const Canvas& picture, const std::string& path);

// The pixels of any SDL surface as a canvas, following the rules of loadPictureFile.
Canvas canvasFromSurface(SDL_Surface* surface);

}  // namespace zib
