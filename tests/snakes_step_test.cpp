// One snake step at a time, on a loaded game window: the tail moves to the front, the head wraps
// at the edges, the tail is freed before the crash test, growth keeps the old tail, and the two
// snakes meet in the order red first, then blue.
#include "game_fixture.h"
#include "snakes/snake_step.h"

namespace zib::test {
namespace {

// Steps one snake n times (red or blue).
void steps(GameHarness& h, bool blue, int n) {
    for (int i = 0; i < n; ++i) blue ? h.stepBlue() : h.stepRed();
}

SnakeRecord& rec(GameHarness& h, bool blue) {
    return blue ? h.state.blue : h.state.red;
}

// A level with the given snake at (x, y) moving (dx, dy) and the other one parked far away.
std::string oneSnakeLevel(bool blue, int x, int y, int dx, int dy) {
    std::string moving = std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(dx) +
                         "," + std::to_string(dy);
    std::string parked = "600,550,1,0";
    return blue ? GameHarness::level(parked, moving) : GameHarness::level(moving, parked);
}

TEST(SnakeStep, TheTailSpriteBecomesTheHead) {
    for (bool blue : {false, true}) {
        SCOPED_TRACE(blue ? "blue" : "red");
        GameHarness h;
        h.state.settings.startLength = 3;
        ASSERT_TRUE(h.load(oneSnakeLevel(blue, 100, 100, 1, 0)));
        ImageArray& sprites = blue ? h.window.blueSprites() : h.window.redSprites();
        SnakeRecord& s = rec(h, blue);
        const int expectedOrder[] = {3, 2, 1, 0, 3, 2};
        for (int i = 0; i < 6; ++i) {
            steps(h, blue, 1);
            const int moved = expectedOrder[i];
            EXPECT_EQ(s.headIndex, moved);
            EXPECT_EQ(s.headX, 110 + 10 * i);
            EXPECT_EQ(sprites[moved].left, s.headX);
            EXPECT_EQ(sprites[moved].top, 100);
            EXPECT_TRUE(sprites[moved].visible);
            EXPECT_EQ(s.segments.head(), moved);
        }
        EXPECT_EQ(s.segments.text(), "1,0,3,2");
        // Four segments on the board: the start cell was never marked, the cells the head entered
        // are, and the tail leaving frees them again.
        EXPECT_EQ(h.blockedCells(), (std::vector<std::pair<int, int>>{
                                        {130, 100}, {140, 100}, {150, 100}, {160, 100}}));
        EXPECT_FALSE(s.dead);
    }
}

TEST(SnakeStep, WrapsAtAllFourEdges) {
    struct Case {
        const char* edge;
        int x, y, dx, dy, wantX, wantY;
    };
    const Case cases[] = {
        {"right", 790, 300, 1, 0, 0, 300},
        {"left", 0, 300, -1, 0, 790, 300},
        {"bottom", 300, 590, 0, 1, 300, 0},
        {"top", 300, 0, 0, -1, 300, 590},
    };
    for (bool blue : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.edge) + (blue ? " blue" : " red"));
            GameHarness h;
            ASSERT_TRUE(h.load(oneSnakeLevel(blue, c.x, c.y, c.dx, c.dy)));
            steps(h, blue, 1);
            SnakeRecord& s = rec(h, blue);
            ImageArray& sprites = blue ? h.window.blueSprites() : h.window.redSprites();
            EXPECT_EQ(s.headX, c.wantX);
            EXPECT_EQ(s.headY, c.wantY);
            EXPECT_EQ(sprites[s.headIndex].left, c.wantX);
            EXPECT_EQ(sprites[s.headIndex].top, c.wantY);
            EXPECT_EQ(h.state.board.get(c.wantX, c.wantY), 1);
            EXPECT_FALSE(s.dead);
        }
    }
}

