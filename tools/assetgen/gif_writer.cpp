#include "assetgen/gif_writer.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

namespace zib::assetgen {
namespace {

constexpr int kMaxOpaqueColours = 255;

// A box of colours for the median cut, with the pixel counts of its colours.
struct Box {
    std::vector<std::pair<uint32_t, uint32_t>> colours;  // colour, count
    int channelRange(int shift) const {
        int lo = 255, hi = 0;
        for (auto [c, n] : colours) {
            int v = int((c >> shift) & 255);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        return hi - lo;
    }
};

// The count-weighted mean colour of a box.
uint32_t average(const Box& box) {
    double r = 0, g = 0, b = 0, total = 0;
    for (auto [c, n] : box.colours) {
        r += double((c >> 16) & 255) * n;
        g += double((c >> 8) & 255) * n;
        b += double(c & 255) * n;
        total += n;
    }
    return rgb(int(r / total + 0.5), int(g / total + 0.5), int(b / total + 0.5));
}

// Splits the colour set into at most `limit` boxes along the widest channel at the median pixel.
std::vector<uint32_t> medianCut(const std::map<uint32_t, uint32_t>& histogram, int limit) {
    std::vector<Box> boxes(1);
    boxes[0].colours.assign(histogram.begin(), histogram.end());
    while (static_cast<int>(boxes.size()) < limit) {
        // The box with the widest channel range among those that can be split.
        int best = -1, bestRange = 0, bestShift = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2) continue;
            for (int shift : {16, 8, 0}) {
                int range = boxes[i].channelRange(shift);
                if (range > bestRange) {
                    best = static_cast<int>(i);
                    bestRange = range;
                    bestShift = shift;
                }
            }
        }
        if (best < 0) break;
        auto& cs = boxes[best].colours;
        std::sort(cs.begin(), cs.end(), [&](auto a, auto b) {
            return ((a.first >> bestShift) & 255) < ((b.first >> bestShift) & 255);
        });
        uint64_t total = 0, half = 0;
        for (auto [c, n] : cs) total += n;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < cs.size(); ++i) {
            half += cs[i].second;
            cut = i + 1;
            if (half * 2 >= total) break;
        }
        Box upper;
        upper.colours.assign(cs.begin() + static_cast<long>(cut), cs.end());
        cs.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<uint32_t> palette;
    for (const Box& b : boxes) palette.push_back(average(b));
    return palette;
}

int distance(uint32_t a, uint32_t b) {
    int dr = int((a >> 16) & 255) - int((b >> 16) & 255);
    int dg = int((a >> 8) & 255) - int((b >> 8) & 255);
    int db = int(a & 255) - int(b & 255);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

// Writes variable-width codes, least significant bit first, into sub-blocks of up to 255 bytes.
class CodeWriter {
  public:
    void put(int code, int width) {
        bits_ |= static_cast<uint32_t>(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<char>(bits_ & 255));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    std::string finish() {
        if (count_ > 0) bytes_.push_back(static_cast<char>(bits_ & 255));
        std::string out;
        for (size_t i = 0; i < bytes_.size(); i += 255) {
            size_t n = std::min<size_t>(255, bytes_.size() - i);
            out.push_back(static_cast<char>(n));
            out.append(bytes_, i, n);
        }
        out.push_back('\0');
        return out;
    }

  private:
    std::string bytes_;
    uint32_t bits_ = 0;
    int count_ = 0;
};

std::string lzw(const std::vector<uint8_t>& indices, int minCodeSize) {
    const int clear = 1 << minCodeSize, stop = clear + 1;
    CodeWriter out;
    std::unordered_map<uint32_t, int> table;  // (prefix code << 8 | index) -> code
    int width = minCodeSize + 1, next = stop + 1;
    out.put(clear, width);
    if (indices.empty()) {
        out.put(stop, width);
        return out.finish();
    }
    int prefix = indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        uint32_t key = static_cast<uint32_t>(prefix) << 8 | indices[i];
        auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        out.put(prefix, width);
        if (next < 4096) {
            table.emplace(key, next);
            // The decoder widens its codes once the next free code no longer fits.
            if (next == (1 << width) && width < 12) ++width;
            ++next;
        } else {
            out.put(clear, width);
            table.clear();
            width = minCodeSize + 1;
            next = stop + 1;
        }
        prefix = indices[i];
    }
    out.put(prefix, width);
    out.put(stop, width);
    return out.finish();
}

void put16(std::string& s, int v) {
    s.push_back(static_cast<char>(v & 255));
    s.push_back(static_cast<char>((v >> 8) & 255));
}

}  // namespace

std::string encodeGif(const Canvas& picture) {
    const int w = picture.width(), h = picture.height();
    std::map<uint32_t, uint32_t> histogram;
    bool transparent = false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t p = picture.pixel(x, y);
            if ((p >> 24) == 0)
                transparent = true;
            else
                ++histogram[p | 0xFF000000u];
        }
    const int opaqueLimit = transparent ? kMaxOpaqueColours : kMaxOpaqueColours + 1;
    std::vector<uint32_t> palette;
    if (static_cast<int>(histogram.size()) <= opaqueLimit)
        for (auto [c, n] : histogram) palette.push_back(c);
    else
        palette = medianCut(histogram, opaqueLimit);
    if (palette.empty()) palette.push_back(kBlack);
    const int transparentIndex = transparent ? static_cast<int>(palette.size()) : -1;
    if (transparent) palette.push_back(rgb(255, 0, 255));

