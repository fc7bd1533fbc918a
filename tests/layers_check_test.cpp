// scripts/check-layers against the table of layers: an include passes only when the including
// file's layer stands on the included one, directly or through another; layers side by side,
// upward includes, includes written relative to the file and the SDL backend outside app/ fail.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "zibsim/temp_folder.h"

namespace {
namespace fs = std::filesystem;

// Runs the check on one file of a made-up source tree (named src/LAYER/...); its exit status.
int checkOne(const fs::path& root, const std::string& file, const std::string& include) {
    fs::create_directories((root / file).parent_path());
    std::ofstream(root / file) << "#pragma once\n#include <vector>\n" << include << "\n";
    const std::string command = "cd '" + root.string() +
                                "' && '" ZIB_SOURCE_DIR "/scripts/check-layers' '" + file +
                                "' > out.txt 2>&1";
    const int status = std::system(command.c_str());
    fs::remove(root / file);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(LayersCheck, AnIncludePassesOnlyIntoALayerItsFileStandsOn) {
    const struct {
        const char* file;
        const char* include;
        bool passes;
    } cases[] = {
        {"src/game/a.h", "#include \"snakes/x.h\"", true},
        {"src/game/a.h", "#include \"state/x.h\"", true},  // through snakes/ and computer/
        {"src/game/a.h", "#include \"menu/x.h\"", false},
        {"src/game/a.cpp", "#include \"../menu/x.h\"", false},
        {"src/game/a.cpp", "#include \"x.h\"", true},  // beside the file
        {"src/snakes/a.cpp", "#include \"computer/x.h\"", false},
        {"src/computer/a.cpp", "#include \"snakes/x.h\"", false},
        {"src/menu/a.cpp", "#include \"net/x.h\"", true},  // through online/
        {"src/net/a.cpp", "#include \"platform/x.h\"", true},
        {"src/net/a.cpp", "#include \"state/x.h\"", false},
        {"src/state/a.h", "#include \"net/x.h\"", false},
        {"src/replay/a.cpp", "#include \"online/x.h\"", false},
        {"src/online/a.cpp", "#include \"replay/x.h\"", true},
        {"src/app/a.cpp", "#include \"platform/backend/x.h\"", true},
        {"src/menu/a.cpp", "#include \"platform/backend/x.h\"", false},
        {"src/platform/a.cpp", "#include \"platform/backend/x.h\"", false},
        {"src/platform/backend/a.cpp", "#include \"platform/x.h\"", true},
        {"src/platform/backend/a.cpp", "#include \"state/x.h\"", false},
        {"tools/a.cpp", "#include \"app/x.h\"", true},  // above every layer
    };
    zibsim::TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ": " + c.include);
        EXPECT_EQ(checkOne(folder.path(), c.file, c.include), c.passes ? 0 : 1);
    }
}

}  // namespace
