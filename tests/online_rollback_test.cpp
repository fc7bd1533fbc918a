// The rollback of a game played ahead of the other side's keys: whatever the keys' lateness, every
// confirmed tick is the tick a plain run with all the keys on time gives; a guess that was right
// costs nothing; a crash in a guessed tick waits and can be undone; nobody runs more than eight
// ticks past the confirmed one; a tick sounds once, when first stepped.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <variant>
#include <vector>

#include "game/key_slots.h"
#include "game/level_loader.h"
#include "online/rollback.h"
#include "replay/state_check.h"

namespace zib {
namespace {

// Red starts at (100, 100), blue at (100, 300), both heading right; a wall ten cells ahead of blue
// (blue crashes in tick 10 unless it turns), or none.
constexpr const char* kWallLevel = "b,100,100,1,0\n100,300,1,0\n200,300,210,310,w\n";
constexpr const char* kOpenLevel = "b,100,100,1,0\n100,300,1,0\n";

std::unique_ptr<GameState> startState(const char* level) {
    auto state = std::make_unique<GameState>();
    state->random.state = 11;
    state->settings.keyBindings = kDefaultKeyBindings;
    state->settings.startLength = 3;
    state->settings.growthPerFood = 2;
    setUpLevel(*state, std::get<LevelFile>(parseLevel(level, "test.zq7")));
    PlayField field{*state, computerMoves(), {}};
    startGame(field);
    return state;
}

TickKey keyOf(Heading heading, bool blue) {
    return TickKey{TickKey::Kind::Down,
                   kDefaultKeyBindings[static_cast<size_t>(keySlot(heading, blue))]};
}

using Keys = std::map<uint32_t, std::vector<TickKey>>;  // by tick

struct Played {
    std::vector<uint64_t> truth;  // the plain run's hash after each tick (index 0: the start)
    uint32_t truthEnd = 0;        // the tick the plain run ended on (0: it did not)
    std::map<uint32_t, uint64_t> confirmed;  // the rollback's confirmed ticks
    std::vector<int> depths;                 // the depth of every correction
    int turnSounds = 0;                      // turn sounds the rollback's first steps made
    int truthTurnSounds = 0;
    uint32_t mostAhead = 0;          // the most ticks the present ran past the confirmed one
    bool sawUnconfirmedEnd = false;  // a guessed tick ended the game for a while
    Rollback::Stats stats;
    bool endConfirmed = false;
};

int turnsIn(const TickSounds& sounds) {
    int n = 0;
    for (int i = 0; i < sounds.count; ++i)
        n += sounds.cues[static_cast<size_t>(i)] == SoundCue::Turn;
    return n;
}

// Plays `ticks` ticks: red's keys (this machine's) are known at once, blue's (the other side's)
// come `lateness` ticks late; every loop round hands over what has come, settles, and steps the
// present up to the round's tick as far as allowed.
Played play(const Keys& red, const Keys& blue, uint32_t lateness, uint32_t ticks,
            const char* level = kWallLevel) {
    Played run;
    auto truth = startState(level);
    run.truth.push_back(stateHash(*truth));
    PlayField field{*truth, computerMoves(), {}};
    for (uint32_t t = 1; t <= ticks && run.truthEnd == 0; ++t) {
        std::vector<TickKey> keys;
        for (const Keys* side : {&red, &blue})
            if (auto it = side->find(t); it != side->end())
                keys.insert(keys.end(), it->second.begin(), it->second.end());
        const TickResult r = step(field, keys);
        run.truthTurnSounds += turnsIn(r.sounds);
        run.truth.push_back(stateHash(*truth));
        if (r.ended) run.truthEnd = t;
    }

    Rollback game(*startState(level), computerMoves());
    game.setConfirmedSink([&](uint32_t tick, std::span<const TickKey>, size_t,
                              const GameState& state) { run.confirmed[tick] = stateHash(state); });
    const auto keysAt = [](const Keys& keys, uint32_t t) {
        auto it = keys.find(t);
        return it == keys.end() ? std::vector<TickKey>{} : it->second;
    };
    for (uint32_t n = 1; n <= ticks + lateness && !game.endConfirmed(); ++n) {
        if (n <= ticks) {
            EXPECT_TRUE(game.addKeys(Side::Red, n, keysAt(red, n)));
        }
        if (n > lateness && n - lateness <= ticks) {
            EXPECT_TRUE(game.addKeys(Side::Blue, n - lateness, keysAt(blue, n - lateness)));
        }
        if (const int depth = game.settle(); depth > 0) run.depths.push_back(depth);
        while (game.present() < n && game.canAdvance())
            run.turnSounds += turnsIn(game.advance().sounds);
        run.mostAhead = std::max(run.mostAhead, game.present() - game.confirmed());
        run.sawUnconfirmedEnd |= game.ended() && !game.endConfirmed();
    }
    run.stats = game.stats();
    run.endConfirmed = game.endConfirmed();
    return run;
}

TEST(OnlineRollback, ConfirmedTicksMatchAPlainRun) {
    const TickKey blueUp = keyOf(Heading::Up, true), blueDown = keyOf(Heading::Down, true);
    const TickKey redDown = keyOf(Heading::Down, false);
    struct Case {
        const char* name;
        Keys red, blue;
        uint32_t lateness, ticks;
        const char* level;
        std::vector<int> depths;  // the corrections expected
        bool unconfirmedEnd;      // a guessed crash shown for a while
        uint32_t truthEnd;
    };
    const Case cases[] = {
        // Blue turns up at tick 4, heard at tick 7: ticks 4..6 are stepped again.
        {"a late key that differs", {}, {{4, {blueUp}}}, 3, 40, kWallLevel, {3}, false, 0},
        // Keys of tick 4 heard at once: no guess was ever wrong.
        {"keys on time", {}, {{4, {blueUp}}}, 0, 40, kWallLevel, {}, false, 0},
        // Only red turns: blue's late "no key" is what was guessed, and nothing is stepped again.
        {"a late key that equals the guess", {{3, {redDown}}}, {}, 5, 40, kOpenLevel, {}, false, 0},
        // Blue would hit the wall at tick 10; its turn at tick 5 is heard at tick 13, after the
        // guessed crash, which is shown and then undone.
        {"a guessed crash undone", {}, {{5, {blueUp}}}, 8, 40, kWallLevel, {6}, true, 0},
        // Blue turns away at tick 3 and back into the wall's row: the crash is real, and the
        // game ends on that tick once it is confirmed. Each turn, heard four ticks late, steps
        // four ticks again.
        {"a real crash confirmed",
         {},
         {{3, {blueUp}},
          {4, {keyOf(Heading::Right, true)}},
          {5, {blueDown}},
          {6, {keyOf(Heading::Right, true)}}},
         4,
         40,
         kWallLevel,
         {4, 4, 4, 4},
         true,
         12},
        // Two keys of one tick from each side, late: the last of each side's counts (blue's up
        // just before the wall).
        {"several keys a tick",
         {{6, {keyOf(Heading::Up, false), redDown}}},
         {{9, {keyOf(Heading::Left, true), blueUp}}},
         2,
         40,
         kWallLevel,
         {2},
         true,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Played run = play(c.red, c.blue, c.lateness, c.ticks, c.level);
        EXPECT_EQ(run.truthEnd, c.truthEnd);
        const uint32_t last = run.truthEnd != 0 ? run.truthEnd : c.ticks;
        ASSERT_EQ(run.confirmed.size(), last);
        for (const auto& [tick, hash] : run.confirmed) EXPECT_EQ(hash, run.truth[tick]) << tick;
        EXPECT_EQ(run.depths, c.depths);
        EXPECT_EQ(run.stats.rollbacks, c.depths.size());
        EXPECT_EQ(run.sawUnconfirmedEnd, c.unconfirmedEnd);
        EXPECT_EQ(run.endConfirmed, c.truthEnd != 0);
    }
}

TEST(OnlineRollback, RunsAtMostEightTicksPastTheConfirmedOne) {
    for (const uint32_t lateness : {7u, 10u, 11u, 20u}) {
        SCOPED_TRACE(lateness);
        // Red turns round and round, so that the field stays clear of walls.
        Keys red;
        for (uint32_t t = 1; t <= 60; t += 4) red[t] = {keyOf(Heading::Up, false)};
        const Played run = play(red, {}, lateness, 60, kOpenLevel);
        EXPECT_EQ(run.mostAhead, std::min(lateness, Rollback::kMaxPredicted));
        EXPECT_EQ(run.confirmed.size(), 60u);
    }
    // Nothing heard from the other side: eight ticks, then it waits.
    Rollback game(*startState(kOpenLevel), computerMoves());
    for (uint32_t t = 1; t <= 20; ++t) ASSERT_TRUE(game.addKeys(Side::Red, t, {}));
    int stepped = 0;
    while (game.canAdvance()) {
        game.advance();
        ++stepped;
    }
    EXPECT_EQ(stepped, 8);
    EXPECT_EQ(game.confirmed(), 0u);
    // A key out of turn is refused, and so is one far beyond anything stepped.
    EXPECT_FALSE(game.addKeys(Side::Blue, 2, {}));
    EXPECT_FALSE(game.addKeys(Side::Red, 20, {}));
    EXPECT_TRUE(game.addKeys(Side::Blue, 1, {}));
    EXPECT_EQ(game.settle(), 0);
    EXPECT_EQ(game.confirmed(), 1u);
    EXPECT_TRUE(game.canAdvance());
}

TEST(OnlineRollback, ATickSoundsOnceWhenFirstStepped) {
    const TickKey blueUp = keyOf(Heading::Up, true), redDown = keyOf(Heading::Down, false);
    struct Case {
        const char* name;
        Keys red, blue;
        uint32_t lateness;
        int dropped;  // turn sounds of the plain run that the rollback does not make
    };
    const Case cases[] = {
        // Red's own turn sounds at once; rolling back for blue's key does not sound it again.
        {"own turn, other side late", {{6, {redDown}}}, {{4, {blueUp}}}, 3, 2},
        // Blue's turn at tick 5 (its key of tick 4; blue's turn sounds twice) is stepped first as
        // a guess without it: late, its sounds are dropped.
        {"a late turn of the other side", {}, {{4, {blueUp}}}, 3, 2},
        // Heard in time, the other side's turn sounds.
        {"the other side's turn in time", {}, {{4, {blueUp}}}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Played run = play(c.red, c.blue, c.lateness, 30);
        EXPECT_EQ(run.turnSounds, run.truthTurnSounds - c.dropped);
    }
}

}  // namespace
}  // namespace zib
