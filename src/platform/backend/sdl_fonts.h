#pragma once
// Fonts for captions: fontconfig finds a file for a Windows font family, SDL_ttf opens it at the
// pixel size that the point size has on a 96 dpi screen.
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "platform/services.h"

typedef struct _TTF_Font TTF_Font;

namespace zib {

struct FontFile {
    std::string path;
    int index = 0;  // the face within the file
};

// The installed face that stands in for a family: "Arial" gets its metric twin, "MS Sans Serif"
// a plain sans face; unknown families fall back to the default sans face.
std::optional<FontFile> findFontFile(const std::string& family, bool bold);

// The em height in pixels of a font of that many points on a 96 dpi screen, as Windows rounds it.
int pixelSizeFor(double points);

// Opened fonts, kept by file and pixel size for the life of the cache.
class FontCache {
  public:
    FontCache() = default;
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The font for a family, size and weight, or null when no face can be opened.
    TTF_Font* fontFor(const FontSpec& font);

  private:
    std::map<std::pair<std::string, bool>, std::optional<FontFile>> files_;
    std::map<std::tuple<std::string, int, int>, TTF_Font*> fonts_;
};

}  // namespace zib
