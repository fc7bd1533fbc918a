#pragma once
// Pixel helpers for the generated art: colours in floating point, tiling by the game's two rules,
// a box-filter reduction, coverage masks (for lettering and shapes) with blur and lighting.
#include <cstdint>
#include <vector>

#include "platform/canvas.h"

namespace zib::assetgen {

struct Rgb {
    double r = 0, g = 0, b = 0;  // 0..255
};

Rgb toRgb(uint32_t pixel);
uint32_t toPixel(const Rgb& c);  // clamps, opaque
Rgb mix(const Rgb& a, const Rgb& b, double t);
Rgb scale(const Rgb& c, double f);
Rgb add(const Rgb& c, double d);

// The level loader's rule: tiles at steps of w - 2 and h - 2 from (0, 0), each later tile covering
// the last two columns or rows of the one before, while the tile's corner lies inside the target.
void tileWithOverlap(Canvas& target, const Canvas& tile);
// The menu's rule: tiles edge to edge from the window's (0, 0). The result is the part of that
// tiling that lies under a picture placed at window position (left, top).
Canvas tiledUnder(const Canvas& tile, int left, int top, int width, int height);
// Area-average reduction to w x h (every source pixel weighted by how much of it a target pixel
// covers), for the level previews.
Canvas reduced(const Canvas& src, int w, int h);

// Coverage 0..1 per pixel: the shape of letters, a knob, a groove.
struct Mask {
    Mask() = default;
    Mask(int width, int height)
        : w(width), h(height), a(static_cast<size_t>(width) * height, 0.f) {}
    int w = 0, h = 0;
    std::vector<float> a;
    float at(int x, int y) const {
        return x < 0 || y < 0 || x >= w || y >= h ? 0.f : a[static_cast<size_t>(y) * w + x];
    }
    float& ref(int x, int y) { return a[static_cast<size_t>(y) * w + x]; }
};

// The alpha channel of a rendered caption, placed at (dx, dy) of a mask of the given size.
Mask maskFromAlpha(const Canvas& text, int width, int height, int dx, int dy);
// The union (maximum) of two masks of equal size.
void unite(Mask& into, const Mask& other);
Mask blurred(const Mask& m, int radius);  // three box passes, close to a Gaussian
Mask shifted(const Mask& m, int dx, int dy);
Mask dilated(const Mask& m, int radius);
// Lighting of a raised shape: its height is the blurred mask; the result is the slope towards a
// light from the upper left, about -1 (turned away) .. 1 (facing the light).
std::vector<float> bevelLight(const Mask& m, int radius);

// Paints colour over the canvas with the mask as opacity.
void paintMask(Canvas& c, const Mask& m, const Rgb& colour, double opacity = 1.0);
// Darkens the canvas under the mask: pixel *= 1 - strength * coverage.
void darken(Canvas& c, const Mask& m, double strength);

// Makes pixels transparent where the mask is below the threshold and opaque elsewhere, so that a
// picture shown by an image control has a clean edge (the toolkit knows no partial transparency).
void cutOut(Canvas& c, const Mask& keep, float threshold);

}  // namespace zib::assetgen
