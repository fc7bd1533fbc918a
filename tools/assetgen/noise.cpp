#include "assetgen/noise.h"

#include <cmath>

namespace zib::assetgen {

uint64_t Rng::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

double Rng::uniform(double lo, double hi) {
    return lo + (hi - lo) * uniform();
}

int Rng::below(int n) {
    return n <= 0 ? 0 : static_cast<int>(next() % static_cast<uint64_t>(n));
}

double hash01(uint64_t seed, int64_t x, int64_t y) {
    Rng r(seed ^ (static_cast<uint64_t>(x) * 0x9E3779B1ull) ^
          (static_cast<uint64_t>(y) * 0x85EBCA77C2B2AE63ull));
    r.next();
    return r.uniform();
}

namespace {

double smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

int wrap(int64_t i, int n) {
    int64_t m = i % n;
    return static_cast<int>(m < 0 ? m + n : m);
}

}  // namespace

double PeriodicNoise::at(double x, double y) const {
    double u = x * cellsX_ / periodX_;
    double v = y * cellsY_ / periodY_;
    double fu = std::floor(u), fv = std::floor(v);
    int64_t iu = static_cast<int64_t>(fu), iv = static_cast<int64_t>(fv);
    double tu = smooth(u - fu), tv = smooth(v - fv);
    auto corner = [&](int64_t a, int64_t b) {
        return hash01(seed_, wrap(a, cellsX_), wrap(b, cellsY_));
    };
    double top = corner(iu, iv) + (corner(iu + 1, iv) - corner(iu, iv)) * tu;
    double bottom = corner(iu, iv + 1) + (corner(iu + 1, iv + 1) - corner(iu, iv + 1)) * tu;
    return top + (bottom - top) * tv;
}

double fractal(uint64_t seed, double x, double y, double periodX, double periodY, int cellsX,
               int cellsY, int octaves) {
    double sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        PeriodicNoise n(seed + static_cast<uint64_t>(o) * 7919, periodX, periodY, cellsX << o,
                        cellsY << o);
        sum += n.at(x, y) * weight;
        total += weight;
        weight *= 0.5;
    }
    return sum / total;
}

}  // namespace zib::assetgen
