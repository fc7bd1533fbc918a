// The generated data folder: previews that match their levels, menu artwork of the agreed sizes
// that joins the metal texture, the help picture, the default settings, and the generator's own
// fault reports.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "assetgen/data_folder.h"
#include "assetgen/help_picture.h"
#include "assetgen/menu_art.h"
#include "assetgen/paint.h"
#include "assetgen/previews.h"
#include "game/level_file.h"
#include "platform/backend/backends.h"

namespace zib::assetgen {
namespace {
namespace fs = std::filesystem;

const fs::path kBase = fs::path(ZIB_BINARY_DIR) / "baseq7";

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

Graphics& graphics() {
    static std::unique_ptr<Graphics> g = makeSdlGraphics();
    return *g;
}

std::vector<std::string> levelNames() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fs::path(ZIB_SOURCE_DIR) / "data" / "levels"))
        if (e.path().extension() == ".zq7") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class LevelPreviewFile : public testing::TestWithParam<std::string> {};

TEST_P(LevelPreviewFile, IsABitmapOfTheLevelAsItIsNow) {
    const fs::path file = kBase / (GetParam() + ".dat");
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(readText(file).substr(0, 2), "BM");
    Picture preview = graphics().loadPicture(file.string());
    ASSERT_EQ(preview->width(), 330);
    ASSERT_EQ(preview->height(), 250);
    // Painting the shipped level from the pictures in the folder gives the same preview, so it
    // never falls behind a change of the level.
    auto parsed = parseLevel(readText(kBase / (GetParam() + ".zq7")), GetParam() + ".zq7");
    ASSERT_TRUE(std::holds_alternative<LevelFile>(parsed));
    const LevelFile& level = std::get<LevelFile>(parsed);
    Canvas expected = levelPreview(level, [](const std::string& name) {
        return graphics().loadPicture((kBase / name).string());
    });
    int differing = 0;
    for (int y = 0; y < 250; ++y)
        for (int x = 0; x < 330; ++x) differing += preview->pixel(x, y) != expected.pixel(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(preview->pixel((level.red.x + 5) * 330 / 800, (level.red.y + 5) * 250 / 600),
              kRedSnake);
    EXPECT_EQ(preview->pixel((level.blue.x + 5) * 330 / 800, (level.blue.y + 5) * 250 / 600),
              kBlueSnake);
}

INSTANTIATE_TEST_SUITE_P(Data, LevelPreviewFile, testing::ValuesIn(levelNames()),
                         [](const auto& info) { return info.param; });

Picture metal() {
    static Picture m = graphics().loadPicture((kBase / "kovy" / "plech2.jpg").string());
    return m;
}

TEST(MetalTexture, IsAGreyTileThatRepeatsWithoutASeam) {
    Picture m = metal();
    ASSERT_EQ(m->width(), 256);
    ASSERT_EQ(m->height(), 256);
    // Mid grey, so that black and coloured captions read well on it.
    double sum = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            Rgb c = toRgb(m->pixel(x, y));
            sum += (c.r + c.g + c.b) / 3;
            EXPECT_LT(std::abs(c.r - c.b), 24);
        }
    EXPECT_NEAR(sum / (256 * 256), 168, 25);
    // Across the edge where tiles meet the step is no larger than inside the tile.
    double across = 0, inside = 0;
    for (int y = 0; y < 256; ++y) {
        across += std::abs(toRgb(m->pixel(255, y)).g - toRgb(m->pixel(0, y)).g);
        inside += std::abs(toRgb(m->pixel(127, y)).g - toRgb(m->pixel(128, y)).g);
    }
    EXPECT_LT(across, inside * 1.6 + 256);
}

enum class Kind { Opaque, Highlight, Sprite };

struct ArtCase {
    const char* file;
    Kind kind;
};

class MenuArtFile : public testing::TestWithParam<ArtCase> {};

