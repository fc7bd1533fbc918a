// Pixel art of the snakes and the food, drawn in code. A body band is 6 pixels wide (rows or
// columns 2..7 of the cell): two solid border lines with a zig-zag between them. The zig-zag passes
// the same row at both ends of a cell, so the band of one piece runs on into the next.
#include "snakes/sprite_pictures.h"

#include <cmath>
#include <memory>

namespace zib {

namespace {

constexpr int kZigZag[kSpriteSize] = {3, 3, 4, 5, 6, 6, 5, 4, 3, 3};

struct Area {
    int x0, y0, x1, y1;  // inclusive
    bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// The part of the band that reaches an edge. A body piece's arm runs from its edge past the middle
// so that two arms meet in a full corner; a head's arm stops in the middle under the head.
Area armArea(PieceEdge edge, bool head) {
    const int reach = head ? 4 : 7;
    switch (edge) {
        case kEdgeLeft:
            return {0, 2, reach, 7};
        case kEdgeRight:
            return {9 - reach, 2, 9, 7};
        case kEdgeTop:
            return {2, 0, 7, reach};
        case kEdgeBottom:
            return {2, 9 - reach, 7, 9};
    }
    return {0, 0, -1, -1};
}

bool isHorizontal(PieceEdge e) {
    return e == kEdgeLeft || e == kEdgeRight;
}

// A head drawn facing right in (u, v); the direction of a head maps it onto the cell.
bool headFacingRight(int u, int v, bool& eye) {
    eye = (u == 6 && (v == 3 || v == 6));
    if (u < 3 || u > 8 || v < 1 || v > 8) return false;
    if (u == 3 || u == 7) return v >= 2 && v <= 7;
    if (u == 8) return v >= 3 && v <= 6;
    return true;
}

// Where (x, y) of the cell lies in the head's own right-facing frame.
void toHeadFrame(int holder, int x, int y, int& u, int& v) {
    switch (holder) {
        case 7:
            u = x, v = y;
            break;  // facing right
        case 8:
            u = y, v = 9 - x;
            break;  // facing down
        case 9:
            u = 9 - x, v = 9 - y;
            break;  // facing left
        default:
            u = 9 - y, v = x;
            break;  // facing up
    }
}

}  // namespace

unsigned pieceEdges(int holder) {
    switch (holder) {
        case 1:
            return kEdgeLeft | kEdgeRight;
        case 2:
            return kEdgeTop | kEdgeBottom;
        case 3:
            return kEdgeRight | kEdgeBottom;
        case 4:
            return kEdgeLeft | kEdgeBottom;
        case 5:
            return kEdgeLeft | kEdgeTop;
        case 6:
            return kEdgeRight | kEdgeTop;
        case 7:
            return kEdgeLeft;
        case 8:
            return kEdgeTop;
        case 9:
            return kEdgeRight;
        case 10:
            return kEdgeBottom;
    }
    return 0;
}

Canvas drawSnakePiece(int holder, uint32_t colour) {
    Canvas c(kSpriteSize, kSpriteSize, kTransparent);
    const bool head = holder >= 7;
    const unsigned edges = pieceEdges(holder);
    Area arms[4];
    bool horizontal[4];
    int armCount = 0;
    for (PieceEdge e : {kEdgeLeft, kEdgeRight, kEdgeTop, kEdgeBottom}) {
        if (!(edges & e)) continue;
        arms[armCount] = armArea(e, head);
        horizontal[armCount] = isHorizontal(e);
        ++armCount;
    }
    auto inBand = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= kSpriteSize || y >= kSpriteSize) return true;  // runs on
        for (int i = 0; i < armCount; ++i)
            if (arms[i].contains(x, y)) return true;
        return false;
    };
    for (int y = 0; y < kSpriteSize; ++y) {
        for (int x = 0; x < kSpriteSize; ++x) {
            if (!inBand(x, y)) continue;
            const bool border =
                !inBand(x - 1, y) || !inBand(x + 1, y) || !inBand(x, y - 1) || !inBand(x, y + 1);
            bool zig = false;
            for (int i = 0; i < armCount; ++i) {
                if (!arms[i].contains(x, y)) continue;
                zig = zig || (horizontal[i] ? y == kZigZag[x] : x == kZigZag[y]);
            }
            if (border || zig) c.setPixel(x, y, colour);
        }
    }
    if (head) {
        for (int y = 0; y < kSpriteSize; ++y) {
            for (int x = 0; x < kSpriteSize; ++x) {
                int u = 0, v = 0;
                toHeadFrame(holder, x, y, u, v);
                bool eye = false;
                if (!headFacingRight(u, v, eye)) continue;
                c.setPixel(x, y, eye ? kTransparent : colour);
            }
        }
    }
    return c;
}

SnakePictures makeSnakePictures(uint32_t colour) {
    SnakePictures pictures;
    for (int k = 1; k <= 10; ++k)
        pictures[static_cast<size_t>(k)] =
            std::make_shared<const Canvas>(drawSnakePiece(k, colour));
    return pictures;
}

namespace {

// The food's outline: dark enough that with the white it contrasts with any background, light or
// dark (a light background sees the outline, a dark one the white).
constexpr uint32_t kFoodOutline = rgb(20, 20, 20);

// A picture of the food from the distance of each pixel's centre to the cell's centre.
template <typename Paint>
Canvas drawFood(Paint paint) {
    Canvas c(kSpriteSize, kSpriteSize, kTransparent);
    for (int y = 0; y < kSpriteSize; ++y)
        for (int x = 0; x < kSpriteSize; ++x)
            c.setPixel(x, y, paint(std::hypot(x + 0.5 - 5.0, y + 0.5 - 5.0)));
    return c;
}

}  // namespace

Canvas drawFoodRing() {
    return drawFood([](double d) {
        if (d < 1.5 || d > 5.0) return kTransparent;
        return d >= 2.5 && d < 4.0 ? kWhite : kFoodOutline;
    });
}

Canvas drawFoodDot() {
    return drawFood([](double d) {
        if (d > 4.2) return kTransparent;
        return d < 3.0 ? kWhite : kFoodOutline;
    });
}

}  // namespace zib
