#include "assetgen/paint.h"

#include <algorithm>
#include <cmath>

namespace zib::assetgen {

Rgb toRgb(uint32_t p) {
    return Rgb{double((p >> 16) & 255), double((p >> 8) & 255), double(p & 255)};
}

uint32_t toPixel(const Rgb& c) {
    auto ch = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0))); };
    return rgb(ch(c.r), ch(c.g), ch(c.b));
}

Rgb mix(const Rgb& a, const Rgb& b, double t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(const Rgb& c, double f) {
    return Rgb{c.r * f, c.g * f, c.b * f};
}

Rgb add(const Rgb& c, double d) {
    return Rgb{c.r + d, c.g + d, c.b + d};
}

void tileWithOverlap(Canvas& target, const Canvas& tile) {
    const int stepX = tile.width() - 2, stepY = tile.height() - 2;
    if (stepX <= 0 || stepY <= 0) return;
    for (int tx = 0; tx <= target.width(); tx += stepX)
        for (int ty = 0; ty <= target.height(); ty += stepY)
            target.blit(tile, 0, 0, tile.width(), tile.height(), tx, ty);
}

Canvas tiledUnder(const Canvas& tile, int left, int top, int width, int height) {
    Canvas out(width, height);
    if (tile.empty()) return out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.setPixel(x, y, tile.pixel((left + x) % tile.width(), (top + y) % tile.height()));
    return out;
}

Canvas reduced(const Canvas& src, int w, int h) {
    Canvas out(w, h);
    if (src.empty() || out.empty()) return out;
    const double fx = double(src.width()) / w, fy = double(src.height()) / h;
    for (int y = 0; y < h; ++y) {
        const double y0 = y * fy, y1 = (y + 1) * fy;
        for (int x = 0; x < w; ++x) {
            const double x0 = x * fx, x1 = (x + 1) * fx;
            double r = 0, g = 0, b = 0, total = 0;
            for (int sy = int(y0); sy < int(std::ceil(y1)) && sy < src.height(); ++sy) {
                double wy = std::min(y1, sy + 1.0) - std::max(y0, double(sy));
                for (int sx = int(x0); sx < int(std::ceil(x1)) && sx < src.width(); ++sx) {
                    double wgt = wy * (std::min(x1, sx + 1.0) - std::max(x0, double(sx)));
                    Rgb c = toRgb(src.pixel(sx, sy));
                    r += c.r * wgt;
                    g += c.g * wgt;
                    b += c.b * wgt;
                    total += wgt;
                }
            }
            out.setPixel(x, y, toPixel(Rgb{r / total, g / total, b / total}));
        }
    }
    return out;
}

Mask maskFromAlpha(const Canvas& text, int width, int height, int dx, int dy) {
    Mask m(width, height);
    for (int y = 0; y < text.height(); ++y)
        for (int x = 0; x < text.width(); ++x) {
            int tx = x + dx, ty = y + dy;
            if (tx < 0 || ty < 0 || tx >= width || ty >= height) continue;
            m.ref(tx, ty) = float((text.pixel(x, y) >> 24) & 255) / 255.f;
        }
    return m;
}

void unite(Mask& into, const Mask& other) {
    for (size_t i = 0; i < into.a.size() && i < other.a.size(); ++i)
        into.a[i] = std::max(into.a[i], other.a[i]);
}

namespace {

// One box pass along rows (horizontal) or columns.
Mask boxPass(const Mask& m, int radius, bool horizontal) {
    Mask out(m.w, m.h);
    const int outer = horizontal ? m.h : m.w, inner = horizontal ? m.w : m.h;
    const float norm = 1.f / float(2 * radius + 1);
    for (int o = 0; o < outer; ++o) {
        auto at = [&](int i) { return horizontal ? m.at(i, o) : m.at(o, i); };
        float sum = 0;
        for (int i = -radius; i <= radius; ++i) sum += at(i);
        for (int i = 0; i < inner; ++i) {
            (horizontal ? out.ref(i, o) : out.ref(o, i)) = sum * norm;
            sum += at(i + radius + 1) - at(i - radius);
        }
    }
    return out;
}

}  // namespace

Mask blurred(const Mask& m, int radius) {
    if (radius <= 0) return m;
    const int r = std::max(1, radius / 2);
    Mask out = m;
    for (int pass = 0; pass < 3; ++pass) out = boxPass(boxPass(out, r, true), r, false);
    return out;
}

Mask shifted(const Mask& m, int dx, int dy) {
    Mask out(m.w, m.h);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) out.ref(x, y) = m.at(x - dx, y - dy);
    return out;
}

Mask dilated(const Mask& m, int radius) {
    Mask out(m.w, m.h);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float best = 0;
            for (int j = -radius; j <= radius; ++j)
                for (int i = -radius; i <= radius; ++i)
                    if (i * i + j * j <= radius * radius) best = std::max(best, m.at(x + i, y + j));
            out.ref(x, y) = best;
        }
    return out;
}

std::vector<float> bevelLight(const Mask& m, int radius) {
    Mask height = blurred(m, radius);
    std::vector<float> light(m.a.size(), 0.f);
    const float lx = -0.6f, ly = -0.8f;  // towards the upper left
    const float depth = 2.0f * float(radius);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float gx = (height.at(x + 1, y) - height.at(x - 1, y)) * depth;
            float gy = (height.at(x, y + 1) - height.at(x, y - 1)) * depth;
            // The surface normal is (-gx, -gy, 1); its slope towards the light.
            float len = std::sqrt(gx * gx + gy * gy + 1.f);
            light[static_cast<size_t>(y) * m.w + x] = (-gx * lx - gy * ly) / len;
        }
    return light;
}

void paintMask(Canvas& c, const Mask& m, const Rgb& colour, double opacity) {
    for (int y = 0; y < c.height() && y < m.h; ++y)
        for (int x = 0; x < c.width() && x < m.w; ++x) {
            double a = m.at(x, y) * opacity;
            if (a <= 0) continue;
            c.setPixel(x, y, toPixel(mix(toRgb(c.pixel(x, y)), colour, std::min(1.0, a))));
        }
}

void darken(Canvas& c, const Mask& m, double strength) {
    for (int y = 0; y < c.height() && y < m.h; ++y)
        for (int x = 0; x < c.width() && x < m.w; ++x) {
            double a = m.at(x, y) * strength;
            if (a <= 0) continue;
            c.setPixel(x, y, toPixel(scale(toRgb(c.pixel(x, y)), 1.0 - std::min(1.0, a))));
        }
}

void cutOut(Canvas& c, const Mask& keep, float threshold) {
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (keep.at(x, y) < threshold) c.setPixel(x, y, kTransparent);
}

}  // namespace zib::assetgen
