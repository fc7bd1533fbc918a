// Loading the game window for a level: the snakes' start sprites and body lists, the walls on the
// board, the background and the wall textures painted pixel for pixel, and the design of form1.
#include <algorithm>

#include "game/picture_tiling.h"
#include "game_fixture.h"
#include "menu/configuration.h"
#include "snakes/sprite_pictures.h"

namespace zib::test {
namespace {

using Cells = std::vector<std::pair<int, int>>;

const std::string kRedStart = "400,300,1,0";
const std::string kBlueStart = "400,200,-1,0";

TEST(LevelWalls, MarkTheCellsTheyCover) {
    struct Case {
        const char* name;
        std::string walls;
        Cells cells;
    };
    const Case cases[] = {
        {"three cells in a row", "100,100,130,110,\"\"\r\n", {{100, 100}, {110, 100}, {120, 100}}},
        {"width 15 blocks one column", "200,50,215,70,\"\"\r\n", {{200, 50}, {200, 60}}},
        {"two by two", "0,0,20,20,\"\"\r\n", {{0, 0}, {10, 0}, {0, 10}, {10, 10}}},
        {"no walls", "", {}},
        {"empty rectangle", "300,300,300,350,\"\"\r\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameHarness h;
        ASSERT_TRUE(h.load(GameHarness::level(kRedStart, kBlueStart, c.walls)))
            << h.window.loadError();
        Cells expected = c.cells;
        std::sort(expected.begin(), expected.end(), [](auto a, auto b) {
            return std::tie(a.second, a.first) < std::tie(b.second, b.first);
        });
        EXPECT_EQ(h.blockedCells(), expected);
    }
}

TEST(LevelWalls, ANarrowWallPaintsItsWholeWidth) {
    GameHarness h;
    h.writePicture("tex.bmp", patternPicture(40, 40, 9));
    ASSERT_TRUE(h.load(GameHarness::level(kRedStart, kBlueStart, "200,50,215,70,\"tex.bmp\"\r\n")));
    const Canvas& screen = h.window.canvas();
    for (int x = 200; x < 215; ++x) EXPECT_EQ(screen.pixel(x, 55) & 0xFF, 9u) << x;
    EXPECT_NE(screen.pixel(215, 55) & 0xFF, 9u);
    EXPECT_NE(screen.pixel(199, 55) & 0xFF, 9u);
    EXPECT_NE(screen.pixel(205, 70) & 0xFF, 9u);
}

TEST(LevelWalls, ShowTheTextureAsTiledFromTheFieldOrigin) {
    GameHarness h;
    h.writePicture("tex.bmp", patternPicture(30, 20, 9));
    ASSERT_TRUE(h.load(GameHarness::level(kRedStart, kBlueStart,
                                          "200,100,300,150,\"tex.bmp\"\r\n"
                                          "500,400,560,470,\"tex.bmp\"\r\n")));
    const Canvas& screen = h.window.canvas();
    for (auto [x0, y0, x1, y1] : {std::array{200, 100, 300, 150}, std::array{500, 400, 560, 470}})
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                ASSERT_EQ(screen.pixel(x, y), rgb(x % 28, y % 18, 9)) << x << "," << y;
}

// A texture is tiled where its name changes from one wall to the next, and each picture is read
// and decoded once per load, however often the walls take turns with it.
TEST(LevelWalls, LoadATextureOnceAndTileItWhenTheNameChanges) {
    struct Case {
        std::vector<std::string> textures;
        int loads;  // the background included
    };
    const Case cases[] = {
        {{"a.bmp", "a.bmp"}, 2},
        {{"a.bmp", "a.bmp", "b.bmp"}, 3},
        {{"a.bmp", "b.bmp", "a.bmp"}, 3},
        {{"a.bmp", "b.bmp", "a.bmp", "b.bmp", "a.bmp", "b.bmp"}, 3},
        {{"", "", "a.bmp"}, 2},
    };
    for (const Case& c : cases) {
        GameHarness h;
        h.writePicture("a.bmp", patternPicture(20, 20, 1));
        h.writePicture("b.bmp", patternPicture(20, 20, 2));
        std::string walls;
        int x = 0;
        for (const auto& t : c.textures) {
            walls += std::to_string(x) + ",0," + std::to_string(x + 10) + ",10,\"" + t + "\"\r\n";
            x += 100;
        }
        ASSERT_TRUE(h.load(GameHarness::level(kRedStart, kBlueStart, walls)))
            << h.window.loadError();
        EXPECT_EQ(static_cast<int>(h.graphics().loaded.size()), c.loads) << walls;
        // The texture canvas holds the last texture loaded.
        const uint32_t lastTag = c.textures.back() == "b.bmp" ? 2 : 1;
        EXPECT_EQ(h.window.textureCanvas().pixel(0, 0) & 0xFF, lastTag);
    }
}

TEST(LevelPictures, BackgroundIsTiledWithATwoPixelOverlap) {
    GameHarness h;
    h.writePicture("bg.bmp", patternPicture(100, 50, 3));
    ASSERT_TRUE(h.load(GameHarness::level(kRedStart, kBlueStart)));
    const Canvas& screen = h.window.canvas();
    // Tiles at x = 0, 98, 196, ... and y = 0, 48, 96, ...: each later tile covers the last two
    // columns or rows of the one before.
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            ASSERT_EQ(screen.pixel(x, y), rgb(x % 98, y % 48, 3)) << x << "," << y;
}

TEST(LevelPictures, TilePlacesCopiesUpToAndIncludingTheLimit) {
    // A 10 x 10 target shows where the last tiles start: limit 8 with width 6 places tiles at 0, 4
    // and 8 (8 <= 8), so column 9 shows column 1 of the tile at 8.
    Canvas target(10, 10, kBlack);
    tilePicture(target, patternPicture(6, 6, 5), 8, 8);
    EXPECT_EQ(target.pixel(9, 9), rgb(1, 1, 5));
    EXPECT_EQ(target.pixel(7, 7), rgb(3, 3, 5));
    Canvas narrow(10, 10, kBlack);
    tilePicture(narrow, patternPicture(6, 6, 5), 7, 7);  // tiles at 0 and 4 only
    EXPECT_EQ(narrow.pixel(9, 9), rgb(5, 5, 5));
}

TEST(LevelPictures, PicturesTwoPixelsWideOrSmallerAreTiledStepByStep) {
    struct Case {
        int w, h;
    };
    for (Case c : {Case{2, 2}, Case{1, 5}, Case{5, 1}, Case{1, 1}}) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        Canvas target(40, 40, kBlack);
        tilePicture(target, patternPicture(c.w, c.h, 4), 39, 39);
        const int stepX = c.w > 2 ? c.w - 2 : 1, stepY = c.h > 2 ? c.h - 2 : 1;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                // The last tile that starts at or before x covers it.
                int tx = std::min(x / stepX * stepX, 39 / stepX * stepX);
                int ty = std::min(y / stepY * stepY, 39 / stepY * stepY);
                ASSERT_EQ(target.pixel(x, y), rgb(x - tx, y - ty, 4)) << x << "," << y;
            }
    }
}

// Tiling drawn tile by tile as LoadLevel describes it, for comparison.
Canvas tiledTileByTile(Canvas target, const Canvas& picture, int limitW, int limitH) {
    const int stepX = picture.width() > 2 ? picture.width() - 2 : 1;
    const int stepY = picture.height() > 2 ? picture.height() - 2 : 1;
    if (picture.empty()) return target;
    for (int tx = 0; tx <= limitW; tx += stepX)
        for (int ty = 0; ty <= limitH; ty += stepY)
            target.blit(picture, 0, 0, picture.width(), picture.height(), tx, ty);
    return target;
}

TEST(LevelPictures, TilingMatchesDrawingTileByTile) {
    struct Case {
        int pictureW, pictureH, limitW, limitH, targetW, targetH;
    };
    const Case cases[] = {
        {64, 64, 800, 600, 800, 600},    // a background
        {32, 32, 800, 600, 800, 600},    // a wall texture
        {100, 50, 800, 600, 800, 600},   // steps 98 and 48
        {30, 20, 37, 41, 60, 60},        // the target reaches beyond the tiles
        {6, 6, 8, 8, 10, 10},            // the last tiles start on the limits
        {6, 6, 7, 7, 10, 10},            // ... and before them
        {3, 3, 20, 20, 25, 25},          // steps of 1
        {2, 2, 20, 20, 24, 24},          // two pixels wide: steps of 1 as well
        {1, 5, 30, 30, 30, 30},          // one column
        {5, 1, 30, 30, 30, 30},          // one row
        {900, 700, 800, 600, 800, 600},  // one tile larger than the target
        {10, 10, 0, 0, 20, 20},          // one tile at the origin
        {10, 10, -1, 5, 20, 20},         // no tiles at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.pictureW) + "x" + std::to_string(c.pictureH) + " limits " +
                     std::to_string(c.limitW) + "," + std::to_string(c.limitH));
        const Canvas picture = patternPicture(c.pictureW, c.pictureH, 7);
        const Canvas before(c.targetW, c.targetH, rgb(1, 2, 3));
        Canvas target = before;
        tilePicture(target, picture, c.limitW, c.limitH);
        EXPECT_TRUE(samePixels(target, tiledTileByTile(before, picture, c.limitW, c.limitH)));
    }
}

