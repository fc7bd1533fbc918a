// Backgrounds of the levels: grass, soil, sand and paving, each 202 x 152 with a period of
// 200 x 150.
#include <cmath>
#include <numbers>

#include "assetgen/level_pictures.h"
#include "assetgen/noise.h"
#include "assetgen/surface.h"

namespace zib::assetgen {
namespace {

constexpr int kPeriodX = 200, kPeriodY = 150;

// Fills the surface with a base colour whose brightness follows periodic noise.
void mottle(Surface& s, uint64_t seed, const Rgb& base, int cells, double amount) {
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            double n = fractal(seed, x, y, s.width(), s.height(), cells,
                               cells * s.height() / s.width() + 1, 4);
            s.at(x, y) = scale(base, 1.0 + amount * (n - 0.5) * 2.0);
        }
}

}  // namespace

Canvas grassBackground() {
    Surface s(kPeriodX, kPeriodY);
    mottle(s, 11, Rgb{74, 128, 48}, 8, 0.18);
    Rng rng(12);
    const Rgb greens[] = {
        {52, 104, 34}, {88, 150, 56}, {104, 160, 62}, {62, 116, 40}, {120, 170, 70}};
    for (int i = 0; i < 2600; ++i) {
        double x = rng.uniform(0, kPeriodX), y = rng.uniform(0, kPeriodY);
        double len = rng.uniform(3, 8), lean = rng.uniform(-0.45, 0.45);
        const Rgb& c = greens[rng.below(5)];
        s.line(x, y, x + lean * len, y - len, rng.uniform(0.8, 1.3), c, rng.uniform(0.5, 0.9));
    }
    return s.picture(2);
}

Canvas soilBackground() {
    Surface s(kPeriodX, kPeriodY);
    mottle(s, 21, Rgb{118, 86, 58}, 6, 0.22);
    Rng rng(22);
    // Crumbs: small dark and light specks.
    for (int i = 0; i < 1400; ++i) {
        double x = rng.uniform(0, kPeriodX), y = rng.uniform(0, kPeriodY);
        Rgb c = rng.uniform() < 0.6 ? Rgb{82, 58, 38} : Rgb{150, 116, 82};
        s.ellipse(x, y, rng.uniform(0.6, 1.4), rng.uniform(0.6, 1.2), c, 0.7);
    }
    // Pebbles with a lit upper side.
    for (int i = 0; i < 40; ++i) {
        double x = rng.uniform(0, kPeriodX), y = rng.uniform(0, kPeriodY);
        double rx = rng.uniform(2, 4.5), ry = rx * rng.uniform(0.6, 0.9);
        double tone = rng.uniform(120, 170);
        s.ellipse(x + 1, y + 1.2, rx, ry, Rgb{70, 50, 34}, 0.6);
        s.ellipse(x, y, rx, ry, Rgb{tone, tone * 0.92, tone * 0.82}, 1.0);
        s.ellipse(x - rx * 0.3, y - ry * 0.35, rx * 0.45, ry * 0.4, Rgb{210, 200, 185}, 0.35);
    }
    return s.picture(2);
}

Canvas sandBackground() {
    Surface s(kPeriodX, kPeriodY);
    Rng rng(31);
    for (int y = 0; y < kPeriodY; ++y)
        for (int x = 0; x < kPeriodX; ++x) {
            double n = fractal(32, x, y, kPeriodX, kPeriodY, 5, 4, 3);
            // Wind ripples: waves along y, bent by the noise; 10 whole waves per period.
            double ripple = std::sin(2 * std::numbers::pi * (10.0 * y / kPeriodY + 1.5 * n));
            double grain = rng.uniform(-1, 1);
            Rgb base{222, 200, 152};
            s.at(x, y) = add(scale(base, 1.0 + 0.05 * ripple + 0.08 * (n - 0.5)), 9 * grain);
        }
    for (int i = 0; i < 300; ++i) {
        double x = rng.uniform(0, kPeriodX), y = rng.uniform(0, kPeriodY);
        s.ellipse(x, y, 0.8, 0.8, rng.uniform() < 0.5 ? Rgb{170, 140, 100} : Rgb{245, 235, 210},
                  0.6);
    }
    return s.picture(2);
}

Canvas pavingBackground() {
    Surface s(kPeriodX, kPeriodY);
    const int slab = 50;
    Rng rng(41);
    double tones[4][3];
    for (auto& row : tones)
        for (double& t : row) t = rng.uniform(0.9, 1.06);
    for (int y = 0; y < kPeriodY; ++y)
        for (int x = 0; x < kPeriodX; ++x) {
            int sx = x % slab, sy = y % slab;
            double n = fractal(42, x, y, kPeriodX, kPeriodY, 10, 8, 3);
            Rgb c = scale(Rgb{200, 182, 152}, tones[x / slab][y / slab] * (0.9 + 0.2 * n));
            c = add(c, 6 * rng.uniform(-1, 1));
            if (sx < 2 || sy < 2)
                c = Rgb{150, 134, 112};  // the joint
            else if (sx == 2 || sy == 2)
                c = scale(c, 1.06);  // lit edge
            else if (sx == slab - 1 || sy == slab - 1)
                c = scale(c, 0.9);  // shaded edge
            s.at(x, y) = c;
        }
    return s.picture(2);
}

}  // namespace zib::assetgen
