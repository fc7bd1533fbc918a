#include "assetgen/lettering.h"

#include <algorithm>
#include <cmath>

namespace zib::assetgen {

Mask captionMask(Graphics& graphics, const std::string& text, const FontSpec& font,
                 int oversample) {
    FontSpec big = font;
    big.points = font.points * oversample;
    Canvas drawn = graphics.renderText(text, big, kWhite);
    const int w = (drawn.width() + oversample - 1) / oversample;
    const int h = (drawn.height() + oversample - 1) / oversample;
    Mask m(w, h);
    const float norm = 1.f / float(oversample * oversample);
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) >> 24) m.ref(x / oversample, y / oversample) += norm;
    return m;
}

InkBox inkBox(const Mask& m) {
    int x0 = m.w, y0 = m.h, x1 = -1, y1 = -1;
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            if (m.at(x, y) > 0.02f) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 < 0) return InkBox{};
    return InkBox{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

Mask placeInk(const Mask& m, int w, int h, int x, int y) {
    InkBox box = inkBox(m);
    Mask out(w, h);
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx) out.ref(xx, yy) = m.at(xx - x + box.x, yy - y + box.y);
    return out;
}

LetterLook steelLook() {
    return LetterLook{Rgb{246, 248, 252}, Rgb{128, 134, 144}, Rgb{214, 218, 226}};
}

LetterLook goldLook() {
    return LetterLook{Rgb{255, 246, 170}, Rgb{226, 140, 24}, Rgb{255, 214, 90}};
}

void raisedLetters(Canvas& c, const Mask& letters, const LetterLook& look) {
    // The shadow falls first, then the rim around the letters, then the face.
    const Canvas plain = c;
    darken(c, shifted(blurred(letters, 4), look.shadowOffset, look.shadowOffset + 1), look.shadow);
    paintMask(c, dilated(letters, 1), look.rim, 0.9);
    InkBox box = inkBox(letters);
    std::vector<float> light = bevelLight(letters, look.bevel);
    for (int y = 0; y < c.height() && y < letters.h; ++y) {
        // Polished metal mirrors a bright sky above a darker horizon in the middle.
        double t = box.h > 1 ? std::clamp(double(y - box.y) / (box.h - 1), 0.0, 1.0) : 0.5;
        Rgb face = t < 0.5 ? mix(look.top, look.middle, std::pow(t / 0.5, 1.4))
                           : mix(look.middle, look.bottom, std::pow((t - 0.5) / 0.5, 0.8));
        for (int x = 0; x < c.width() && x < letters.w; ++x) {
            float a = letters.at(x, y);
            if (a <= 0) continue;
            double l = light[static_cast<size_t>(y) * letters.w + x];
            // A faint trace of the brushed surface shows through the polish.
            Rgb metal = toRgb(plain.pixel(x, y));
            double grain = ((metal.r + metal.g + metal.b) / 3.0 - 166.0) * 0.3;
            Rgb lit = add(face, look.light * l + grain);
            c.setPixel(x, y, toPixel(mix(toRgb(c.pixel(x, y)), lit, a)));
        }
    }
}

void engravedLetters(Canvas& c, const Mask& letters, double depth) {
    // The upper-left inner wall is in shadow, the lower-right edge catches the light.
    paintMask(c, shifted(letters, 1, 1), Rgb{236, 238, 242}, 0.7 * depth);
    darken(c, letters, 0.45 * depth);
    Mask inner = shifted(blurred(letters, 2), 1, 1);
    for (size_t i = 0; i < inner.a.size(); ++i) inner.a[i] = letters.a[i] * (1.f - inner.a[i]);
    darken(c, inner, 0.6 * depth);
}

void glowAround(Canvas& c, const Mask& letters, const Rgb& colour, int radius, double strength) {
    Mask halo = blurred(dilated(letters, std::max(1, radius / 3)), radius);
    for (float& a : halo.a) a = std::min(1.f, a * 1.6f);
    paintMask(c, halo, colour, strength);
}

}  // namespace zib::assetgen
