#include "assetgen/png_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zib::assetgen {
namespace {

const std::array<uint32_t, 256>& crcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

uint32_t crc32(const std::string& bytes) {
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) c = crcTable()[(c ^ b) & 255] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t adler32(const std::string& bytes) {
    uint32_t a = 1, b = 0;
    for (unsigned char x : bytes) {
        a = (a + x) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void putBig32(std::string& s, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) s.push_back(static_cast<char>((v >> shift) & 255));
}

void putLittle16(std::string& s, uint32_t v) {
    s.push_back(static_cast<char>(v & 255));
    s.push_back(static_cast<char>((v >> 8) & 255));
}

void chunk(std::string& out, const char* type, const std::string& data) {
    putBig32(out, static_cast<uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    putBig32(out, crc32(typed));
}

// A zlib stream of stored deflate blocks (at most 65535 bytes each).
std::string storedZlib(const std::string& raw) {
    std::string z = "\x78\x01";
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        const bool last = at + n == raw.size();
        z.push_back(last ? '\x01' : '\x00');
        putLittle16(z, static_cast<uint32_t>(n));
        putLittle16(z, static_cast<uint32_t>(~n & 0xFFFF));
        z.append(raw, at, n);
        at += n;
    } while (at < raw.size());
    putBig32(z, adler32(raw));
    return z;
}

}  // namespace

std::string encodePngRgba(const Canvas& picture) {
    const int w = picture.width(), h = picture.height();
    std::string header;
    putBig32(header, static_cast<uint32_t>(w));
    putBig32(header, static_cast<uint32_t>(h));
    header +=
        std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
    std::string raw;
    raw.reserve(static_cast<size_t>(h) * (static_cast<size_t>(w) * 4 + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back('\0');  // filter type None
        for (int x = 0; x < w; ++x) {
            const uint32_t p = picture.pixel(x, y);
            for (int shift : {16, 8, 0, 24}) raw.push_back(static_cast<char>((p >> shift) & 255));
        }
    }
    std::string out = "\x89PNG\r\n\x1a\n";
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", storedZlib(raw));
    chunk(out, "IEND", "");
    return out;
}

}  // namespace zib::assetgen
