// Wall textures of the levels: brick, cobblestone, wood, steel, hedge and marble. Each repeats with
// a period two pixels shorter than its size.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "assetgen/level_pictures.h"
#include "assetgen/noise.h"
#include "assetgen/surface.h"

namespace zib::assetgen {
namespace {

// Red-brown bricks in running bond, 32 x 12 with light mortar; period 96.
Canvas bricks() {
    const int period = 96, bw = 32, bh = 12, mortar = 2;
    Surface s(period, period);
    Rng rng(51);
    std::vector<double> tone(static_cast<size_t>((period / bw) * (period / bh)));
    for (double& t : tone) t = rng.uniform(0.82, 1.08);
    for (int y = 0; y < period; ++y) {
        const int row = y / bh, by = y % bh;
        const int shift = (row % 2) * (bw / 2);
        for (int x = 0; x < period; ++x) {
            const int bx = (x + shift) % bw, col = ((x + shift) / bw) % (period / bw);
            double n = fractal(52, x, y, period, period, 12, 12, 3);
            if (bx < mortar || by < mortar) {
                s.at(x, y) = add(Rgb{182, 176, 164}, 30 * (n - 0.5));
                continue;
            }
            Rgb c = scale(Rgb{150, 66, 44}, tone[static_cast<size_t>(row * (period / bw) + col)]);
            c = scale(c, 0.85 + 0.3 * n);
            c = add(c, 7 * rng.uniform(-1, 1));
            if (bx == mortar || by == mortar) c = scale(c, 1.15);
            if (bx == bw - 1 || by == bh - 1) c = scale(c, 0.75);
            s.at(x, y) = c;
        }
    }
    return s.picture(2);
}

// Rounded grey stones set in dark joints: a periodic Voronoi pattern; period 64.
Canvas cobbles() {
    const int period = 64;
    Surface s(period, period);
    Rng rng(61);
    struct Stone {
        double x, y, tone;
    };
    std::vector<Stone> stones;
    const int grid = 4;  // one stone per 16 x 16 cell, jittered
    for (int j = 0; j < grid; ++j)
        for (int i = 0; i < grid; ++i)
            stones.push_back({(i + rng.uniform(0.2, 0.8)) * period / grid,
                              (j + rng.uniform(0.2, 0.8)) * period / grid, rng.uniform(0.8, 1.15)});
    for (int y = 0; y < period; ++y)
        for (int x = 0; x < period; ++x) {
            double d1 = 1e9, d2 = 1e9;
            const Stone* nearest = nullptr;
            double nx = 0, ny = 0;
            for (const Stone& st : stones)
                for (int oy = -1; oy <= 1; ++oy)
                    for (int ox = -1; ox <= 1; ++ox) {
                        double dx = x + 0.5 - (st.x + ox * period);
                        double dy = y + 0.5 - (st.y + oy * period);
                        double d = std::sqrt(dx * dx + dy * dy);
                        if (d < d1) {
                            d2 = d1;
                            d1 = d;
                            nearest = &st;
                            nx = dx;
                            ny = dy;
                        } else if (d < d2) {
                            d2 = d;
                        }
                    }
            double n = fractal(62, x, y, period, period, 8, 8, 3);
            double edge = d2 - d1;  // distance to the joint, doubled
            if (edge < 2.2) {
                s.at(x, y) = add(Rgb{36, 34, 32}, 16 * n);
                continue;
            }
            // A dome: lit on the upper left, darker towards the joint.
            double lit = std::clamp(-(nx + ny) / (d1 + 4.0), -1.0, 1.0);
            double rim = std::clamp((edge - 2.2) / 6.0, 0.0, 1.0);
            Rgb c = scale(Rgb{120, 118, 114}, nearest->tone * (0.82 + 0.3 * n));
            c = scale(c, 0.75 + 0.25 * rim + 0.18 * lit);
            s.at(x, y) = c;
        }
    return s.picture(2);
}

// Horizontal planks, 16 pixels high, with grain, knots and dark gaps; period 96.
Canvas woodPlanks() {
    const int period = 96, plank = 16;
    Surface s(period, period);
    Rng rng(71);
    double tone[period / plank], offset[period / plank];
    int cut[period / plank];
    for (int i = 0; i < period / plank; ++i) {
        tone[i] = rng.uniform(0.85, 1.1);
        offset[i] = rng.uniform(0, 100);
        cut[i] = rng.below(period);
    }
    for (int y = 0; y < period; ++y) {
        const int p = y / plank, py = y % plank;
        for (int x = 0; x < period; ++x) {
            double warp = fractal(72 + p, x, y, period, period, 4, 6, 3);
            double grain = std::sin(2 * std::numbers::pi * ((py + offset[p]) / 3.2 + 3.0 * warp));
            double fine = fractal(73, x, y, period, period, 48, 6, 2);
            Rgb c = scale(Rgb{160, 108, 62}, tone[p] * (0.9 + 0.08 * grain + 0.12 * (fine - 0.5)));
            if (py == 0) c = scale(c, 0.45);
            if (py == 1) c = scale(c, 1.1);
            if (py == plank - 1) c = scale(c, 0.8);
            int dx = ((x - cut[p]) % period + period) % period;
            if (dx == 0 && py > 0) c = scale(c, 0.5);  // the end of a board
            s.at(x, y) = c;
        }
    }
    for (int i = 0; i < 3; ++i) {
        double kx = rng.uniform(0, period), ky = (rng.below(period / plank) + 0.5) * plank;
        s.ellipse(kx, ky, 3.2, 2.2, Rgb{96, 58, 30}, 0.8);
        s.ellipse(kx, ky, 1.4, 1.0, Rgb{70, 40, 20}, 0.9);
    }
    return s.picture(2);
}

// Steel plates of 32 x 32 with brushed surface, seams and a rivet in each corner; period 64.
Canvas steelPlates() {
    const int period = 64, plate = 32;
    Surface s(period, period);
    for (int y = 0; y < period; ++y)
        for (int x = 0; x < period; ++x) {
            double streak = fractal(82, x, y, period, period, 2, 32, 2);
            double n = fractal(83, x, y, period, period, 4, 4, 2);
            Rgb c = add(Rgb{128, 134, 140}, 34 * (streak - 0.5) + 24 * (n - 0.5));
            int px = x % plate, py = y % plate;
            if (px == 0 || py == 0) c = scale(c, 0.55);
            if (px == 1 || py == 1) c = scale(c, 1.2);
            if (px == plate - 1 || py == plate - 1) c = scale(c, 0.8);
            s.at(x, y) = c;
        }
    for (int j = 0; j < period / plate; ++j)
        for (int i = 0; i < period / plate; ++i)
            for (auto [ox, oy] :
                 {std::pair{5, 5}, {plate - 5, 5}, {5, plate - 5}, {plate - 5, plate - 5}}) {
                double cx = i * plate + ox, cy = j * plate + oy;
                s.ellipse(cx + 0.8, cy + 0.8, 2.4, 2.4, Rgb{60, 62, 66}, 0.8);
                s.ellipse(cx, cy, 2.2, 2.2, Rgb{150, 156, 162}, 1.0);
                s.ellipse(cx - 0.7, cy - 0.7, 1.0, 1.0, Rgb{225, 228, 232}, 0.9);
            }
    return s.picture(2);
}

// A clipped hedge: overlapping leaves in dark and light greens, darker in the hollows; period 64.
Canvas hedge() {
    const int period = 64;
    Surface s(period, period);
    for (int y = 0; y < period; ++y)
        for (int x = 0; x < period; ++x) {
            double n = fractal(91, x, y, period, period, 4, 4, 3);
            s.at(x, y) = scale(Rgb{30, 66, 28}, 0.7 + 0.6 * n);
        }
    Rng rng(92);
    for (int i = 0; i < 520; ++i) {
        double x = rng.uniform(0, period), y = rng.uniform(0, period);
        double angle = rng.uniform(0, std::numbers::pi);
        double len = rng.uniform(2.5, 4.5);
        double lit = fractal(93, x, y, period, period, 4, 4, 2);
        Rgb c = mix(Rgb{34, 84, 30}, Rgb{96, 156, 64},
                    std::clamp(lit * 1.4 - 0.2 + rng.uniform(-0.2, 0.2), 0.0, 1.0));
        double dx = std::cos(angle) * len, dy = std::sin(angle) * len;
        s.line(x - dx, y - dy, x + dx, y + dy, rng.uniform(2.0, 3.2), c, 0.95);
        s.line(x - dx * 0.6, y - dy * 0.6, x + dx * 0.6, y + dy * 0.6, 0.8, scale(c, 1.2), 0.5);
    }
    return s.picture(2);
}

// White marble with grey veins that wander through turbulence; period 96.
Canvas marble() {
    const int period = 96;
    Surface s(period, period);
    Rng rng(101);
    for (int y = 0; y < period; ++y)
        for (int x = 0; x < period; ++x) {
            double turb = fractal(102, x, y, period, period, 3, 3, 5);
            double fineTurb = fractal(104, x, y, period, period, 4, 4, 4);
            // Broad soft veins running diagonally, and fine dark ones across them.
            double v = std::sin(2 * std::numbers::pi * (1.0 * (x + y) / period + 2.5 * turb));
            double w = std::sin(2 * std::numbers::pi * (2.0 * (x - y) / period + 3.0 * fineTurb));
            double broad = std::exp(-std::abs(v) * 5.0);
            double fine = std::exp(-std::abs(w) * 22.0);
            double cloud = fractal(103, x, y, period, period, 5, 5, 3);
            Rgb c = scale(Rgb{236, 233, 228}, 0.93 + 0.08 * cloud);
            c = mix(c, Rgb{168, 170, 178}, 0.55 * broad);
            c = mix(c, Rgb{110, 112, 122}, 0.45 * fine);
            s.at(x, y) = add(c, 2 * rng.uniform(-1, 1));
        }
    return s.picture(2);
}

}  // namespace

Canvas brickTexture() {
    return bricks();
}
Canvas cobbleTexture() {
    return cobbles();
}
Canvas woodTexture() {
    return woodPlanks();
}
Canvas steelTexture() {
    return steelPlates();
}
Canvas hedgeTexture() {
    return hedge();
}
Canvas marbleTexture() {
    return marble();
}

}  // namespace zib::assetgen