TEST(LevelPictures, TilingInsideAnAreaLeavesTheRestAlone) {
    struct Case {
        Rect area;
    };
    const Case cases[] = {
        {{200, 100, 100, 50}},  // a wall
        {{0, 0, 800, 600}},     // everything
        {{790, 590, 30, 30}},   // beyond the bottom right corner
        {{-20, -20, 45, 35}},   // beyond the top left corner
        {{300, 300, 0, 10}},    // empty
        {{500, 500, -5, 10}},   // negative
        {{31, 29, 1, 1}},       // one pixel
    };
    const Canvas picture = patternPicture(30, 20, 9);
    const Canvas before(800, 600, rgb(4, 5, 6));
    const Canvas whole = tiledTileByTile(before, picture, 800, 600);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.area.x) + "," + std::to_string(c.area.y) + " " +
                     std::to_string(c.area.w) + "x" + std::to_string(c.area.h));
        Canvas target = before;
        tilePicture(target, picture, 800, 600, c.area);
        const Rect inside = c.area.intersect(target.bounds());
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                const bool in = !inside.empty() && x >= inside.x && x < inside.x + inside.w &&
                                y >= inside.y && y < inside.y + inside.h;
                ASSERT_EQ(target.pixel(x, y), in ? whole.pixel(x, y) : before.pixel(x, y))
                    << x << "," << y;
            }
    }
}

