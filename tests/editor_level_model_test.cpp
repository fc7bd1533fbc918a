// The edited level without a window: snapping to the grid, the mirror, the undo history, the level
// file's text read back by the game's reader, names, and saving and opening in the folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <variant>

#include "editor/level_model.h"
#include "editor/level_store.h"
#include "game/level_check.h"
#include "platform/backend/backends.h"
#include "platform/files.h"
#include "zibsim/temp_folder.h"

namespace zib {
namespace {

namespace fs = std::filesystem;

LevelWall wall(int x1, int y1, int x2, int y2, const std::string& texture = "cihla.bmp") {
    LevelWall w;
    w.x1 = x1;
    w.y1 = y1;
    w.x2 = x2;
    w.y2 = y2;
    w.texture = texture;
    return w;
}

std::string rect(const LevelWall& w) {
    return std::to_string(w.x1) + "," + std::to_string(w.y1) + "," + std::to_string(w.x2) + "," +
           std::to_string(w.y2);
}

struct DragCase {
    const char* name;
    int x0, y0, x1, y1;
    const char* wall;
};

class WallOfDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(WallOfDrag, SnapsToTheGridInsideTheField) {
    const DragCase& c = GetParam();
    EXPECT_EQ(rect(wallOfDrag(c.x0, c.y0, c.x1, c.y1, "t")), c.wall);
}

INSTANTIATE_TEST_SUITE_P(
    Drags, WallOfDrag,
    ::testing::Values(DragCase{"OnTheGrid", 200, 200, 300, 260, "200,200,300,260"},
                      DragCase{"NearestLine", 204, 196, 296, 265, "200,200,300,270"},
                      DragCase{"Backwards", 300, 260, 200, 200, "200,200,300,260"},
                      DragCase{"AClickIsOneCell", 203, 203, 203, 203, "200,200,210,210"},
                      DragCase{"PastTheEdges", -40, -5, 900, 700, "0,0,800,600"},
                      DragCase{"ACellAtTheCorner", 799, 599, 799, 599, "790,590,800,600"}),
    [](const auto& info) { return std::string(info.param.name); });

struct MirrorCase {
    const char* name;
    Mirror mirror;
    const char* image;     // of the wall 100,50,150,80
    int startX, startY;    // the image of a start at (100, 50) heading right and down
    int startDx, startDy;  // ... its direction
};

class Mirroring : public ::testing::TestWithParam<MirrorCase> {};

TEST_P(Mirroring, WallsAndStartsFollowTheirImages) {
    const MirrorCase& c = GetParam();
    EXPECT_EQ(rect(mirrorWall(wall(100, 50, 150, 80), c.mirror)), c.image);
    const LevelStart image = mirrorStart(LevelStart{100, 50, 1, 1}, c.mirror);
    EXPECT_EQ(image.x, c.startX);
    EXPECT_EQ(image.y, c.startY);
    EXPECT_EQ(image.dx, c.startDx);
    EXPECT_EQ(image.dy, c.startDy);

    LevelModel model(emptyLevel("hlina.jpg"));
    model.mirror = c.mirror;
    model.addWall(wall(100, 50, 150, 80));
    ASSERT_EQ(model.level().walls.size(), c.mirror == Mirror::Off ? 1u : 2u);
    if (c.mirror != Mirror::Off) {
        EXPECT_EQ(rect(model.level().walls[1]), c.image);
    }

    // Moving the wall moves its image; erasing the image erases both.
    model.beginWallDrag(0);
    model.dragWallTo(wall(110, 50, 160, 80));
    model.endWallDrag();
    if (c.mirror != Mirror::Off) {
        EXPECT_EQ(rect(model.level().walls[1]), rect(mirrorWall(wall(110, 50, 160, 80), c.mirror)));
    }
    const LevelWall& last = model.level().walls.back();
    EXPECT_TRUE(model.eraseAt(last.x1, last.y1));
    EXPECT_TRUE(model.level().walls.empty());

    // Red's start puts blue's at its image, heading the mirrored way.
    const LevelStart blueBefore = model.level().blue;
    model.placeStart(StartOf::Red, 105, 57);
    model.turnStart(StartOf::Red, 1, 1);
    EXPECT_EQ(model.level().red.x, 100);
    EXPECT_EQ(model.level().red.y, 50);
    const LevelStart& blue = model.level().blue;
    if (c.mirror == Mirror::Off) {
        EXPECT_EQ(blue.x, blueBefore.x);
        EXPECT_EQ(blue.dx, blueBefore.dx);
    } else {
        EXPECT_EQ(blue.x, c.startX);
        EXPECT_EQ(blue.y, c.startY);
        EXPECT_EQ(blue.dx, c.startDx);
        EXPECT_EQ(blue.dy, c.startDy);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, Mirroring,
    ::testing::Values(MirrorCase{"Off", Mirror::Off, "100,50,150,80", 100, 50, 1, 1},
                      MirrorCase{"LeftRight", Mirror::LeftRight, "650,50,700,80", 690, 50, -1, 1},
                      MirrorCase{"TopBottom", Mirror::TopBottom, "100,520,150,550", 100, 540, 1,
                                 -1},
                      MirrorCase{"Centre", Mirror::Centre, "650,520,700,550", 690, 540, -1, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LevelModelMirror, AWallThatIsItsOwnImageIsDrawnAndErasedOnce) {
    LevelModel model(emptyLevel("hlina.jpg"));
    model.mirror = Mirror::LeftRight;
    model.addWall(wall(300, 100, 500, 120));
    model.addWall(wall(300, 200, 500, 220));
    ASSERT_EQ(model.level().walls.size(), 2u);
    EXPECT_TRUE(model.eraseAt(400, 110));
    ASSERT_EQ(model.level().walls.size(), 1u);
    EXPECT_EQ(model.level().walls[0].y1, 200);
}

TEST(LevelModelHistory, UndoesAndRedoesMoreThanTwoHundredSteps) {
    LevelModel model(emptyLevel("hlina.jpg"));
    constexpr int kSteps = 250;
    for (int i = 0; i < kSteps; ++i)
        model.addWall(wall(10 * (i % 70), 10 * (i / 70), 10 * (i % 70) + 10, 10 * (i / 70) + 10));
    const EditedLevel full = model.level();
    int undone = 0;
    while (model.undo()) ++undone;
    EXPECT_EQ(undone, kSteps);
    EXPECT_TRUE(model.level().walls.empty());
    EXPECT_FALSE(model.modified());
    int redone = 0;
    while (model.redo()) ++redone;
    EXPECT_EQ(redone, kSteps);
    EXPECT_TRUE(sameLevel(model.level(), full));

    // A new edit after an undo drops what could be redone; a drag that ends where it began is no
    // step, and one that moved is a single step.
    model.undo();
    model.addWall(wall(700, 500, 710, 510));
    EXPECT_FALSE(model.canRedo());
    const size_t steps = model.undoSteps();
    model.beginWallDrag(0);
    model.dragWallTo(wall(100, 100, 110, 110));
    model.dragWallTo(model.level().walls[0]);
    model.dragWallTo(wall(0, 0, 10, 10));
    model.endWallDrag();
    EXPECT_EQ(model.undoSteps(), steps);
    model.beginWallDrag(0);
    for (int x = 10; x <= 100; x += 10) model.dragWallTo(wall(x, 0, x + 10, 10));
    model.endWallDrag();
    EXPECT_EQ(model.undoSteps(), steps + 1);
    model.undo();
    EXPECT_EQ(model.level().walls[0].x1, 0);
}

TEST(LevelModelHistory, KeepsItsNewestStepsWhenFull) {
    LevelModel model(emptyLevel("a.jpg"));
    for (size_t i = 0; i < LevelModel::kUndoSteps + 20; ++i)
        model.setBackground(std::to_string(i) + ".jpg");
    EXPECT_EQ(model.undoSteps(), LevelModel::kUndoSteps);
    while (model.undo()) {
    }
    EXPECT_EQ(model.level().background, "19.jpg");
}

class LevelTextRoundTrip : public ::testing::TestWithParam<EditedLevel> {};

TEST_P(LevelTextRoundTrip, TheGameReadsBackWhatWasWritten) {
    const EditedLevel& level = GetParam();
    auto parsed = parseLevel(levelText(level), "x.zq7");
    ASSERT_TRUE(std::holds_alternative<LevelFile>(parsed)) << std::get<LevelError>(parsed).message;
    EXPECT_TRUE(sameLevel(levelOfFile(std::get<LevelFile>(parsed)), level)) << levelText(level);
}

EditedLevel withWalls() {
    EditedLevel level = emptyLevel("Hlína pole.jpg");
    level.red = LevelStart{0, 590, 0, -1};
    level.blue = LevelStart{790, 0, -1, 0};
    level.walls = {wall(0, 0, 800, 10, "a b.gif"), wall(200, 200, 300, 260, "dřevo.jpg"),
                   wall(15, 15, 22, 22, "")};
    return level;
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelTextRoundTrip,
                         ::testing::Values(emptyLevel("hlina.jpg"), withWalls()));

struct NameCase {
    const char* name;
    bool valid;
};

class LevelNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(LevelNames, LettersDigitsDashAndUnderscoreOnly) {
    EXPECT_EQ(validLevelName(GetParam().name), GetParam().valid) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, LevelNames,
    ::testing::Values(
        NameCase{"Novy", true}, NameCase{"Žlutý_kůň-2", true}, NameCase{"ŘEŘICHA", true},
        NameCase{"", false}, NameCase{"a b", false}, NameCase{"../x", false},
        NameCase{"a.b", false}, NameCase{"Straße", false}, NameCase{"\xC5", false},
        NameCase{"\xE2\x82", false},
        NameCase{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", true},
        NameCase{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false}));

class LevelFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(shipped());
        fs::copy_file(fs::path(ZIB_BINARY_DIR) / "baseq7" / "hlina.jpg", shipped() / "hlina.jpg");
        write(shipped() / "Pole.zq7",
              "\"hlina.jpg\",100,100,1,0\n200,200,1,0\n"
              "300,300,320,320,\"hlina.jpg\"\n");
    }
    fs::path shipped() const { return fs::path(temp_.path()) / "baseq7"; }
    fs::path player() const { return fs::path(temp_.path()) / "levels"; }
    LevelFolders folders() const { return {shipped().string(), player().string()}; }
    static void write(const fs::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    static std::string read(const fs::path& p) {
        std::string text;
        readWholeFile(p.string(), text);
        return text;
    }
    PictureLookup none() const {
        return [](const std::string&) { return Picture(); };
    }
    std::unique_ptr<Graphics> graphics = makeSdlGraphics();
    zibsim::TempFolder temp_;
};

TEST_F(LevelFolderTest, AShippedLevelIsSavedAsThePlayersCopy) {
    const std::string shippedText = read(shipped() / "Pole.zq7");
    OpenedLevel opened = openLevel("pole", folders(), "x.jpg");
    EXPECT_EQ(opened.origin, OpenedLevel::Origin::Shipped);
    ASSERT_EQ(opened.level.walls.size(), 1u);
    opened.level.walls.push_back(wall(400, 200, 500, 260, "hlina.jpg"));
    SaveOutcome saved = saveLevel("Pole", opened.level, levelPreview(opened.level, none()),
                                  player().string(), *graphics);
    ASSERT_TRUE(saved.saved) << saved.message;
    EXPECT_EQ(read(shipped() / "Pole.zq7"), shippedText);
    EXPECT_EQ(saved.path, (player() / "Pole.zq7").string());
    // The preview is a picture the mods panel can load; the checker passes the level.
    Picture preview = graphics->loadPicture((player() / "Pole.dat").string());
    EXPECT_EQ(preview->width(), 330);
    EXPECT_EQ(preview->height(), 250);
    EXPECT_TRUE(checkLevelFile(saved.path, *graphics).findings.empty());

    OpenedLevel again = openLevel("Pole", folders(), "x.jpg");
    EXPECT_EQ(again.origin, OpenedLevel::Origin::Player);
    EXPECT_TRUE(sameLevel(again.level, opened.level));
    EXPECT_EQ(openLevel("Jina", folders(), "x.jpg").origin, OpenedLevel::Origin::New);
}

struct BadFileCase {
    const char* name;
    std::string text;
    bool reads;         // the game's reader takes it (the editor shows it), else an empty level
    const char* czech;  // part of a finding the checker gives
};

class BadLevelFile : public LevelFolderTest, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(BadLevelFile, OpensWithTheCheckersFindings) {
    const BadFileCase& c = GetParam();
    fs::create_directories(player());
    write(player() / "Zly.zq7", c.text);
    OpenedLevel opened = openLevel("Zly", folders(), "hlina.jpg");
    EXPECT_EQ(opened.fault.empty(), c.reads) << opened.fault;
    if (!c.reads) {
        EXPECT_TRUE(opened.level.walls.empty());
    }
    LevelCheck check =
        checkLevelText(opened.text, player().string(), *graphics, shipped().string());
    bool found = false;
    for (const LevelFinding& f : check.findings)
        found |= f.czech.find(c.czech) != std::string::npos;
    EXPECT_TRUE(found) << c.name;
}

std::string manyWalls(int n) {
    std::string text = "\"hlina.jpg\",100,100,1,0\n200,200,1,0\n";
    for (int i = 0; i < n; ++i) {
        const int x = 300 + i % 40 * 10, y = 300 + i / 40 % 20 * 10;
        text += std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(x + 10) + "," +
                std::to_string(y + 10) + ",\"hlina.jpg\"\n";
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadLevelFile,
    ::testing::Values(BadFileCase{"FiveThousandWalls", manyWalls(5000), true, "víc než 256"},
                      BadFileCase{"BrokenNumber", "\"hlina.jpg\",1x0,100,1,0\n200,200,1,0\n", false,
                                  "není celé číslo"},
                      BadFileCase{"CutShort", "\"hlina.jpg\",100", false, "končí předčasně"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zib
