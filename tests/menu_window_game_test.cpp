// Starting games from the menu: START, Enter, the idle demo and its undoing, and the ways a game
// can fail to start (a broken level, no level at all).
#include "menu_window_fixture.h"

namespace zib::test {

namespace {

class MenuGame : public MenuWindowTest {
  protected:
    bool gameShown() const { return !menu->isVisible() && menu->gameWindow().isVisible(); }
};

TEST_F(MenuGame, EnterStartsAGameAndTheTitleShowsOnReturn) {
    addLevels({"Alpha"});
    writeIni("46,Alpha.zq7,5,10,2");
    start();
    clickAt(kItem[2]);  // OPTIONS
    backend.takeSounds();
    press(kVkEnter, kVkEnter);
    EXPECT_TRUE(gameShown());
    EXPECT_EQ(backend.takeSounds(), std::vector<std::string>{kClick});
    EXPECT_FALSE(c().idleTimer->enabled());
    EXPECT_FALSE(state->demoMode);

    advance(3000);  // the game ends by Esc on its fifth tick, then pauses 2 s
    EXPECT_EQ(game.started, 1);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(menu->gameWindow().isLoaded());
    EXPECT_TRUE(c().scorePicture->visible);
    EXPECT_FALSE(c().speedGauge->visible);
    EXPECT_TRUE(c().idleTimer->enabled());
}

TEST_F(MenuGame, IdleDemoAfterTwentySecondsIsUndoneWhenItEnds) {
    addLevels({"Alpha", "Beta", "Gamma"});
    writeIni("46,Beta.zq7,5,10,2");
    start();
    advance(19999);
    ASSERT_TRUE(menu->isVisible());
    advance(1);
    ASSERT_TRUE(gameShown());
    EXPECT_TRUE(state->demoMode);
    EXPECT_TRUE(state->settings.onePlayer);
    EXPECT_EQ(menu->demoCopies().levelName, std::optional<std::string>("Beta.zq7"));
    EXPECT_EQ(menu->demoCopies().onePlayer, std::optional<bool>(false));
    const std::string demoLevel = state->settings.levelName;
    EXPECT_TRUE(demoLevel == "Alpha.zq7" || demoLevel == "Beta.zq7" || demoLevel == "Gamma.zq7")
        << demoLevel;

    game.pressOn(3, kVkSpace);  // any key ends a demo game
    advance(3000);
    EXPECT_EQ(game.started, 1);
    EXPECT_EQ(game.ticks, 4);  // the key pressed after the third tick ends the fourth
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(state->demoMode);
    EXPECT_FALSE(state->settings.onePlayer);
    EXPECT_EQ(state->settings.levelName, "Beta.zq7");
    // Put back once: a later Esc keeps what the player chooses meanwhile.
    EXPECT_FALSE(menu->demoCopies().onePlayer.has_value());
    EXPECT_FALSE(menu->demoCopies().levelName.has_value());
    EXPECT_TRUE(c().idleTimer->enabled());
    EXPECT_EQ(c().redWinsLabel->caption(), "0");  // a demo counts no win

    // The countdown runs again from the return, which came between 22 s and 23 s.
    advance(19000);
    EXPECT_TRUE(menu->isVisible());
    advance(1000);
    EXPECT_TRUE(state->demoMode);
}

TEST_F(MenuGame, OnePlayerModeIsKeptThroughADemo) {
    addLevels({"Alpha"});
    writeIni("46,Alpha.zq7,5,10,3");
    start();
    ASSERT_TRUE(state->settings.onePlayer);
    type("demo");
    ASSERT_TRUE(gameShown());
    game.pressOn(2, kVkSpace);
    advance(3000);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(state->settings.onePlayer);
    EXPECT_EQ(state->settings.gameMode, 3);
}

// Copies taken at a demo start or at FREE are put back once, and never over a later choice in
// MODS: the "1 HRÁC" highlight and the one-player flag agree after every way back.
class MenuEscAfterModsChoice : public MenuGame,
                               public ::testing::WithParamInterface<const char*> {};

TEST_P(MenuEscAfterModsChoice, KeepsTheChoice) {
    addLevels({"Alpha", "Beta", "Gamma"});
    writeIni("46,Beta.zq7,5,10,2");
    start();
    type(GetParam());
    if (menu->gameWindow().isLoaded()) {
        game.pressOn(2, kVkSpace);
        advance(3000);
    }
    ASSERT_TRUE(menu->isVisible());
    clickAt(kItem[1]);  // MODS
    clickOn(*c().onePlayerModeLabel);
    clickOn(*c().levelRows[2]);  // Gamma
    for (int round = 0; round < 2; ++round) {
        game.pressOn(2, kVkEscape);
        clickAt(kItem[0]);
        advance(3000);
        ASSERT_TRUE(menu->isVisible());
        EXPECT_EQ(state->settings.onePlayer, 1);
        EXPECT_EQ(state->settings.levelName, "Gamma.zq7");
        EXPECT_EQ(c().onePlayerModeLabel->colour(), rgb(0, 0, 255));  // highlighted
    }
}

INSTANTIATE_TEST_SUITE_P(CopiesTakenBy, MenuEscAfterModsChoice, ::testing::Values("demo", "free"),
                         [](const auto& info) { return std::string(info.param); });

TEST_F(MenuGame, ABrokenLevelShowsItsMessageAndTheMenuStays) {
    addLevels({"Alpha"});
    writeFile(levels() / "Broken.zq7", "grey.bmp,100,100,1\r\n");
    writeIni("46,Broken.zq7,5,10,2");
    start();
    clickAt(kItem[0]);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(menu->gameWindow().isLoaded());
    EXPECT_NE(menu->openMessage().find("Broken.zq7"), std::string::npos) << menu->openMessage();
    EXPECT_TRUE(c().idleTimer->enabled());

    // Enter closes the message and does nothing else.
    press(kVkEnter, kVkEnter);
    EXPECT_EQ(menu->openMessage(), "");
    EXPECT_FALSE(menu->gameWindow().isLoaded());
    // Then the next Enter starts the (still broken) level again.
    press(kVkEnter, kVkEnter);
    EXPECT_NE(menu->openMessage(), "");
}

TEST_F(MenuGame, ADemoOnABrokenLevelReturnsWithTheSettingsPutBack) {
    writeFile(levels() / "Broken.zq7", "nothing here");
    writeIni("46,Broken.zq7,5,10,2");
    start();
    advance(20000);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_NE(menu->openMessage(), "");
    EXPECT_FALSE(state->demoMode);
    EXPECT_FALSE(state->settings.onePlayer);
    EXPECT_EQ(state->settings.levelName, "Broken.zq7");
    EXPECT_TRUE(c().idleTimer->enabled());
    // While the message waits the menu ignores the pointer.
    moveTo(kItem[1]);
    EXPECT_FALSE(highlighted(1));
    clickOn(*c().messageOk);
    EXPECT_EQ(menu->openMessage(), "");
    moveTo(kItem[1]);
    EXPECT_TRUE(highlighted(1));
}

TEST_F(MenuGame, AnEmptyLevelFolderKeepsTheMenuWorking) {
    writeIni("46,Gone.zq7,5,10,2");
    start();
    EXPECT_EQ(state->settings.levelName, "");
    clickAt(kItem[1]);  // MODS
    for (Label* row : c().levelRows) EXPECT_EQ(row->caption(), "");
    clickOn(*c().levelRows[0]);
    EXPECT_EQ(state->settings.levelName, "");
    EXPECT_EQ(menu->openMessage(), "");

    press(kVkEnter, kVkEnter);
    EXPECT_EQ(menu->openMessage(), kNoLevelsMessage);
    EXPECT_FALSE(menu->gameWindow().isLoaded());
    press(kVkEscape, kVkEscape);
    EXPECT_EQ(menu->openMessage(), "");

    advance(20000);  // the idle demo has no level either
    EXPECT_EQ(menu->openMessage(), kNoLevelsMessage);
    EXPECT_FALSE(state->demoMode);
    EXPECT_FALSE(menu->demoCopies().levelName.has_value());
}

}  // namespace
}  // namespace zib::test
