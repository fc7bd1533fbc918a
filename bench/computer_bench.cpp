// The route search, fast and literal side by side: an empty field, a maze, a field where the food
// is walled off (the literal floods all the head can reach) and a field cut in two halves. After
// the runs it prints the median time of each and how many times faster the fast search is.
// zib_bench's main (bench_main.cpp) registers them and prints the table after all runs.
#include "computer_bench.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "computer/computer_player.h"
#include "computer_reference_flood.h"

namespace zib {
namespace {

struct Scenario {
    const char* name;
    void (*build)(Board&);
    int startX, startY, targetX, targetY;
    // A wall cell next to where a failed search ends, freed and blocked again before every fast
    // search: the board stays the same, but what one failed search learnt does not answer the
    // next one, so every run is a whole search. -1: none.
    int wallX, wallY;
};

void emptyBoard(Board&) {}

// A perfect maze carved by a depth-first walk with a fixed seed. Rooms are the cells with odd
// column and row; column 0 and row 0 stay walls, so the wrap opens no shortcut.
void mazeBoard(Board& board) {
    for (int y = 0; y < 600; y += 10)
        for (int x = 0; x < 800; x += 10) board.set(x, y, 1);
    std::mt19937 rng(1);
    constexpr int kRoomsX = 40, kRoomsY = 30;
    std::vector<bool> seen(kRoomsX * kRoomsY, false);
    std::vector<int> stack = {0};
    seen[0] = true;
    board.set(10, 10, 0);
    while (!stack.empty()) {
        const int room = stack.back();
        const int rx = room % kRoomsX, ry = room / kRoomsX;
        int options[4], count = 0;
        const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (int k = 0; k < 4; ++k) {
            const int nx = rx + steps[k][0], ny = ry + steps[k][1];
            if (nx >= 0 && ny >= 0 && nx < kRoomsX && ny < kRoomsY && !seen[ny * kRoomsX + nx])
                options[count++] = k;
        }
        if (count == 0) {
            stack.pop_back();
            continue;
        }
        const int k = options[std::uniform_int_distribution<int>(0, count - 1)(rng)];
        const int nx = rx + steps[k][0], ny = ry + steps[k][1];
        seen[ny * kRoomsX + nx] = true;
        board.set((2 * rx + 1 + steps[k][0]) * 10, (2 * ry + 1 + steps[k][1]) * 10, 0);
        board.set((2 * nx + 1) * 10, (2 * ny + 1) * 10, 0);
        stack.push_back(ny * kRoomsX + nx);
    }
}

void walledOffBoard(Board& board) {
    board.set(710, 500, 1);
    board.set(690, 500, 1);
    board.set(700, 510, 1);
    board.set(700, 490, 1);
}

// Two walls from top to bottom cut the field into halves of 39 x 60 cells, head in one and food
// in the other: no route, and both halves are large, the worst case for a failed search.
void dividedBoard(Board& board) {
    for (int y = 0; y < 600; y += 10) {
        board.set(0, y, 1);
        board.set(400, y, 1);
    }
}

const Scenario kScenarios[] = {
    {"Empty", emptyBoard, 0, 0, 700, 500, -1, -1},
    {"Maze", mazeBoard, 10, 10, 790, 590, -1, -1},
    {"WalledOff", walledOffBoard, 0, 0, 700, 500, 710, 500},
    {"Divided", dividedBoard, 200, 300, 600, 300, 400, 300},
};

void BM_Fast(benchmark::State& st, const Scenario* s) {
    auto state = std::make_unique<GameState>();
    s->build(state->board);
    for (auto _ : st) {
        if (s->wallX >= 0) {
            state->board.set(s->wallX, s->wallY, 0);
            state->board.set(s->wallX, s->wallY, 1);
        }
        FindPath(*state, s->startX, s->startY, s->targetX, s->targetY, Player::Blue);
        benchmark::DoNotOptimize(state->blue.pathValid);
    }
    st.counters["route"] = static_cast<double>(state->blue.pathValid ? state->blue.path.size() : 0);
}

void BM_Literal(benchmark::State& st, const Scenario* s) {
    auto state = std::make_unique<GameState>();
    auto flood = std::make_unique<reference::LiteralFlood>();
    reference::Routes routes;
    s->build(state->board);
    for (auto _ : st) {
        flood->FindPath(state->board, routes, s->startX, s->startY, s->targetX, s->targetY, 2);
        benchmark::DoNotOptimize(routes.bluePathValid);
    }
    st.counters["route"] =
        static_cast<double>(routes.bluePathValid ? routes.bluePath.size() / 2 : 0);
}

}  // namespace

void registerRouteSearchBenchmarks() {
    for (const Scenario& s : kScenarios) {
        benchmark::RegisterBenchmark((std::string("FindPath/Fast/") + s.name).c_str(), BM_Fast, &s)
            ->Repetitions(9)
            ->ReportAggregatesOnly(true)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("FindPath/Literal/") + s.name).c_str(),
                                     BM_Literal, &s)
            ->Repetitions(9)
            ->ReportAggregatesOnly(true)
            ->Unit(benchmark::kMicrosecond);
    }
}

void printRouteSearchTable(const BenchMedians& medians) {
    // Medians in microseconds; "cpu" discounts time the process spent waiting for a processor.
    std::printf("\n%-10s %12s %12s %8s %12s %12s %8s\n", "board", "fast real", "literal real",
                "faster", "fast cpu", "literal cpu", "faster");
    for (const Scenario& s : kScenarios) {
        const auto fast = medians.find(std::string("FindPath/Fast/") + s.name);
        const auto literal = medians.find(std::string("FindPath/Literal/") + s.name);
        if (fast == medians.end() || literal == medians.end()) continue;
        const auto& f = fast->second;
        const auto& l = literal->second;
        std::printf("%-10s %12.3f %12.1f %7.0fx %12.3f %12.1f %7.0fx\n", s.name, f.realUs, l.realUs,
                    l.realUs / f.realUs, f.cpuUs, l.cpuUs, l.cpuUs / f.cpuUs);
    }
}

}  // namespace zib
