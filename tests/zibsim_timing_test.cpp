// The real-clock side of zibsim: the timing line that the speed report reads, and the observer
// call at the very start of the start timer, where the simulator starts the game's clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "game/game_window.h"
#include "game/menuless_game.h"
#include "platform/backend/backends.h"
#include "zibsim/level_folder.h"
#include "zibsim/simulator.h"

namespace zibsim {
namespace {

struct TimingCase {
    const char* name;
    int ticks;
    double wallMs;
    int gameSpeed;
    double cpuMs;
};

class ZibsimTimingLine : public ::testing::TestWithParam<TimingCase> {};

TEST_P(ZibsimTimingLine, CarriesTheMeansPerTick) {
    const TimingCase& c = GetParam();
    const std::string line = timingLine(c.ticks, c.wallMs, c.gameSpeed, c.cpuMs);
    int ticks = -1;
    double wall = -1, perTick = -1, extraUs = -1, cpuUs = -1;
    ASSERT_EQ(std::sscanf(line.c_str(),
                          "zibsim: timing: ticks %d wall_ms %lf ms_per_tick %lf "
                          "extra_us_per_tick %lf cpu_us_per_tick %lf",
                          &ticks, &wall, &perTick, &extraUs, &cpuUs),
              5)
        << line;
    EXPECT_EQ(ticks, c.ticks);
    EXPECT_NEAR(wall, c.wallMs, 1e-3);
    const double expectedPerTick = c.ticks > 0 ? c.wallMs / c.ticks : 0.0;
    EXPECT_NEAR(perTick, expectedPerTick, 1e-4);
    const double expectedExtra = c.ticks > 0 ? (expectedPerTick - c.gameSpeed) * 1000.0 : 0.0;
    EXPECT_NEAR(extraUs, expectedExtra, 0.01);
    EXPECT_NEAR(cpuUs, c.ticks > 0 ? c.cpuMs * 1000.0 / c.ticks : 0.0, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Cases, ZibsimTimingLine,
                         ::testing::Values(TimingCase{"SpeedThirteen", 500, 6512.31, 13, 40.5},
                                           TimingCase{"SpeedZero", 200000, 5123.5, 0, 4900.25},
                                           TimingCase{"FasterThanTheSleep", 10, 120.0, 13,
                                                      1.0},  // negative extra
                                           TimingCase{"NoTicks", 0, 12.0, 13, 3.0}),
                         [](const auto& info) { return std::string(info.param.name); });

// Records the observer's calls with the virtual clock's reading at each.
class CallLog : public zib::GameObserver {
  public:
    explicit CallLog(zib::HeadlessBackend& backend) : backend_(backend) {}
    void gameStarting() override { note("starting"); }
    void gameStarted() override { note("started"); }
    void tickCompleted(int n) override {
        note("tick");
        if (n == 3) backend_.keyPress(27);  // Esc, read by tick 4, ends the game
    }
    void gameFinished() override { note("finished"); }

    std::vector<std::string> calls;
    std::vector<uint32_t> clockAt;

  private:
    void note(const char* call) {
        calls.push_back(call);
        clockAt.push_back(backend_.now());
    }
    zib::HeadlessBackend& backend_;
};

TEST(ZibsimGameStarting, ComesFirstOnceBeforeTheStartPause) {
    LevelFolder folder("bg.bmp,100,550,1,0\n100,570,1,0\n");
    zib::HeadlessBackend backend(nullptr, 1);
    zib::Application app(backend.services());
    zib::GameState state;
    state.settings.levelName = LevelFolder::kLevelFileName;
    state.settings.gameSpeed = 0;
    state.settings.keyBindings = {87, 38, 83, 40, 68, 39, 65, 37};
    std::ostringstream messages;
    zib::MenulessGame<> game(app, state, folder.path(), messages);
    CallLog log(backend);
    ASSERT_EQ(game.show(&log), "");
    backend.setNow(backend.now() + 50);  // the start timer is long due
    app.doEvents();

    const std::vector<std::string> expected = {"starting", "started", "tick",    "tick",
                                               "tick",     "tick",    "finished"};
    EXPECT_EQ(log.calls, expected);
    ASSERT_GE(log.clockAt.size(), 2u);
    // The start pause of 200 ms lies between the two start calls: gameStarting comes before it.
    EXPECT_EQ(log.clockAt[1] - log.clockAt[0], 200u);
}

}  // namespace
}  // namespace zibsim
