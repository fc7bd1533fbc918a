// Font lookup through fontconfig and opening through SDL_ttf.
#include "platform/backend/sdl_fonts.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <mutex>

namespace zib {
namespace {

// Families tried after the requested one, in order. The old Windows bitmap face "MS Sans Serif"
// is closest to Microsoft Sans Serif and Arial in its widths, so those come first.
const char* const kFallbackFamilies[] = {"Microsoft Sans Serif", "Arial", "sans-serif"};

void initTextLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        FcInit();
        TTF_Init();
    });
}

std::optional<FontFile> match(const std::string& family, bool bold) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return std::nullopt;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    for (const char* fallback : kFallbackFamilies) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(fallback));
    }
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    std::optional<FontFile> found;
    FcResult result = FcResultNoMatch;
    if (FcPattern* best = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(best, FC_FILE, 0, &file) == FcResultMatch && file) {
            if (FcPatternGetInteger(best, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
            found = FontFile{reinterpret_cast<const char*>(file), index};
        }
        FcPatternDestroy(best);
    }
    FcPatternDestroy(pattern);
    return found;
}

}  // namespace

std::optional<FontFile> findFontFile(const std::string& family, bool bold) {
    initTextLibraries();
    return match(family, bold);
}

int pixelSizeFor(double points) {
    const int px = static_cast<int>(std::lround(points * 96.0 / 72.0));
    return px < 1 ? 1 : px;
}

FontCache::~FontCache() {
    for (auto& entry : fonts_) {
        if (entry.second) TTF_CloseFont(entry.second);
    }
}

TTF_Font* FontCache::fontFor(const FontSpec& wanted) {
    initTextLibraries();
    const auto fileKey = std::make_pair(wanted.family, wanted.bold);
    auto fileIt = files_.find(fileKey);
    if (fileIt == files_.end()) {
        fileIt = files_.emplace(fileKey, match(wanted.family, wanted.bold)).first;
    }
    if (!fileIt->second) return nullptr;
    const FontFile& file = *fileIt->second;

    // SDL_ttf's point size at its default 72 dpi is the em height in pixels.
    const int px = pixelSizeFor(wanted.points);
    const auto fontKey = std::make_tuple(file.path, file.index, px);
    auto fontIt = fonts_.find(fontKey);
    if (fontIt == fonts_.end()) {
        TTF_Font* font = TTF_OpenFontIndex(file.path.c_str(), px, file.index);
        fontIt = fonts_.emplace(fontKey, font).first;
    }
    return fontIt->second;
}

}  // namespace zib
