#include "assetgen/metal.h"

#include <cmath>
#include <numbers>

#include "assetgen/noise.h"
#include "assetgen/surface.h"

namespace zib::assetgen {

Canvas brushedMetal() {
    const int n = kMetalSize;
    Surface s(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            // Long streaks: few lattice cells across, one per row down.
            double streak = fractal(201, x, y, n, n, 3, n, 2);
            double fine = fractal(202, x, y, n, n, 16, n, 1);
            // A broad soft sheen that runs diagonally, twice per tile.
            double sheen = std::sin(2 * std::numbers::pi * (2.0 * x / n + 1.0 * y / n));
            double cloud = fractal(203, x, y, n, n, 2, 2, 3);
            double v =
                166 + 26 * (streak - 0.5) + 14 * (fine - 0.5) + 5 * sheen + 16 * (cloud - 0.5);
            s.at(x, y) = Rgb{v, v + 2, v + 5};
        }
    return s.picture(0);
}

}  // namespace zib::assetgen
