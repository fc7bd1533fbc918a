// Keys in the game window: the bound keys steer, Enter asks for a restart, Esc ends the game
// without a result, and in a demo game any key ends it.
#include "game_fixture.h"

namespace zib::test {
namespace {

std::string lanes() {
    return GameHarness::level("100,100,1,0", "100,300,1,0");
}

TEST(SteeringKeys, EachBindingSetsItsSnakesDirection) {
    struct Case {
        int code;
        bool blue;
        int dx, dy;
    };
    const Case cases[] = {
        {kRedUp, false, 0, -1},   {kRedRight, false, 1, 0}, {kRedDown, false, 0, 1},
        {kRedLeft, false, -1, 0}, {kBlueUp, true, 0, -1},   {kBlueRight, true, 1, 0},
        {kBlueDown, true, 0, 1},  {kBlueLeft, true, -1, 0},
    };
    for (const Case& c : cases) {
        GameHarness h;
        ASSERT_TRUE(h.load(GameHarness::level("100,100,0,0", "100,300,0,0")));
        h.window.Form_KeyDown(c.code, 0);
        SnakeRecord& steered = c.blue ? h.state.blue : h.state.red;
        SnakeRecord& other = c.blue ? h.state.red : h.state.blue;
        EXPECT_EQ(steered.dx, c.dx) << c.code;
        EXPECT_EQ(steered.dy, c.dy) << c.code;
        EXPECT_EQ(other.dx, 0);
        EXPECT_EQ(other.dy, 0);
        EXPECT_FALSE(h.window.restartRequested());
    }
}

TEST(SteeringKeys, AKeyBoundToBothSnakesSteersBoth) {
    GameHarness h;
    h.state.settings.keyBindings[7] = kBlueUp;  // red left = blue up
    ASSERT_TRUE(h.load(GameHarness::level("100,100,0,1", "100,300,1,0")));
    h.window.Form_KeyDown(kBlueUp, 0);
    EXPECT_EQ(std::tie(h.state.red.dx, h.state.red.dy), std::make_tuple(-1, 0));
    EXPECT_EQ(std::tie(h.state.blue.dx, h.state.blue.dy), std::make_tuple(0, -1));
}

TEST(SteeringKeys, UnboundKeysChangeNothing) {
    GameHarness h;
    ASSERT_TRUE(h.load(lanes()));
    for (int code : {int{'Q'}, 32, 27, 112}) h.window.Form_KeyDown(code, 0);
    EXPECT_EQ(std::tie(h.state.red.dx, h.state.red.dy), std::make_tuple(1, 0));
    EXPECT_EQ(std::tie(h.state.blue.dx, h.state.blue.dy), std::make_tuple(1, 0));
}

TEST(SteeringKeys, TheLastKeyBeforeAStepWins) {
    GameHarness h;
    ASSERT_TRUE(h.load(lanes()));
    std::vector<std::pair<int, int>> heads(1);
    h.hook.maxTicks = 5;
    h.hook.onTick = [&](int n) {
        heads.emplace_back(h.state.red.headX, h.state.red.headY);
        if (n == 2) {  // processed in tick 3, after its steps
            h.backend().keyDown(kRedUp);
            h.backend().keyDown(kRedDown);
        }
    };
    h.play();
    EXPECT_EQ(heads[3], std::make_pair(130, 100));
    EXPECT_EQ(heads[4], std::make_pair(130, 110));
    EXPECT_EQ(heads[5], std::make_pair(130, 120));
}

TEST(EscKey, EndsTheGameWithoutAResult) {
    GameHarness h;
    ASSERT_TRUE(h.load(lanes()));
    h.hook.onTick = [&](int n) {
        if (n == 3) h.backend().keyPress(27);
    };
    h.play();
    EXPECT_EQ(h.hook.ticks, 4);
    EXPECT_EQ(h.window.resultCaption(), "");
    EXPECT_EQ(h.menu.red, 0);
    EXPECT_EQ(h.menu.blue, 0);
    EXPECT_TRUE(h.window.stopRequested());
    EXPECT_TRUE(h.state.demoMode);
    EXPECT_TRUE(h.window.endPauseTimerEnabled());
    // The game is not started again by Timer1 during the pause.
    h.advance(1000);
    EXPECT_EQ(h.hook.started, 1);
}

TEST(EscKey, KeysAfterEscInTheSameTickStillCount) {
    GameHarness h;
    ASSERT_TRUE(h.load(lanes()));
    h.hook.onTick = [&](int n) {
        if (n != 3) return;
        h.backend().keyPress(27);
        h.backend().keyDown(kRedUp);
    };
    h.play();
    EXPECT_EQ(h.hook.ticks, 4);
    EXPECT_EQ(std::tie(h.state.red.dx, h.state.red.dy), std::make_tuple(0, -1));
}

TEST(EnterKey, DuringPlayAsksForARestartAndShortensThePause) {
    GameHarness h;
    // Red hits the wall in tick 8.
    ASSERT_TRUE(
        h.load(GameHarness::level("100,100,1,0", "100,300,1,0", "180,100,190,110,\"\"\r\n")));
    bool checked = false;
    h.hook.onTick = [&](int n) {
        if (n == 3) h.backend().keyDown(13);
        if (n == 5) {
            checked = true;
            EXPECT_TRUE(h.window.restartRequested());
            EXPECT_EQ(h.window.endPauseInterval(), 10u);
            EXPECT_FALSE(h.window.endPauseTimerEnabled());
            EXPECT_TRUE(h.window.loopRunning());
        }
    };
    h.play();
    EXPECT_TRUE(checked);
    EXPECT_EQ(h.hook.ticks, 8);
    EXPECT_EQ(h.window.resultCaption(), "Modrý vyhrál");
    EXPECT_TRUE(h.window.endPauseTimerEnabled());
    h.menu.log.clear();
    h.advance(9);
    EXPECT_TRUE(h.menu.log.empty());
    h.advance(1);  // 10 ms after the end: the same level, loaded afresh
    EXPECT_EQ(h.menu.log, (std::vector<std::string>{"show", "hide"}));
    EXPECT_TRUE(h.window.isLoaded());
    EXPECT_TRUE(h.window.isVisible());
    EXPECT_TRUE(h.window.gameTimerEnabled());
    EXPECT_FALSE(h.window.restartRequested());
    EXPECT_EQ(h.window.resultCaption(), "");
}

TEST(EnterKey, AfterTheEndRestartsAtOnce) {
    GameHarness h;
    ASSERT_TRUE(
        h.load(GameHarness::level("100,100,1,0", "100,300,1,0", "130,100,140,110,\"\"\r\n")));
    h.play();
    ASSERT_TRUE(h.window.gameEnded());
    h.menu.log.clear();
    h.backend().keyDown(13);
    h.app().doEvents();  // no time passes
    EXPECT_EQ(h.menu.log, (std::vector<std::string>{"show", "hide"}));
    EXPECT_TRUE(h.window.isLoaded());
    EXPECT_TRUE(h.window.gameTimerEnabled());
    EXPECT_FALSE(h.window.gameEnded());
    EXPECT_FALSE(h.window.restartRequested());
    EXPECT_TRUE(h.blockedCells() == (std::vector<std::pair<int, int>>{{130, 100}}));
}

TEST(EnterKey, ABlueKeyOnEnterSteersAndAsksForNothing) {
    GameHarness h;
    h.state.settings.keyBindings[0] = 13;  // blue up on Enter
    ASSERT_TRUE(h.load(lanes()));
    h.window.Form_KeyDown(13, 0);
    EXPECT_EQ(h.state.blue.dy, -1);
    EXPECT_FALSE(h.window.restartRequested());
    EXPECT_EQ(h.window.endPauseInterval(), 2000u);
}

TEST(DemoKeys, AnyKeyEndsADemoGame) {
    for (int code : {kRedUp, kBlueLeft, int{'Q'}, 13}) {
        SCOPED_TRACE(code);
        GameHarness h;
        h.state.demoMode = true;
        ASSERT_TRUE(h.load(lanes()));
        h.hook.onTick = [&](int n) {
            if (n == 3) h.backend().keyDown(code);
        };
        h.play();
        EXPECT_EQ(h.hook.ticks, 4);
        EXPECT_FALSE(h.window.gameTimerEnabled());
        EXPECT_EQ(h.window.resultCaption(), "");
        EXPECT_TRUE(h.window.isLoaded());
    }
}

// A demo key switches Timer1 off, but the loop runs until its end test; an Enter in the same event
// processing must not run the end-of-game handler in the middle of the game.
TEST(DemoKeys, EnterAfterADemoKeyWaitsForTheLoopToEnd) {
    GameHarness h;
    h.state.demoMode = true;
    ASSERT_TRUE(h.load(lanes()));
    bool loadedAtTheEnd = false;
    h.hook.onTick = [&](int n) {
        if (n != 3) return;
        h.backend().keyDown(kBlueUp);
        h.backend().keyDown(13);
    };
    h.hook.onFinished = [&] { loadedAtTheEnd = h.window.isLoaded(); };
    h.play();
    EXPECT_EQ(h.hook.ticks, 4);
    EXPECT_TRUE(loadedAtTheEnd);
    EXPECT_TRUE(h.window.isLoaded());
    EXPECT_TRUE(h.window.restartRequested());
    EXPECT_EQ(h.window.endPauseInterval(), 10u);
    h.advance(10);  // a demo ends in the menu, and the restart request is dropped
    EXPECT_FALSE(h.window.isLoaded());
    EXPECT_FALSE(h.window.restartRequested());
    EXPECT_FALSE(h.state.demoMode);
}

}  // namespace
}  // namespace zib::test