TEST(SnakeStep, AHeadSentPastTheRightOrBottomEdgeComesBackOntoTheField) {
    struct Case {
        int x, y, dx, dy, wantX, wantY;
    };
    // An edge-crossing direction left over after the route was lost: without the correction the
    // head would land on x = 1580 or y = 1180, outside the board.
    for (Case c : {Case{790, 300, 79, 0, 780, 300}, Case{300, 590, 0, 59, 300, 580},
                   Case{0, 300, -79, 0, 790, 300}, Case{300, 0, 0, -59, 300, 590}}) {
        SCOPED_TRACE(std::to_string(c.dx) + "," + std::to_string(c.dy));
        GameHarness h;
        ASSERT_TRUE(h.load(oneSnakeLevel(false, c.x, c.y, 1, 0)));
        h.state.red.dx = c.dx;
        h.state.red.dy = c.dy;
        ASSERT_NO_THROW(steps(h, false, 1));
        EXPECT_EQ(h.state.red.headX, c.wantX);
        EXPECT_EQ(h.state.red.headY, c.wantY);
        EXPECT_EQ(h.window.redSprites()[h.state.red.headIndex].left, c.wantX);
        EXPECT_EQ(h.state.board.get(c.wantX, c.wantY), 1);
    }
}

// A snake of four segments running round a 2 x 2 square: each head enters the cell its own tail
// leaves in the same step.
void unrollAndCircle(GameHarness& h, bool blue, int laps, bool growAtTheEnd) {
    SnakeRecord& s = rec(h, blue);
    steps(h, blue, 4);  // unrolled: cells 110..140 on row 100
    const int turns[][2] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}};
    for (int lap = 0; lap < laps; ++lap) {
        for (int i = 0; i < 4; ++i) {
            s.dx = turns[i][0];
            s.dy = turns[i][1];
            if (growAtTheEnd && lap == laps - 1 && i == 2) s.growNow = true;
            steps(h, blue, 1);
            if (s.dead) return;
        }
    }
}

TEST(SnakeStep, AHeadMayFollowItsOwnTail) {
    for (bool blue : {false, true}) {
        GameHarness h;
        h.state.settings.startLength = 3;
        ASSERT_TRUE(h.load(oneSnakeLevel(blue, 100, 100, 1, 0)));
        unrollAndCircle(h, blue, 5, false);
        EXPECT_FALSE(rec(h, blue).dead);
        EXPECT_EQ(h.state.gameOver, GameOver::None);
        EXPECT_EQ(h.blockedCells().size(), 4u);
    }
}

TEST(SnakeStep, FollowingTheTailOnAGrowingStepCrashes) {
    for (bool blue : {false, true}) {
        GameHarness h;
        h.state.settings.startLength = 3;
        ASSERT_TRUE(h.load(oneSnakeLevel(blue, 100, 100, 1, 0)));
        unrollAndCircle(h, blue, 2, true);
        EXPECT_TRUE(rec(h, blue).dead);
        EXPECT_EQ(h.state.gameOver, blue ? GameOver::BlueDied : GameOver::RedDied);
        EXPECT_EQ(rec(h, blue).segments.size(), 5u);
    }
}

TEST(SnakeStep, ReversingOntoTheNeckCrashes) {
    struct Case {
        int dx, dy;
    };
    for (bool blue : {false, true}) {
        for (Case c : {Case{1, 0}, Case{-1, 0}, Case{0, 1}, Case{0, -1}}) {
            GameHarness h;
            h.state.settings.startLength = 3;
            ASSERT_TRUE(h.load(oneSnakeLevel(blue, 300, 300, c.dx, c.dy)));
            steps(h, blue, 5);
            ASSERT_FALSE(rec(h, blue).dead);
            rec(h, blue).dx = -c.dx;
            rec(h, blue).dy = -c.dy;
            steps(h, blue, 1);
            EXPECT_TRUE(rec(h, blue).dead);
            EXPECT_EQ(h.state.gameOver, blue ? GameOver::BlueDied : GameOver::RedDied);
        }
    }
}

TEST(SnakeStep, ATwoSegmentSnakeReversesFreely) {
    GameHarness h;
    h.state.settings.startLength = 1;
    ASSERT_TRUE(h.load(oneSnakeLevel(false, 300, 300, 1, 0)));
    steps(h, false, 3);
    h.state.red.dx = -1;
    steps(h, false, 3);
    EXPECT_FALSE(h.state.red.dead);
    EXPECT_EQ(h.state.red.headX, 300);
}