TEST(LevelWalls, BeforeTheFirstTextureTheyShowTheWhiteTextureCanvas) {
    GameHarness h;
    h.writePicture("bg.bmp", patternPicture(50, 50, 3));
    h.writePicture("a.bmp", patternPicture(20, 20, 1));
    ASSERT_TRUE(h.load(GameHarness::level(kRedStart, kBlueStart,
                                          "100,100,130,120,\"\"\r\n"
                                          "200,100,230,120,\"a.bmp\"\r\n"
                                          "300,100,330,120,\"a.bmp\"\r\n")))
        << h.window.loadError();
    const Canvas& screen = h.window.canvas();
    for (int y = 100; y < 120; ++y)
        for (int x = 100; x < 130; ++x) ASSERT_EQ(screen.pixel(x, y), kWhite) << x << "," << y;
    // The second wall loads the texture; the third, with the same name, shows it as well.
    for (int x0 : {200, 300})
        for (int y = 100; y < 120; ++y)
            for (int x = x0; x < x0 + 30; ++x)
                ASSERT_EQ(screen.pixel(x, y), rgb(x % 18, y % 18, 1)) << x << "," << y;
    EXPECT_EQ(screen.pixel(150, 110), rgb(150 % 48, 110 % 48, 3));  // the background between
    const Canvas& texture = h.window.textureCanvas();
    ASSERT_EQ(texture.width(), 800);
    ASSERT_EQ(texture.height(), 600);
    EXPECT_EQ(texture.pixel(0, 0), rgb(0, 0, 1));
    EXPECT_EQ(texture.pixel(799, 599), rgb(799 % 18, 599 % 18, 1));
}

