// The runner of zibsim: levels that cannot be loaded (exit 3), the quiet mode, the form of the
// trace lines, and the executable itself with a file, standard input and bad arguments.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "zibsim/trace_lines.h"
#include "zibsim_test_support.h"

namespace zibsim {
namespace {

using testing::json;
using testing::SimResult;

constexpr const char* kGoodLevel = "bg.bmp,100,550,1,0\n100,570,1,0\n";

class ZibsimBadLevel : public ::testing::TestWithParam<std::string> {};

TEST_P(ZibsimBadLevel, ExitsWithThreeAndTheLoadersMessage) {
    SimResult r = testing::simulate(json{{"level", GetParam()}});
    EXPECT_EQ(r.exitCode, kBadLevel);
    EXPECT_EQ(r.out, "") << "no trace for a level that did not load";
    EXPECT_NE(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(Levels, ZibsimBadLevel,
                         ::testing::Values("",                                   // no record 1
                                           "bg.bmp,100,550,1\n",                 // record 1 short
                                           "bg.bmp,100,550,1,0\n",               // no record 2
                                           "bg.bmp,100,550,1,0\n100,570,x,0\n",  // not a number
                                           "bg.bmp,100,550,1,0\n100,570,1,0\n10,10,20\n",
                                           "bg.bmp,100,550,1,0\n100,570,1,0\n0,0,900,10,w.bmp\n"));

TEST(ZibsimRunner, QuietPrintsOnlyTheEndLine) {
    json scenario = {{"level", kGoodLevel},
                     {"events", json::parse(R"([{"tick": 4, "press": 27}])")}};
    SimResult quiet = testing::simulate(scenario, true);
    ASSERT_EQ(quiet.exitCode, kRan) << quiet.err;
    ASSERT_EQ(quiet.lines.size(), 1u);
    EXPECT_EQ(quiet.lines[0],
              json::parse(R"({"end": {"result": "", "redWins": 0, "blueWins": 0, "redDead": 0,
                                      "blueDead": 0, "ticks": 4}})"));
}

TEST(ZibsimRunner, QuietRunOutOfTicksPrintsTheNullEnd) {
    SimResult quiet = testing::simulate({{"level", kGoodLevel}, {"maxTicks", 9000}}, true);
    ASSERT_EQ(quiet.exitCode, kRan) << quiet.err;
    ASSERT_EQ(quiet.lines.size(), 1u);
    EXPECT_EQ(quiet.lines[0], json::parse(R"({"end": null, "ticks": 9000})"));
}

TEST(ZibsimRunner, EveryLineIsOneObjectWithTheFieldsOfTheFormat) {
    SimResult r = testing::simulate({{"level", kGoodLevel}, {"maxTicks", 3}});
    ASSERT_EQ(r.exitCode, kRan) << r.err;
    ASSERT_EQ(r.lines.size(), 5u);
    for (int t = 0; t <= 3; ++t) {
        const json& line = r.lines[static_cast<size_t>(t)];
        for (const char* key : {"t", "food", "foodVisible", "foodFrame", "red", "blue", "gameOver",
                                "stop", "timer1", "sounds", "fps"})
            EXPECT_TRUE(line.contains(key)) << key;
        EXPECT_EQ(line.size(), 11u);
        for (const char* snake : {"red", "blue"}) {
            const json& s = line[snake];
            for (const char* key : {"head", "dir", "prev", "headIndex", "nextIndex", "grow",
                                    "pending", "dead", "body", "path", "pathValid"})
                EXPECT_TRUE(s.contains(key)) << snake << "." << key;
            EXPECT_EQ(s.size(), 11u);
        }
    }
}

TEST(ZibsimRunner, SoundNamesLoseTheirFolders) {
    EXPECT_EQ(soundFileName("BaseQ7\\Sound\\turnII.wav"), "turnII.wav");
    EXPECT_EQ(soundFileName("/opt/zib/baseq7/Sound/UP.wav"), "UP.wav");
    EXPECT_EQ(soundFileName("C:\\zib/BaseQ7\\Sound/click.wav"), "click.wav");
    EXPECT_EQ(soundFileName("UP.wav"), "UP.wav");
}

TEST(ZibsimRunner, TextIsEscapedAndKeptInUtf8) {
    std::string out;
    GameEnd end;
    end.result = "Červený \"vyhrál\"\\";
    end.redWins = 12;
    end.blueWins = 0;
    end.ticks = 3;
    appendEndLine(out, end);
    ASSERT_EQ(out.back(), '\n');
    EXPECT_EQ(out.find('\n'), out.size() - 1);
    json line = json::parse(out);
    EXPECT_EQ(line["end"]["result"], "Červený \"vyhrál\"\\");
    EXPECT_EQ(line["end"]["redWins"], 12);
    EXPECT_NE(out.find("Červený"), std::string::npos) << "UTF-8 as is, not \\u escapes";
}

// ---- the executable

struct Command {
    int status = -1;
    std::string out;
};

Command runCommand(const std::string& command) {
    Command c;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return c;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) c.out.append(buffer, n);
    int status = pclose(pipe);
    c.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return c;
}

const std::string kZibsim = std::string(ZIB_BINARY_DIR) + "/zibsim";

class ZibsimExecutable : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("zibsim-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string write(const std::string& name, const std::string& text) {
        std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::filesystem::path folder_;
};

TEST_F(ZibsimExecutable, RunsAScenarioFile) {
    std::string path = write("s.json", json{{"level", kGoodLevel}, {"maxTicks", 2}}.dump());
    Command c = runCommand(kZibsim + " " + path);
    EXPECT_EQ(c.status, 0);
    EXPECT_EQ(std::count(c.out.begin(), c.out.end(), '\n'), 4);
    EXPECT_NE(c.out.find(R"({"end": null, "ticks": 2})"), std::string::npos) << c.out;
}

TEST_F(ZibsimExecutable, ReadsStandardInputAndIsQuietOnRequest) {
    std::string path = write("s.json", json{{"level", kGoodLevel}, {"maxTicks", 50}}.dump());
    Command c = runCommand(kZibsim + " --quiet - < " + path);
    EXPECT_EQ(c.status, 0);
    EXPECT_EQ(c.out, "{\"end\": null, \"ticks\": 50}\n");
}

TEST_F(ZibsimExecutable, ExitStatusesTellWhatWentWrong) {
    std::string badScenario =
        write("bad.json", R"({"level": "x", "events": [{"tick": -1, "down": 1}]})");
    std::string badLevel = write("level.json", R"({"level": "bg.bmp,1\n"})");
    EXPECT_EQ(runCommand(kZibsim + " " + badScenario + " 2>/dev/null").status, 2);
    EXPECT_EQ(runCommand(kZibsim + " " + badLevel + " 2>/dev/null").status, 3);
    EXPECT_EQ(
        runCommand(kZibsim + " " + (folder_ / "missing.json").string() + " 2>/dev/null").status, 2);
    EXPECT_EQ(runCommand(kZibsim + " 2>/dev/null").status, 2);
    EXPECT_EQ(runCommand(kZibsim + " --fast " + badLevel + " 2>/dev/null").status, 2);
    // The loader's message goes to standard error, nothing to standard output.
    Command messages = runCommand(kZibsim + " " + badLevel + " 2>&1 >/dev/null");
    EXPECT_NE(messages.out, "");
}

}  // namespace
}  // namespace zibsim
