#include "platform/backend/headless_graphics.h"

#include <cmath>
#include <cstring>

#include "platform/files.h"

namespace zib {

namespace {

uint32_t le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

void put(std::string& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b += static_cast<char>((v >> (8 * i)) & 255);
}

int countCharacters(const std::string& utf8) {
    int n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

class StandInGraphics : public Graphics {
  public:
    Picture loadPicture(const std::string& path) override {
        if (Result<std::string> bytes = readWholeFile(path)) {
            Canvas c = decodeBmp(*bytes);
            if (!c.empty()) return std::make_shared<const Canvas>(std::move(c));
        }
        return std::make_shared<const Canvas>(10, 10, kWhite);
    }

    Canvas renderText(const std::string& utf8, const FontSpec& font, uint32_t colour) override {
        int height = static_cast<int>(std::lround(font.points * 96.0 / 72.0));
        return Canvas(8 * countCharacters(utf8), height, colour);
    }

    bool savePicture(const Canvas& picture, const std::string& path) override {
        if (path.size() < 4 || (path.compare(path.size() - 4, 4, ".bmp") != 0 &&
                                path.compare(path.size() - 4, 4, ".BMP") != 0))
            return false;
        return writeFileAtomically(path, encodeBmp(picture));
    }
};

}  // namespace

std::unique_ptr<Graphics> makeStandInGraphics() {
    return std::make_unique<StandInGraphics>();
}

Canvas decodeBmp(const std::string& b) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return Canvas();
    uint32_t offset = le(b, 10, 4);
    uint32_t header = le(b, 14, 4);
    int width = static_cast<int32_t>(le(b, 18, 4));
    int height = static_cast<int32_t>(le(b, 22, 4));
    int bits = static_cast<int>(le(b, 28, 2));
    uint32_t compression = le(b, 30, 4);
    bool topDown = height < 0;
    height = std::abs(height);
    if (width <= 0 || height == 0 || width > 16384 || height > 16384) return Canvas();
    if (compression != 0 && !(compression == 3 && bits == 32)) return Canvas();
    if (bits != 8 && bits != 24 && bits != 32) return Canvas();
    size_t stride = (static_cast<size_t>(width) * bits / 8 + 3) & ~size_t(3);
    if (offset + stride * height > b.size()) return Canvas();
    uint32_t colours = bits == 8 ? le(b, 46, 4) : 0;
    if (bits == 8 && colours == 0) colours = 256;
    size_t palette = 14 + header;
    if (bits == 8 && palette + 4 * colours > b.size()) return Canvas();
    Canvas c(width, height, kBlack);
    for (int y = 0; y < height; ++y) {
        size_t row = offset + stride * static_cast<size_t>(topDown ? y : height - 1 - y);
        uint32_t* out = c.row(y);
        for (int x = 0; x < width; ++x) {
            size_t at;
            if (bits == 8) {
                uint32_t index = static_cast<unsigned char>(b[row + x]);
                if (index >= colours) index = 0;
                at = palette + 4 * index;
            } else {
                at = row + static_cast<size_t>(x) * (bits / 8);
            }
            out[x] = 0xFF000000u | (le(b, at, 3) & 0xFFFFFFu);
        }
    }
    return c;
}

std::string encodeBmp(const Canvas& picture) {
    int w = picture.width(), h = picture.height();
    size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t(3);
    std::string b;
    b += "BM";
    put(b, static_cast<uint32_t>(54 + stride * h), 4);
    put(b, 0, 4);
    put(b, 54, 4);
    put(b, 40, 4);
    put(b, static_cast<uint32_t>(w), 4);
    put(b, static_cast<uint32_t>(h), 4);
    put(b, 1, 2);
    put(b, 24, 2);
    put(b, 0, 4);
    put(b, static_cast<uint32_t>(stride * h), 4);
    put(b, 2835, 4);
    put(b, 2835, 4);
    put(b, 0, 4);
    put(b, 0, 4);
    for (int y = h - 1; y >= 0; --y) {
        const uint32_t* in = picture.row(y);
        size_t start = b.size();
        for (int x = 0; x < w; ++x) put(b, in[x] & 0xFFFFFFu, 3);
        b.append(start + stride - b.size(), '\0');
    }
    return b;
}

}  // namespace zib