TEST(LevelWalls, WithoutAnyTextureTheTextureCanvasStaysWhite) {
    GameHarness h;
    ASSERT_TRUE(h.load(GameHarness::level(kRedStart, kBlueStart, "100,100,130,120,\"\"\r\n")))
        << h.window.loadError();
    EXPECT_EQ(h.window.canvas().pixel(110, 110), kWhite);
    const Canvas& texture = h.window.textureCanvas();
    ASSERT_EQ(texture.width(), 800);
    for (int y = 0; y < 600; y += 7)
        for (int x = 0; x < 800; x += 7) ASSERT_EQ(texture.pixel(x, y), kWhite) << x << "," << y;
}

TEST(LevelStart, CreatesStartLengthHiddenSpritesAtTheDesignPositions) {
    struct Case {
        int startLength;
        std::string list;
        int next;
    };
    for (const Case& c : {Case{0, "0", 1}, Case{1, "1,0", 2}, Case{2, "2,1,0", 3},
                          Case{3, "3,2,1,0", 4}, Case{12, "12,11,10,9,8,7,6,5,4,3,2,1,0", 13}}) {
        SCOPED_TRACE(c.startLength);
        GameHarness h;
        h.state.settings.startLength = c.startLength;
        ASSERT_TRUE(h.load(GameHarness::level("100,110,1,0", "300,310,0,-1")));
        EXPECT_EQ(h.state.red.segments.text(), c.list);
        EXPECT_EQ(h.state.blue.segments.text(), c.list);
        EXPECT_EQ(h.state.red.nextIndex, c.next);
        EXPECT_EQ(h.state.blue.nextIndex, c.next);
        struct Side {
            ImageArray& sprites;
            int designLeft, designTop, startLeft, startTop;
        };
        for (Side s : {Side{h.window.redSprites(), 160, 270, 100, 110},
                       Side{h.window.blueSprites(), 160, 250, 300, 310}}) {
            EXPECT_EQ(s.sprites.upperBound(), std::max(c.startLength, 0));
            EXPECT_TRUE(s.sprites[0].visible);
            EXPECT_EQ(s.sprites[0].left, s.startLeft);
            EXPECT_EQ(s.sprites[0].top, s.startTop);
            for (int i = 1; i <= c.startLength; ++i) {
                EXPECT_FALSE(s.sprites[i].visible) << i;
                EXPECT_EQ(s.sprites[i].left, s.designLeft) << i;
                EXPECT_EQ(s.sprites[i].top, s.designTop) << i;
            }
        }
    }
}

// The largest start length ZIB.ini may hold: every sprite is made, none is left out.
TEST(LevelStart, TheLargestStartLengthTheSettingsAllowIsCreatedInFull) {
    GameHarness h;
    h.state.settings.startLength = kLargestStartLength;
    ASSERT_TRUE(h.load(GameHarness::level("100,110,1,0", "300,310,0,-1")));
    for (const SnakeRecord* s : {&h.state.red, &h.state.blue}) {
        ASSERT_EQ(s->segments.size(), size_t{kLargestStartLength} + 1);
        EXPECT_EQ(s->segments.tail(), kLargestStartLength);
        EXPECT_EQ(s->segments.head(), 0);
        EXPECT_EQ(s->nextIndex, kLargestStartLength + 1);
    }
    EXPECT_EQ(h.window.redSprites().upperBound(), kLargestStartLength);
    EXPECT_EQ(h.window.blueSprites().upperBound(), kLargestStartLength);
}

