// Games played one after another in the real game window on the headless backend are recorded,
// and each record, written out and read back, replays headless to the outcome it recorded: the
// later games too, which start from what the earlier ones left (win counts, blue's direction).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "game/menuless_game.h"
#include "game_fixture.h"
#include "platform_test_form.h"
#include "replay/replay_recorder.h"
#include "replay_verify_text.h"
#include "zibsim_test_support.h"

namespace zib {
namespace {

using test::verifyText;

// Ends the message loop when the game window goes back to the menu for good (a restart shows the
// menu for a moment too, but does not start its idle timer).
// With startAgain set, the first return to the menu is only noted (backInMenu), so that the
// test can start the level once more, as START would.
class QuittingMenu : public test::FakeMenu {
  public:
    Application* app = nullptr;
    bool startAgain = false;
    bool backInMenu = false;
    // The one-player setting a demo replaced, put back when it ends, as the menu does.
    GameState* state = nullptr;
    std::optional<bool> onePlayerCopy;
    void demoEnded() override {
        if (onePlayerCopy) state->settings.onePlayer = *onePlayerCopy;
    }
    void enableIdleTimer() override {
        if (!startAgain) return app->quit();
        startAgain = false;
        backInMenu = true;
    }
};

// Keys for the next event processing after chosen ticks of each game.
class KeyScript : public GameObserver {
  public:
    HeadlessBackend* backend = nullptr;
    std::vector<std::vector<std::pair<int, int>>> games;  // per game: (after tick, key down)
    void gameStarting() override { ++game_; }
    void tickCompleted(int n) override {
        if (game_ < 1 || game_ > static_cast<int>(games.size())) return;
        for (auto [tick, code] : games[static_cast<size_t>(game_ - 1)])
            if (tick == n) backend->keyDown(code);
    }

