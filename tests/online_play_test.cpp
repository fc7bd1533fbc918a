// Two programs play one game online, each in a thread of its own with its own headless backend,
// game window and replay recorder, connected through the fault-injecting relay: their games must
// stay identical tick for tick, their replays must hold the same events and verify, and a lost
// connection or a state that differs must end the game on both sides.
#include <gtest/gtest.h>

#include "online_match.h"
#include "replay_verify_text.h"

namespace zib {
namespace {

using namespace std::chrono_literals;
using test::Match;
using test::SideScript;
using test::verifyText;

bool contains(const std::vector<std::string>& texts, const std::string& part) {
    for (const std::string& t : texts)
        if (t.find(part) != std::string::npos) return true;
    return false;
}

// Both steer with every key they have: the host's red and blue keys turn red, the joiner's own
// keys (bound differently) turn blue.
SideScript hostKeys(int escAfter) {
    return SideScript{{38, 39, 40, 37, 'W', 'D', 'S', 'A'}, 7, escAfter, {}, 0, {}};
}
SideScript joinerKeys() {
    return SideScript{{73, 76, 75, 74, 104, 102, 98, 100}, 5, 0, {}, 0, {}};
}

// 10,000 ticks at a 150 ms round trip with +-20 ms of jitter, 2 % loss, duplicates and packets out
// of order: each side plays ahead and is put right, and every confirmed tick is the same state on
// both sides.
TEST(OnlinePlay, TwoProgramsPlayTheSameGameThroughALossyLink) {
    test::MatchOptions options;
    options.faults.delayMs = 75;
    options.faults.jitterMs = 20;
    options.faults.loss = 0.02;
    options.faults.duplicate = 0.02;
    options.faults.reorder = 0.03;
    options.limit = std::chrono::seconds(300);
    const Match m = test::play(options, hostKeys(10000), joinerKeys());
    ASSERT_FALSE(m.host.timedOut);
    ASSERT_FALSE(m.joiner.timedOut);
    EXPECT_GT(m.host.hashes.size(), 10000u);
    EXPECT_EQ(m.host.hashes, m.joiner.hashes);
    ASSERT_EQ(m.host.records.size(), 1u);
    ASSERT_EQ(m.joiner.records.size(), 1u);
    const Scenario& a = m.host.records[0];
    const Scenario& b = m.joiner.records[0];
    ASSERT_EQ(a.events.size(), b.events.size());
    for (size_t i = 0; i < a.events.size(); ++i) {
        EXPECT_EQ(a.events[i].tick, b.events[i].tick);
        EXPECT_EQ(a.events[i].kind, b.events[i].kind);
        EXPECT_EQ(a.events[i].code, b.events[i].code);
    }
    EXPECT_EQ(a.seed, b.seed);
    EXPECT_EQ(a.level, b.level);
    // Both players' turns are in the game, the joiner's translated to the host's blue keys.
    bool redTurned = false, blueTurned = false;
    for (const ScenarioEvent& e : a.events) {
        redTurned |= e.code == 40;
        blueTurned |= e.code == 'S';
        EXPECT_NE(e.code, 75);
    }
    EXPECT_TRUE(redTurned && blueTurned);
    EXPECT_EQ(verifyText(a), std::nullopt);
    EXPECT_EQ(verifyText(b), std::nullopt);
    // Keys came late, and guesses were put right, never more than eight ticks back.
    for (const test::SideResult* side : {&m.host, &m.joiner}) {
        EXPECT_GT(side->rollback.rollbacks, 10u);
        EXPECT_LE(side->rollback.deepest, Rollback::kMaxPredicted);
    }
}

// A host whose idle demo ran before the joiner came still holds red's route from it; the game
// they then play starts without it on both sides, so it stays one game to its end.
TEST(OnlinePlay, AGameAfterTheHostsDemoStaysTheSameOnBothSides) {
    SideScript host = hostKeys(300);
    host.before = [](GameState& state) {
        state.red.path.resize(2);
        state.red.path.set(0, Cell{110, 100});
        state.red.path.set(1, Cell{120, 100});
        state.red.pathValid = true;
    };
    const Match m = test::play({}, host, joinerKeys());
    ASSERT_FALSE(m.host.timedOut || m.joiner.timedOut);
    EXPECT_FALSE(contains(m.host.messages, "rozešla")) << ::testing::PrintToString(m.host.messages);
    EXPECT_GE(m.host.hashes.size(), 300u);
    EXPECT_EQ(m.host.hashes, m.joiner.hashes);
    ASSERT_EQ(m.host.records.size(), 1u);
    ASSERT_EQ(m.joiner.records.size(), 1u);
    EXPECT_EQ(verifyText(m.host.records[0]), std::nullopt);
    EXPECT_EQ(verifyText(m.joiner.records[0]), std::nullopt);
}

// A program that leaves, or a link that goes silent, ends the other side's game with the message
// and no win.
TEST(OnlinePlay, ALostConnectionEndsTheGameWithoutAWin) {
    for (const bool silent : {false, true}) {
        SideScript joiner = joinerKeys();
        joiner.after = [silent](int tick, GameState&, OnlinePlay& online, Application& app) {
            if (tick != 200) return;
            if (silent) {
                // Stops answering: the other side hears nothing from now on.
                std::this_thread::sleep_for(6s);
            }
            online.close();
            app.quit();
        };
        const Match m = test::play({}, hostKeys(0), joiner);
        ASSERT_FALSE(m.host.timedOut);
        EXPECT_TRUE(contains(m.host.messages, kConnectionLostMessage))
            << ::testing::PrintToString(m.host.messages);
        // Eight ticks past the last word from the other side the game stands still, and the
        // line says why once half a second has passed.
        EXPECT_EQ(m.host.sawWaiting, silent);
        EXPECT_EQ(m.host.redWins, 0);
        EXPECT_EQ(m.host.blueWins, 0);
        EXPECT_EQ(m.host.records.size(), 1u);
    }
}

}  // namespace
}  // namespace zib
