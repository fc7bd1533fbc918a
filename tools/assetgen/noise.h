#pragma once
// Deterministic randomness for the generated art: a small generator with a fixed seed and value
// noise that repeats with a chosen period, so that textures tile without seams.
#include <cstdint>

namespace zib::assetgen {

// splitmix64: every picture and sound starts from its own fixed seed.
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next();
    double uniform();                      // [0, 1)
    double uniform(double lo, double hi);  // [lo, hi)
    int below(int n);                      // 0 .. n - 1

  private:
    uint64_t state_;
};

// A hash of integer coordinates to [0, 1).
double hash01(uint64_t seed, int64_t x, int64_t y);

// Smooth value noise in [0, 1) whose lattice has cellsX x cellsY cells over a period of
// periodX x periodY pixels: noise(x + periodX, y) == noise(x, y).
class PeriodicNoise {
  public:
    PeriodicNoise(uint64_t seed, double periodX, double periodY, int cellsX, int cellsY)
        : seed_(seed), periodX_(periodX), periodY_(periodY), cellsX_(cellsX), cellsY_(cellsY) {}
    double at(double x, double y) const;

  private:
    uint64_t seed_;
    double periodX_, periodY_;
    int cellsX_, cellsY_;
};

// Several octaves of periodic noise (each doubling the cells and halving the weight), in [0, 1).
double fractal(uint64_t seed, double x, double y, double periodX, double periodY, int cellsX,
               int cellsY, int octaves);

}  // namespace zib::assetgen
