#pragma once
// Two programs of online play for the tests and the benchmark: each runs in a thread of its own
// with its own headless backend, game window, replay recorder and online link, the two connected
// through the fault-injecting relay. The host starts one game as soon as the joiner is there;
// each program runs until its window is back in the menu (or its time limit passes).
#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "game_fixture.h"
#include "net_relay.h"
#include "online/online_play.h"
#include "paced_link.h"
#include "platform_test_form.h"
#include "replay/replay_recorder.h"
#include "replay/scenario.h"
#include "replay/state_check.h"

namespace zib::test {

// The joiner's own keys differ from the host's: its keys must still steer blue on both machines.
constexpr std::array<int, 8> kJoinerKeys{73, 104, 75, 98, 76, 102, 74, 100};

class QuittingMenu : public FakeMenu {
  public:
    Application* app = nullptr;
    void enableIdleTimer() override { app->quit(); }
};

struct SideResult {
    std::vector<uint64_t> hashes;  // the state after every confirmed tick
    std::vector<Scenario> records;
    std::vector<std::string> messages;
    long long redWins = 0, blueWins = 0;
    bool timedOut = false;
    std::vector<double> periodsMs;  // real time between ticks (paced games only)
    int inputDelay = 0;
    Rollback::Stats rollback;  // of the last game
    OnlinePlay::Figures figures;
    bool sawWaiting = false;  // the status line said it waits for the other player
};

// What a side does after a tick of its game: press keys, poke its state, leave.
struct SideScript {
    std::vector<int> keys;  // pressed in turn, one every `every` ticks
    int every = 7;
    int escAfter = 0;  // Esc after this tick (0: never)
    std::function<void(int tick, GameState&, OnlinePlay&, Application&)> after;
    // Real milliseconds per tick: the virtual clock sleeps without time passing, so a game that
    // must take real time (the benchmark) is paced by a PacedLink.
    int pacingMs = 0;
    // Done to the state before the program connects: what earlier games of the run left in it.
    std::function<void(GameState&)> before;
};

struct MatchOptions {
    RelayFaults faults;
    int gameSpeed = 1;
    int inputDelay = OnlinePlay::kDefaultInputDelay;  // both sides'
    bool freeMode = true;                             // crashes do not end the game
    std::chrono::seconds limit{60};                   // each program's longest run
    // Run with the host's session once both are connected, before either program starts.
    std::function<void(net::Session& host)> beforePlay = {};
};

class Side : public GameObserver {
  public:
    Side(std::unique_ptr<net::Session> session, const std::string& folder,
         const std::array<int, 8>& keys, SideScript script, const MatchOptions& match)
        : backend_(nullptr, 99), script_(std::move(script)), limit_(match.limit) {
        const int gameSpeed = match.gameSpeed;
        app_ = std::make_unique<Application>(backend_.services());
        state_.settings.keyBindings = keys;
        state_.settings.levelName = "field.zq7";
        state_.settings.gameSpeed = gameSpeed;
        state_.settings.growthPerFood = 3;
        state_.settings.startLength = 6;
        state_.settings.gameMode = 2;
        state_.freeMode = match.freeMode;
        menu_.app = app_.get();
        window_ = std::make_unique<GameWindow>(*app_, state_, menu_);
        window_->setLevelFolder(folder);
        recorder_ = std::make_unique<ReplayRecorder>(
            *window_, state_, menu_, [this](const Scenario& s) { result_.records.push_back(s); });
        window_->setRecorder(recorder_.get());
        window_->setObserver(this);
        online_ = std::make_unique<OnlinePlay>(std::move(session), *app_, state_, *window_, menu_);
        online_->setStartGame([this] { window_->show(); });
        if (script_.pacingMs > 0) {
            paced_ = std::make_unique<PacedLink>(*online_, script_.pacingMs);
            window_->setTickLink(paced_.get());
        }
        online_->setInputDelay(match.inputDelay);
        result_.inputDelay = online_->inputDelay();
        if (script_.before) script_.before(state_);
    }

