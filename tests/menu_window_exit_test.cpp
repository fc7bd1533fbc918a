// The start and the end of the program as the menu sees them: the screen size, the settings read
// from ZIB.ini (or the defaults and a message), and EXIT writing them back.
#include "menu_window_fixture.h"

namespace zib::test {

namespace {

class MenuExit : public MenuWindowTest {
  protected:
    void SetUp() override {
        MenuWindowTest::SetUp();
        addLevels({"Alpha", "Beta"});
    }
    std::vector<std::pair<int, int>> modeRequests() const {
        std::vector<std::pair<int, int>> v;
        for (const DisplayMode& m : backend.changeRequests()) v.emplace_back(m.width, m.height);
        return v;
    }
};

TEST_F(MenuExit, ExitPutsTheScreenBackWritesTheSettingsAndEnds) {
    writeIni("86,Beta.zq7,3,40,1");
    start();
    EXPECT_EQ(menu->savedScreenWidth(), 1280);
    EXPECT_EQ(menu->savedScreenHeight(), 1024);
    EXPECT_EQ(modeRequests(), (std::vector<std::pair<int, int>>{{800, 600}}));
    clickAt(kItem[2]);
    clickOn(*c().keySlots[0]);
    press('Z', 'z');
    clickAt(kItem[4]);
    EXPECT_TRUE(app.quitRequested());
    EXPECT_EQ(modeRequests(), (std::vector<std::pair<int, int>>{{800, 600}, {1280, 1024}}));
    EXPECT_EQ(readFile(iniPath()), "90,38,83,40,68,39,65,37\r\n86,Beta.zq7,3,40,1\r\n");
}

TEST_F(MenuExit, AMissingFileGivesTheDefaultsQuietly) {
    start();
    EXPECT_EQ(menu->openMessage(), "");
    const std::array<const char*, 8> captions{"W", "UP", "S", "DOWN", "D", "RIGHT", "A", "LEFT"};
    for (size_t i = 0; i < 8; ++i) EXPECT_EQ(c().keySlots[i]->caption(), captions[i]);
    EXPECT_EQ(c().speedCaption->caption(), "RYCHLOST HRY: 54");
    EXPECT_EQ(c().classicModeLabel->colour(), rgb(0, 0, 255));
    const std::string first = menu->levels().levelList[0];
    EXPECT_EQ(state->settings.levelName, first + ".zq7");
    type("exit");
    EXPECT_EQ(readFile(iniPath()), "87,38,83,40,68,39,65,37\r\n46," + first + ".zq7,5,10,2\r\n");
}

TEST_F(MenuExit, ADamagedFileIsReportedOnceAndKeptAsBad) {
    writeFile(iniPath(), "87,38,83\r\n");
    start();
    EXPECT_NE(menu->openMessage().find("ZIB.ini"), std::string::npos) << menu->openMessage();
    EXPECT_EQ(state->settings.startLength, 10);
    press(kVkEnter, kVkEnter);  // closes the message only
    EXPECT_EQ(menu->openMessage(), "");
    EXPECT_FALSE(menu->gameWindow().isLoaded());
    clickAt(kItem[4]);
    EXPECT_TRUE(app.quitRequested());
    EXPECT_EQ(readFile(folder / "ZIB.ini.bad"), "87,38,83\r\n");
    EXPECT_EQ(readFile(iniPath()).substr(0, 25), "87,38,83,40,68,39,65,37\r\n");
}

// A start length in the millions would have START make millions of sprites, a speed of two
// billion ms would sleep for weeks per step: such a file is damaged like any other.
TEST_F(MenuExit, SizesNoGameCanUseAreReportedAndKeptAsBad) {
    const std::string huge = "87,38,83,40,68,39,65,37\r\n2000000000,Beta.zq7,5,5000000,1\r\n";
    writeFile(iniPath(), huge);
    start();
    ASSERT_NE(menu->openMessage().find("údaj č. 9 na řádku 2 je mimo rozsah"), std::string::npos)
        << menu->openMessage();
    EXPECT_EQ(state->settings.gameSpeed, 46);
    EXPECT_EQ(state->settings.startLength, 10);
    EXPECT_EQ(state->settings.gameMode, 2);
    EXPECT_EQ(c().startLengthLabel->caption(), "POČET ČLÁNKÚ PŘI STARTU:10");
    clickOn(*c().messageOk);
    clickAt(kItem[4]);
    EXPECT_TRUE(app.quitRequested());
    EXPECT_EQ(readFile(folder / "ZIB.ini.bad"), huge);
    EXPECT_EQ(readFile(iniPath()), "87,38,83,40,68,39,65,37\r\n46,Alpha.zq7,5,10,2\r\n");
}

// When the file cannot be written the player is told, and the program ends once the message is
// closed. (A folder standing where the file should be cannot be replaced, even by root.)
TEST_F(MenuExit, AFailedWriteIsReportedBeforeTheEnd) {
    fs::create_directory(iniPath());
    writeFile(iniPath() / "keep", "x");
    start();
    clickAt(kItem[4]);
    EXPECT_FALSE(app.quitRequested());
    EXPECT_NE(menu->openMessage(), "");
    EXPECT_TRUE(fs::is_directory(iniPath()));
    clickOn(*c().messageOk);
    EXPECT_TRUE(app.quitRequested());
}

// The settings are saved, but the damaged file is lost: the player learns of it before the end.
TEST_F(MenuExit, ADamagedFileThatCannotBeKeptIsReportedBeforeTheEnd) {
    writeFile(iniPath(), "87,38,83\r\n");
    fs::create_directories(folder / "ZIB.ini.bad" / "inside");
    start();
    clickOn(*c().messageOk);
    clickAt(kItem[4]);
    EXPECT_FALSE(app.quitRequested());
    EXPECT_NE(menu->openMessage().find("ZIB.ini.bad"), std::string::npos) << menu->openMessage();
    EXPECT_EQ(readFile(iniPath()).substr(0, 25), "87,38,83,40,68,39,65,37\r\n");
    clickOn(*c().messageOk);
    EXPECT_TRUE(app.quitRequested());
}

TEST_F(MenuExit, ASpeedOutsideTheGaugeIsKept) {
    writeIni("250,Alpha.zq7,5,10,2");
    start();
    EXPECT_EQ(state->settings.gameSpeed, 250);
    type("exit");
    EXPECT_EQ(readFile(iniPath()), "87,38,83,40,68,39,65,37\r\n250,Alpha.zq7,5,10,2\r\n");
}

}  // namespace
}  // namespace zib::test
