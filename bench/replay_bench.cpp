// Replays: a recorded 10-minute game at speed 13 (46,154 ticks, two computer snakes in free mode,
// ended by Esc) checked headless against its recorded outcome, and the cost at a game's end of
// writing its replay file into a folder that already holds the most replays kept.
//   ReplayVerify10Min   zibsim --verify of that game: the replay with its state checks
//   ReplaySave          saveReplay of that game's record (about 1,000 state checks), pruning
//                       included
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "replay/replay_file.h"
#include "replay/replay_recorder.h"
#include "zibsim/simulator.h"
#include "zibsim/verify.h"

namespace zib {
namespace {

constexpr int kTenMinutesAtSpeed13 = 46154;

// Records the game; the record holds its outcome.
Scenario recordTenMinutes() {
    Scenario s;
    s.level =
        "\"bg.bmp\",100,100,1,0\r\n100,400,-1,0\r\n200,200,600,210,\"wall.bmp\"\r\n"
        "200,390,600,400,\"wall.bmp\"\r\n390,210,400,390,\"wall.bmp\"\r\n";
    s.levelFile = "Bench.zq7";
    s.gameSpeed = 13;
    s.demo = true;
    s.freeMode = true;
    s.seed = 42;
    s.maxTicks = kTenMinutesAtSpeed13;
    s.events.push_back(ScenarioEvent{kTenMinutesAtSpeed13, ScenarioEvent::Kind::Press, 27});
    Scenario record;
    zibsim::RunOptions options;
    options.quiet = true;
    options.makeRecorder = [&record](GameWindow& w, GameState& st, MenuLink& m) {
        return std::make_unique<ReplayRecorder>(w, st, m,
                                                [&record](const Scenario& done) { record = done; });
    };
    std::ostringstream out, err;
    zibsim::runScenario(s, out, err, options);
    record.levelFile = s.levelFile;
    return record;
}

const Scenario& tenMinutes() {
    static const Scenario record = recordTenMinutes();
    return record;
}

void ReplayVerify10Min(benchmark::State& state) {
    const Scenario& record = tenMinutes();
    if (!record.outcome || record.outcome->ticks != kTenMinutesAtSpeed13) {
        state.SkipWithError("the game was not recorded to its end");
        return;
    }
    for (auto _ : state) {
        std::optional<std::string> difference = zibsim::verifyReplay(record);
        if (difference) state.SkipWithError(difference->c_str());
    }
    state.counters["ticks"] = record.outcome->ticks;
}
BENCHMARK(ReplayVerify10Min)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void ReplaySave(benchmark::State& state) {
    const Scenario& record = tenMinutes();
    std::string pattern = (std::filesystem::temp_directory_path() / "zib-bench-XXXXXX").string();
    const std::string folder = ::mkdtemp(pattern.data());
    std::time_t when = 1'700'000'000;
    for (size_t i = 0; i < kKeptReplays; ++i) saveReplay(folder, record, when++);
    for (auto _ : state) {
        zib::ReplaySave save = saveReplay(folder, record, when++);
        if (!save.path) state.SkipWithError(save.error.c_str());
    }
    state.counters["bytes"] = static_cast<double>(replayText(record).size());
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}
BENCHMARK(ReplaySave)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace
}  // namespace zib
