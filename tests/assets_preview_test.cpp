// Painting a level as the loader does, and the preview made from it.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "assetgen/paint.h"
#include "assetgen/previews.h"

namespace zib::assetgen {
namespace {

// A picture whose every pixel tells its own coordinates, so the tiling can be traced.
Picture coordinatePicture(int w, int h, int tag) {
    auto c = std::make_shared<Canvas>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) c->setPixel(x, y, rgb(x, y, tag));
    return c;
}

struct TileCase {
    const char* name;
    int tileW, tileH;
};

class OverlapTiling : public testing::TestWithParam<TileCase> {};

TEST_P(OverlapTiling, LaterTilesCoverTheLastTwoColumnsAndRows) {
    const TileCase& c = GetParam();
    Picture tile = coordinatePicture(c.tileW, c.tileH, 7);
    Canvas field(800, 600, kBlack);
    tileWithOverlap(field, *tile);
    const int stepX = c.tileW - 2, stepY = c.tileH - 2;
    for (int y = 0; y < 600; y += 7)
        for (int x = 0; x < 800; x += 3) {
            ASSERT_EQ(field.pixel(x, y), tile->pixel(x % stepX, y % stepY)) << x << "," << y;
        }
    EXPECT_EQ(field.pixel(799, 599), tile->pixel(799 % stepX, 599 % stepY));
}

INSTANTIATE_TEST_SUITE_P(Sizes, OverlapTiling,
                         testing::Values(TileCase{"Hundred", 100, 100}, TileCase{"Wide", 202, 152},
                                         TileCase{"Small", 5, 4}, TileCase{"Huge", 900, 700}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Reduction, AveragesTheAreaEachPixelCovers) {
    // Left half black, right half white: the reduced picture is black on the left, white on the
    // right and grey only in the column that straddles the border.
    Canvas src(800, 600, kBlack);
    src.fillRect(400, 0, 400, 600, kWhite);
    Canvas small = reduced(src, 330, 250);
    ASSERT_EQ(small.width(), 330);
    ASSERT_EQ(small.height(), 250);
    const int border = 400 * 330 / 800;  // 165: source 400 lies exactly on a pixel edge
    for (int y : {0, 100, 249}) {
        EXPECT_EQ(small.pixel(border - 1, y), kBlack);
        EXPECT_EQ(small.pixel(border, y), kWhite);
    }
    // A fine checkerboard averages to mid grey.
    Canvas board(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) board.setPixel(x, y, (x + y) % 2 ? kWhite : kBlack);
    Canvas grey = reduced(board, 330, 250);
    for (int x : {0, 77, 329}) {
        int v = int(grey.pixel(x, 120) & 255);
        EXPECT_NEAR(v, 128, 12) << x;
    }
}

// A picture source that records what is asked for.
struct CountingSource {
    std::map<std::string, Picture> pictures;
    std::vector<std::string> requests;
    PictureSource source() {
        return [this](const std::string& name) {
            requests.push_back(name);
            return pictures.at(name);
        };
    }
};

LevelFile levelWith(std::vector<LevelWall> walls) {
    LevelFile level;
    level.background = "bg";
    level.red = {100, 100, 1, 0};
    level.blue = {600, 400, -1, 0};
    level.walls = std::move(walls);
    return level;
}

TEST(PaintLevel, CopiesWallsFromTheTextureTiledFromTheOrigin) {
    CountingSource pics;
    pics.pictures["bg"] = coordinatePicture(50, 40, 1);
    pics.pictures["t"] = coordinatePicture(30, 20, 2);
    const LevelWall wall{105, 200, 175, 235, "t", 3};  // no multiple of 10: all painted
    Canvas field = paintLevel(levelWith({wall}), pics.source());
    for (int y = 190; y < 245; ++y)
        for (int x = 95; x < 185; ++x) {
            bool inWall = x >= 105 && x < 175 && y >= 200 && y < 235;
            uint32_t expected = inWall ? pics.pictures["t"]->pixel(x % 28, y % 18)
                                       : pics.pictures["bg"]->pixel(x % 48, y % 38);
            ASSERT_EQ(field.pixel(x, y), expected) << x << "," << y;
        }
}

struct TextureRunCase {
    const char* name;
    std::vector<std::string> textures;
    std::vector<std::string> requests;  // pictures asked for, background first
};

class PaintLevelTextures : public testing::TestWithParam<TextureRunCase> {};

TEST_P(PaintLevelTextures, AreTiledOnlyWhenTheNameChanges) {
    const TextureRunCase& c = GetParam();
    CountingSource pics;
    pics.pictures["bg"] = coordinatePicture(20, 20, 1);
    pics.pictures["a"] = coordinatePicture(20, 20, 2);
    pics.pictures["b"] = coordinatePicture(20, 20, 3);
    std::vector<LevelWall> walls;
    int x = 0;
    for (const std::string& t : c.textures) {
        walls.push_back(LevelWall{x, 0, x + 10, 10, t, 3});
        x += 20;
    }
    Canvas field = paintLevel(levelWith(walls), pics.source());
    EXPECT_EQ(pics.requests, c.requests);
    // Every wall shows its own texture (the blue channel carries the picture's tag).
    for (size_t i = 0; i < c.textures.size(); ++i) {
        int tag = c.textures[i] == "a" ? 2 : c.textures[i] == "b" ? 3 : 255;
        EXPECT_EQ(int(field.pixel(walls[i].x1 + 3, 3) & 255), tag) << "wall " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, PaintLevelTextures,
    testing::Values(TextureRunCase{"SameTwice", {"a", "a"}, {"bg", "a"}},
                    TextureRunCase{"ThenAnother", {"a", "a", "b"}, {"bg", "a", "b"}},
                    TextureRunCase{"BackAgain", {"a", "b", "a"}, {"bg", "a", "b", "a"}},
                    // An empty name first loads nothing; the blank canvas is copied.
                    TextureRunCase{"EmptyFirst", {"", "a"}, {"bg", "a"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LevelPreview, MarksBothStartsInTheSnakesColours) {
    CountingSource pics;
    pics.pictures["bg"] = std::make_shared<Canvas>(30, 30, rgb(0, 160, 0));
    struct Case {
        LevelStart red, blue;
    };
    const Case cases[] = {{{100, 100, 1, 0}, {600, 400, -1, 0}},
                          {{0, 0, 0, 1}, {790, 590, 0, -1}},
                          {{400, 300, 1, 1}, {200, 500, 0, 0}}};
    for (const Case& c : cases) {
        LevelFile level = levelWith({});
        level.red = c.red;
        level.blue = c.blue;
        Canvas preview = levelPreview(level, pics.source());
        ASSERT_EQ(preview.width(), kPreviewWidth);
        ASSERT_EQ(preview.height(), kPreviewHeight);
        for (auto [start, colour] : {std::pair{c.red, kRedSnake}, std::pair{c.blue, kBlueSnake}}) {
            int px = (start.x + 5) * kPreviewWidth / kFieldWidth;
            int py = (start.y + 5) * kPreviewHeight / kFieldHeight;
            EXPECT_EQ(preview.pixel(px, py), colour) << start.x << "," << start.y;
            // The arrow points the way the snake sets off.
            if (start.dx != 0 || start.dy != 0) {
                EXPECT_EQ(preview.pixel(px + 8 * start.dx, py + 8 * start.dy), colour);
            }
        }
        // Far from the marks the background shows.
        EXPECT_EQ(preview.pixel(165, 20), rgb(0, 160, 0));
    }
}

}  // namespace
}  // namespace zib::assetgen
