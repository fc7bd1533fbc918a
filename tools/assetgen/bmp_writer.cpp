#include "assetgen/bmp_writer.h"

#include <cstdint>

namespace zib::assetgen {
namespace {

void put(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 255));
}

}  // namespace

std::string encodeBmp24(const Canvas& picture) {
    const int w = picture.width(), h = picture.height();
    const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    const uint32_t dataSize = rowBytes * static_cast<uint32_t>(h);
    std::string out = "BM";
    put(out, 54 + dataSize, 4);
    put(out, 0, 4);
    put(out, 54, 4);  // offset of the pixels
    put(out, 40, 4);  // BITMAPINFOHEADER
    put(out, static_cast<uint32_t>(w), 4);
    put(out, static_cast<uint32_t>(h), 4);
    put(out, 1, 2);   // planes
    put(out, 24, 2);  // bits per pixel
    put(out, 0, 4);   // BI_RGB
    put(out, dataSize, 4);
    put(out, 2835, 4);  // 72 dpi
    put(out, 2835, 4);
    put(out, 0, 4);
    put(out, 0, 4);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            uint32_t p = picture.pixel(x, y);
            out.push_back(static_cast<char>(p & 255));
            out.push_back(static_cast<char>((p >> 8) & 255));
            out.push_back(static_cast<char>((p >> 16) & 255));
        }
        for (uint32_t pad = static_cast<uint32_t>(w) * 3; pad < rowBytes; ++pad)
            out.push_back('\0');
    }
    return out;
}

}  // namespace zib::assetgen
