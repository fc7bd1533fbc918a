#include "assetgen/surface.h"

#include <algorithm>
#include <cmath>

namespace zib::assetgen {

Surface::Surface(int width, int height, const Rgb& fill)
    : w_(width), h_(height), px_(static_cast<size_t>(width) * height, fill) {}

size_t Surface::index(int x, int y) const {
    int xx = ((x % w_) + w_) % w_, yy = ((y % h_) + h_) % h_;
    return static_cast<size_t>(yy) * w_ + xx;
}

void Surface::blend(int x, int y, const Rgb& colour, double a) {
    Rgb& p = at(x, y);
    p = mix(p, colour, std::clamp(a, 0.0, 1.0));
}

void Surface::ellipse(double cx, double cy, double rx, double ry, const Rgb& colour,
                      double opacity) {
    for (int y = int(std::floor(cy - ry - 1)); y <= int(std::ceil(cy + ry + 1)); ++y)
        for (int x = int(std::floor(cx - rx - 1)); x <= int(std::ceil(cx + rx + 1)); ++x) {
            double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            double d = std::sqrt(dx * dx + dy * dy);
            // Distance past the edge in pixels, roughly.
            double edge = (d - 1.0) * std::min(rx, ry);
            double cover = std::clamp(0.5 - edge, 0.0, 1.0);
            if (cover > 0) blend(x, y, colour, cover * opacity);
        }
}

void Surface::line(double x0, double y0, double x1, double y1, double width, const Rgb& colour,
                   double opacity) {
    const double half = width / 2;
    const double minX = std::min(x0, x1) - half - 1, maxX = std::max(x0, x1) + half + 1;
    const double minY = std::min(y0, y1) - half - 1, maxY = std::max(y0, y1) + half + 1;
    const double vx = x1 - x0, vy = y1 - y0, len2 = std::max(1e-9, vx * vx + vy * vy);
    for (int y = int(std::floor(minY)); y <= int(std::ceil(maxY)); ++y)
        for (int x = int(std::floor(minX)); x <= int(std::ceil(maxX)); ++x) {
            double px = x + 0.5 - x0, py = y + 0.5 - y0;
            double t = std::clamp((px * vx + py * vy) / len2, 0.0, 1.0);
            double dx = px - t * vx, dy = py - t * vy;
            double cover = std::clamp(half + 0.5 - std::sqrt(dx * dx + dy * dy), 0.0, 1.0);
            if (cover > 0) blend(x, y, colour, cover * opacity);
        }
}

Canvas Surface::picture(int extra) const {
    Canvas out(w_ + extra, h_ + extra);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) out.setPixel(x, y, toPixel(at(x, y)));
    return out;
}

}  // namespace zib::assetgen
