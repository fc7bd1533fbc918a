// The typed words of the menu (DEMO, EXIT, FREE, FPS) and how typing keeps the idle countdown
// going.
#include "menu_window_fixture.h"

namespace zib::test {

namespace {

class MenuTyping : public MenuWindowTest {
  protected:
    void SetUp() override {
        MenuWindowTest::SetUp();
        addLevels({"Alpha", "Beta"});
        writeIni("46,Alpha.zq7,5,10,2");
    }
    bool demoStarted() const {
        return state->demoMode && !menu->isVisible() && menu->gameWindow().isVisible();
    }
};

TEST_F(MenuTyping, LowerCaseDemoStartsTheDemo) {
    start();
    type("demo");
    EXPECT_TRUE(demoStarted());
    EXPECT_TRUE(state->settings.onePlayer);
    EXPECT_EQ(menu->demoCopies().levelName, std::optional<std::string>("Alpha.zq7"));
    EXPECT_TRUE(menu->typedKeys().empty());
}

TEST_F(MenuTyping, FpsFoundInsideOtherLettersSwitchesOnceAndEmptiesTheText) {
    start();
    type("XFP");
    EXPECT_FALSE(menu->gameWindow().fpsShown());
    type("S");
    EXPECT_TRUE(menu->gameWindow().fpsShown());
    EXPECT_TRUE(menu->typedKeys().empty());
    EXPECT_EQ(count(backend.takeSounds(), kClick), 1);
    type("X");
    EXPECT_EQ(menu->typedKeys(), U"X");
    EXPECT_TRUE(menu->gameWindow().fpsShown());
}

TEST_F(MenuTyping, FreeTwiceSwitchesOnThenOffWithAClickEachTime) {
    start();
    state->settings.onePlayer = false;
    type("free");
    EXPECT_TRUE(state->freeMode);
    EXPECT_EQ(menu->demoCopies().levelName, std::optional<std::string>("Alpha.zq7"));
    EXPECT_EQ(menu->demoCopies().onePlayer, std::optional<bool>(false));
    EXPECT_EQ(count(backend.takeSounds(), kClick), 1);
    type("FREE");
    EXPECT_FALSE(state->freeMode);
    EXPECT_EQ(count(backend.takeSounds(), kClick), 1);
}

TEST_F(MenuTyping, LettersThatFormNoWordStayAndCountLater) {
    start();
    type("DEMXQ");
    EXPECT_EQ(menu->typedKeys(), U"DEMXQ");
    EXPECT_FALSE(state->demoMode);
    type("FREE");
    EXPECT_TRUE(state->freeMode);
    EXPECT_TRUE(menu->typedKeys().empty());
}

// The idle demo is due 20 s after the last restart. The prefix is typed at 10 s; the last letter at
// 15 s either restarts the countdown (demo at 35 s) or completes a word that does not (demo at 30
// s).
struct LastLetterCase {
    const char* prefix;
    const char* last;
    bool restarts;
};
void PrintTo(const LastLetterCase& c, std::ostream* os) {
    *os << c.prefix << "+" << c.last;
}

class LastLetter : public MenuTyping, public ::testing::WithParamInterface<LastLetterCase> {};

TEST_P(LastLetter, RestartsTheIdleCountdownUnlessItCompletesFreeOrFps) {
    const LastLetterCase& param = GetParam();
    start();
    advance(10000);
    type(param.prefix);
    advance(5000);
    type(param.last);
    advance(14999);  // 29 999 ms
    ASSERT_FALSE(demoStarted());
    advance(1);
    EXPECT_EQ(demoStarted(), !param.restarts);
    if (!param.restarts) return;
    advance(4999);
    EXPECT_FALSE(demoStarted());
    advance(1);
    EXPECT_TRUE(demoStarted());
}

INSTANTIATE_TEST_SUITE_P(Words, LastLetter,
                         ::testing::Values(LastLetterCase{"Q", "Q", true},
                                           LastLetterCase{"ZX", "Y", true},
                                           LastLetterCase{"FRE", "E", false},
                                           LastLetterCase{"FP", "S", false},
                                           LastLetterCase{"QFP", "S", false}));

TEST_F(MenuTyping, DemoWhileTheHelpScrollsStopsTheScrollAndStartsAtOnce) {
    start();
    clickAt(kItem[3]);  // HELP
    advance(1000);
    ASSERT_TRUE(c().helpTimer->enabled());
    type("DEM");
    EXPECT_FALSE(demoStarted());
    type("O");
    EXPECT_TRUE(demoStarted());
    EXPECT_FALSE(c().helpTimer->enabled());
}

// Letters typed to bind keys also enter the text: binding D, E, M and O starts a demo game.
TEST_F(MenuTyping, LettersTypedWhileBindingKeysCount) {
    start();
    clickAt(kItem[2]);  // OPTIONS
    const char* letters = "DEMO";
    for (int i = 0; i < 4; ++i) {
        clickOn(*c().keySlots[static_cast<size_t>(2 * i)]);
        type(std::string(1, letters[i]));
        if (i < 3) {
            EXPECT_EQ(state->settings.keyBindings[static_cast<size_t>(2 * i)], letters[i]);
            EXPECT_EQ(c().keySlots[static_cast<size_t>(2 * i)]->caption(),
                      std::string(1, letters[i]));
        }
    }
    EXPECT_TRUE(demoStarted());
}

TEST_F(MenuTyping, ExitTypedSavesAndEnds) {
    start();
    type("Exit");
    EXPECT_TRUE(app.quitRequested());
    EXPECT_EQ(readFile(iniPath()), "87,38,83,40,68,39,65,37\r\n46,Alpha.zq7,5,10,2\r\n");
}

}  // namespace
}  // namespace zib::test