TEST_P(MenuArtFile, HasItsSizeAndJoinsTheTexture) {
    const ArtCase& c = GetParam();
    const Placement& place = placementOf(c.file);
    Picture art = graphics().loadPicture((kBase / "menu" / c.file).string());
    ASSERT_EQ(art->width(), place.width);
    ASSERT_EQ(art->height(), place.height);
    int transparent = 0;
    for (int y = 0; y < art->height(); ++y)
        for (int x = 0; x < art->width(); ++x) transparent += art->pixel(x, y) >> 24 == 0;
    const int all = art->width() * art->height();
    switch (c.kind) {
        case Kind::Opaque: {
            EXPECT_EQ(transparent, 0);
            // Composed over the texture as tiled from the window's (0, 0): the top-left corner
            // and a good part of the border equal the texture at the picture's place.
            Canvas under = tiledUnder(*metal(), place.left, place.top, place.width, place.height);
            EXPECT_EQ(art->pixel(0, 0), under.pixel(0, 0));
            int border = 0, same = 0;
            for (int y = 0; y < art->height(); ++y)
                for (int x = 0; x < art->width(); ++x) {
                    if (x > 0 && y > 0 && x < art->width() - 1 && y < art->height() - 1) continue;
                    ++border;
                    same += art->pixel(x, y) == under.pixel(x, y);
                }
            EXPECT_GT(same, border / 4);
            break;
        }
        case Kind::Highlight:
            // A glow around the word: transparent around it, opaque over a good part.
            EXPECT_EQ(art->pixel(art->width() - 1, 0) >> 24, 0u);
            EXPECT_GT(transparent, all / 10);
            EXPECT_GT(all - transparent, all / 4);
            break;
        case Kind::Sprite:
            EXPECT_LT(transparent, all / 3);
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Menu, MenuArtFile,
    testing::Values(ArtCase{"menu.png", Kind::Opaque}, ArtCase{"logo.png", Kind::Opaque},
                    ArtCase{"score.png", Kind::Opaque}, ArtCase{"divider.png", Kind::Opaque},
                    ArtCase{"gauge.png", Kind::Opaque}, ArtCase{"heading.png", Kind::Opaque},
                    ArtCase{"up.png", Kind::Opaque}, ArtCase{"down.png", Kind::Opaque},
                    ArtCase{"start.png", Kind::Highlight}, ArtCase{"mods.png", Kind::Highlight},
                    ArtCase{"options.png", Kind::Highlight}, ArtCase{"help.png", Kind::Highlight},
                    ArtCase{"exit.png", Kind::Highlight}, ArtCase{"cell.png", Kind::Sprite},
                    ArtCase{"handle.png", Kind::Sprite}),
    [](const auto& info) {
        std::string n = info.param.file;
        return n.substr(0, n.find('.'));
    });

double brightness(const Canvas& c, int x0, int y0, int w, int h) {
    double sum = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            Rgb p = toRgb(c.pixel(x, y));
            sum += (p.r + p.g + p.b) / 3;
        }
    return sum / (w * h);
}

TEST(MenuArt, WordsLieInTheirHotAreasAndHighlightsOverThem) {
    Picture menu = graphics().loadPicture((kBase / "menu" / "menu.png").string());
    Canvas plain = tiledUnder(*metal(), 0, 0, 330, 400);
    for (const MenuItemPlace& item : menuItems()) {
        // The word changes the picture inside its hot area ...
        int changed = 0;
        for (int y = item.hotTop; y < item.hotTop + item.hotHeight; ++y)
            for (int x = item.hotLeft; x < item.hotLeft + item.hotWidth; ++x)
                changed += menu->pixel(x, y) != plain.pixel(x, y);
        EXPECT_GT(changed, item.hotWidth * item.hotHeight / 4) << item.word;
        // ... and its highlight is opaque at the hot area's middle, where the word is.
        const Placement& p = placementOf(item.highlightFile);
        Picture glow = graphics().loadPicture((kBase / "menu" / item.highlightFile).string());
        int opaque = 0;
        for (int x = item.hotLeft; x < item.hotLeft + item.hotWidth; ++x)
            opaque += glow->pixel(x - p.left, item.hotTop + item.hotHeight / 2 - p.top) >> 24 != 0;
        EXPECT_GT(opaque, item.hotWidth / 2) << item.word;
    }
}

