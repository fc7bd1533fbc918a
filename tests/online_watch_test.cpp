// Spectators of a real online game: two programs play through the relay while spectators, each a
// program of its own with a game window and a replay recorder, watch the host. One is there from
// the start, one comes at tick 3,000 and catches up; both must see the players' game tick for
// tick and write the players' replay.
#include <gtest/gtest.h>

#include "online/watch_play.h"
#include "online_match.h"
#include "replay_verify_text.h"

namespace zib {
namespace {

using namespace std::chrono_literals;
using test::Clock;

struct Watched {
    std::vector<uint64_t> hashes;
    std::vector<Scenario> records;
    bool timedOut = false;
    std::string status;
};

// A spectator's program: watches one game, and ends when its window is back in the menu.
class WatcherSide : public GameObserver {
  public:
    explicit WatcherSide(uint16_t port) : backend_(nullptr, 99) {
        app_ = std::make_unique<Application>(backend_.services());
        state_.settings.keyBindings = test::kJoinerKeys;  // its own keys differ from the game's
        menu_.app = app_.get();
        window_ = std::make_unique<GameWindow>(*app_, state_, menu_);
        recorder_ = std::make_unique<ReplayRecorder>(
            *window_, state_, menu_, [this](const Scenario& s) { result_.records.push_back(s); });
        window_->setRecorder(recorder_.get());
        window_->setObserver(this);
        auto opened = net::WatchSession::open("127.0.0.1", port, "1.1.0");
        if (opened) {
            watch_ = std::make_unique<WatchPlay>(std::move(*opened), state_, *window_, menu_);
            watch_->setStartGame([this] { window_->show(); });
        }
    }

    Watched run() {
        if (!watch_) return {{}, {}, true, "no session"};
        const auto deadline = Clock::now() + 90s;
        test::TestForm poller(*app_);
        poller.onDesign = [&](test::TestForm& f) {
            f.addTimer(5, true).onTick = [&] {
                watch_->poll();
                result_.status = watch_->statusLine();
                if (Clock::now() > deadline) {
                    result_.timedOut = true;
                    app_->quit();
                }
            };
        };
        poller.load();
        app_->run();
        watch_->close();
        return std::move(result_);
    }

    void tickCompleted(int) override { result_.hashes.push_back(stateHash(state_)); }

  private:
    HeadlessBackend backend_;
    std::unique_ptr<Application> app_;
    GameState state_;
    test::QuittingMenu menu_;
    std::unique_ptr<GameWindow> window_;
    std::unique_ptr<ReplayRecorder> recorder_;
    std::unique_ptr<WatchPlay> watch_;
    Watched result_;
};

void expectSameGame(const test::SideResult& host, const Watched& watched) {
    ASSERT_FALSE(watched.timedOut) << watched.status;
    EXPECT_EQ(watched.hashes, host.hashes);
    ASSERT_EQ(watched.records.size(), 1u);
    ASSERT_EQ(host.records.size(), 1u);
    const Scenario& a = host.records[0];
    const Scenario& b = watched.records[0];
    EXPECT_EQ(a.seed, b.seed);
    EXPECT_EQ(a.level, b.level);
    EXPECT_EQ(a.keyBindings, b.keyBindings);
    EXPECT_EQ(a.carried, b.carried);
    ASSERT_EQ(a.events.size(), b.events.size());
    for (size_t i = 0; i < a.events.size(); ++i) {
        EXPECT_EQ(a.events[i].tick, b.events[i].tick);
        EXPECT_EQ(a.events[i].kind, b.events[i].kind);
        EXPECT_EQ(a.events[i].code, b.events[i].code);
    }
    ASSERT_TRUE(a.outcome && b.outcome);
    EXPECT_EQ(a.outcome->result, b.outcome->result);
    EXPECT_EQ(a.outcome->ticks, b.outcome->ticks);
    EXPECT_EQ(a.outcome->redWins, b.outcome->redWins);
    EXPECT_EQ(a.outcome->blueWins, b.outcome->blueWins);
    EXPECT_EQ(a.outcome->redDead, b.outcome->redDead);
    EXPECT_EQ(a.outcome->blueDead, b.outcome->blueDead);
    EXPECT_EQ(a.outcome->checks.size(), b.outcome->checks.size());
    EXPECT_EQ(test::verifyText(b), std::nullopt);
}

TEST(OnlineWatch, SpectatorsFromTheStartAndFromTick3000SeeThePlayersGame) {
    Watched early, late;
    std::thread earlyThread, lateThread;
    test::MatchOptions options;
    options.beforePlay = [&](net::Session& host) {
        const uint16_t port = host.localPort();
        earlyThread = std::thread([&early, port] { early = WatcherSide(port).run(); });
        const auto end = Clock::now() + 10s;
        while (host.watcherCount() < 1 && Clock::now() < end) host.poll(1);
    };
    test::SideScript host{{38, 39, 40, 37, 'W', 'D', 'S', 'A'}, 7, 4000, {}, 0, {}};
    host.after = [&](int tick, GameState&, OnlinePlay& online, Application&) {
        if (tick != 3000) return;
        const uint16_t port = online.session().localPort();
        lateThread = std::thread([&late, port] { late = WatcherSide(port).run(); });
    };
    const test::SideScript joiner{{73, 76, 75, 74, 104, 102, 98, 100}, 5, 0, {}, 0, {}};
    const test::Match m = test::play(options, host, joiner);
    if (earlyThread.joinable()) earlyThread.join();
    if (lateThread.joinable()) lateThread.join();
    ASSERT_FALSE(m.host.timedOut || m.joiner.timedOut);
    ASSERT_GE(m.host.hashes.size(), 4000u);
    EXPECT_EQ(m.host.hashes, m.joiner.hashes);
    {
        SCOPED_TRACE("from the start");
        expectSameGame(m.host, early);
    }
    {
        SCOPED_TRACE("from tick 3000");
        expectSameGame(m.host, late);
    }
}

// The player leaves in the middle of the game: the host ends it on its side alone, after the last
// tick both players' keys are known of, and its spectator's game ends in that same tick.
TEST(OnlineWatch, AGameTheHostEndsAloneEndsForItsSpectatorInTheSameTick) {
    Watched watched;
    std::thread watcher;
    test::MatchOptions options;
    options.beforePlay = [&](net::Session& host) {
        const uint16_t port = host.localPort();
        watcher = std::thread([&watched, port] { watched = WatcherSide(port).run(); });
        const auto end = Clock::now() + 10s;
        while (host.watcherCount() < 1 && Clock::now() < end) host.poll(1);
    };
    const test::SideScript host{{38, 39, 40, 37, 'W', 'D', 'S', 'A'}, 7, 0, {}, 0, {}};
    test::SideScript joiner{{73, 76, 75, 74, 104, 102, 98, 100}, 5, 0, {}, 0, {}};
    joiner.after = [](int tick, GameState&, OnlinePlay& online, Application& app) {
        if (tick != 300) return;
        online.close();
        app.quit();
    };
    const test::Match m = test::play(options, host, joiner);
    if (watcher.joinable()) watcher.join();
    ASSERT_FALSE(m.host.timedOut);
    ASSERT_EQ(m.host.records.size(), 1u);
    ASSERT_TRUE(m.host.records[0].outcome);
    EXPECT_GE(m.host.records[0].outcome->ticks, 300);
    expectSameGame(m.host, watched);
}

}  // namespace
}  // namespace zib
