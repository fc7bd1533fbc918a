// The title logo: the big letters ZIB in raised steel, the red and the blue snake winding beneath
// them, and the subtitle.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "assetgen/lettering.h"
#include "assetgen/menu_art.h"
#include "assetgen/paint.h"

namespace zib::assetgen {
namespace {

struct Point {
    double x, y;
};

// A snake along a path sampled every half pixel, tail first: a tapering body with a zig-zag band
// like the game's segments, lit from above, and a head with eyes and a tongue at the end.
class SnakeArt {
  public:
    SnakeArt(std::vector<Point> path, Rgb colour) : path_(std::move(path)), colour_(colour) {
        arc_.resize(path_.size());
        for (size_t i = 1; i < path_.size(); ++i)
            arc_[i] =
                arc_[i - 1] + std::hypot(path_[i].x - path_[i - 1].x, path_[i].y - path_[i - 1].y);
    }

    void paintBody(Canvas& c) const {
        Mask body(c.width(), c.height());
        std::vector<Rgb> colours(body.a.size());
        const double length = arc_.back();
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x) {
                size_t best = nearest(x + 0.5, y + 0.5);
                const Point& p = path_[best];
                const double s = arc_[best];
                const double r = radius(s, length);
                const double dx = x + 0.5 - p.x, dy = y + 0.5 - p.y;
                const double d = std::hypot(dx, dy);
                if (d > r + 1) continue;
                const size_t i = static_cast<size_t>(y) * c.width() + x;
                body.a[i] = float(std::clamp(r + 0.5 - d, 0.0, 1.0));
                // Across the body: v = -1 on the upper flank, 1 on the lower one.
                Point t = tangent(best);
                double v = std::clamp((dx * -t.y + dy * t.x) / r, -1.0, 1.0);
                if (t.x < 0) v = -v;
                double round = std::sqrt(1 - v * v);
                Rgb shade = scale(colour_, 0.45 + 0.6 * round);
                shade = add(shade, 120 * std::exp(-std::pow((v + 0.45) * 3.2, 2)));
                // The zig-zag band of the segments.
                double zig = std::fmod(s + 5.0 * std::abs(v) + 1000.0, 10.0);
                if (zig < 2.2) shade = scale(shade, 0.62);
                colours[i] = shade;
            }
        darken(c, shifted(blurred(body, 4), 3, 4), 0.5);
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x) {
                const size_t i = static_cast<size_t>(y) * c.width() + x;
                if (body.a[i] > 0)
                    c.setPixel(x, y, toPixel(mix(toRgb(c.pixel(x, y)), colours[i], body.a[i])));
            }
    }

    void paintHead(Canvas& c) const { paintHeadShape(c); }

  private:
    static double radius(double s, double length) {
        const double full = 10.5;
        return std::max(2.0, full * std::min(1.0, 0.25 + s / 60.0)) * (s > length - 6 ? 1.1 : 1.0);
    }

    size_t nearest(double x, double y) const {
        size_t best = 0;
        double bestD = 1e18;
        for (size_t i = 0; i < path_.size(); i += 2) {
            double d = (path_[i].x - x) * (path_[i].x - x) + (path_[i].y - y) * (path_[i].y - y);
            if (d < bestD) {
                bestD = d;
                best = i;
            }
        }
        return best;
    }

    Point tangent(size_t i) const {
        size_t a = i == 0 ? 0 : i - 1, b = std::min(path_.size() - 1, i + 1);
        double dx = path_[b].x - path_[a].x, dy = path_[b].y - path_[a].y;
        double len = std::max(1e-9, std::hypot(dx, dy));
        return Point{dx / len, dy / len};
    }

