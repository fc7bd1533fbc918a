#include "platform/canvas.h"

#include <algorithm>

namespace zib {

Rect Rect::intersect(const Rect& o) const {
    int x0 = std::max(x, o.x);
    int y0 = std::max(y, o.y);
    int x1 = std::min(x + w, o.x + o.w);
    int y1 = std::min(y + h, o.y + o.h);
    return Rect{x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

Canvas::Canvas(int width, int height, uint32_t fill)
    : width_(std::max(0, width)), height_(std::max(0, height)) {
    pixels_.assign(static_cast<size_t>(width_) * height_, fill);
}

uint32_t Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kTransparent;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Canvas::setPixel(int x, int y, uint32_t colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<size_t>(y) * width_ + x] = colour;
}

void Canvas::fill(uint32_t colour) {
    std::fill(pixels_.begin(), pixels_.end(), colour);
}

void Canvas::fillRect(int x, int y, int w, int h, uint32_t colour) {
    Rect r = Rect{x, y, w, h}.intersect(bounds());
    for (int yy = r.y; yy < r.y + r.h; ++yy) std::fill_n(row(yy) + r.x, r.w, colour);
}

namespace {

enum class Op { Copy, And, Over };

// Copies the w x h block at (sx, sy) of src to (dx, dy) of dst, clipped to src, to dst and to clip.
void transfer(Canvas& dst, const Canvas& src, int sx, int sy, int w, int h, int dx, int dy,
              const Rect& clip, Op op) {
    // Clip against the source first, moving the destination along.
    if (sx < 0) {
        w += sx;
        dx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        h += sy;
        dy -= sy;
        sy = 0;
    }
    w = std::min(w, src.width() - sx);
    h = std::min(h, src.height() - sy);
    Rect target = Rect{dx, dy, w, h}.intersect(clip).intersect(dst.bounds());
    if (target.empty()) return;
    sx += target.x - dx;
    sy += target.y - dy;
    for (int y = 0; y < target.h; ++y) {
        const uint32_t* from = src.row(sy + y) + sx;
        uint32_t* to = dst.row(target.y + y) + target.x;
        switch (op) {
            case Op::Copy:
                std::copy_n(from, target.w, to);
                break;
            case Op::And:
                for (int x = 0; x < target.w; ++x) to[x] = (to[x] & from[x]) | 0xFF000000u;
                break;
            case Op::Over:
                for (int x = 0; x < target.w; ++x)
                    if (from[x] >> 24) to[x] = from[x];
                break;
        }
    }
}

}  // namespace

void Canvas::blit(const Canvas& src, int sx, int sy, int w, int h, int dx, int dy, BlitMode mode) {
    transfer(*this, src, sx, sy, w, h, dx, dy, bounds(),
             mode == BlitMode::And ? Op::And : Op::Copy);
}

void Canvas::drawOver(const Canvas& src, int dx, int dy) {
    transfer(*this, src, 0, 0, src.width(), src.height(), dx, dy, bounds(), Op::Over);
}

void Canvas::drawOver(const Canvas& src, int dx, int dy, const Rect& clip) {
    transfer(*this, src, 0, 0, src.width(), src.height(), dx, dy, clip, Op::Over);
}

void Canvas::copyFrom(const Canvas& src, int dx, int dy, const Rect& clip) {
    transfer(*this, src, 0, 0, src.width(), src.height(), dx, dy, clip, Op::Copy);
}

Canvas Canvas::scaled(const Canvas& src, int w, int h) {
    Canvas out(w, h, kWhite);
    if (src.empty() || out.empty()) return out;
    for (int y = 0; y < out.height(); ++y) {
        int syy = static_cast<int>(static_cast<long long>(y) * src.height() / out.height());
        const uint32_t* from = src.row(syy);
        uint32_t* to = out.row(y);
        for (int x = 0; x < out.width(); ++x)
            to[x] = from[static_cast<long long>(x) * src.width() / out.width()];
    }
    return out;
}

}  // namespace zib
