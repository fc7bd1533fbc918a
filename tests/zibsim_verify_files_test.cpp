// zibsim --verify on paths that hold no replay: each gets a line that says what is wrong with it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "zibsim/verify.h"

namespace zibsim {
namespace {

TEST(ZibsimVerifyFiles, APathThatHoldsNoReplaySaysWhy) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zibsim-verify-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "replays");
    std::ofstream(folder / "text.json") << "hello";
    struct Case {
        std::string path;
        std::string says;
    };
    const Case cases[] = {
        {(folder / "replays").string(), "it is a folder, not a replay file"},
        {(folder / "missing.json").string(), "cannot read the file"},
        {(folder / "text.json").string(), "not valid JSON"},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        EXPECT_EQ(verifyFiles({c.path}, out), 2) << c.path;
        EXPECT_EQ(out.str().rfind(c.path + ": " + c.says, 0), 0u) << out.str();
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zibsim
