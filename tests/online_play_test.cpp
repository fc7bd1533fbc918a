// Two programs play one game online, each in a thread of its own with its own headless backend,
// game window and replay recorder, connected through the fault-injecting relay: their games must
// stay identical tick for tick, their replays must hold the same events and verify, and a lost
// connection or a state that differs must end the game on both sides.
#include "online/online_play.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "game_fixture.h"
#include "net_relay.h"
#include "platform_test_form.h"
#include "replay/replay_file.h"
#include "replay/replay_recorder.h"
#include "replay/state_check.h"
#include "zibsim/verify.h"

namespace zib {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The joiner's own keys differ from the host's: its keys must still steer blue on both machines.
constexpr std::array<int, 8> kJoinerKeys{73, 104, 75, 98, 76, 102, 74, 100};

class QuittingMenu : public test::FakeMenu {
  public:
    Application* app = nullptr;
    void enableIdleTimer() override { app->quit(); }
};

struct SideResult {
    std::vector<uint64_t> hashes;  // the state after every tick
    std::vector<Scenario> records;
    std::vector<std::string> messages;
    std::string redWins, blueWins;
    bool timedOut = false;
};

// What a side does after a tick of its game: press keys, poke its state, leave.
struct SideScript {
    std::vector<int> keys;  // pressed in turn, one every `every` ticks
    int every = 7;
    int escAfter = 0;  // Esc after this tick (0: never)
    std::function<void(int tick, GameState&, OnlinePlay&, Application&)> after;
};

class Side : public GameObserver {
  public:
    Side(std::unique_ptr<net::Session> session, const std::string& folder,
         const std::array<int, 8>& keys, SideScript script)
        : backend_(nullptr, 99), script_(std::move(script)) {
        app_ = std::make_unique<Application>(backend_.services());
        state_.settings.keyBindings = keys;
        state_.settings.levelName = "field.zq7";
        state_.settings.gameSpeed = 1;
        state_.settings.growthPerFood = 3;
        state_.settings.startLength = 6;
        state_.settings.gameMode = 2;
        state_.freeMode = true;
        menu_.app = app_.get();
        window_ = std::make_unique<GameWindow>(*app_, state_, menu_);
        window_->setLevelFolder(folder);
        recorder_ = std::make_unique<ReplayRecorder>(
            *window_, state_, menu_, backend_.services().random,
            [this](const Scenario& s) { result_.records.push_back(s); });
        window_->setRecorder(recorder_.get());
        window_->setObserver(this);
        online_ = std::make_unique<OnlinePlay>(std::move(session), *app_, state_, *window_, menu_,
                                               backend_.services().random);
        online_->setStartGame([this] { window_->show(); });
    }

    // Runs the program until its game is over and its window back in the menu, or 60 s pass.
    SideResult run() {
        const auto deadline = Clock::now() + 60s;
        test::TestForm poller(*app_);
        bool started = false;
        poller.onDesign = [&](test::TestForm& f) {
            f.addTimer(5, true).onTick = [&] {
                online_->poll();
                if (online_->isHost() && !started && online_->connected()) {
                    started = true;
                    result_.messages.push_back(online_->startAsHost());
                }
                if (Clock::now() > deadline) {
                    result_.timedOut = true;
                    app_->quit();
                }
            };
        };
        poller.load();
        app_->run();
        result_.messages.insert(result_.messages.end(), menu_.messages.begin(),
                                menu_.messages.end());
        result_.redWins = menu_.red;
        result_.blueWins = menu_.blue;
        return std::move(result_);
    }

    void tickCompleted(int n) override {
        result_.hashes.push_back(stateHash(state_, *window_));
        if (!script_.keys.empty() && n % script_.every == 0)
            backend_.keyDown(
                script_.keys[static_cast<size_t>(n / script_.every) % script_.keys.size()]);
        if (n == script_.escAfter) backend_.keyPress(27);
        if (script_.after) script_.after(n, state_, *online_, *app_);
    }

