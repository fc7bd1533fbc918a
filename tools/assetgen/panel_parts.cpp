// The divider strip, the speed gauge with its cell and handle, and the arrow buttons.
#include <algorithm>
#include <cmath>

#include "assetgen/lettering.h"
#include "assetgen/menu_art.h"
#include "assetgen/paint.h"

namespace zib::assetgen {
namespace {

Canvas textureAt(const Canvas& metal, const Placement& p) {
    return tiledUnder(metal, p.left, p.top, p.width, p.height);
}

// A mask of a rounded rectangle with soft edges.
Mask roundedRect(int w, int h, double x, double y, double rw, double rh, double radius) {
    Mask m(w, h);
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx) {
            double px = xx + 0.5, py = yy + 0.5;
            double dx = std::max({x + radius - px, px - (x + rw - radius), 0.0});
            double dy = std::max({y + radius - py, py - (y + rh - radius), 0.0});
            double outside =
                std::max(px < x || px > x + rw ? 1.0 : 0.0, py < y || py > y + rh ? 1.0 : 0.0);
            double d = std::sqrt(dx * dx + dy * dy) - radius;
            m.ref(xx, yy) = outside > 0 && d > 0.5 ? 0.f : float(std::clamp(0.5 - d, 0.0, 1.0));
        }
    return m;
}

// A raised piece: its shadow to the lower right, a lit face following the bevel, and the
// texture's grain kept on the face.
void raisedPiece(Canvas& c, const Mask& shape, double tint, int bevel) {
    const Canvas plain = c;  // the face shows the metal as it was, not the shadow beneath it
    darken(c, shifted(blurred(shape, 3), 2, 3), 0.5);
    std::vector<float> light = bevelLight(shape, bevel);
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            float a = shape.at(x, y);
            if (a <= 0) continue;
            Rgb face = add(scale(toRgb(plain.pixel(x, y)), tint),
                           85 * light[static_cast<size_t>(y) * shape.w + x]);
            c.setPixel(x, y, toPixel(mix(toRgb(c.pixel(x, y)), face, a)));
        }
}

// A rivet head: a small dome lit from the upper left.
void rivet(Canvas& c, double cx, double cy, double r) {
    for (int y = int(cy - r - 2); y <= int(cy + r + 3); ++y)
        for (int x = int(cx - r - 2); x <= int(cx + r + 3); ++x) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            double d = std::sqrt(dx * dx + dy * dy);
            Rgb under = toRgb(c.pixel(x, y));
            double sd = std::hypot(dx - 1.2, dy - 1.6);  // the shadow cast by the dome
            if (sd < r + 1) under = scale(under, 0.6 + 0.4 * std::clamp(sd - r, 0.0, 1.0));
            double cover = std::clamp(r + 0.5 - d, 0.0, 1.0);
            if (cover > 0) {
                double lit = std::clamp(-(dx * 0.6 + dy * 0.8) / r, -1.0, 1.0);
                Rgb face = add(Rgb{150, 154, 160}, 80 * lit);
                double spot = std::exp(-std::hypot(dx + r * 0.35, dy + r * 0.4) / (r * 0.25));
                face = add(face, 90 * spot);
                under = mix(under, face, cover);
            }
            c.setPixel(x, y, toPixel(under));
        }
}

}  // namespace

Canvas dividerStrip(const Canvas& metal) {
    const Placement& p = placementOf("divider.png");
    Canvas c = textureAt(metal, p);
    // A rounded steel rail down the middle of the strip.
    Mask rail = roundedRect(p.width, p.height, 6, -20, 14, p.height + 40, 6);
    darken(c, shifted(blurred(rail, 4), 3, 0), 0.5);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            float a = rail.at(x, y);
            if (a <= 0) continue;
            // Across the rail the light falls like on a cylinder: bright left of the middle.
            double u = (x + 0.5 - 13.0) / 7.0;
            double shade = 0.62 + 0.5 * std::cos(std::clamp(u + 0.35, -1.5, 1.5) * 1.05);
            Rgb under = toRgb(c.pixel(x, y));
            Rgb face = add(scale(under, shade), 28 * std::exp(-std::pow((u + 0.35) * 2.6, 2)));
            c.setPixel(x, y, toPixel(mix(under, face, a)));
        }
    for (int y = 40; y < p.height; y += 130) rivet(c, 13, y, 3.2);
    return c;
}