TEST(LevelStart, TheLevelFileSetsHeadsAndDirections) {
    GameHarness h;
    h.state.red.dy = 7;  // left over from some earlier game
    ASSERT_TRUE(h.load(GameHarness::level("100,110,0,1", "300,310,-1,0")));
    const SnakeRecord& r = h.state.red;
    const SnakeRecord& b = h.state.blue;
    EXPECT_EQ(std::tie(r.headX, r.headY, r.dx, r.dy), std::make_tuple(100, 110, 0, 1));
    EXPECT_EQ(std::tie(b.headX, b.headY, b.dx, b.dy), std::make_tuple(300, 310, -1, 0));
    // The start cells are not on the board.
    EXPECT_TRUE(h.blockedCells().empty());
}

TEST(LevelStart, TheLevelNameIsFoundInAnyCase) {
    GameHarness h;
    h.folder.write("Maze.ZQ7", GameHarness::level(kRedStart, kBlueStart, "0,0,10,10,\"\"\r\n"));
    h.state.settings.levelName = "maze.zq7";
    h.window.show();
    ASSERT_TRUE(h.window.isLoaded()) << h.window.loadError();
    EXPECT_EQ(h.blockedCells().size(), 1u);
}

TEST(GameWindowDesign, LabelsSitWhereTheLayoutPutsThem) {
    GameHarness h;
    ASSERT_TRUE(h.load(GameHarness::level(kRedStart, kBlueStart)));
    struct Expect {
        const char* name;
        Label& label;
        int left, top, width, height;
        uint32_t colour;
        double points;
        bool bold, visible;
        const char* caption;
    };
    const Expect labels[] = {
        {"fps", h.window.fpsLabel(), 680, 0, 121, 25, rgb(255, 255, 0), 17.25, false, false,
         "FPS:"},
        {"result", h.window.resultLabel(), 288, 282, 320, 37, kWhite, 24, true, true, ""},
        {"red wins", h.window.redWinsLabel(), 288, 320, 57, 41, rgb(255, 0, 0), 24, true, true, ""},
        {"blue wins", h.window.blueWinsLabel(), 456, 320, 57, 41, rgb(0, 0, 192), 24, true, true,
         ""},
    };
    for (const Expect& e : labels) {
        SCOPED_TRACE(e.name);
        const Label& l = e.label;
        EXPECT_EQ(std::tie(l.left, l.top, l.width, l.height),
                  std::tie(e.left, e.top, e.width, e.height));
        EXPECT_EQ(l.colour(), e.colour);
        EXPECT_EQ(l.font().family, "MS Sans Serif");
        EXPECT_DOUBLE_EQ(l.font().points, e.points);
        EXPECT_EQ(l.font().bold, e.bold);
        EXPECT_EQ(l.visible, e.visible);
        EXPECT_EQ(l.caption(), e.caption);
    }
}

TEST(GameWindowDesign, TheFrameCounterShowsOnlyWhenSwitchedOn) {
    for (bool on : {false, true}) {
        GameHarness h;
        h.window.setFpsShown(on);
        ASSERT_TRUE(h.load(GameHarness::level(kRedStart, kBlueStart)));
        EXPECT_EQ(h.window.fpsLabel().visible, on);
    }
}

TEST(GameWindowDesign, SpriteZeroShowsTheHorizontalBodyAndFoodTheRing) {
    GameHarness h;
    ASSERT_TRUE(h.load(GameHarness::level(kRedStart, kBlueStart)));
    EXPECT_EQ(h.window.pictureHolderOf(h.window.redSprites()[0], false), 1);
    EXPECT_EQ(h.window.pictureHolderOf(h.window.blueSprites()[0], true), 1);
    EXPECT_TRUE(
        samePixels(*h.window.redSprites()[0].picture(), drawSnakePiece(1, kRedSnakeColour)));
    EXPECT_TRUE(samePixels(*h.window.food().picture(), drawFoodRing()));
    EXPECT_FALSE(h.window.food().visible);  // hidden until the game places it
}

}  // namespace
}  // namespace zib::test
