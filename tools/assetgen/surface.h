#pragma once
// A colour field that repeats with its own size, for painting textures that tile without seams:
// every write and read wraps around the edges.
#include <vector>

#include "assetgen/paint.h"

namespace zib::assetgen {

class Surface {
  public:
    Surface(int width, int height, const Rgb& fill = Rgb{});

    int width() const { return w_; }
    int height() const { return h_; }
    Rgb& at(int x, int y) { return px_[index(x, y)]; }
    const Rgb& at(int x, int y) const { return px_[index(x, y)]; }

    // Blends colour into a filled ellipse centred at (cx, cy) with radii rx, ry; the edge is
    // softened over one pixel. opacity 0..1.
    void ellipse(double cx, double cy, double rx, double ry, const Rgb& colour, double opacity);
    // A line of the given width from (x0, y0) to (x1, y1), blended with opacity.
    void line(double x0, double y0, double x1, double y1, double width, const Rgb& colour,
              double opacity);

    // The picture of size (width + extra) x (height + extra): the field and the first `extra`
    // columns and rows again, so that tiling at steps of width and height (the level loader's
    // rule for extra = 2) shows no seam.
    Canvas picture(int extra) const;

  private:
    size_t index(int x, int y) const;
    void blend(int x, int y, const Rgb& colour, double a);
    int w_, h_;
    std::vector<Rgb> px_;
};

}  // namespace zib::assetgen