Canvas speedGauge(Graphics& graphics, const Canvas& metal) {
    const Placement& p = placementOf("gauge.png");
    Canvas c = textureAt(metal, p);
    // A raised frame, and in it the groove whose 16 cells lie at (45 + 20 i, 30).
    raisedPiece(c, roundedRect(p.width, p.height, 32, 18, 346, 44, 9), 0.92, 3);
    Mask groove = roundedRect(p.width, p.height, 43, 28, 324, 24, 3);
    darken(c, groove, 0.62);
    Mask inner = shifted(blurred(groove, 4), 2, 2);
    for (size_t i = 0; i < inner.a.size(); ++i) inner.a[i] = groove.a[i] * (1.f - inner.a[i]);
    darken(c, inner, 0.7);
    Mask lip = shifted(groove, -1, -1);
    for (size_t i = 0; i < lip.a.size(); ++i) lip.a[i] = groove.a[i] * (1.f - lip.a[i]);
    paintMask(c, lip, Rgb{235, 238, 242}, 0.5);
    // Faint partitions between the cells, and a tick above every cell (longer every fifth).
    for (int i = 0; i < 16; ++i) {
        const int x = 45 + 20 * i;
        if (i > 0)
            for (int y = 31; y < 49; ++y)
                c.setPixel(x, y, toPixel(scale(toRgb(c.pixel(x, y)), 0.7)));
        Mask tick(p.width, p.height);
        const int len = i % 5 == 0 || i == 15 ? 8 : 4;
        for (int y = 14 - len; y < 14; ++y) tick.ref(x + 10, y) = 1.f;
        engravedLetters(c, tick, 1.0);
    }
    // The two ends: slow on the left, fast on the right.
    FontSpec small{"Arial", 7.5, true};
    Mask slow = captionMask(graphics, "POMALU", small);
    Mask fast = captionMask(graphics, "RYCHLE", small);
    const int fastWidth = inkBox(fast).w;
    engravedLetters(c, placeInk(slow, p.width, p.height, 45, 64), 1.0);
    engravedLetters(c, placeInk(fast, p.width, p.height, 365 - fastWidth, 64), 1.0);
    return c;
}

Canvas gaugeCell() {
    // A lit amber block filling the cell, with a dark seam and a glassy top.
    Canvas c(20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            double t = y / 19.0;
            Rgb face = mix(Rgb{255, 214, 92}, Rgb{226, 110, 8}, t);
            if (y < 8) face = add(face, 26.0 * (8 - y) / 8);
            double edge = std::min({x, y, 19 - x, 19 - y});
            if (edge < 1)
                face = Rgb{70, 40, 10};
            else if (edge < 2)
                face = scale(face, 0.82);
            c.setPixel(x, y, toPixel(face));
        }
    return c;
}

Canvas gaugeHandle() {
    // A round steel knob; outside its circle the picture is transparent, so the groove shows.
    Canvas c(20, 20);
    const double r = 9.6, cx = 10, cy = 10;
    Mask keep(20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d = std::hypot(dx, dy);
            double cover = std::clamp(r + 0.5 - d, 0.0, 1.0);
            keep.ref(x, y) = float(cover);
            double lit = std::clamp(-(dx * 0.6 + dy * 0.8) / r, -1.0, 1.0);
            Rgb face = add(Rgb{168, 172, 180}, 70 * lit);
            face = add(face, 110 * std::exp(-std::hypot(dx + 3.2, dy + 3.6) / 2.2));
            if (d > r - 1.4) face = scale(face, 0.55);  // the rim
            // A red index line across the middle.
            if (std::abs(dx) < 1.1 && std::abs(dy) < 5.5) face = Rgb{200, 30, 24};
            // Partly covered edge pixels are mixed with the groove's dark colour beneath.
            c.setPixel(x, y, toPixel(mix(Rgb{46, 47, 50}, face, cover)));
        }
    cutOut(c, keep, 0.35f);
    return c;
}

Canvas arrowButton(const Canvas& metal, bool up) {
    const Placement& p = placementOf(up ? "up.png" : "down.png");
    Canvas c = textureAt(metal, p);
    Mask plate = roundedRect(p.width, p.height, 3, 3, p.width - 8, p.height - 9, 7);
    raisedPiece(c, plate, 0.9, 3);
    // The triangle, pointing up or down, raised on the plate.
    Mask arrow(p.width, p.height);
    const double cx = (p.width - 2) / 2.0, half = 12, top = up ? 14 : 36, bottom = up ? 36 : 14;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            double py = y + 0.5, px = x + 0.5;
            double t = (py - top) / (bottom - top);  // 0 at the tip, 1 at the base
            if (t < -0.1 || t > 1.1) continue;
            double width = half * std::clamp(t, 0.0, 1.0);
            double inside = std::min({width - std::abs(px - cx), (t)*22.0, (1 - t) * 22.0});
            arrow.ref(x, y) = float(std::clamp(inside + 0.5, 0.0, 1.0));
        }
    LetterLook look = steelLook();
    look.shadowOffset = 2;
    look.bevel = 2;
    raisedLetters(c, arrow, look);
    return c;
}

}  // namespace zib::assetgen