TEST(SnakeStep, AStandingSnakeCrashesOnItsOwnHead) {
    // With more than two segments the second step's tail comes from the creation spot, so the
    // start cell, marked by the first step, stays blocked.
    GameHarness h;
    h.state.settings.startLength = 3;
    ASSERT_TRUE(h.load(oneSnakeLevel(false, 300, 300, 0, 0)));
    steps(h, false, 1);  // the start cell is still free
    EXPECT_FALSE(h.state.red.dead);
    steps(h, false, 1);
    EXPECT_TRUE(h.state.red.dead);
}

TEST(SnakeStep, WallsCrashButTheStepCompletes) {
    GameHarness h;
    ASSERT_TRUE(
        h.load(GameHarness::level("300,300,1,0", "600,550,1,0", "310,300,320,310,\"\"\r\n")));
    h.stepRed();
    EXPECT_TRUE(h.state.red.dead);
    EXPECT_EQ(h.state.gameOver, GameOver::RedDied);
    EXPECT_EQ(h.state.red.headX, 310);
    EXPECT_TRUE(h.window.redSprites()[h.state.red.headIndex].visible);
    EXPECT_EQ(h.state.board.get(310, 300), 1);
}

// Red moves first: red's head entering the cell blue's tail leaves in the same tick crashes; blue's
// head entering the cell red's tail left this tick does not.
TEST(SnakeMeeting, RedIntoBluesLeavingTailCrashesButNotTheOtherWayRound) {
    for (bool redChases : {true, false}) {
        SCOPED_TRACE(redChases ? "red chases blue's tail" : "blue chases red's tail");
        GameHarness h;
        const std::string chaser = "110,170,0,1", runner = "100,200,1,0";
        ASSERT_TRUE(h.load(redChases ? GameHarness::level(chaser, runner)
                                     : GameHarness::level(runner, chaser)));
        for (int tick = 0; tick < 3; ++tick) {
            h.stepRed();
            h.stepBlue();
        }
        SnakeRecord& chasing = redChases ? h.state.red : h.state.blue;
        EXPECT_EQ(chasing.headX, 110);
        EXPECT_EQ(chasing.headY, 200);
        EXPECT_EQ(chasing.dead, redChases);
        EXPECT_EQ(h.state.gameOver, redChases ? GameOver::RedDied : GameOver::None);
    }
}

TEST(SnakeMeeting, BothHeadsIntoOneCellOnlyBlueCrashes) {
    GameHarness h;
    ASSERT_TRUE(h.load(GameHarness::level("100,100,1,0", "140,100,-1,0")));
    for (int tick = 0; tick < 2; ++tick) {
        h.stepRed();
        h.stepBlue();
    }
    EXPECT_FALSE(h.state.red.dead);
    EXPECT_TRUE(h.state.blue.dead);
    EXPECT_EQ(h.state.gameOver, GameOver::BlueDied);
}

TEST(SnakeMeeting, TheStartCellIsNeverMarked) {
    // Red waits on its start cell with sprite 0 while it unrolls; blue passes through it.
    GameHarness h;
    h.state.settings.startLength = 5;
    ASSERT_TRUE(h.load(GameHarness::level("200,200,0,1", "220,200,-1,0")));
    for (int tick = 0; tick < 3; ++tick) {
        h.stepRed();
        h.stepBlue();
    }
    EXPECT_EQ(h.state.blue.headX, 190);
    EXPECT_FALSE(h.state.blue.dead);
}