  private:
    int game_ = 0;
};

struct RecordedRun {
    std::vector<Scenario> records;
};

// Red at (100, 300) going right and blue at (690, 300) going left meet the wall at x = 400: blue
// gets there a step earlier, so a game without keys is red's. Enter during the first game asks
// for a restart. With playersOwn the level is in the player's folder, and the shipped folder holds
// another level of the same name.
constexpr const char* kDuelLevel =
    "\"bg.bmp\",100,300,1,0\r\n690,300,-1,0\r\n400,100,410,500,\"bg.bmp\"\r\n";
// A demo before the games: red and blue steered by the computer until a key ends it, as the
// menu's DEMO starts it; the menu's START then plays the level.
enum class First { Game, Demo };
RecordedRun playGames(const std::vector<std::vector<std::pair<int, int>>>& keys, uint64_t seed,
                      bool playersOwn = false, First first = First::Game) {
    test::TempFolder folder, players;
    folder.write("bg.bmp", "");
    folder.write("duel.zq7",
                 playersOwn ? "\"bg.bmp\",100,100,1,0\r\n690,100,-1,0\r\n" : kDuelLevel);
    if (playersOwn) players.write("duel.zq7", kDuelLevel);
    HeadlessBackend backend(nullptr, seed);
    Application app(backend.services());
    GameState state;
    state.settings.keyBindings = kDefaultKeyBindings;
    state.settings.levelName = "duel.zq7";
    state.settings.gameSpeed = 13;
    state.settings.growthPerFood = 3;
    state.settings.startLength = 5;
    state.settings.gameMode = 2;
    MenulessGame<QuittingMenu> game(app, state, folder.path());
    QuittingMenu& menu = game.menu;
    GameWindow& window = game.window;
    menu.app = &app;
    window.setPlayerLevelFolder(players.path());
    RecordedRun run;
    state.random.state = seed;
    ReplayRecorder recorder(window, state, menu,
                            [&run](const Scenario& s) { run.records.push_back(s); });
    window.setRecorder(&recorder);
    KeyScript script;
    script.backend = &backend;
    script.games = keys;
    test::TestForm starter(app);
    if (first == First::Demo) {
        menu.state = &state;
        menu.onePlayerCopy = state.settings.onePlayer;
        state.settings.onePlayer = true;
        state.demoMode = true;
        menu.startAgain = true;
        starter.onDesign = [&](test::TestForm& f) {
            f.addTimer(5, true).onTick = [&] {
                if (!menu.backInMenu || window.isLoaded()) return;
                menu.backInMenu = false;
                window.show();
            };
        };
        starter.load();
    }
    game.show(&script);
    app.run();
    return run;
}

constexpr int kEnter = 13;

TEST(ReplayRecord, LaterGamesOfARunReplayFromWhatTheEarlierLeft) {
    // Game 1: blue turns up and back, red turns down; Enter restarts. Game 2: both turn.
    RecordedRun run = playGames(
        {{{2, 'W'}, {4, 40}, {6, 'A'}, {8, kEnter}}, {{1, 38}, {3, 'S'}, {5, 37}, {7, 'D'}}},
        0x5EED);
    ASSERT_EQ(run.records.size(), 2u);
    const Scenario& second = run.records[1];
    // What the second game was handed by the first.
    EXPECT_EQ(second.carried.redWins + second.carried.blueWins, 1);
    EXPECT_TRUE(second.carried.bluePrevDx != 0 || second.carried.bluePrevDy != 0);
    EXPECT_EQ(second.outcome->redWins + second.outcome->blueWins, 2);
    EXPECT_FALSE(second.events.empty());
    for (const Scenario& record : run.records) {
        ASSERT_TRUE(record.outcome);
        EXPECT_GT(record.outcome->ticks, 0);
        EXPECT_EQ(verifyText(record), std::nullopt);
    }
}

// A demo leaves red's route behind; the game after it starts without, so its replay plays it
// again to the same states.
TEST(ReplayRecord, AGameAfterADemoReplays) {
    RecordedRun run = playGames({{{30, 'X'}}, {{1, 40}, {4, 39}}}, 0x5EED, false, First::Demo);
    ASSERT_EQ(run.records.size(), 2u);
    EXPECT_TRUE(run.records[0].demo);
    EXPECT_FALSE(run.records[1].demo);
    for (const Scenario& record : run.records) EXPECT_EQ(verifyText(record), std::nullopt);
}

// A level of the player's own is recorded from the player's folder, as the window read it, not
// from a shipped level of the same name.
TEST(ReplayRecord, APlayersOwnLevelIsRecordedAsPlayed) {
    RecordedRun run = playGames({{{2, 'W'}}}, 7, true);
    ASSERT_EQ(run.records.size(), 1u);
    EXPECT_EQ(run.records[0].level, kDuelLevel);
    EXPECT_EQ(verifyText(run.records[0]), std::nullopt);
}

TEST(ReplayRecord, AChangedRecordIsCaughtAtTheTickItGoesWrong) {
    RecordedRun run = playGames({{{3, 40}, {9, 39}}}, 7);
    ASSERT_EQ(run.records.size(), 1u);
    Scenario changed = run.records[0];
    ASSERT_GE(changed.events.size(), 2u);
    changed.events[0].code = 38;  // blue goes up instead of down
    const std::optional<std::string> difference = verifyText(changed);
    ASSERT_TRUE(difference);
    EXPECT_EQ(difference->rfind("tick ", 0), 0u) << *difference;

    Scenario otherSeed = run.records[0];
    otherSeed.outcome->redWins += 1;
    EXPECT_NE(verifyText(otherSeed), std::nullopt);
}

// Keys of tick 0 came before the start timer: they steer the first step already, and a key that
// switches a demo's timer off before the start is reported instead of waiting for ever.
TEST(ReplayRecord, KeysBeforeTheStartSteerTheFirstStep) {
    const std::string level = R"("level": "bg.bmp,100,300,1,0\n100,500,1,0\n")";
    zibsim::testing::SimResult r = zibsim::testing::simulateText(
        "{" + level + R"(, "maxTicks": 1, "events": [{"tick": 0, "down": 40}]})");
    ASSERT_EQ(r.exitCode, zibsim::kRan) << r.err;
    EXPECT_EQ(r.at(1)["red"]["head"], nlohmann::json::parse("[100, 310]"));

    r = zibsim::testing::simulateText("{" + level +
                                      R"(, "demo": true, "events": [{"tick": 0, "down": 65}]})");
    EXPECT_EQ(r.exitCode, zibsim::kFailed);
    EXPECT_NE(r.err.find("never starts"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace zib