  private:
    HeadlessBackend backend_;
    std::unique_ptr<Application> app_;
    GameState state_;
    QuittingMenu menu_;
    std::unique_ptr<GameWindow> window_;
    std::unique_ptr<ReplayRecorder> recorder_;
    std::unique_ptr<OnlinePlay> online_;
    SideScript script_;
    SideResult result_;
};

struct Match {
    SideResult host, joiner;
};

// Connects a host and a joiner through the relay, then runs both programs side by side.
Match play(const test::RelayFaults& faults, SideScript hostScript, SideScript joinerScript) {
    test::TempFolder folder;
    folder.write("bg.bmp", "");
    folder.write("field.zq7",
                 "\"bg.bmp\",100,300,1,0\r\n690,300,-1,0\r\n400,100,410,200,\"bg.bmp\"\r\n");
    net::SessionOptions options;
    options.gameVersion = "1.1.0";
    options.bindHost = "127.0.0.1";
    options.port = 0;
    std::string error;
    auto host = net::Session::host(options, error);
    EXPECT_TRUE(host) << error;
    test::UdpRelay relay(host->localPort(), faults, 90s);
    options.port = relay.port();
    auto joiner = net::Session::join("127.0.0.1", options, error);
    EXPECT_TRUE(joiner) << error;
    const auto end = Clock::now() + 10s;
    while (Clock::now() < end &&
           !(host->state() == net::SessionState::Connected &&
             joiner->state() == net::SessionState::Connected && host->roundTripMs())) {
        host->poll(1);
        joiner->poll(1);
    }
    Match m;
    std::thread other([&] {
        Side side(std::move(joiner), folder.path(), kJoinerKeys, std::move(joinerScript));
        m.joiner = side.run();
    });
    {
        Side side(std::move(host), folder.path(), kDefaultKeyBindings, std::move(hostScript));
        m.host = side.run();
    }
    other.join();
    return m;
}

bool contains(const std::vector<std::string>& texts, const std::string& part) {
    for (const std::string& t : texts)
        if (t.find(part) != std::string::npos) return true;
    return false;
}

std::optional<std::string> verifyText(const Scenario& record) {
    std::string error;
    std::optional<Scenario> read = parseScenario(replayText(record), error);
    if (!read) return "unreadable: " + error;
    return zibsim::verifyReplay(*read);
}

// Both steer with every key they have: the host's red and blue keys turn red, the joiner's own
// keys (bound differently) turn blue.
SideScript hostKeys(int escAfter) {
    return SideScript{{38, 39, 40, 37, 'W', 'D', 'S', 'A'}, 7, escAfter, {}};
}
SideScript joinerKeys() {
    return SideScript{{73, 76, 75, 74, 104, 102, 98, 100}, 5, 0, {}};
}

TEST(OnlinePlay, TwoProgramsPlayTheSameGameThroughALossyLink) {
    test::RelayFaults faults;
    faults.delayMs = 1;
    faults.jitterMs = 4;
    faults.loss = 0.03;
    faults.duplicate = 0.03;
    faults.reorder = 0.05;
    const Match m = play(faults, hostKeys(10000), joinerKeys());
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
}

TEST(OnlinePlay, ADifferentStateIsCaughtAtTheNextChecksumOnBothSides) {
    SideScript joiner = joinerKeys();
    joiner.after = [](int tick, GameState& state, OnlinePlay&, Application&) {
        if (tick == 100) state.red.pendingGrowth += 5;
    };
    const Match m = play(test::RelayFaults{}, hostKeys(0), joiner);
    ASSERT_FALSE(m.host.timedOut || m.joiner.timedOut);
    for (const SideResult* side : {&m.host, &m.joiner}) {
        EXPECT_TRUE(contains(side->messages, "v tahu 112"))
            << ::testing::PrintToString(side->messages);
        ASSERT_EQ(side->records.size(), 1u);  // each side keeps its replay
        EXPECT_EQ(side->redWins, "0");
        EXPECT_EQ(side->blueWins, "0");
    }
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
        const Match m = play(test::RelayFaults{}, hostKeys(0), joiner);
        ASSERT_FALSE(m.host.timedOut);
        EXPECT_TRUE(contains(m.host.messages, kConnectionLostMessage))
            << ::testing::PrintToString(m.host.messages);
        EXPECT_EQ(m.host.redWins, "0");
        EXPECT_EQ(m.host.blueWins, "0");
        EXPECT_EQ(m.host.records.size(), 1u);
    }
}

}  // namespace
}  // namespace zib
