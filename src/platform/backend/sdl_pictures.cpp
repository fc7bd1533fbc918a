// Picture files: SDL_image reads BMP, JPEG, GIF and PNG; the canvases keep only "transparent" and
// "opaque", so a GIF's transparent colour and weak alpha become alpha 0 and the rest alpha 255.
#include "platform/backend/sdl_pictures.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

#include "platform/files.h"
#include "platform/services.h"

namespace zib {
namespace {

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

void initImageLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG); });
}

// The raw pixel value at (x, y) of a surface of 8 to 32 bits per pixel.
uint32_t rawPixel(const SDL_Surface* s, int x, int y) {
    const auto* p = static_cast<const uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
    switch (s->format->BytesPerPixel) {
        case 1:
            return p[x];
        case 2: {
            uint16_t v;
            std::memcpy(&v, p + 2 * x, 2);
            return v;
        }
        case 3: {
            const uint8_t* b = p + 3 * x;
            if constexpr (SDL_BYTEORDER == SDL_LIL_ENDIAN) {
                return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16;
            } else {
                return uint32_t(b[2]) | uint32_t(b[1]) << 8 | uint32_t(b[0]) << 16;
            }
        }
        default: {
            uint32_t v;
            std::memcpy(&v, p + 4 * x, 4);
            return v;
        }
    }
}

std::string lowerExtension(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

}  // namespace

Canvas canvasFromSurface(SDL_Surface* surface) {
    Uint32 key = 0;
    // Surfaces of fewer than 8 bits per pixel are not produced by the loaders; for them the
    // transparent colour is compared after conversion instead of by raw value.
    const bool keyed = SDL_GetColorKey(surface, &key) == 0;
    const bool rawKey = keyed && surface->format->BitsPerPixel >= 8;
    if (rawKey) SDL_SetColorKey(surface, SDL_FALSE, 0);

    SurfacePtr argb(SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0));
    if (rawKey) SDL_SetColorKey(surface, SDL_TRUE, key);
    if (!argb) throw PictureError(std::string("cannot convert picture: ") + SDL_GetError());

    Canvas canvas(argb->w, argb->h, kTransparent);
    if (SDL_LockSurface(argb.get()) != 0) {
        throw PictureError(std::string("cannot read picture: ") + SDL_GetError());
    }
    for (int y = 0; y < argb->h; ++y) {
        const auto* src = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch);
        uint32_t* dst = canvas.row(y);
        for (int x = 0; x < argb->w; ++x) {
            const uint32_t v = src[x];
            dst[x] = (v >> 24) < 128 ? kTransparent : (v | 0xFF000000u);
        }
    }
    SDL_UnlockSurface(argb.get());

    if (rawKey && SDL_LockSurface(surface) == 0) {
        for (int y = 0; y < surface->h; ++y) {
            uint32_t* dst = canvas.row(y);
            for (int x = 0; x < surface->w; ++x) {
                if (rawPixel(surface, x, y) == key) dst[x] = kTransparent;
            }
        }
        SDL_UnlockSurface(surface);
    }
    return canvas;
}

Picture loadPictureFile(const std::string& path) {
    initImageLibrary();
    // Read first, as a regular file only: a FIFO named like a picture would block the window.
    std::string bytes;
    if (readRegularFile(path, bytes, std::numeric_limits<int>::max()) != FileRead::Ok)
        throw PictureError("cannot load picture " + path + ": not a readable regular file");
    // The type hint from the extension, as IMG_Load gives it.
    const size_t dot = path.rfind('.');
    const std::string extension = dot == std::string::npos ? "" : path.substr(dot + 1);
    SurfacePtr surface(
        IMG_LoadTyped_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1,
                         extension.empty() ? nullptr : extension.c_str()));
    if (!surface) throw PictureError("cannot load picture " + path + ": " + IMG_GetError());
    try {
        return std::make_shared<const Canvas>(canvasFromSurface(surface.get()));
    } catch (const PictureError& e) {
        throw PictureError(path + ": " + e.what());
    }
}

bool savePictureFile(const Canvas& picture, const std::string& path) {
    initImageLibrary();
    const std::string ext = lowerExtension(path);
    const bool png = ext == "png";
    if (!png && ext != "bmp" && ext != "jpg" && ext != "jpeg") return false;
    if (picture.empty()) return false;

    // Opaque pixels are written with full alpha whatever alpha they carry; BMP and JPEG get the
    // colours only (a surface without an alpha mask makes SDL write a 24-bit BMP).
    std::vector<uint32_t> pixels(static_cast<size_t>(picture.width()) * picture.height());
    for (int y = 0; y < picture.height(); ++y) {
        const uint32_t* src = picture.row(y);
        uint32_t* dst = pixels.data() + static_cast<size_t>(y) * picture.width();
        for (int x = 0; x < picture.width(); ++x) {
            dst[x] = (src[x] >> 24) == 0 ? (png ? 0u : src[x]) : (src[x] | 0xFF000000u);
        }
    }
    SurfacePtr surface(SDL_CreateRGBSurfaceWithFormatFrom(
        pixels.data(), picture.width(), picture.height(), 32, picture.width() * 4,
        png ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_RGB888));
    if (!surface) return false;
    if (png) return IMG_SavePNG(surface.get(), path.c_str()) == 0;
    if (ext == "bmp") return SDL_SaveBMP(surface.get(), path.c_str()) == 0;
    return IMG_SaveJPG(surface.get(), path.c_str(), 90) == 0;
}

}  // namespace zib
