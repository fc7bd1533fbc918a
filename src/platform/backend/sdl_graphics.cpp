// The picture and text services of the SDL backend; they need no window and also serve the
// headless backend and the asset generator.
#include <SDL.h>
#include <SDL_ttf.h>

#include <memory>
#include <stdexcept>

#include "platform/backend/backends.h"
#include "platform/backend/sdl_fonts.h"
#include "platform/backend/sdl_pictures.h"

namespace zib {
namespace {

// Glyph edges at least this opaque count as ink. Canvases know only transparent and opaque pixels,
// so the anti-aliased edge is cut here.
constexpr uint32_t kInkAlpha = 96;

class SdlGraphics : public Graphics {
  public:
    Picture loadPicture(const std::string& path) override { return loadPictureFile(path); }

    Canvas renderText(const std::string& utf8, const FontSpec& wanted, uint32_t colour) override {
        // Windows line breaks are CR LF; SDL_ttf breaks lines at LF only.
        std::string text;
        text.reserve(utf8.size());
        for (char c : utf8) {
            if (c != '\r') text.push_back(c);
        }
        if (text.empty()) return Canvas();

        TTF_Font* font = fonts_.fontFor(wanted);
        if (!font) throw std::runtime_error("no font can be opened for " + wanted.family);
        const SDL_Color fg{static_cast<Uint8>(colour >> 16), static_cast<Uint8>(colour >> 8),
                           static_cast<Uint8>(colour), 255};
        SDL_Surface* rendered = text.find('\n') == std::string::npos
                                    ? TTF_RenderUTF8_Blended(font, text.c_str(), fg)
                                    : TTF_RenderUTF8_Blended_Wrapped(font, text.c_str(), fg, 0);
        if (!rendered) return Canvas();  // e.g. text of zero width: nothing to draw
        std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> owner(rendered, SDL_FreeSurface);

        SDL_Surface* argb = rendered;
        std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> converted(nullptr, SDL_FreeSurface);
        if (rendered->format->format != SDL_PIXELFORMAT_ARGB8888) {
            converted.reset(SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0));
            if (!converted) return Canvas();
            argb = converted.get();
        }

        const uint32_t ink = colour | 0xFF000000u;
        Canvas canvas(argb->w, argb->h, kTransparent);
        SDL_LockSurface(argb);
        for (int y = 0; y < argb->h; ++y) {
            const auto* src = reinterpret_cast<const uint32_t*>(
                static_cast<const uint8_t*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch);
            uint32_t* dst = canvas.row(y);
            for (int x = 0; x < argb->w; ++x) {
                if ((src[x] >> 24) >= kInkAlpha) dst[x] = ink;
            }
        }
        SDL_UnlockSurface(argb);
        return canvas;
    }

    bool savePicture(const Canvas& picture, const std::string& path) override {
        return savePictureFile(picture, path);
    }

  private:
    FontCache fonts_;
};

}  // namespace

std::unique_ptr<Graphics> makeSdlGraphics() {
    return std::make_unique<SdlGraphics>();
}

}  // namespace zib
