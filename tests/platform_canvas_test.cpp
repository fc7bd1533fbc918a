#include <gtest/gtest.h>

#include "platform/canvas.h"

namespace zib {
namespace {

constexpr uint32_t kRed = rgb(255, 0, 0);
constexpr uint32_t kGreen = rgb(0, 255, 0);
constexpr uint32_t kGrey = rgb(0x80, 0x80, 0x80);

// A canvas whose every pixel is distinct: rgb(x, y, 7).
Canvas numbered(int w, int h) {
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) c.setPixel(x, y, rgb(x, y, 7));
    return c;
}

TEST(PlatformCanvas, PixelAccessOutsideIsTransparentAndIgnored) {
    Canvas c(3, 2, kRed);
    EXPECT_EQ(c.pixel(2, 1), kRed);
    EXPECT_EQ(c.pixel(3, 0), kTransparent);
    EXPECT_EQ(c.pixel(-1, 0), kTransparent);
    c.setPixel(5, 5, kGreen);  // must not write anywhere
    c.setPixel(-1, 1, kGreen);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(c.pixel(x, y), kRed);
}

struct BlitCase {
    const char* name;
    int sx, sy, w, h, dx, dy;
    // The destination rectangle expected to change, and where its source starts.
    int ex, ey, ew, eh, fromX, fromY;
};

class PlatformCanvasBlit : public testing::TestWithParam<BlitCase> {};

TEST_P(PlatformCanvasBlit, CopiesExactlyTheClippedRectangle) {
    const BlitCase& k = GetParam();
    Canvas src = numbered(20, 15);
    Canvas dst(10, 8, kWhite);
    dst.blit(src, k.sx, k.sy, k.w, k.h, k.dx, k.dy);
    for (int y = 0; y < dst.height(); ++y) {
        for (int x = 0; x < dst.width(); ++x) {
            bool inside = x >= k.ex && y >= k.ey && x < k.ex + k.ew && y < k.ey + k.eh;
            uint32_t want = inside ? rgb(k.fromX + x - k.ex, k.fromY + y - k.ey, 7) : kWhite;
            ASSERT_EQ(dst.pixel(x, y), want) << k.name << " at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlatformCanvasBlit,
    testing::Values(BlitCase{"inside", 2, 3, 4, 2, 1, 1, 1, 1, 4, 2, 2, 3},
                    BlitCase{"negative destination", 0, 0, 5, 5, -2, -3, 0, 0, 3, 2, 2, 3},
                    BlitCase{"past the right and bottom", 0, 0, 6, 6, 7, 5, 7, 5, 3, 3, 0, 0},
                    BlitCase{"source starts outside", -3, -1, 6, 4, 0, 0, 3, 1, 3, 3, 0, 0},
                    BlitCase{"source runs out", 17, 13, 6, 6, 0, 0, 0, 0, 3, 2, 17, 13},
                    BlitCase{"nothing overlaps", 0, 0, 4, 4, 10, 0, 0, 0, 0, 0, 0, 0}),
    [](const testing::TestParamInfo<BlitCase>& i) {
        std::string n = i.param.name;
        for (char& c : n)
            if (c == ' ') c = '_';
        return n;
    });

TEST(PlatformCanvas, AndBlitCombinesColourValuesAndIsOpaque) {
    Canvas dst(4, 1, kGrey);
    dst.setPixel(3, 0, kTransparent);
    Canvas src(4, 1, kWhite);
    src.setPixel(1, 0, kBlack);
    src.setPixel(2, 0, rgb(0xF0, 0x0F, 0xFF));
    src.setPixel(3, 0, kRed);
    dst.blit(src, 0, 0, 4, 1, 0, 0, BlitMode::And);
    EXPECT_EQ(dst.pixel(0, 0), kGrey);                  // white leaves it unchanged
    EXPECT_EQ(dst.pixel(1, 0), kBlack);                 // black text darkens it
    EXPECT_EQ(dst.pixel(2, 0), rgb(0x80, 0x00, 0x80));  // colours tint it
    EXPECT_EQ(dst.pixel(3, 0), rgb(0, 0, 0));           // AND with a transparent pixel is opaque
}

TEST(PlatformCanvas, DrawOverKeepsPixelsUnderTransparentOnes) {
    Canvas sprite(3, 3, kRed);
    sprite.setPixel(1, 1, kTransparent);
    sprite.setPixel(0, 2, kTransparent);
    Canvas dst(5, 5, kGreen);
    dst.drawOver(sprite, 1, 1);
    EXPECT_EQ(dst.pixel(1, 1), kRed);
    EXPECT_EQ(dst.pixel(2, 2), kGreen);  // the hole
    EXPECT_EQ(dst.pixel(1, 3), kGreen);
    EXPECT_EQ(dst.pixel(3, 3), kRed);
    EXPECT_EQ(dst.pixel(4, 4), kGreen);
    EXPECT_EQ(dst.pixel(0, 0), kGreen);
}

TEST(PlatformCanvas, DrawOverAndCopyStayInsideTheClip) {
    Canvas sprite(4, 4, kRed);
    Canvas dst(6, 6, kWhite);
    dst.drawOver(sprite, 1, 1, Rect{2, 0, 2, 3});
    Canvas copied(6, 6, kWhite);
    copied.copyFrom(sprite, -1, -1, Rect{0, 1, 10, 1});
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            bool over = x >= 2 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(dst.pixel(x, y), over ? kRed : kWhite) << x << "," << y;
            bool copy = y == 1 && x < 3;
            EXPECT_EQ(copied.pixel(x, y), copy ? kRed : kWhite) << x << "," << y;
        }
    }
}

// Tiles overlapping by two pixels: each later tile covers the last two columns and rows of the one
// before, so the field shows column 0..w-3 of every tile and the full last one.
TEST(PlatformCanvas, OverlappingTilesLeaveTheLaterTileOnTop) {
    const int w = 7, h = 5;
    Canvas tile = numbered(w, h);
    Canvas field(30, 20, kWhite);
    for (int tx = 0; tx <= field.width(); tx += w - 2)
        for (int ty = 0; ty <= field.height(); ty += h - 2) field.blit(tile, 0, 0, w, h, tx, ty);
    for (int y = 0; y < field.height(); ++y)
        for (int x = 0; x < field.width(); ++x)
            ASSERT_EQ(field.pixel(x, y), rgb(x % (w - 2), y % (h - 2), 7)) << x << "," << y;
    // Tiles placed at 0, 5, 10, ... so a copy at (5, 0) shows column 0 of the second tile.
    EXPECT_EQ(field.pixel(5, 0), rgb(0, 0, 7));
    EXPECT_EQ(field.pixel(4, 0), rgb(4, 0, 7));
}

TEST(PlatformCanvas, FillRectIsClipped) {
    Canvas c(4, 4, kWhite);
    c.fillRect(-2, 2, 4, 10, kRed);
    EXPECT_EQ(c.pixel(0, 2), kRed);
    EXPECT_EQ(c.pixel(1, 3), kRed);
    EXPECT_EQ(c.pixel(2, 3), kWhite);
    EXPECT_EQ(c.pixel(0, 1), kWhite);
}

TEST(PlatformCanvas, ScaledPicksNearestPixels) {
    Canvas src(2, 2);
    src.setPixel(0, 0, kRed);
    src.setPixel(1, 0, kGreen);
    src.setPixel(0, 1, kBlack);
    src.setPixel(1, 1, kGrey);
    Canvas big = Canvas::scaled(src, 4, 6);
    ASSERT_EQ(big.width(), 4);
    ASSERT_EQ(big.height(), 6);
    EXPECT_EQ(big.pixel(1, 2), kRed);
    EXPECT_EQ(big.pixel(2, 0), kGreen);
    EXPECT_EQ(big.pixel(0, 3), kBlack);
    EXPECT_EQ(big.pixel(3, 5), kGrey);
}

}  // namespace
}  // namespace zib