    // Runs the program until its game is over and its window back in the menu, or the limit
    // passes.
    SideResult run() {
        const auto deadline = Clock::now() + limit_;
        TestForm poller(*app_);
        bool started = false;
        poller.onDesign = [&](TestForm& f) {
            f.addTimer(5, true).onTick = [&] {
                online_->poll();
                if (online_->statusLine() == kWaitingMessage) result_.sawWaiting = true;
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
        // The program's pause after a game takes real time, in which the network delivers what
        // is still on its way; the virtual clock here passes it in no time, so wait as long.
        for (const auto linger = Clock::now() + std::chrono::milliseconds(1500);
             Clock::now() < linger;)
            online_->session().poll(1);
        result_.messages.insert(result_.messages.end(), menu_.messages.begin(),
                                menu_.messages.end());
        result_.redWins = menu_.red;
        result_.blueWins = menu_.blue;
        if (const Rollback* rollback = online_->rollback()) result_.rollback = rollback->stats();
        result_.figures = online_->figures();
        return std::move(result_);
    }

    void tickConfirmed(int, std::span<const TickKey>, const GameState& state) override {
        result_.hashes.push_back(stateHash(state));
    }

    void tickCompleted(int n) override {
        if (script_.pacingMs > 0) {
            const auto now = Clock::now();
            if (n > 1)
                result_.periodsMs.push_back(
                    std::chrono::duration<double, std::milli>(now - lastTick_).count());
            lastTick_ = now;
        }
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
    std::unique_ptr<PacedLink> paced_;  // after online_: goes first, while the window is unused
    SideScript script_;
    SideResult result_;
    std::chrono::seconds limit_;
    Clock::time_point lastTick_{};
};

struct Match {
    SideResult host, joiner;
    RelayCounts traffic;
    double seconds = 0;  // from the connection to the end of both programs
    double roundTripMs = 0;
};

// Connects a host and a joiner through the relay, then runs both programs side by side.
inline Match play(const MatchOptions& match, SideScript hostScript, SideScript joinerScript) {
    TempFolder folder;
    folder.write("bg.bmp", "");
    folder.write("field.zq7",
                 "\"bg.bmp\",100,300,1,0\r\n690,300,-1,0\r\n400,100,410,200,\"bg.bmp\"\r\n");
    net::SessionOptions options;
    options.gameVersion = "1.1.0";
    options.bindHost = "127.0.0.1";
    options.port = 0;
    auto opened = net::Session::host(options);
    if (!opened) return {};
    std::unique_ptr<net::Session> host = std::move(*opened);
    UdpRelay relay(host->localPort(), match.faults, match.limit + std::chrono::seconds(30));
    options.port = relay.port();
    auto joined = net::Session::join("127.0.0.1", options);
    if (!joined) return {};
    std::unique_ptr<net::Session> joiner = std::move(*joined);
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < end &&
           !(host->state() == net::SessionState::Connected &&
             joiner->state() == net::SessionState::Connected && host->roundTripMs())) {
        host->poll(1);
        joiner->poll(1);
    }
    // A few more probes settle the measured round trip.
    for (const auto settle = Clock::now() + std::chrono::milliseconds(700);
         Clock::now() < settle;) {
        host->poll(1);
        joiner->poll(1);
    }
    if (match.beforePlay) match.beforePlay(*host);
    Match m;
    m.roundTripMs = host->roundTripMs().value_or(0);
    const RelayCounts before = relay.counts();
    const auto t0 = Clock::now();
    std::thread other([&] {
        Side side(std::move(joiner), folder.path(), kJoinerKeys, std::move(joinerScript), match);
        m.joiner = side.run();
    });
    {
        Side side(std::move(host), folder.path(), kDefaultKeyBindings, std::move(hostScript),
                  match);
        m.host = side.run();
    }
    other.join();
    m.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    const RelayCounts after = relay.counts();
    for (int i = 0; i < 2; ++i) {
        m.traffic.bytes[i] = after.bytes[i] - before.bytes[i];
        m.traffic.datagrams[i] = after.datagrams[i] - before.datagrams[i];
    }
    return m;
}

}  // namespace zib::test
