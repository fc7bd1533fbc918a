#include <gtest/gtest.h>

#include "platform_test_form.h"

namespace zib::test {
namespace {

class PlatformTimer : public testing::Test, protected ToolkitRig {};

TEST_F(PlatformTimer, TicksWhenTheIntervalHasPassedAndNotBefore) {
    TestForm form(app);
    int ticks = 0;
    form.onDesign = [&](TestForm& f) { f.addTimer(100, true).onTick = [&] { ++ticks; }; };
    form.show();
    const struct {
        uint32_t now;
        int ticks;
    } steps[] = {{0, 0}, {99, 0}, {100, 1}, {100, 1}, {199, 1}, {200, 2}, {350, 3}, {449, 3}};
    for (const auto& s : steps) {
        backend.setNow(s.now);
        app.doEvents();
        EXPECT_EQ(ticks, s.ticks) << "at " << s.now;
    }
}

TEST_F(PlatformTimer, NextIntervalStartsWhenTheHandlerReturns) {
    TestForm form(app);
    std::vector<uint32_t> at;
    form.onDesign = [&](TestForm& f) {
        f.addTimer(100, true).onTick = [&] {
            at.push_back(backend.now());
            app.services().clock.sleep(30);
        };
    };
    form.show();
    for (uint32_t t = 0; t <= 300; t += 10) {
        if (backend.now() < t) backend.setNow(t);
        app.doEvents();
    }
    EXPECT_EQ(at, (std::vector<uint32_t>{100, 230}));
}

TEST_F(PlatformTimer, EnablingAndChangingTheIntervalStartOver) {
    TestForm form(app);
    Timer* timer = nullptr;
    int ticks = 0;
    form.onDesign = [&](TestForm& f) {
        timer = &f.addTimer(100, false);
        timer->onTick = [&] { ++ticks; };
    };
    form.show();
    backend.setNow(500);
    app.doEvents();
    EXPECT_EQ(ticks, 0);  // disabled
    timer->setEnabled(true);
    backend.setNow(590);
    timer->setInterval(50);  // due at 640 now
    backend.setNow(639);
    app.doEvents();
    EXPECT_EQ(ticks, 0);
    backend.setNow(640);
    app.doEvents();
    EXPECT_EQ(ticks, 1);
    timer->setEnabled(true);  // already on: keeps its schedule (due 690)
    backend.setNow(690);
    app.doEvents();
    EXPECT_EQ(ticks, 2);
    timer->setInterval(0);  // never ticks
    backend.setNow(5000);
    app.doEvents();
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(app.msUntilNextTimer(), UINT32_MAX);
}

// The game runs inside one tick of a 1 ms timer and lets events through once per step: that tick
// must not start again, while the other timers keep ticking inside it.
TEST_F(PlatformTimer, RunningHandlerIsNotReenteredButOthersTickInsideIt) {
    TestForm form(app);
    int depth = 0, maxDepth = 0, gameTicks = 0, otherTicks = 0;
    Timer* game = nullptr;
    form.onDesign = [&](TestForm& f) {
        game = &f.addTimer(1, true);
        game->onTick = [&] {
            ++gameTicks;
            maxDepth = std::max(maxDepth, ++depth);
            for (int step = 0; step < 20; ++step) {
                app.services().clock.sleep(10);
                app.doEvents();
            }
            --depth;
        };
        f.addTimer(30, true).onTick = [&] {
            EXPECT_EQ(depth, 1) << "the other timer should tick inside the game";
            ++otherTicks;
        };
    };
    form.show();
    backend.setNow(1);
    app.doEvents();
    EXPECT_EQ(gameTicks, 1);
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(otherTicks, 6);  // at 31, 61, ..., 181 (each next one 30 ms after the last)
}

TEST_F(PlatformTimer, TimerDisabledByAnEarlierHandlerDoesNotTick) {
    TestForm form(app);
    Timer* second = nullptr;
    int firstTicks = 0, secondTicks = 0;
    form.onDesign = [&](TestForm& f) {
        f.addTimer(10, true).onTick = [&] {
            ++firstTicks;
            second->setEnabled(false);
        };
        second = &f.addTimer(20, true);
        second->onTick = [&] { ++secondTicks; };
    };
    form.show();
    backend.setNow(30);  // both due; the more overdue first one runs first
    app.doEvents();
    EXPECT_EQ(firstTicks, 1);
    EXPECT_EQ(secondTicks, 0);
}

TEST_F(PlatformTimer, TimersOfAFormUnloadedByAnEarlierHandlerDoNotTick) {
    TestForm game(app), other(app);
    int otherTicks = 0;
    other.onDesign = [&](TestForm& f) { f.addTimer(20, true).onTick = [&] { ++otherTicks; }; };
    game.onDesign = [&](TestForm& f) { f.addTimer(10, true).onTick = [&] { other.unload(); }; };
    other.show();
    game.show();
    backend.setNow(30);
    app.doEvents();
    EXPECT_FALSE(other.isLoaded());
    EXPECT_EQ(otherTicks, 0);
    backend.setNow(1000);
    app.doEvents();
    EXPECT_EQ(otherTicks, 0);
}

TEST_F(PlatformTimer, HandlerMayUnloadAndReloadItsOwnForm) {
    TestForm form(app);
    std::vector<uint32_t> ticks;
    form.onDesign = [&](TestForm& f) {
        Timer& t = f.addTimer(10, true);
        t.onTick = [&f, &t, &ticks, this] {
            ticks.push_back(backend.now());
            f.unload();
            EXPECT_FALSE(t.enabled());
            t.setEnabled(true);  // a discarded timer stays off
            f.show();
        };
    };
    form.show();
    backend.setNow(10);
    app.doEvents();
    backend.setNow(15);
    app.doEvents();
    backend.setNow(20);
    app.doEvents();
    EXPECT_EQ(ticks, (std::vector<uint32_t>{10, 20}));
    EXPECT_EQ(form.loads, 3);
}

TEST_F(PlatformTimer, RunSleepsUntilTheNextTimerAndStopsOnQuit) {
    TestForm form(app);
    std::vector<uint32_t> at;
    form.onDesign = [&](TestForm& f) {
        f.addTimer(250, true).onTick = [&] {
            at.push_back(backend.now());
            if (at.size() == 4) app.quit();
        };
    };
    form.show();
    app.run();
    EXPECT_EQ(at, (std::vector<uint32_t>{250, 500, 750, 1000}));
    EXPECT_EQ(backend.now(), 1000u);
}

TEST_F(PlatformTimer, QuitEventEndsTheLoop) {
    TestForm form(app);
    form.show();
    backend.queue(InputEvent{InputEvent::Type::Quit});
    app.run();
    EXPECT_TRUE(app.quitRequested());
}

TEST_F(PlatformTimer, TickCountWrapsWithoutLosingTimers) {
    TestForm form(app);
    int ticks = 0;
    backend.setNow(0xFFFFFF00u);
    form.onDesign = [&](TestForm& f) { f.addTimer(0x200, true).onTick = [&] { ++ticks; }; };
    form.show();
    backend.setNow(0x000000FFu);
    app.doEvents();
    EXPECT_EQ(ticks, 0);
    backend.setNow(0x00000100u);
    app.doEvents();
    EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace zib::test