    int bits = 1;
    while ((1 << bits) < static_cast<int>(palette.size())) ++bits;
    const int tableSize = 1 << bits;

    // Pixels to palette indices; each distinct colour is looked up once.
    std::unordered_map<uint32_t, uint8_t> lookup;
    std::vector<uint8_t> indices;
    indices.reserve(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t p = picture.pixel(x, y);
            if ((p >> 24) == 0) {
                indices.push_back(static_cast<uint8_t>(transparentIndex));
                continue;
            }
            p |= 0xFF000000u;
            auto found = lookup.find(p);
            if (found == lookup.end()) {
                int best = 0;
                for (int i = 0; i < static_cast<int>(palette.size()); ++i)
                    if (i != transparentIndex &&
                        distance(p, palette[i]) < distance(p, palette[best]))
                        best = i;
                found = lookup.emplace(p, static_cast<uint8_t>(best)).first;
            }
            indices.push_back(found->second);
        }

    std::string out = "GIF89a";
    put16(out, w);
    put16(out, h);
    out.push_back(static_cast<char>(0x80 | ((bits - 1) << 4) | (bits - 1)));  // global table
    out.push_back(transparent ? static_cast<char>(transparentIndex) : '\0');  // background
    out.push_back('\0');                                                      // aspect ratio
    for (int i = 0; i < tableSize; ++i) {
        uint32_t c = i < static_cast<int>(palette.size()) ? palette[i] : kBlack;
        out.push_back(static_cast<char>((c >> 16) & 255));
        out.push_back(static_cast<char>((c >> 8) & 255));
        out.push_back(static_cast<char>(c & 255));
    }
    if (transparent) {
        out += "\x21\xF9\x04";
        out.push_back('\x01');  // no disposal, transparent colour given
        put16(out, 0);          // no delay
        out.push_back(static_cast<char>(transparentIndex));
        out.push_back('\0');
    }
    out.push_back('\x2C');
    put16(out, 0);
    put16(out, 0);
    put16(out, w);
    put16(out, h);
    out.push_back('\0');  // no local table, not interlaced
    const int minCodeSize = std::max(2, bits);
    out.push_back(static_cast<char>(minCodeSize));
    out += lzw(indices, minCodeSize);
    out.push_back('\x3B');
    return out;
}

}  // namespace zib::assetgen
