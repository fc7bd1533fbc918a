// The snakes' pictures: which piece the neck and the new head get on each step, and the pixel art
// of the twenty pieces and the food.
#include <algorithm>
#include <cmath>
#include <set>

#include "game_fixture.h"
#include "snakes/snake_sprites.h"
#include "snakes/snake_step.h"
#include "snakes/sprite_pictures.h"

namespace zib::test {
namespace {

TEST(SpriteChoice, NeckPieceFollowsTheTurnTable) {
    struct Case {
        int prevDx, prevDy, dx, dy, holder;
    };
    const Case cases[] = {
        // corners: previous vertical direction first
        {0, -1, 1, 0, 3},
        {0, -1, -1, 0, 4},
        {0, 1, 1, 0, 6},
        {0, 1, -1, 0, 5},
        {-1, 0, 0, 1, 3},
        {-1, 0, 0, -1, 6},
        {1, 0, 0, 1, 4},
        {1, 0, 0, -1, 5},
        // straight on
        {1, 0, 1, 0, 1},
        {-1, 0, -1, 0, 1},
        {0, 1, 0, 1, 2},
        {0, -1, 0, -1, 2},
        // turns that match no row keep the neck's picture: reversals, a start from standstill,
        // edge-crossing directions
        {1, 0, -1, 0, 0},
        {0, -1, 0, 1, 0},
        {0, 0, 1, 0, 0},
        {0, 0, 0, -1, 0},
        {1, 0, -79, 0, 0},
        {-79, 0, 1, 0, 0},
        {0, 59, 0, 1, 0},
        // standing still
        {0, 0, 0, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(neckPicture(c.prevDx, c.prevDy, c.dx, c.dy), c.holder)
            << c.prevDx << "," << c.prevDy << " -> " << c.dx << "," << c.dy;
}

TEST(SpriteChoice, HeadFacesTheDirection) {
    struct Case {
        int dx, dy, holder;
    };
    for (Case c : {Case{1, 0, 7}, Case{0, 1, 8}, Case{-1, 0, 9}, Case{0, -1, 10}, Case{0, 0, 0},
                   Case{79, 0, 0}, Case{0, -59, 0}, Case{1, 1, 7}})
        EXPECT_EQ(headPicture(c.dx, c.dy), c.holder) << c.dx << "," << c.dy;
}

TEST(SpriteChoice, ATurnPutsACornerOnTheOldHeadAndTheNextStepStraightensIt) {
    for (bool blue : {false, true}) {
        SCOPED_TRACE(blue ? "blue" : "red");
        GameHarness h;
        h.state.settings.startLength = 3;
        const std::string moving = "300,300,0,-1", parked = "600,550,1,0";
        ASSERT_TRUE(
            h.load(blue ? GameHarness::level(parked, moving) : GameHarness::level(moving, parked)));
        SnakeRecord& s = blue ? h.state.blue : h.state.red;
        ImageArray& sprites = blue ? h.window.blueSprites() : h.window.redSprites();
        auto step = [&] { blue ? h.stepBlue() : h.stepRed(); };
        auto holder = [&](int i) { return h.window.pictureHolderOf(sprites[i], blue); };
        step();
        step();
        const int upHead = s.headIndex;
        EXPECT_EQ(holder(upHead), 10);
        s.dx = 1;
        s.dy = 0;
        step();
        EXPECT_EQ(holder(upHead), 3);
        const int rightHead = s.headIndex;
        EXPECT_EQ(holder(rightHead), 7);
        step();
        EXPECT_EQ(holder(rightHead), 1);
        EXPECT_EQ(holder(upHead), 3);
    }
}

TEST(SpriteChoice, TheFirstStepOfAGameLeavesSpriteZeroAsItIs) {
    GameHarness h;
    ASSERT_TRUE(h.load(GameHarness::level("300,300,0,1", "600,550,1,0")));
    h.stepRed();
    EXPECT_EQ(h.window.pictureHolderOf(h.window.redSprites()[0], false), 1);
    EXPECT_EQ(h.window.pictureHolderOf(h.window.redSprites()[1], false), 8);
}

// ---- pixel art

struct Piece {
    int holder;
    uint32_t colour;
};

std::vector<Piece> allPieces() {
    std::vector<Piece> pieces;
    for (uint32_t colour : {kRedSnakeColour, kBlueSnakeColour})
        for (int k = 1; k <= 10; ++k) pieces.push_back({k, colour});
    return pieces;
}

// The pixels of one edge of a 10 x 10 picture, in order along the edge.
std::vector<uint32_t> edge(const Canvas& c, PieceEdge e) {
    std::vector<uint32_t> px;
    for (int i = 0; i < 10; ++i) {
        switch (e) {
            case kEdgeLeft:
                px.push_back(c.pixel(0, i));
                break;
            case kEdgeRight:
                px.push_back(c.pixel(9, i));
                break;
            case kEdgeTop:
                px.push_back(c.pixel(i, 0));
                break;
            case kEdgeBottom:
                px.push_back(c.pixel(i, 9));
                break;
        }
    }
    return px;
}

TEST(SpritePictures, UseOnlyTheSnakesColourAndTransparency) {
    EXPECT_EQ(kRedSnakeColour, rgb(255, 0, 0));
    EXPECT_EQ(kBlueSnakeColour, rgb(4, 2, 252));
    for (Piece p : allPieces()) {
        Canvas c = drawSnakePiece(p.holder, p.colour);
        ASSERT_EQ(c.width(), 10);
        ASSERT_EQ(c.height(), 10);
        int coloured = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                uint32_t v = c.pixel(x, y);
                ASSERT_TRUE(v == p.colour || v == kTransparent) << p.holder;
                coloured += v == p.colour;
            }
        EXPECT_GT(coloured, 15) << p.holder;
    }
}

TEST(SpritePictures, TheBandTouchesExactlyTheNamedEdgesWithSolidBorders) {
    for (Piece p : allPieces()) {
        SCOPED_TRACE(p.holder);
        Canvas c = drawSnakePiece(p.holder, p.colour);
        for (PieceEdge e : {kEdgeLeft, kEdgeRight, kEdgeTop, kEdgeBottom}) {
            std::vector<uint32_t> px = edge(c, e);
            const bool named = pieceEdges(p.holder) & e;
            for (int i = 0; i < 10; ++i) {
                const bool inBand = i >= 2 && i <= 7;
                const bool borderLine = i == 2 || i == 7;
                if (!named || !inBand) {
                    EXPECT_EQ(px[static_cast<size_t>(i)], kTransparent) << e << " " << i;
                } else if (borderLine) {
                    EXPECT_EQ(px[static_cast<size_t>(i)], p.colour) << e << " " << i;
                }
            }
        }
    }
}

TEST(SpritePictures, BandsRunOnAcrossTheEdgeIntoTheNextPiece) {
    // Every piece with a right edge meets every piece with a left edge in the same pattern; the
    // same for bottom and top.
    const std::pair<PieceEdge, PieceEdge> joins[] = {{kEdgeRight, kEdgeLeft},
                                                     {kEdgeBottom, kEdgeTop}};
    for (auto [out, in] : joins)
        for (int a = 1; a <= 10; ++a)
            for (int b = 1; b <= 10; ++b) {
                if (!(pieceEdges(a) & out) || !(pieceEdges(b) & in)) continue;
                EXPECT_EQ(edge(drawSnakePiece(a, kRedSnakeColour), out),
                          edge(drawSnakePiece(b, kRedSnakeColour), in))
                    << a << " into " << b;
            }
}

TEST(SpritePictures, TheBandHasAZigZagBetweenItsBorders) {
    Canvas c = drawSnakePiece(1, kRedSnakeColour);
    for (int x = 0; x < 10; ++x) {
        int inner = 0;
        for (int y = 3; y <= 6; ++y) inner += c.pixel(x, y) == kRedSnakeColour;
        EXPECT_EQ(inner, 1) << x;  // one zig-zag pixel per column between the border lines
    }
    std::set<int> rows;
    for (int x = 0; x < 10; ++x)
        for (int y = 3; y <= 6; ++y)
            if (c.pixel(x, y) == kRedSnakeColour) rows.insert(y);
    EXPECT_EQ(rows.size(), 4u);  // it runs up and down over the whole inner band
}

TEST(SpritePictures, HeadsHaveAnEyeAndReachTowardsTheirDirection) {
    struct Case {
        int holder;
        int snoutX, snoutY;  // a pixel of the head beyond the middle, on the facing side
    };
    for (Case c : {Case{7, 8, 4}, Case{8, 4, 8}, Case{9, 1, 4}, Case{10, 4, 1}}) {
        Canvas head = drawSnakePiece(c.holder, kBlueSnakeColour);
        EXPECT_EQ(head.pixel(c.snoutX, c.snoutY), kBlueSnakeColour) << c.holder;
        int eyes = 0;  // transparent pixels enclosed by the head on all four sides
        for (int y = 1; y < 9; ++y)
            for (int x = 1; x < 9; ++x)
                eyes += head.pixel(x, y) == kTransparent && head.pixel(x - 1, y) != kTransparent &&
                        head.pixel(x + 1, y) != kTransparent &&
                        head.pixel(x, y - 1) != kTransparent &&
                        head.pixel(x, y + 1) != kTransparent;
        EXPECT_GE(eyes, 1) << c.holder;
    }
}

// Relative luminance and contrast ratio as used for legible text on screens.
double luminance(uint32_t colour) {
    auto channel = [](int v) {
        double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel((colour >> 16) & 0xFF) + 0.7152 * channel((colour >> 8) & 0xFF) +
           0.0722 * channel(colour & 0xFF);
}
double contrast(uint32_t a, uint32_t b) {
    double la = luminance(a) + 0.05, lb = luminance(b) + 0.05;
    return std::max(la, lb) / std::min(la, lb);
}

// Both frames are white inside a closed dark outline, so every background contrasts with one of
// the two: the ring fills the cell around a hole, the disc is smaller and solid.
TEST(FoodPictures, BothFramesAreWhiteInsideADarkOutline) {
    const struct {
        const char* what;
        Canvas picture;
        bool ring;
    } frames[] = {{"ring", drawFoodRing(), true}, {"dot", drawFoodDot(), false}};
    for (const auto& f : frames) {
        SCOPED_TRACE(f.what);
        const Canvas& p = f.picture;
        std::set<uint32_t> colours;
        int white = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                colours.insert(p.pixel(x, y));
                if (p.pixel(x, y) != kWhite) continue;
                ++white;
                for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
                    ASSERT_TRUE(nx >= 0 && nx < 10 && ny >= 0 && ny < 10) << x << "," << y;
                    EXPECT_NE(p.pixel(nx, ny), kTransparent) << x << "," << y;
                }
            }
        EXPECT_GE(white, 20);
        ASSERT_EQ(colours.size(), 3u);
        colours.erase(kWhite);
        colours.erase(kTransparent);
        const uint32_t outline = *colours.begin();
        // The shipped backgrounds' base colours (grass, soil, sand, paving, its joints) and the
        // extremes: the white or the outline stands out from each.
        for (uint32_t ground :
             {rgb(74, 128, 48), rgb(118, 86, 58), rgb(222, 200, 152), rgb(200, 182, 152),
              rgb(150, 134, 112), rgb(0, 0, 0), rgb(255, 255, 255), rgb(118, 118, 118)})
            EXPECT_GE(std::max(contrast(kWhite, ground), contrast(outline, ground)), 4.0)
                << std::hex << ground;
        EXPECT_EQ(p.pixel(5, 5), f.ring ? kTransparent : kWhite);
        EXPECT_EQ(p.pixel(0, 5) != kTransparent, f.ring);  // only the ring fills the cell
    }
    EXPECT_FALSE(samePixels(frames[0].picture, frames[1].picture));
}

}  // namespace
}  // namespace zib::test
