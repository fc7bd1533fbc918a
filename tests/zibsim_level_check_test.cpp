// The level checker (zibsim --check-level): each kind of fault is found with its line and its
// weight, every fault of a file is reported in one run, pictures are looked up beside the level in
// any case and really loaded, and every level in the data folder passes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/backend/backends.h"
#include "zibsim/level_check.h"
#include "zibsim/temp_folder.h"

namespace zibsim {
namespace {
namespace fs = std::filesystem;
using Severity = LevelFinding::Severity;

zib::Graphics& graphics() {
    static std::unique_ptr<zib::Graphics> g = zib::makeSdlGraphics();
    return *g;
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// A folder with a real picture under an upper-case name and a file that is no picture.
class LevelCheckFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::copy_file(fs::path(ZIB_BINARY_DIR) / "baseq7" / "hlina.jpg",
                      fs::path(folder_.path()) / "HLINA.JPG");
        writeText(fs::path(folder_.path()) / "rozbity.gif", "GIF89a, then nothing");
    }
    LevelCheck check(const std::string& text) {
        return checkLevelText(text, folder_.path(), graphics());
    }
    TempFolder folder_;
};

// Two snakes on free cells moving right, and a first line given.
const std::string kStarts = "\"hlina.jpg\",100,100,1,0\n200,200,1,0\n";

struct FaultCase {
    const char* name;
    std::string text;
    Severity severity;
    int line;  // 0: about the whole file
    const char* words;
};

class LevelCheckFaults : public LevelCheckFolder,
                         public ::testing::WithParamInterface<FaultCase> {};

TEST_P(LevelCheckFaults, IsFoundOnItsLineWithItsWeight) {
    const FaultCase& c = GetParam();
    LevelCheck result = check(c.text);
    ASSERT_EQ(result.findings.size(), 1u) << c.text;
    const LevelFinding& f = result.findings[0];
    EXPECT_EQ(f.severity, c.severity) << f.message;
    EXPECT_EQ(f.line, c.line) << f.message;
    EXPECT_NE(f.message.find(c.words), std::string::npos) << f.message;
    EXPECT_EQ(result.playable(), c.severity == Severity::Warning);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, LevelCheckFaults,
    ::testing::Values(
        FaultCase{"NumberDoesNotRead", "\"hlina.jpg\",100,100,1,0\n200,2x0,1,0\n", Severity::Error,
                  2, "does not read"},
        FaultCase{"FileEndsEarly", "\"hlina.jpg\",100,100,1,0\n200,200,1\n", Severity::Error, 2,
                  "ends early"},
        FaultCase{"WallRecordCut", kStarts + "10,10,50,50\n", Severity::Error, 3, "ends early"},
        FaultCase{"StartOutsideField", "\"hlina.jpg\",800,100,1,0\n200,200,1,0\n", Severity::Error,
                  1, "outside the field"},
        FaultCase{"StartOffLattice", "\"hlina.jpg\",100,100,1,0\n200\n205,1,0\n", Severity::Error,
                  3, "off the 10-pixel lattice"},
        FaultCase{"DirectionTooLarge", "\"hlina.jpg\",100,100,2,0\n200,200,1,0\n", Severity::Error,
                  1, "-1, 0 or 1"},
        FaultCase{"WallOutsideField", kStarts + "10,10,810,50,hlina.jpg\n", Severity::Error, 3,
                  "outside the field"},
        FaultCase{"WallOffLattice", kStarts + "15,10,55,50,hlina.jpg\n", Severity::Warning, 3,
                  "off the 10-pixel lattice"},
        FaultCase{"WallPaintsMore", kStarts + "10,10,55,50,hlina.jpg\n", Severity::Warning, 3,
                  "paints more than it blocks"},
        FaultCase{"WallEmpty", kStarts + "50,10,50,50,hlina.jpg\n", Severity::Warning, 3, "empty"},
        FaultCase{"RedStartsOnWall", kStarts + "\n90,90,120,120,hlina.jpg\n", Severity::Error, 1,
                  "starts on the wall of line 4"},
        FaultCase{"StandingStill", "\"hlina.jpg\",100,100,1,0\n200,200,0,0\n", Severity::Error, 2,
                  "does not move"},
        FaultCase{"BothOnOneCell", "\"hlina.jpg\",100,100,1,0\n100,100,-1,0\n", Severity::Error, 2,
                  "same cell"},
        FaultCase{"FirstStepIntoWall", kStarts + "210,200,220,210,hlina.jpg\n", Severity::Error, 2,
                  "first step (to 210, 200)"},
        FaultCase{"FirstStepWrapsIntoWall",
                  "\"hlina.jpg\",0,100,-1,0\n200,200,1,0\n790,100,800,110,hlina.jpg\n",
                  Severity::Error, 1, "first step (to 790, 100)"},
        FaultCase{"BackgroundMissing", "\"nic.jpg\",100,100,1,0\n200,200,1,0\n", Severity::Error, 1,
                  "\"nic.jpg\" is not in the folder"},
        FaultCase{"BackgroundNoPicture", "\"rozbity.gif\",100,100,1,0\n200,200,1,0\n",
                  Severity::Error, 1, "does not load"},
        FaultCase{"TextureDoesNotLoad", kStarts + "10,10,50,50,rozbity.gif\n", Severity::Error, 3,
                  "does not load"},
        FaultCase{"TextureWithoutName", kStarts + "10,10,50,50,hlina.jpg\n10,60,50,90,\"\"\n",
                  Severity::Error, 4, "no file name"},
        FaultCase{"NoCellForFood", "hlina.jpg,0,550,1,0\n0,570,1,0\n10,10,710,510,hlina.jpg\n",
                  Severity::Error, 0, "no free cell for food"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// What each finding concerns, for the editor that marks it, and its Czech text.
struct SubjectCase {
    const char* name;
    std::string text;
    Severity severity;
    LevelFinding::Subject subject;
    int wall;
    const char* czech;
};

class LevelCheckSubjects : public LevelCheckFolder,
                           public ::testing::WithParamInterface<SubjectCase> {};

TEST_P(LevelCheckSubjects, NameWhatTheyConcern) {
    const SubjectCase& c = GetParam();
    LevelCheck result = check(c.text);
    ASSERT_EQ(result.findings.size(), 1u) << result.findings[0].message;
    const LevelFinding& f = result.findings[0];
    EXPECT_EQ(f.severity, c.severity);
    EXPECT_EQ(f.subject, c.subject) << f.message;
    EXPECT_EQ(f.wall, c.wall) << f.message;
    EXPECT_NE(f.czech.find(c.czech), std::string::npos) << f.czech;
}

std::string wallsOfOneCell(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        const int x = 300 + i % 30 * 10, y = 300 + i / 30 * 10;
        text += std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(x + 10) + "," +
                std::to_string(y + 10) + ",hlina.jpg\n";
    }
    return text;
}

// Red shut in two cells below the food area: x 400..410, y 550.
const std::string kShutIn =
    "\"hlina.jpg\",400,550,1,0\n200,200,1,0\n"
    "390,540,430,550,hlina.jpg\n390,560,430,570,hlina.jpg\n"
    "390,550,400,560,hlina.jpg\n420,550,430,560,hlina.jpg\n";

INSTANTIATE_TEST_SUITE_P(
    Kinds, LevelCheckSubjects,
    ::testing::Values(
        SubjectCase{"RedOnAWall", kStarts + "\n90,90,120,120,hlina.jpg\n", Severity::Error,
                    LevelFinding::Subject::Red, -1, "startuje na zdi"},
        SubjectCase{"BlueStepsIntoTheSecondWall",
                    kStarts + "600,10,610,20,hlina.jpg\n210,200,220,210,hlina.jpg\n",
                    Severity::Error, LevelFinding::Subject::Blue, -1, "prvním krokem"},
        SubjectCase{"BothOnOneCell", "\"hlina.jpg\",100,100,1,0\n100,100,-1,0\n", Severity::Error,
                    LevelFinding::Subject::Blue, -1, "stejném místě"},
        SubjectCase{"SecondWallOffTheGrid",
                    kStarts + "10,10,50,50,hlina.jpg\n15,60,55,90,hlina.jpg\n", Severity::Warning,
                    LevelFinding::Subject::Wall, 1, "neleží na mřížce"},
        SubjectCase{"TextureOfTheFirstWall", kStarts + "10,10,50,50,nic.gif\n", Severity::Error,
                    LevelFinding::Subject::Wall, 0, "chybí ve složce"},
        SubjectCase{"Background", "\"nic.jpg\",100,100,1,0\n200,200,1,0\n", Severity::Error,
                    LevelFinding::Subject::Background, -1, "obrázek pozadí"},
        SubjectCase{"RedCannotReachFood", kShutIn, Severity::Warning, LevelFinding::Subject::Red,
                    -1, "nedostane k žádnému jídlu"},
        SubjectCase{"TooManyWalls", kStarts + wallsOfOneCell(257), Severity::Warning,
                    LevelFinding::Subject::Wall, 256, "víc než 256"},
        SubjectCase{"NoFood", "hlina.jpg,0,550,1,0\n0,570,1,0\n10,10,710,510,hlina.jpg\n",
                    Severity::Error, LevelFinding::Subject::File, -1, "nezbývá volné místo"}),
    [](const ::testing::TestParamInfo<SubjectCase>& info) { return std::string(info.param.name); });

TEST_F(LevelCheckFolder, TwoHundredFiftySixWallsAreNotTooMany) {
    EXPECT_TRUE(check(kStarts + wallsOfOneCell(256)).findings.empty());
}

TEST_F(LevelCheckFolder, ACleanLevelHasNoFindings) {
    // The picture names differ in case from the file; the walls leave one food cell free.
    LevelCheck result = check("Hlina.JPG,0,550,1,0\n0,570,1,0\n10,10,700,510,hlina.jpg\n" +
                              std::string("700,10,710,500,HLINA.jpg\n"));
    EXPECT_TRUE(result.findings.empty()) << result.findings[0].message;
    EXPECT_TRUE(result.playable());
}

TEST_F(LevelCheckFolder, EveryFaultOfAFileIsReportedInFileOrder) {
    const std::string text =
        "\"hlina.jpg\",105,100,1,0\n"  // 1: off the lattice
        "200,200,x,0\n"                // 2: does not read
        "10,10,55,50,hlina.jpg\n"      // 3: paints more than it blocks
        "10,900,50,50,hlina.jpg\n"     // 4: outside the field
        "60,60,70,70,nic.bmp\n";       // 5: missing picture
    LevelCheck result = check(text);
    std::vector<int> lines;
    for (const LevelFinding& f : result.findings) lines.push_back(f.line);
    EXPECT_EQ(lines, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(result.playable());
}

TEST_F(LevelCheckFolder, AFaultTheGameRefusesIsAnError) {
    // Whatever the field reader does, the checker never passes a level the game would refuse.
    for (const std::string& text :
         {std::string(""), std::string("\"hlina.jpg\"\n"), kStarts + "1,2,3,4,hlina.jpg,5\n"}) {
        LevelCheck result = check(text);
        EXPECT_FALSE(result.playable()) << text;
        for (const LevelFinding& f : result.findings) EXPECT_FALSE(f.message.empty());
    }
}

std::vector<std::string> dataFolderLevels() {
    std::vector<std::string> paths;
    for (const auto& e : fs::directory_iterator(fs::path(ZIB_BINARY_DIR) / "baseq7"))
        if (e.path().extension() == ".zq7") paths.push_back(e.path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

TEST(LevelCheckDataFolder, EveryShippedLevelPasses) {
    const std::vector<std::string> paths = dataFolderLevels();
    ASSERT_FALSE(paths.empty());
    for (const std::string& path : paths) {
        LevelCheck result = checkLevelFile(path, graphics());
        EXPECT_TRUE(result.findings.empty())
            << path << ":" << result.findings[0].line << ": " << result.findings[0].message;
    }
}

int runZibsim(const std::string& arguments, const fs::path& output) {
    const std::string command = std::string(ZIB_BINARY_DIR) + "/zibsim --check-level " + arguments +
                                " > " + output.string() + " 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(LevelCheckFolder, TheProgramFailsOnlyWhenALevelCannotBePlayed) {
    const fs::path dir(folder_.path());
    writeText(dir / "warned.zq7", kStarts + "10,10,55,50,hlina.jpg\n");
    writeText(dir / "broken.zq7", kStarts + "10,10,55,50,nic.bmp\n");
    std::string shipped;
    for (const std::string& path : dataFolderLevels()) shipped += " " + path;

    EXPECT_EQ(runZibsim(shipped, dir / "out"), 0);
    EXPECT_EQ(runZibsim((dir / "warned.zq7").string(), dir / "out"), 0);
    EXPECT_EQ(
        runZibsim((dir / "warned.zq7").string() + " " + (dir / "broken.zq7").string(), dir / "out"),
        1);
    std::ifstream in(dir / "out");
    std::stringstream report;
    report << in.rdbuf();
    EXPECT_NE(report.str().find((dir / "broken.zq7").string() + ":3: error: "), std::string::npos)
        << report.str();
    EXPECT_NE(report.str().find((dir / "warned.zq7").string() + ":3: warning: "), std::string::npos)
        << report.str();
    EXPECT_EQ(runZibsim("", dir / "out"), 2);
}

}  // namespace
}  // namespace zibsim
