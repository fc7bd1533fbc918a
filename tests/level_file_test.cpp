#include "game/level_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace zib {
namespace {

LevelFile parsedOk(const std::string& text) {
    auto result = parseLevel(text, "Test.zq7");
    if (auto* error = std::get_if<LevelError>(&result)) {
        ADD_FAILURE() << error->message;
        return {};
    }
    return std::get<LevelFile>(result);
}

struct WallCase {
    int x1, y1, x2, y2;
    std::string texture;
    int line;
};

struct GoodCase {
    const char* name;
    std::string text;
    std::string background;
    LevelStart red, blue;
    std::vector<WallCase> walls;
};

class LevelFileReads : public testing::TestWithParam<GoodCase> {};

TEST_P(LevelFileReads, EveryField) {
    const GoodCase& c = GetParam();
    LevelFile level = parsedOk(c.text);
    EXPECT_EQ(level.background, c.background);
    EXPECT_EQ(std::vector<int>({level.red.x, level.red.y, level.red.dx, level.red.dy}),
              std::vector<int>({c.red.x, c.red.y, c.red.dx, c.red.dy}));
    EXPECT_EQ(std::vector<int>({level.blue.x, level.blue.y, level.blue.dx, level.blue.dy}),
              std::vector<int>({c.blue.x, c.blue.y, c.blue.dx, c.blue.dy}));
    ASSERT_EQ(level.walls.size(), c.walls.size());
    for (size_t i = 0; i < c.walls.size(); ++i) {
        const LevelWall& w = level.walls[i];
        const WallCase& e = c.walls[i];
        EXPECT_EQ(std::vector<int>({w.x1, w.y1, w.x2, w.y2, w.line}),
                  std::vector<int>({e.x1, e.y1, e.x2, e.y2, e.line}))
            << "wall " << i;
        EXPECT_EQ(w.texture, e.texture) << "wall " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, LevelFileReads,
    testing::Values(
        GoodCase{"QuotedNames",
                 "\"trava.jpg\",200,400,1,0\n600,200,-1,0\n120,120,160,160,\"kere.gif\"\n",
                 "trava.jpg",
                 {200, 400, 1, 0},
                 {600, 200, -1, 0},
                 {{120, 120, 160, 160, "kere.gif", 3}}},
        GoodCase{"UnquotedNamesAndCrLf",
                 "pole.bmp,0,0,0,1\r\n790,590,0,-1\r\n0,0,800,20,cihla.bmp\r\n",
                 "pole.bmp",
                 {0, 0, 0, 1},
                 {790, 590, 0, -1},
                 {{0, 0, 800, 20, "cihla.bmp", 3}}},
        GoodCase{"EndsAfterTheBlueStart",
                 "\"pisek.bmp\",200,300,0,-1\n600,300,0,1\n",
                 "pisek.bmp",
                 {200, 300, 0, -1},
                 {600, 300, 0, 1},
                 {}},
        GoodCase{"EndsWithoutLineBreakAndWithBlankLines",
                 "\"a.gif\",10,20,1,0\n30,40,-1,0\n\n\n  \n",
                 "a.gif",
                 {10, 20, 1, 0},
                 {30, 40, -1, 0},
                 {}},
        GoodCase{"NameWithCommaInQuotes",
                 "\"a,b.jpg\",10,20,1,0\n30,40,-1,0\n",
                 "a,b.jpg",
                 {10, 20, 1, 0},
                 {30, 40, -1, 0},
                 {}},
        GoodCase{"WallsWithoutTextureChange",
                 "\"b.jpg\",10,20,1,0\n30,40,-1,0\n0,0,800,20,\"k.gif\"\n0,580,800,600,\"k.gif\"\n"
                 "0,20,20,580,\"k.gif\"\n",
                 "b.jpg",
                 {10, 20, 1, 0},
                 {30, 40, -1, 0},
                 {{0, 0, 800, 20, "k.gif", 3},
                  {0, 580, 800, 600, "k.gif", 4},
                  {0, 20, 20, 580, "k.gif", 5}}},
        GoodCase{"TextureChangesAndLinesAfterBlankOnes",
                 "\"b.jpg\",10,20,1,0\n30,40,-1,0\n\n100,100,200,110,\"a.bmp\"\n\n"
                 "300,300,310,400,\"b.gif\"\n",
                 "b.jpg",
                 {10, 20, 1, 0},
                 {30, 40, -1, 0},
                 {{100, 100, 200, 110, "a.bmp", 4}, {300, 300, 310, 400, "b.gif", 6}}},
        // Records are a stream of fields: a record may spread over lines.
        GoodCase{"RecordsSpreadOverLines",
                 "\"b.jpg\"\n10\n20\n1\n0\n30,40\n-1,0\n100,100\n200,110,\"a.bmp\"\n",
                 "b.jpg",
                 {10, 20, 1, 0},
                 {30, 40, -1, 0},
                 {{100, 100, 200, 110, "a.bmp", 8}}},
        // Harmless walls: reversed or empty ones block nothing; odd sizes paint more than they
        // block. All are accepted.
        GoodCase{
            "ReversedEmptyAndOddWalls",
            "\"b.jpg\",10,20,1,0\n30,40,-1,0\n200,100,100,110,\"a.bmp\"\n"
            "100,100,100,110,\"a.bmp\"\n105,100,120,115,\"a.bmp\"\n800,600,800,600,\"a.bmp\"\n",
            "b.jpg",
            {10, 20, 1, 0},
            {30, 40, -1, 0},
            {{200, 100, 100, 110, "a.bmp", 3},
             {100, 100, 100, 110, "a.bmp", 4},
             {105, 100, 120, 115, "a.bmp", 5},
             {800, 600, 800, 600, "a.bmp", 6}}},
        GoodCase{"FieldLimits",
                 "\"b.jpg\",790,590,-1,-1\n0,0,1,1\n0,0,800,600,\"\"\n",
                 "b.jpg",
                 {790, 590, -1, -1},
                 {0, 0, 1, 1},
                 {{0, 0, 800, 600, "", 3}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    std::string text;
    std::string message;  // after "Chyba v mapě „Test.zq7“, "
};

class LevelFileFaults : public testing::TestWithParam<BadCase> {};

TEST_P(LevelFileFaults, AreReportedWithFileLineAndCause) {
    const BadCase& c = GetParam();
    auto result = parseLevel(c.text, "Test.zq7");
    ASSERT_TRUE(std::holds_alternative<LevelError>(result));
    EXPECT_EQ(std::get<LevelError>(result).message, "Chyba v mapě „Test.zq7“, " + c.message);
}

const std::string kRecords = "\"b.jpg\",10,20,1,0\n30,40,-1,0\n";

INSTANTIATE_TEST_SUITE_P(
    Files, LevelFileFaults,
    testing::Values(
        BadCase{"EmptyFile", "", "řádek 1: soubor končí předčasně, chybí obrázek pozadí."},
        BadCase{"RedStartCut", "\"b.jpg\",10,20\n",
                "řádek 1: soubor končí předčasně, chybí směr dx červeného hada."},
        BadCase{"BlueStartMissing", "\"b.jpg\",10,20,1,0\n",
                "řádek 1: soubor končí předčasně, chybí souřadnice x modrého hada."},
        BadCase{"BlueStartCut", "\"b.jpg\",10,20,1,0\n30,40,-1\n",
                "řádek 2: soubor končí předčasně, chybí směr dy modrého hada."},
        BadCase{"WallCut", kRecords + "100,100,200\n",
                "řádek 3: soubor končí předčasně, chybí souřadnice y2."},
        BadCase{"WallWithoutTexture", kRecords + "0,0,800,20,\"a.bmp\"\n100,100,200,110",
                "řádek 4: soubor končí předčasně, chybí textura zdi."},
        BadCase{"RedXNotANumber", "\"b.jpg\",abc,20,1,0\n30,40,-1,0\n",
                "řádek 1: souřadnice x červeného hada má být celé číslo, ale je „abc“."},
        BadCase{"BlueDyNotANumber", "\"b.jpg\",10,20,1,0\n30,40,-1,\"dolů\"\n",
                "řádek 2: směr dy modrého hada má být celé číslo, ale je „dolů“."},
        BadCase{"WallNotANumberOnItsOwnLine", kRecords + "100,100,200\n1O0,\"a.bmp\"\n",
                "řádek 4: souřadnice y2 má být celé číslo, ale je „1O0“."},
        BadCase{"WallX2OutsideTheField", kRecords + "0,0,800,20,\"a\"\n100,100,900,110,\"a\"\n",
                "řádek 4: souřadnice x2 = 900 leží mimo hrací plochu (0..800)."},
        BadCase{"WallY1Negative", kRecords + "100,-10,200,110,\"a\"\n",
                "řádek 3: souřadnice y1 = -10 leží mimo hrací plochu (0..600)."},
        BadCase{"WallY2BelowTheField", kRecords + "100,100,200,610,\"a\"\n",
                "řádek 3: souřadnice y2 = 610 leží mimo hrací plochu (0..600)."},
        BadCase{"WallX1Huge", kRecords + "99999999999,100,200,110,\"a\"\n",
                "řádek 3: souřadnice x1 = 99999999999 leží mimo hrací plochu (0..800)."},
        BadCase{"RedStartOutsideRight", "\"b.jpg\",800,20,1,0\n30,40,-1,0\n",
                "řádek 1: souřadnice x červeného hada = 800 leží mimo hrací plochu (0..790)."},
        BadCase{"BlueStartBelow", "\"b.jpg\",10,20,1,0\n30,600,-1,0\n",
                "řádek 2: souřadnice y modrého hada = 600 leží mimo hrací plochu (0..590)."},
        BadCase{"BlueStartNegative", "\"b.jpg\",10,20,1,0\n-10,40,-1,0\n",
                "řádek 2: souřadnice x modrého hada = -10 leží mimo hrací plochu (0..790)."},
        BadCase{"RedStartOffTheLattice", "\"b.jpg\",105,20,1,0\n30,40,-1,0\n",
                "řádek 1: souřadnice x červeného hada = 105 neleží na mřížce po 10 bodech."},
        BadCase{"BlueStartOffTheLattice", "\"b.jpg\",10,20,1,0\n30,41,-1,0\n",
                "řádek 2: souřadnice y modrého hada = 41 neleží na mřížce po 10 bodech."},
        BadCase{"RedDirectionTooLarge", "\"b.jpg\",10,20,2,0\n30,40,-1,0\n",
                "řádek 1: směr dx červeného hada = 2 musí být −1, 0 nebo 1."},
        BadCase{"BlueDirectionTooSmall", "\"b.jpg\",10,20,1,0\n30,40,0,-5\n",
                "řádek 2: směr dy modrého hada = -5 musí být −1, 0 nebo 1."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LevelFileFaults, NameTheFileTheyWereGiven) {
    auto result = parseLevel("", "Pole.zq7");
    ASSERT_TRUE(std::holds_alternative<LevelError>(result));
    EXPECT_EQ(std::get<LevelError>(result).message.rfind("Chyba v mapě „Pole.zq7“, řádek 1: ", 0),
              0u);
}

// The corners only: a wall's texture has no part in what it blocks (and a string in these table
// rows sets off GCC 12's false "may be used uninitialized" at -O3).
struct BlockCase {
    const char* name;
    int x1, y1, x2, y2;
    std::vector<std::pair<int, int>> blocked;  // every cell it blocks, in a 0..200 square
};

class LevelWallBlocks : public testing::TestWithParam<BlockCase> {};

TEST_P(LevelWallBlocks, ExactlyTheCellsFromTheTopLeftInStepsOfTen) {
    const BlockCase& c = GetParam();
    LevelWall wall;
    wall.x1 = c.x1;
    wall.y1 = c.y1;
    wall.x2 = c.x2;
    wall.y2 = c.y2;
    std::vector<std::pair<int, int>> found;
    for (int y = 0; y <= 200; ++y)
        for (int x = 0; x <= 200; ++x)
            if (wall.blocks(x, y)) found.push_back({x, y});
    std::vector<std::pair<int, int>> expected = c.blocked;
    std::sort(expected.begin(), expected.end(), [](auto a, auto b) {
        return std::tie(a.second, a.first) < std::tie(b.second, b.first);
    });
    EXPECT_EQ(found, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Walls, LevelWallBlocks,
    testing::Values(
        BlockCase{"ThreeCellsInARow", 100, 100, 130, 110, {{100, 100}, {110, 100}, {120, 100}}},
        BlockCase{"FifteenWideBlocksOneColumn", 100, 100, 115, 120, {{100, 100}, {100, 110}}},
        BlockCase{"OffLatticeStart", 105, 100, 125, 110, {{105, 100}, {115, 100}}},
        BlockCase{"Reversed", 130, 100, 100, 110, {}},
        BlockCase{"NoHeight", 100, 100, 130, 100, {}},
        BlockCase{"SmallerThanACell", 100, 100, 109, 130, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zib
