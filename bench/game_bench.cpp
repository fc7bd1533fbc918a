// Whole headless games at gameSpeed 0, counted in snake steps per second (two per tick, loop,
// sleeps, event processing and food included):
//   DemoGame      both snakes computer-driven on a level with walls, played to its end (a crash)
//   StraightRun   two snakes running along their rows by keys, ended by Esc after 1,000,000 ticks
//   LoadOnly      the walled level's load and a game ended by Esc in its first tick: the fixed
//                 cost of a game that DemoGame's rate includes
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "game/game_window.h"
#include "game/menuless_game.h"
#include "platform/backend/backends.h"
#include "platform/backend/headless_graphics.h"

namespace zib {
namespace {

const char* const kWalledLevel =
    "\"bg.bmp\",100,100,1,0\r\n"
    "100,400,-1,0\r\n"
    "200,200,600,210,\"wall.bmp\"\r\n"
    "200,390,600,400,\"wall.bmp\"\r\n"
    "390,210,400,390,\"wall.bmp\"\r\n";

const char* const kLanesLevel =
    "\"bg.bmp\",0,100,1,0\r\n"
    "0,300,1,0\r\n";

class Ticks : public GameObserver {
  public:
    void tickCompleted(int n) override {
        ticks = n;
        if (n == limit) backend->keyPress(27);
    }
    HeadlessBackend* backend = nullptr;
    int limit = 0;
    int ticks = 0;
};

class LevelFolder {
  public:
    explicit LevelFolder(const char* levelText) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zib-bench-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
        std::ofstream(path + "/bench.zq7") << levelText;
        std::ofstream(path + "/bg.bmp", std::ios::binary) << encodeBmp(Canvas(64, 64, kBlack));
        std::ofstream(path + "/wall.bmp", std::ios::binary) << encodeBmp(Canvas(32, 32, kWhite));
    }
    ~LevelFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string path;
};

// Plays one game and returns its ticks.
int playGame(const LevelFolder& folder, bool demo, int tickLimit, uint64_t seed) {
    HeadlessBackend backend(nullptr, seed);
    Application app(backend.services());
    GameState state;
    state.settings.levelName = "bench.zq7";
    state.settings.startLength = 4;
    state.settings.growthPerFood = 2;
    state.settings.gameSpeed = 0;
    state.settings.keyBindings = {38, 'W', 40, 'S', 39, 'D', 37, 'A'};
    state.demoMode = demo;
    state.settings.onePlayer = demo;
    MenulessGame<> game(app, state, folder.path);
    Ticks ticks;
    ticks.backend = &backend;
    ticks.limit = tickLimit;
    game.show(&ticks);
    backend.setNow(backend.now() + 1);
    app.doEvents();  // Timer1: the whole game
    return ticks.ticks;
}

void report(benchmark::State& state, long long ticks) {
    state.counters["ticks/s"] =
        benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsRate);
    state.counters["steps/s"] =
        benchmark::Counter(2.0 * static_cast<double>(ticks), benchmark::Counter::kIsRate);
    state.SetItemsProcessed(2 * ticks);
}

void DemoGame(benchmark::State& state) {
    LevelFolder folder(kWalledLevel);
    long long ticks = 0;
    uint64_t seed = 1;
    for (auto _ : state) ticks += playGame(folder, true, 2'000'000, seed++);
    state.counters["ticks/game"] =
        static_cast<double>(ticks) / static_cast<double>(state.iterations());
    report(state, ticks);
}
BENCHMARK(DemoGame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void StraightRun(benchmark::State& state) {
    LevelFolder folder(kLanesLevel);
    long long ticks = 0;
    for (auto _ : state) ticks += playGame(folder, false, 1'000'000, 1);
    report(state, ticks);
}
BENCHMARK(StraightRun)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void LoadOnly(benchmark::State& state) {
    LevelFolder folder(kWalledLevel);
    for (auto _ : state) benchmark::DoNotOptimize(playGame(folder, false, 1, 1));
}
BENCHMARK(LoadOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zib
