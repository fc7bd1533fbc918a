#include "assetgen/icons.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <utility>
#include <vector>

#include "assetgen/picture_files.h"
#include "assetgen/png_writer.h"
#include "snakes/sprite_pictures.h"

namespace zib::assetgen {
namespace {

namespace fs = std::filesystem;

constexpr int kGridOrigin = 4;  // the 4 x 4 cells of the snakes start here
constexpr uint32_t kFieldColour = rgb(16, 16, 16);
constexpr uint32_t kFrameColour = rgb(120, 120, 120);

struct Cell {
    int x, y;
};

// The edge of cell a that faces its neighbour b.
PieceEdge edgeTowards(Cell a, Cell b) {
    if (b.x < a.x) return kEdgeLeft;
    if (b.x > a.x) return kEdgeRight;
    return b.y < a.y ? kEdgeTop : kEdgeBottom;
}

// The holder (1..10) whose piece shows exactly these edges; a head when only one edge is given
// and head is set.
int holderFor(unsigned edges, bool head) {
    for (int k = head ? 7 : 1; k <= (head ? 10 : 6); ++k)
        if (pieceEdges(k) == edges) return k;
    return 1;
}

// A snake from its tail to its head: each cell shows the piece that joins its neighbours; the
// tail runs on straight, the head looks away from the body.
void drawSnake(Canvas& c, const std::vector<Cell>& path, uint32_t colour) {
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned edges = 0;
        const bool head = i + 1 == path.size();
        if (i > 0) edges |= edgeTowards(path[i], path[i - 1]);
        if (!head) edges |= edgeTowards(path[i], path[i + 1]);
        if (i == 0) {  // the tail: straight on through the cell
            const PieceEdge e = edgeTowards(path[0], path[1]);
            edges = (e == kEdgeLeft || e == kEdgeRight) ? kEdgeLeft | kEdgeRight
                                                        : kEdgeTop | kEdgeBottom;
        }
        c.drawOver(drawSnakePiece(holderFor(edges, head), colour), path[i].x * kSpriteSize,
                   path[i].y * kSpriteSize);
    }
}

// The snakes and the food on a transparent 40 x 40 canvas: red comes up the left side and turns
// down towards the middle, blue the mirror of it from the right; the food lies between the heads.
Canvas snakes() {
    Canvas c(4 * kSpriteSize, 4 * kSpriteSize, kTransparent);
    drawSnake(c, {{0, 3}, {0, 2}, {0, 1}, {0, 0}, {1, 0}, {2, 0}, {2, 1}}, kRedSnakeColour);
    drawSnake(c, {{3, 0}, {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}}, kBlueSnakeColour);
    c.drawOver(drawFoodRing(), kSpriteSize, kSpriteSize);
    c.drawOver(drawFoodRing(), 2 * kSpriteSize, 2 * kSpriteSize);
    return c;
}

// Inside the rounded square from (inset, inset) to (47 - inset, 47 - inset) with corner radius r.
bool insideRounded(int x, int y, int inset, double r) {
    const int lo = inset, hi = kIconArtSize - 1 - inset;
    if (x < lo || y < lo || x > hi || y > hi) return false;
    const double cx = std::clamp(x + 0.5, lo + r, hi + 1 - r);
    const double cy = std::clamp(y + 0.5, lo + r, hi + 1 - r);
    return std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r;
}

std::string hexColour(uint32_t p) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", p & 0xFFFFFFu);
    return text;
}

}  // namespace

Canvas iconArt() {
    Canvas art(kIconArtSize, kIconArtSize, kTransparent);
    for (int y = 0; y < kIconArtSize; ++y)
        for (int x = 0; x < kIconArtSize; ++x)
            if (insideRounded(x, y, 1, 6.0))
                art.setPixel(x, y, insideRounded(x, y, 2, 5.0) ? kFieldColour : kFrameColour);
    art.drawOver(snakes(), kGridOrigin, kGridOrigin);
    return art;
}

Canvas iconPicture(int size) {
    // Each target pixel averages the art pixels it covers, weighted by the area covered; colours
    // are weighted by their alpha so that the transparent outside does not darken the edge.
    const Canvas art = iconArt();
    const double step = static_cast<double>(kIconArtSize) / size;
    Canvas out(size, size, kTransparent);
    for (int ty = 0; ty < size; ++ty) {
        for (int tx = 0; tx < size; ++tx) {
            double sum[4] = {0, 0, 0, 0}, area = 0;
            const double x0 = tx * step, x1 = x0 + step, y0 = ty * step, y1 = y0 + step;
            for (int y = static_cast<int>(y0); y < y1 && y < kIconArtSize; ++y) {
                const double wy = std::min<double>(y + 1, y1) - std::max<double>(y, y0);
                for (int x = static_cast<int>(x0); x < x1 && x < kIconArtSize; ++x) {
                    const double w = wy * (std::min<double>(x + 1, x1) - std::max<double>(x, x0));
                    const uint32_t p = art.pixel(x, y);
                    const double a = ((p >> 24) & 255) / 255.0;
                    sum[0] += w * a * ((p >> 16) & 255);
                    sum[1] += w * a * ((p >> 8) & 255);
                    sum[2] += w * a * (p & 255);
                    sum[3] += w * a;
                    area += w;
                }
            }
            if (sum[3] <= 0) continue;
            auto channel = [&](int i) {
                return static_cast<uint32_t>(std::lround(std::clamp(sum[i] / sum[3], 0.0, 255.0)));
            };
            const uint32_t alpha =
                static_cast<uint32_t>(std::lround(std::clamp(255.0 * sum[3] / area, 0.0, 255.0)));
            out.setPixel(tx, ty,
                         (alpha << 24) | (channel(0) << 16) | (channel(1) << 8) | channel(2));
        }
    }
    return out;
}

std::string iconSvg() {
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\" "
        "viewBox=\"0 0 48 48\" shape-rendering=\"crispEdges\">\n"
        "  <rect x=\"1.5\" y=\"1.5\" width=\"45\" height=\"45\" rx=\"5.5\" fill=\"" +
        hexColour(kFieldColour) + "\" stroke=\"" + hexColour(kFrameColour) + "\"/>\n";
    // The snakes and the food pixel by pixel: a rectangle for each run of one colour in a row.
    const Canvas c = snakes();
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width();) {
            const uint32_t p = c.pixel(x, y);
            int end = x + 1;
            while (end < c.width() && c.pixel(end, y) == p) ++end;
            if (p >> 24)
                svg += "  <rect x=\"" + std::to_string(x + kGridOrigin) + "\" y=\"" +
                       std::to_string(y + kGridOrigin) + "\" width=\"" + std::to_string(end - x) +
                       "\" height=\"1\" fill=\"" + hexColour(p) + "\"/>\n";
            x = end;
        }
    }
    return svg + "</svg>\n";
}

bool writeIcons(const std::string& outDir, const std::string& name, std::ostream& log) {
    std::vector<std::pair<fs::path, std::string>> files;
    for (int size : kIconSizes) {
        const std::string dims = std::to_string(size) + "x" + std::to_string(size);
        files.emplace_back(fs::path(outDir) / "hicolor" / dims / "apps" / (name + ".png"),
                           encodePngRgba(iconPicture(size)));
    }
    files.emplace_back(fs::path(outDir) / "hicolor" / "scalable" / "apps" / (name + ".svg"),
                       iconSvg());
    for (const auto& [path, bytes] : files) {
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        if (ec || !writeBytes(path.string(), bytes)) {
            log << "cannot write " << path.string() << "\n";
            return false;
        }
    }
    return true;
}

}  // namespace zib::assetgen