TEST(MenuArt, GaugeGrooveLiesUnderItsSixteenCells) {
    Picture gauge = graphics().loadPicture((kBase / "menu" / "gauge.png").string());
    // The cells at (45 + 20 i, 30) are darker than the frame just above and below them.
    for (int i = 0; i < 16; ++i) {
        double cell = brightness(*gauge, 45 + 20 * i + 3, 33, 14, 14);
        EXPECT_LT(cell + 30, brightness(*gauge, 45 + 20 * i, 20, 20, 4)) << i;
        EXPECT_LT(cell + 30, brightness(*gauge, 45 + 20 * i, 56, 20, 4)) << i;
    }
}

// The help in Czech (helptext.bmp) and in English (helptext-en.bmp), drawn from the catalogue.
class HelpPictureFile : public testing::TestWithParam<const char*> {};

TEST_P(HelpPictureFile, IsA24BitBitmapOfDarkTextOnWhite) {
    const fs::path file = kBase / "menu" / GetParam();
    const std::string bytes = readText(file);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(uint8_t(bytes[28]) | uint8_t(bytes[29]) << 8, 24);
    Picture help = graphics().loadPicture(file.string());
    ASSERT_EQ(help->width(), kHelpWidth);
    ASSERT_EQ(help->height(), kHelpHeight);
    int white = 0, dark = 0;
    for (int y = 0; y < kHelpHeight; ++y)
        for (int x = 0; x < kHelpWidth; ++x) {
            Rgb p = toRgb(help->pixel(x, y));
            white += help->pixel(x, y) == kWhite;
            dark += (p.r + p.g + p.b) / 3 < 100;
        }
    const int all = kHelpWidth * kHelpHeight;
    EXPECT_GT(white, all * 7 / 10);
    EXPECT_GT(dark, all / 50);
    // Text all the way down: the lowest tenth holds the credits.
    EXPECT_LT(brightness(*help, 0, kHelpHeight * 8 / 10, kHelpWidth, kHelpHeight / 10), 250);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, HelpPictureFile,
                         testing::Values("helptext.bmp", "helptext-en.bmp"));

// The English help is another text, not the Czech one again: below the title "ZIB" most rows of
// text differ.
TEST(HelpPicture, TheEnglishHelpHasItsOwnText) {
    Picture czech = graphics().loadPicture((kBase / "menu" / "helptext.bmp").string());
    Picture english = graphics().loadPicture((kBase / "menu" / "helptext-en.bmp").string());
    int rowsWithText = 0, differingRows = 0;
    for (int y = 60; y < kHelpHeight; ++y) {
        bool text = false, differs = false;
        for (int x = 0; x < kHelpWidth; ++x) {
            text = text || czech->pixel(x, y) != kWhite;
            differs = differs || czech->pixel(x, y) != english->pixel(x, y);
        }
        rowsWithText += text;
        differingRows += differs;
    }
    EXPECT_GT(rowsWithText, 200);
    EXPECT_GT(differingRows, rowsWithText * 8 / 10);
}

TEST(HelpPicture, AsterisksMarkTheBoldWords) {
    using R = HelpRun;
    const std::vector<HelpRun> expected{
        {"Esc", true}, {" ", false}, {"ends", false}, {" ", false}, {"it.", false}, {" ", false},
        {"Two", true}, {" ", true},  {"words", true}, {" ", false}, {"x", false}};
    EXPECT_EQ(helpRuns("*Esc* ends it. *Two words* x"), expected);
    EXPECT_EQ(helpRuns(""), std::vector<R>{});
    // An unclosed asterisk leaves the rest bold; nothing is lost.
    EXPECT_EQ(helpRuns("a *b"), (std::vector<R>{{"a", false}, {" ", false}, {"b", true}}));
}

