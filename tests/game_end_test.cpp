// The pause after a game and the way back: the reset of the play state, the return to the menu
// (the menu told when a demo game ends) and the restart of the same level.
#include <algorithm>

#include "game_fixture.h"
#include "snakes/snake_step.h"

namespace zib::test {
namespace {

// Red hits the wall in tick 3; blue runs on to the left.
std::string redCrashes() {
    return GameHarness::level("100,100,1,0", "300,300,-1,0",
                              "130,100,140,110,\"\"\r\n500,500,520,520,\"\"\r\n");
}

TEST(EndOfGame, ThePauseResetsThePlayStateAndReturnsToTheMenu) {
    GameHarness h;
    ASSERT_TRUE(h.load(redCrashes()));
    h.hook.onTick = [&](int n) {
        if (n == 1) h.state.red.pendingGrowth = h.state.blue.pendingGrowth = 4;
    };
    h.play();
    ASSERT_EQ(h.hook.ticks, 3);
    const std::string redList = h.state.red.segments.text();
    const bool redGrow = h.state.red.growNow;
    h.menu.log.clear();
    h.advance(1999);
    EXPECT_TRUE(h.window.isLoaded());
    EXPECT_FALSE(h.blockedCells().empty());
    h.advance(1);

    EXPECT_TRUE(h.blockedCells().empty());  // walls and snakes alike
    const GameState& s = h.state;
    EXPECT_FALSE(s.red.dead);
    EXPECT_FALSE(s.blue.dead);
    EXPECT_EQ(s.gameOver, GameOver::None);
    EXPECT_FALSE(h.window.stopRequested());
    for (const SnakeRecord* r : {&s.red, &s.blue}) {
        EXPECT_EQ(r->dx, 0);
        EXPECT_EQ(r->dy, 0);
        EXPECT_EQ(r->headIndex, 0);
        EXPECT_EQ(r->pendingGrowth, 0);
    }
    EXPECT_EQ(s.red.prevDx, 0);
    EXPECT_EQ(s.red.prevDy, 0);
    // Blue's previous direction survives the reset; the body lists and grow flags are left for
    // the next load.
    EXPECT_EQ(s.blue.prevDx, -1);
    EXPECT_EQ(s.blue.prevDy, 0);
    EXPECT_EQ(s.red.segments.text(), redList);
    EXPECT_EQ(s.red.growNow, redGrow);

    EXPECT_EQ(h.menu.log, (std::vector<std::string>{"show", "idle"}));
    EXPECT_FALSE(h.window.isLoaded());
    EXPECT_EQ(h.app().topForm(), nullptr);
}

// A demo game ended by a key, and any game ended by Esc, is over as a demo: the menu is told
// before it shows, so that it can put back the settings it replaced. A game that ends by a crash
// does not tell it.
TEST(EndOfGame, ADemoOrEscTellsTheMenuItEnded) {
    enum class End { DemoKey, Esc, Crash };
    for (const End end : {End::DemoKey, End::Esc, End::Crash}) {
        SCOPED_TRACE(static_cast<int>(end));
        GameHarness h;
        h.state.demoMode = end == End::DemoKey;
        h.state.settings.onePlayer = end == End::DemoKey;
        ASSERT_TRUE(h.load(end == End::Crash ? redCrashes()
                                             : GameHarness::level("100,100,1,0", "100,300,1,0")));
        h.hook.onTick = [&](int n) {
            if (n != 2) return;
            if (end == End::DemoKey) h.backend().keyDown('Q');
            if (end == End::Esc) h.backend().keyPress(27);
        };
        h.play();
        h.advance(2000);
        EXPECT_FALSE(h.state.demoMode);
        const auto told = std::find(h.menu.log.begin(), h.menu.log.end(), "demo ended");
        EXPECT_EQ(told != h.menu.log.end(), end != End::Crash);
        if (told != h.menu.log.end()) {
            ASSERT_NE(told + 1, h.menu.log.end());
            EXPECT_EQ(*(told + 1), "show");
        }
        EXPECT_FALSE(h.window.isLoaded());
        EXPECT_EQ(h.menu.log.back(), "idle");
    }
}

TEST(EndOfGame, EscInANormalGameGoesToTheMenuKeepingTheSettings) {
    GameHarness h;
    ASSERT_TRUE(h.load(GameHarness::level("100,100,1,0", "100,300,1,0")));
    h.hook.onTick = [&](int n) {
        if (n == 2) h.backend().keyPress(27);
    };
    h.play();
    h.advance(2000);
    EXPECT_FALSE(h.window.isLoaded());
    EXPECT_EQ(h.state.settings.levelName, "test.zq7");
    EXPECT_FALSE(h.state.demoMode);
}

TEST(EndOfGame, EnterThenEscEndsInTheMenuAndForgetsTheRestart) {
    GameHarness h;
    ASSERT_TRUE(h.load(redCrashes()));
    h.hook.onTick = [&](int n) {
        if (n == 1) {
            h.backend().keyDown(13);
            h.backend().keyPress(27);
        }
    };
    h.play();
    h.advance(10);
    EXPECT_FALSE(h.window.isLoaded());
    EXPECT_FALSE(h.window.restartRequested());
}

TEST(Restart, LoadsTheSameLevelAfreshAndPlaysAgain) {
    GameHarness h;
    h.state.settings.startLength = 2;
    ASSERT_TRUE(h.load(redCrashes()));
    h.hook.onTick = [&](int n) {
        if (n == 1) h.backend().keyDown(13);
    };
    h.play();
    h.advance(10);
    ASSERT_TRUE(h.window.isLoaded());
    EXPECT_EQ(h.state.red.segments.text(), "2,1,0");
    EXPECT_EQ(h.state.red.headX, 100);
    EXPECT_EQ(h.window.redSprites().upperBound(), 2);
    EXPECT_EQ(h.blockedCells().size(), 5u);  // the walls again, nothing else
    EXPECT_EQ(h.hook.started, 1);
    h.hook.onTick = nullptr;
    h.advance(1);  // Timer1: the second game
    EXPECT_EQ(h.hook.started, 2);
    EXPECT_EQ(h.hook.finished, 2);
    EXPECT_EQ(h.menu.blue, 2);
}

TEST(Restart, BluesFirstStepRemembersItsLastDirection) {
    // Blue moved left in the last game and starts the new one moving down: its first step is a
    // turn from left to down, which puts corner C3 on sprite 0. Red's first step is no corner.
    GameHarness h;
    ASSERT_TRUE(h.load(redCrashes()));
    h.hook.onTick = [&](int n) {
        if (n == 1) h.backend().keyDown(13);
    };
    h.play();
    h.folder.write("test.zq7", GameHarness::level("100,100,1,0", "300,300,0,1"));
    h.advance(10);
    ASSERT_TRUE(h.window.isLoaded());
    h.sounds();
    h.stepRed();
    h.stepBlue();
    EXPECT_EQ(h.window.pictureHolderOf(h.window.blueSprites()[0], true), 3);
    EXPECT_EQ(h.window.pictureHolderOf(h.window.redSprites()[0], false), 1);
    // Red's previous direction was reset: one turn sound; blue's two tests both find a turn.
    EXPECT_EQ(countEndingWith(h.sounds(), "turnII.wav"), 3);
}

TEST(Restart, AVanishedLevelEndsInTheMenuWithAMessage) {
    GameHarness h;
    ASSERT_TRUE(h.load(redCrashes()));
    h.hook.onTick = [&](int n) {
        if (n == 1) h.backend().keyDown(13);
    };
    h.play();
    h.folder.remove("test.zq7");
    h.menu.log.clear();
    h.advance(10);
    EXPECT_FALSE(h.window.isLoaded());
    ASSERT_EQ(h.menu.messages.size(), 1u);
    EXPECT_NE(h.menu.messages[0].find("test.zq7"), std::string::npos);
    EXPECT_EQ(h.menu.log, (std::vector<std::string>{"show", "idle"}));
    EXPECT_FALSE(h.window.restartRequested());
    EXPECT_TRUE(h.blockedCells().empty());
}

}  // namespace
}  // namespace zib::test