    void paintHeadShape(Canvas& c) const {
        const Point end = path_.back();
        const Point t = tangent(path_.size() - 1);
        const Point n{-t.y, t.x};
        const Point centre{end.x + t.x * 5, end.y + t.y * 5};
        auto at = [&](double along, double across) {
            return Point{centre.x + t.x * along + n.x * across,
                         centre.y + t.y * along + n.y * across};
        };
        // The tongue, forked, ahead of the head.
        Mask tongue(c.width(), c.height());
        auto stroke = [&](Point a, Point b) {
            for (int k = 0; k <= 40; ++k) {
                double f = k / 40.0;
                int x = int(std::lround(a.x + (b.x - a.x) * f)),
                    y = int(std::lround(a.y + (b.y - a.y) * f));
                if (x >= 0 && y >= 0 && x < tongue.w && y < tongue.h) tongue.ref(x, y) = 1.f;
            }
        };
        stroke(at(14, 0), at(22, 0));
        stroke(at(22, 0), at(27, -3.5));
        stroke(at(22, 0), at(27, 3.5));
        paintMask(c, tongue, Rgb{230, 40, 80}, 1.0);
        // The head: an egg shape, wider behind the eyes.
        Mask head(c.width(), c.height());
        std::vector<double> lit(head.a.size(), 0);
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x) {
                double dx = x + 0.5 - centre.x, dy = y + 0.5 - centre.y;
                double along = dx * t.x + dy * t.y, across = dx * n.x + dy * n.y;
                double ra = 15.0, rc = along < 0 ? 12.5 : 12.5 - along * 0.25;
                double d = std::hypot(along / ra, across / rc);
                if (d > 1.2) continue;
                size_t i = static_cast<size_t>(y) * c.width() + x;
                head.a[i] = float(std::clamp((1.0 - d) * 10 + 0.5, 0.0, 1.0));
                lit[i] = std::clamp(1.0 - d, 0.0, 1.0);
            }
        darken(c, shifted(blurred(head, 3), 3, 4), 0.4);
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x) {
                size_t i = static_cast<size_t>(y) * c.width() + x;
                if (head.a[i] <= 0) continue;
                double dy = y + 0.5 - centre.y, dx = x + 0.5 - centre.x;
                Rgb face = scale(colour_, 0.55 + 0.6 * std::sqrt(lit[i]));
                face = add(face, 100 * std::exp(-std::hypot(dx + 2, dy + 6) / 4.0));
                c.setPixel(x, y, toPixel(mix(toRgb(c.pixel(x, y)), face, head.a[i])));
            }
        for (double side : {-5.5, 5.5}) {
            Point e = at(3, side);
            for (int y = int(e.y) - 4; y <= int(e.y) + 4; ++y)
                for (int x = int(e.x) - 4; x <= int(e.x) + 4; ++x) {
                    double d = std::hypot(x + 0.5 - e.x, y + 0.5 - e.y);
                    Rgb p = toRgb(c.pixel(x, y));
                    p = mix(p, Rgb{250, 250, 240}, std::clamp(3.2 - d, 0.0, 1.0));
                    double pd =
                        std::hypot(x + 0.5 - (e.x + t.x * 1.2), y + 0.5 - (e.y + t.y * 1.2));
                    p = mix(p, Rgb{10, 10, 14}, std::clamp(2.0 - pd, 0.0, 1.0));
                    c.setPixel(x, y, toPixel(p));
                }
        }
    }

    std::vector<Point> path_;
    std::vector<double> arc_;
    Rgb colour_;
};

std::vector<Point> wave(double fromX, double toX, double baseY, double amplitude, double phase) {
    std::vector<Point> pts;
    const double step = fromX < toX ? 0.5 : -0.5;
    for (double x = fromX; step > 0 ? x <= toX : x >= toX; x += step)
        pts.push_back({x, baseY + amplitude * std::sin(2 * std::numbers::pi * x / 150.0 + phase)});
    return pts;
}

}  // namespace

Canvas titleLogo(Graphics& graphics, const Canvas& metal) {
    const Placement& p = placementOf("logo.png");
    Canvas c = tiledUnder(metal, p.left, p.top, p.width, p.height);
    // The letters as large as fits 360 x 170.
    FontSpec font{"Arial", 100, true};
    InkBox probe = inkBox(captionMask(graphics, "ZIB", font, 2));
    font.points *= std::min(360.0 / probe.w, 170.0 / probe.h);
    Mask letters = captionMask(graphics, "ZIB", font, 3);
    InkBox ink = inkBox(letters);
    letters = placeInk(letters, p.width, p.height, (p.width - ink.w) / 2, 14);
    LetterLook look = steelLook();
    look.bevel = 6;
    look.shadowOffset = 6;
    look.shadow = 0.6;
    look.light = 110;
    raisedLetters(c, letters, look);

    // Two snakes winding across each other under the letters, their heads at opposite ends.
    // Both bodies first, then both heads, so that no tail lies across a head.
    const SnakeArt red(wave(28, 352, 238, 18, 0.0), Rgb{255, 0, 0});
    const SnakeArt blue(wave(372, 48, 250, 18, std::numbers::pi), Rgb{20, 24, 252});
    blue.paintBody(c);
    red.paintBody(c);
    red.paintHead(c);
    blue.paintHead(c);

    FontSpec sub{"Arial", 16, true};
    Mask subtitle = captionMask(graphics, "hra pro dva hráče", sub);
    InkBox s = inkBox(subtitle);
    engravedLetters(c, placeInk(subtitle, p.width, p.height, (p.width - s.w) / 2, 296), 1.0);
    return c;
}

}  // namespace zib::assetgen
