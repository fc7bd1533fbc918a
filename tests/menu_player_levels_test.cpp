// The player's own levels beside the shipped ones: one list, the player's file wins, its pictures
// come from its own folder first and else from the shipped one; settings folders come into being
// at the first save.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "game/level_loader.h"
#include "menu/configuration.h"
#include "menu/level_list.h"
#include "menu/player_levels.h"
#include "platform/backend/backends.h"

namespace zib {
namespace {

namespace fs = std::filesystem;

TEST(PlayerLevels, MergeWithTheShippedOnesThePlayersFileWinningInAnyCase) {
    const struct {
        std::vector<std::string> shipped, player, listed;
    } cases[] = {
        {{".", "..", "Barvy.zq7", "Pole.zq7"}, {}, {"Barvy", "Pole"}},
        {{"Barvy.zq7", "Pole.zq7"}, {".", "..", "Moje.zq7", "pic.bmp"}, {"Barvy", "Moje", "Pole"}},
        {{"Barvy.zq7", "Pole.zq7"}, {"barvy.zq7"}, {"barvy", "Pole"}},
        {{"Barvy.zq7"}, {"Barvy.zq7", "Jina.zq7"}, {"Barvy", "Jina"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(listLevels(mergeLevelEntries(c.shipped, c.player)).levelList, c.listed);
}

class PlayerLevelFolders : public testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("zib_player_levels_" + std::to_string(getpid()));
        fs::create_directories(root / "shipped");
        fs::create_directories(root / "player");
        graphics = makeSdlGraphics();
    }
    void TearDown() override { fs::remove_all(root); }
    void put(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    void picture(const fs::path& path, uint32_t colour) {
        ASSERT_TRUE(graphics->savePicture(Canvas(4, 4, colour), path.string()));
    }
    fs::path root;
    std::unique_ptr<Graphics> graphics;
};

TEST_F(PlayerLevelFolders, APlayersLevelTakesItsOwnPicturesFirstThenTheShippedOnes) {
    const std::string shipped = (root / "shipped").string(), player = (root / "player").string();
    const std::string level = "\"back.bmp\",200,300,0,-1\n600,300,0,1\n0,0,100,20,\"wall.bmp\"\n";
    put(root / "shipped" / "Pole.zq7", level);
    put(root / "player" / "moje.zq7", level);
    picture(root / "shipped" / "back.bmp", rgb(0, 0, 255));
    picture(root / "shipped" / "wall.bmp", rgb(255, 0, 0));
    picture(root / "player" / "BACK.bmp", rgb(0, 255, 0));

    EXPECT_EQ(folderOfLevel("Moje.zq7", player, shipped), player);
    EXPECT_EQ(folderOfLevel("Pole.zq7", player, shipped), shipped);
    EXPECT_EQ(folderOfLevel("moje.zq7", "", shipped), shipped);

    auto read = readLevel(player, "moje.zq7", *graphics, shipped);
    ASSERT_TRUE(std::holds_alternative<ReadyLevel>(read)) << std::get<std::string>(read);
    const ReadyLevel& ready = std::get<ReadyLevel>(read);
    EXPECT_EQ(ready.background->pixel(1, 1), rgb(0, 255, 0));      // its own
    EXPECT_EQ(ready.textures.at(0)->pixel(1, 1), rgb(255, 0, 0));  // the shipped one
    // Without the shipped folder the missing picture is named, as before.
    auto alone = readLevel(player, "moje.zq7", *graphics);
    ASSERT_TRUE(std::holds_alternative<std::string>(alone));
    EXPECT_NE(std::get<std::string>(alone).find("wall.bmp"), std::string::npos);
}

TEST_F(PlayerLevelFolders, TheFirstSaveMakesThePlayersSettingsFolderOnly) {
    const std::string old = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    const fs::path ini = root / "config" / "zib" / "ZIB.ini";
    const bool saved = saveConfiguration(ini.string(), defaultSettings(), false).ok();
    const bool elsewhere =
        saveConfiguration((root / "other" / "ZIB.ini").string(), defaultSettings(), false).ok();
    old.empty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", old.c_str(), 1);
    ASSERT_TRUE(saved);
    EXPECT_EQ(loadConfigurationFile(ini.string()).status, ConfigurationStatus::Ok);
    EXPECT_EQ(fs::status(ini.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_FALSE(elsewhere);
}

}  // namespace
}  // namespace zib