TEST(DefaultSettings, NameTheFirstLevelWithCrLfLines) {
    EXPECT_EQ(readText(fs::path(ZIB_BINARY_DIR) / "ZIB.ini").substr(0, 25),
              "87,38,83,40,68,39,65,37\r\n");
}

// A scratch folder for one run of the generator.
struct Scratch {
    fs::path dir;
    explicit Scratch(const std::string& name)
        : dir(fs::temp_directory_path() /
              ("zib_assetgen_" + std::to_string(getpid()) + "_" + name)) {
        fs::remove_all(dir);
        fs::create_directories(dir / "data" / "levels");
        fs::create_directories(dir / "out");
    }
    ~Scratch() { fs::remove_all(dir); }
    void level(const std::string& name, const std::string& text) const {
        std::ofstream(dir / "data" / "levels" / name, std::ios::binary) << text;
    }
};

TEST(Generator, KeepsAPlayersSettingsAndRepeatsItsOutput) {
    Scratch s("repeat");
    const std::string pole = readText(fs::path(ZIB_SOURCE_DIR) / "data" / "levels" / "Pole.zq7");
    s.level("Pole.zq7", pole);
    const std::string mine = "87,38,83,40,68,39,65,37\r\n20,Pole.zq7,3,20,1\r\n";
    std::ofstream(s.dir / "out" / "ZIB.ini", std::ios::binary) << mine;
    std::ostringstream log;
    ASSERT_TRUE(buildDataFolder((s.dir / "data").string(), (s.dir / "out").string(), log))
        << log.str();
    EXPECT_EQ(readText(s.dir / "out" / "ZIB.ini"), mine);
    // The same sources give the same files as in the build's data folder.
    for (const char* file :
         {"Pole.zq7", "Pole.dat", "kamen.gif", "trava.jpg", "Sound/UP.wav", "kovy/plech2.jpg",
          "menu/menu.png", "menu/logo.png", "menu/helptext.bmp", "menu/helptext-en.bmp"})
        EXPECT_EQ(readText(s.dir / "out" / "baseq7" / file), readText(kBase / file)) << file;
}

TEST(Generator, WritesDefaultSettingsWithTheFirstLevelWhenNoneExist) {
    Scratch s("defaults");
    const std::string pole = readText(fs::path(ZIB_SOURCE_DIR) / "data" / "levels" / "Pole.zq7");
    s.level("Zed.zq7", pole);
    s.level("Alfa.zq7", pole);
    std::ostringstream log;
    ASSERT_TRUE(buildDataFolder((s.dir / "data").string(), (s.dir / "out").string(), log))
        << log.str();
    EXPECT_EQ(readText(s.dir / "out" / "ZIB.ini"),
              "87,38,83,40,68,39,65,37\r\n46,Alfa.zq7,5,10,2\r\n");
}

struct FaultCase {
    const char* name;
    std::string level;
    std::string reported;
};

class GeneratorFault : public testing::TestWithParam<FaultCase> {};

TEST_P(GeneratorFault, StopsWithAReport) {
    Scratch s(GetParam().name);
    if (!GetParam().level.empty()) s.level("Spatna.zq7", GetParam().level);
    std::ostringstream log;
    EXPECT_FALSE(buildDataFolder((s.dir / "data").string(), (s.dir / "out").string(), log));
    EXPECT_NE(log.str().find(GetParam().reported), std::string::npos) << log.str();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, GeneratorFault,
    testing::Values(FaultCase{"NoLevels", "", "no levels"},
                    FaultCase{"UnknownPicture", "\"nic.png\",10,20,1,0\n30,40,-1,0\n", "nic.png"},
                    FaultCase{"UnknownTexture",
                              "\"trava.jpg\",10,20,1,0\n30,40,-1,0\n0,0,10,10,\"zlato.gif\"\n",
                              "zlato.gif"},
                    FaultCase{"BrokenLevel", "\"trava.jpg\",10,20,1,0\n30,40,-1\n",
                              "Chyba v mapě „Spatna.zq7“"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zib::assetgen