TEST(SnakeGrowth, AddSegmentMakesAHiddenSegmentAtTwelveTwelveAndKeepsTheOldTail) {
    for (bool blue : {false, true}) {
        GameHarness h;
        h.state.settings.startLength = 2;
        ASSERT_TRUE(h.load(oneSnakeLevel(blue, 100, 100, 1, 0)));
        steps(h, blue, 3);  // 2,1,0 -> unrolled, list 2,1,0 again
        SnakeRecord& s = rec(h, blue);
        ImageArray& sprites = blue ? h.window.blueSprites() : h.window.redSprites();
        ASSERT_EQ(s.segments.text(), "2,1,0");
        // The new sprite copies element 0's picture as it is now.
        const Picture zeroPicture = sprites[0].picture();
        addSegment(blue ? blueSnake(h.field()) : redSnake(h.field()));
        h.window.drawState();
        EXPECT_EQ(s.nextIndex, 4);
        EXPECT_EQ(s.segments.text(), "4,2,1,0");
        EXPECT_FALSE(s.growNow);
        ASSERT_TRUE(sprites.exists(4));
        EXPECT_FALSE(sprites.exists(3));
        EXPECT_EQ(sprites[4].left, 12);
        EXPECT_EQ(sprites[4].top, 12);
        EXPECT_FALSE(sprites[4].visible);
        EXPECT_EQ(sprites[4].picture(), zeroPicture);
    }
}

TEST(SnakeGrowth, AGrowingStepLengthensTheSnakeByOne) {
    for (bool blue : {false, true}) {
        GameHarness h;
        h.state.settings.startLength = 2;
        ASSERT_TRUE(h.load(oneSnakeLevel(blue, 100, 100, 1, 0)));
        steps(h, blue, 3);
        SnakeRecord& s = rec(h, blue);
        s.growNow = true;
        steps(h, blue, 1);
        EXPECT_EQ(s.segments.text(), "2,1,0,4");
        EXPECT_EQ(s.headIndex, 4);
        EXPECT_EQ(s.headX, 140);
        EXPECT_EQ(h.blockedCells().size(), 4u);  // 110..140: the old tail stayed
        steps(h, blue, 3);
        EXPECT_EQ(h.blockedCells().size(), 4u);
        EXPECT_FALSE(s.dead);
    }
}

TEST(TurnSound, RedTestsOnceAndBlueTwicePerStep) {
    GameHarness h;
    ASSERT_TRUE(h.load(GameHarness::level("100,100,1,0", "100,300,-1,0")));
    struct Tick {
        int redDx, redDy, blueDx, blueDy;
        int sounds;
    };
    const Tick ticks[] = {
        {1, 0, -1, 0, 3},  // first steps: both previous directions are 0
        {1, 0, -1, 0, 0},  // straight on
        {0, 1, -1, 0, 1},  // red turns
        {0, 1, 0, -1, 2},  // blue turns: both of its tests find the change
        {0, 1, 0, -1, 0}, {1, 0, 1, 0, 3},
    };
    for (const Tick& t : ticks) {
        h.state.red.dx = t.redDx;
        h.state.red.dy = t.redDy;
        h.state.blue.dx = t.blueDx;
        h.state.blue.dy = t.blueDy;
        h.stepRed();
        h.stepBlue();
        std::vector<std::string> played = h.sounds();
        EXPECT_EQ(static_cast<int>(played.size()), t.sounds);
        EXPECT_EQ(countEndingWith(played, "turnII.wav"), t.sounds);
    }
}

TEST(SnakeStep, TakeTailRotatesTheBodyList) {
    GameHarness h;
    h.state.settings.startLength = 3;
    ASSERT_TRUE(h.load(oneSnakeLevel(false, 100, 100, 1, 0)));
    EXPECT_EQ(takeTail(redSnake(h.field())), 3);
    EXPECT_EQ(h.state.red.segments.text(), "2,1,0,3");
    EXPECT_EQ(takeTail(blueSnake(h.field())), 3);
    EXPECT_EQ(h.state.blue.segments.text(), "2,1,0,3");
}

TEST(SnakeStep, IsBlockedIsTrueForAnyNonZeroEntry) {
    Board b;
    b.set(10, 20, 1);
    b.set(30, 40, 5);
    EXPECT_TRUE(IsBlocked(b, 10, 20));
    EXPECT_TRUE(IsBlocked(b, 30, 40));
    EXPECT_FALSE(IsBlocked(b, 20, 20));
    EXPECT_THROW(IsBlocked(b, 810, 0), BoardRangeError);
}

}  // namespace
}  // namespace zib::test
