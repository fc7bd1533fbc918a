#pragma once
// A plain pixel surface: 32-bit pixels 0xAARRGGBB. Alpha 0 marks a transparent pixel (the
// transparent colour of a GIF sprite); every other pixel is opaque. Surfaces drawn by the game are
// opaque; only sprite pictures carry transparency.
#include <cstdint>
#include <memory>
#include <vector>

namespace zib {

constexpr uint32_t rgb(int r, int g, int b) {
    return 0xFF000000u | (uint32_t(r & 255) << 16) | (uint32_t(g & 255) << 8) | uint32_t(b & 255);
}
constexpr uint32_t kTransparent = 0x00000000u;
constexpr uint32_t kWhite = rgb(255, 255, 255);
constexpr uint32_t kBlack = rgb(0, 0, 0);

enum class BlitMode { Copy, And };

// A rectangle of pixels: (x, y) top-left, w x h. Empty when w or h is not positive.
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
    Rect intersect(const Rect& o) const;
};

class Canvas {
  public:
    Canvas() = default;
    Canvas(int width, int height, uint32_t fill = kWhite);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }

    uint32_t pixel(int x, int y) const;            // kTransparent outside the surface
    void setPixel(int x, int y, uint32_t colour);  // ignored outside the surface
    uint32_t* row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const uint32_t* row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }

    void fill(uint32_t colour);
    void fillRect(int x, int y, int w, int h, uint32_t colour);

    // Block copy of an equal-sized rectangle (source (sx, sy), size w x h) to (dx, dy), clipped to
    // both surfaces. Copy replaces the pixels; And combines the colour values bitwise (the result
    // is opaque).
    void blit(const Canvas& src, int sx, int sy, int w, int h, int dx, int dy,
              BlitMode mode = BlitMode::Copy);
    // Draws the whole of src at (dx, dy), leaving the pixels under transparent ones unchanged.
    void drawOver(const Canvas& src, int dx, int dy);
    // The same, drawing only inside clip (in this canvas's coordinates).
    void drawOver(const Canvas& src, int dx, int dy, const Rect& clip);
    // Plain copy of the whole of src to (dx, dy), only inside clip.
    void copyFrom(const Canvas& src, int dx, int dy, const Rect& clip);
    Rect bounds() const { return Rect{0, 0, width_, height_}; }

    // A new canvas of size w x h, src scaled to it by nearest neighbour (used for previews).
    static Canvas scaled(const Canvas& src, int w, int h);

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// A loaded picture is shared between the controls that show it and never changed afterwards.
using Picture = std::shared_ptr<const Canvas>;

}  // namespace zib
