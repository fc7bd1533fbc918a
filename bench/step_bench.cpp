// The game's step with no window, counted in ticks per second, and the cost of saving and putting
// back a game state:
//   StepAlone       two snakes steered by keys running along their rows of an open level
//   DemoNoWindow    both snakes steered by the computer on a level with walls; a new game starts
//                   whenever one ends
//   SaveRestore/N   a state with snakes of start length N copied out and put back
#include <benchmark/benchmark.h>

#include <memory>
#include <variant>

#include "game/game_step.h"
#include "platform/backend/backends.h"

namespace zib {
namespace {

const char* const kOpenLevel = "bg.bmp,0,100,1,0\n0,300,1,0\n";
const char* const kWalledLevel =
    "bg.bmp,100,100,1,0\n100,400,-1,0\n200,200,600,210,w\n200,390,600,400,w\n390,210,400,390,w\n";

struct Game {
    Game(const char* level, int startLength, bool demo, uint64_t seed) {
        state->random.state = seed;
        state->settings.startLength = startLength;
        state->settings.growthPerFood = 2;
        state->settings.keyBindings = {38, 'W', 40, 'S', 39, 'D', 37, 'A'};
        state->demoMode = demo;
        state->settings.onePlayer = demo;
        setUpLevel(*state, std::get<LevelFile>(parseLevel(level, "bench.zq7")));
        startGame(field);
    }
    std::unique_ptr<GameState> state = std::make_unique<GameState>();
    PlayField field{*state, computerMoves(), {}};
};

void report(benchmark::State& state, long long ticks) {
    state.counters["ticks/s"] =
        benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsRate);
}

void StepAlone(benchmark::State& state) {
    Game game(kOpenLevel, 10, false, 1);
    long long ticks = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(step(game.field, {}));
        ++ticks;
    }
    report(state, ticks);
}
BENCHMARK(StepAlone);

void DemoNoWindow(benchmark::State& state) {
    uint64_t seed = 1;
    auto game = std::make_unique<Game>(kWalledLevel, 4, true, seed);
    long long ticks = 0;
    for (auto _ : state) {
        if (step(game->field, {}).ended) {
            state.PauseTiming();
            game = std::make_unique<Game>(kWalledLevel, 4, true, ++seed);
            state.ResumeTiming();
        }
        ++ticks;
    }
    report(state, ticks);
}
BENCHMARK(DemoNoWindow);

void SaveRestore(benchmark::State& state) {
    Game game(kOpenLevel, static_cast<int>(state.range(0)), false, 1);
    for (int t = 0; t < 100; ++t) step(game.field, {});
    auto saved = std::make_unique<GameState>(*game.state);
    for (auto _ : state) {
        *saved = *game.state;
        *game.state = *saved;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(SaveRestore)->Arg(10)->Arg(4000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zib
